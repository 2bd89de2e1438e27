#pragma once

#include "serialdevices.h"

// What Qt Serial Port finds, with the /dev/serial/by-id link of each device.
class QtSerialDevices : public SerialDevices
{
public:
    QList<SerialDevice> detected() const override;
};
