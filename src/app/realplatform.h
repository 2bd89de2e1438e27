#pragma once

#include "platform/lockfileinstance.h"
#include "platform/platform.h"
#include "platform/qtmessageboxes.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"

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
    ImmediateEnd m_end{m_instance, m_port};
};
