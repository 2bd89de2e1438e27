#pragma once

#include "messageboxes.h"
#include "platform.h"
#include "programend.h"
#include "singleinstance.h"
#include "../link/qtserialport.h"
#include "../link/realclock.h"

#include <QLockFile>

class QtMessageBoxes : public MessageBoxes
{
public:
    void show(const QString &text, const QString &caption, Icon icon) override;
};

// One copy per user: a lock file in the temporary directory. A lock left by a
// copy that crashed names a process that no longer runs and does not count.
class LockFileInstance : public SingleInstance
{
public:
    explicit LockFileInstance(const QString &path = defaultPath());

    static QString defaultPath();
    // Takes the lock when no other copy holds it.
    bool anotherCopyRunning() override;
    void release() { m_lock.unlock(); }

private:
    QLockFile m_lock;
};

class ImmediateEnd : public ProgramEnd
{
public:
    explicit ImmediateEnd(LockFileInstance &instance)
        : m_instance(instance)
    {}

    [[noreturn]] void endProgram() override;

private:
    LockFileInstance &m_instance;
};

// The real machine: serial port, clock, message boxes, single-instance lock.
class RealPlatform
{
public:
    Platform platform() { return {m_port, m_clock, m_messages, m_instance, m_end}; }

private:
    QtSerialPort m_port;
    RealClock m_clock;
    QtMessageBoxes m_messages;
    LockFileInstance m_instance;
    ImmediateEnd m_end{m_instance};
};
