#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal through a signalfd, so
// that a program can clean up from its event loop, even from inside a wait
// for the board. blockTerminationSignals() must run at the very start of
// main, before any thread starts (QApplication may start some), so that no
// thread takes the signals itself.
class SignalWatcher : public QObject
{
    Q_OBJECT
public:
    static bool blockTerminationSignals();

    // Without a signalfd the signals are unblocked again: they then end the
    // program as they would without a watcher.
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;
    bool isValid() const { return m_fd >= 0; }

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
