#pragma once

#include "uniquefd.h"

#include <QObject>

class QSocketNotifier;

namespace sim {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal through a signalfd, so
// that the board can clean up from its event loop. blockTerminationSignals() must run
// before any thread starts, so that no thread takes the signals itself.
class SignalWatcher : public QObject
{
    Q_OBJECT
public:
    static bool blockTerminationSignals();

    explicit SignalWatcher(QObject *parent = nullptr);
    bool isValid() const { return m_fd.isValid(); }

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    UniqueFd m_fd;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace sim
