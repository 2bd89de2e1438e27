#include "commandlock.h"

std::optional<CommandLock::Hold> CommandLock::tryHold(const QString &what)
{
    if (!busy())
        return std::optional<Hold>(std::in_place, *this, what);
    // The one that started first is what the user waits for.
    emit refused(tr("%1 was not started: %2 is running.").arg(what, m_running.first()));
    return std::nullopt;
}

CommandLock::Hold::Hold(CommandLock &lock, const QString &what)
    : m_lock(lock)
{
    if (m_lock.m_holds++ == 0)
        m_lock.DisableRegisterCommands();
    m_lock.enter(what);
}

CommandLock::Hold::~Hold()
{
    if (--m_lock.m_holds == 0)
        m_lock.EnableRegisterCommands();
    m_lock.leave();
}

CommandLock::Exchange::Exchange(CommandLock &lock, const QString &what)
    : m_lock(lock)
{
    m_lock.enter(what);
}

CommandLock::Exchange::~Exchange()
{
    m_lock.leave();
}

void CommandLock::enter(const QString &what)
{
    m_running.append(what);
}

void CommandLock::leave()
{
    m_running.removeLast();
    if (!busy())
        emit idle();
}

CommandLock::Cancellable::Cancellable(CommandLock &lock)
    : m_lock(lock)
{
    if (m_lock.m_cancellables++ == 0) {
        m_lock.m_cancelled = false;
        emit m_lock.cancellable(true);
    }
}

CommandLock::Cancellable::~Cancellable()
{
    if (--m_lock.m_cancellables == 0) {
        m_lock.m_cancelled = false;
        emit m_lock.cancellable(false);
    }
}

void CommandLock::cancel()
{
    m_cancelled = m_cancellables > 0;
}
