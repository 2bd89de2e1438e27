#include "realclock.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <cmath>

RealClock::RealClock()
{
    m_elapsed.start();
}

double RealClock::seconds() const
{
    return m_elapsed.nsecsElapsed() / 1e9;
}

void RealClock::pause(double duration)
{
    const double end = seconds() + duration;
    for (double left = duration; left > 0; left = end - seconds())
        QThread::usleep(static_cast<unsigned long>(std::ceil(left * 1e6)));
}

void RealClock::processEvents()
{
    QCoreApplication::processEvents();
}

void RealClock::waitForEvents(double deadline)
{
    const double left = deadline - seconds();
    if (left <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    // The timer only wakes the blocked pass at the deadline; any other event
    // (a key, data on the port) wakes it earlier.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(int(std::ceil(left * 1000)));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
