#pragma once

#include "serialdevices.h"

#include <optional>

// The short list from which the user picks the device a port opens, so that
// tests choose one without a person at the keyboard.
class DeviceChooser
{
public:
    // The answer that removes the port's assignment.
    static constexpr int NoDevice = -1;

    struct Request
    {
        QString portName;
        QList<SerialDevice> devices;
        int current = NoDevice; // the device assigned now, proposed first
        QString note; // said above the list, when there is something to know
    };

    virtual ~DeviceChooser() = default;
    // Modal. The index of the chosen device, NoDevice, or nothing when the
    // user cancelled.
    virtual std::optional<int> choose(const Request &request) = 0;
};
