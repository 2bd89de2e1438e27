#pragma once

#include "platform/detachedlauncher.h"
#include "platform/immediateend.h"
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
struct RealPlatform
{
    explicit RealPlatform(const QString &lockPath = LockFileInstance::defaultPath())
        : instance(lockPath)
    {}
    Platform platform() { return platformOf(*this); }

    QtSerialPort port;
    RealClock clock;
    QtMessageBoxes messages;
    LockFileInstance instance;
    ImmediateEnd end{port, &instance};
#ifdef Q_OS_WIN
    WinRegistry registry;
#else
    ToolPathRegistry registry;
#endif
    DetachedLauncher launcher;
    QtFileChooser fileDialog;
    QtSerialDevices devices;
    QtDeviceChooser deviceChooser;
};
