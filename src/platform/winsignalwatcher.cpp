#include "signalwatcher.h"

#include <QMetaObject>

#include <atomic>
#include <csignal>

#include <windows.h>

// Windows sends a console program no termination signals: Ctrl+C, Ctrl+Break,
// closing its console, logging off and shutting down reach it as console
// control events, each on a thread of its own. The watcher hands them to its
// own thread as the signals Linux sends in their place.
namespace {

constexpr int HangUp = 1; // SIGHUP, which Windows' C library lacks

// The handler is a plain function: it finds the watcher here.
std::atomic<SignalWatcher *> activeWatcher{nullptr};

int signalFor(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        return SIGINT;
    case CTRL_CLOSE_EVENT:
        return HangUp;
    default: // logoff, shutdown
        return SIGTERM;
    }
}

BOOL WINAPI handleControl(DWORD event)
{
    SignalWatcher *watcher = activeWatcher.load();
    if (!watcher)
        return FALSE; // Windows' own handling: the process ends
    const int signal = signalFor(event);
    QMetaObject::invokeMethod(
        watcher, [watcher, signal] { emit watcher->terminationRequested(signal); }, Qt::QueuedConnection);
    // After a close, logoff or shutdown Windows ends the process as soon as
    // this returns: wait here for the program's own end, which closes the port.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        ::Sleep(INFINITE);
    return TRUE;
}

} // namespace

bool SignalWatcher::blockTerminationSignals()
{
    return true; // nothing arrives before the watcher's handler is in place
}

SignalWatcher::SignalWatcher(QObject *parent)
    : QObject(parent)
{
    activeWatcher.store(this);
    // m_fd says only whether the handler is in place.
    m_fd = ::SetConsoleCtrlHandler(handleControl, TRUE) ? 0 : -1;
}

SignalWatcher::~SignalWatcher()
{
    activeWatcher.store(nullptr);
    ::SetConsoleCtrlHandler(handleControl, FALSE);
}

void SignalWatcher::readSignal() {}
