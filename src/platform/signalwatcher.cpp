#include "signalwatcher.h"

#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t terminationSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

} // namespace

bool SignalWatcher::blockTerminationSignals()
{
    const sigset_t set = terminationSignals();
    return pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0;
}

SignalWatcher::SignalWatcher(QObject *parent)
    : QObject(parent)
{
    const sigset_t set = terminationSignals();
    m_fd = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_fd < 0) {
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::readSignal);
}

SignalWatcher::~SignalWatcher()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void SignalWatcher::readSignal()
{
    signalfd_siginfo info{};
    while (::read(m_fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        emit terminationRequested(static_cast<int>(info.ssi_signo));
}

#elif !defined(Q_OS_WIN) // No signalfd: the signals keep their default action. Windows: winsignalwatcher.cpp.

bool SignalWatcher::blockTerminationSignals()
{
    return false;
}

SignalWatcher::SignalWatcher(QObject *parent)
    : QObject(parent)
{}

SignalWatcher::~SignalWatcher() = default;

void SignalWatcher::readSignal() {}

#endif
