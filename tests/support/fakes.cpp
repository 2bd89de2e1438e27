#include "fakes.h"

#include <QCoreApplication>

void FakeClock::pause(double seconds)
{
    if (m_log)
        m_log->add(QStringLiteral("pause %1").arg(seconds));
    m_now += seconds;
    if (onWait)
        onWait();
}

void FakeClock::processEvents()
{
    if (m_log)
        m_log->add(QStringLiteral("yield"));
    QCoreApplication::processEvents();
}

void FakeClock::waitForEvents(double deadline)
{
    ++blockingWaits;
    QCoreApplication::processEvents();
    if (onWait)
        onWait();
    m_now = qMax(m_now, deadline);
}

void FakeMessageBoxes::show(const QString &text, const QString &caption, Icon icon)
{
    if (m_log)
        m_log->add(QStringLiteral("message ") + text);
    shown.append({text, caption, icon, m_clock ? m_clock->seconds() : 0.0});
}

QStringList FakeMessageBoxes::texts() const
{
    QStringList result;
    for (const Shown &s : shown)
        result.append(s.text);
    return result;
}
