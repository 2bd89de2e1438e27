#pragma once

#include "platform/detachedlauncher.h"
#include "platform/lockfileinstance.h"
#include "platform/platform.h"
#include "platform/qtdevicechooser.h"
#include "platform/qtfilechooser.h"
#include "platform/qtmessageboxes.h"
#include "platform/qtserialdevices.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"
#ifdef Q_OS_WIN
#include "platform/winregistry.h"
#else
#include "platform/toolpathregistry.h"
#endif

// The real machine: serial port, clock, message boxes, single-instance lock,
// registry, program start, file dialog and serial devices.
class RealPlatform
{
public:
    Platform platform()
    {
        return {m_port,     m_clock,    m_messages,   m_instance, m_end,
                m_registry, m_launcher, m_fileDialog, m_devices,  m_deviceChooser};
    }

private:
    QtSerialPort m_port;
    RealClock m_clock;
    QtMessageBoxes m_messages;
    LockFileInstance m_instance;
    ImmediateEnd m_end{m_instance, m_port};
#ifdef Q_OS_WIN
    WinRegistry m_registry;
#else
    ToolPathRegistry m_registry;
#endif
    DetachedLauncher m_launcher;
    QtFileChooser m_fileDialog;
    QtSerialDevices m_devices;
    QtDeviceChooser m_deviceChooser;
};
