#pragma once

#include <QList>
#include <QString>

// A serial device the system reports, with what it says about itself.
struct SerialDevice
{
    QString path; // /dev/ttyUSB0
    QString stablePath; // /dev/serial/by-id/..., empty when none leads to it
    QString description;
    QString manufacturer;
    QString serialNumber;

    // The path that survives a replug: the stable one when there is one.
    QString lastingPath() const { return stablePath.isEmpty() ? path : stablePath; }
    // "FT232R USB UART, FTDI, serial A1B2C3", leaving out what is unknown.
    QString details() const;
    // An adapter (USB and the like) tells its maker or has a stable name; the
    // machine's own ports tell neither.
    bool isAdapter() const { return !stablePath.isEmpty() || !manufacturer.isEmpty(); }
};

// The serial devices present on the machine.
class SerialDevices
{
public:
    virtual ~SerialDevices() = default;
    virtual QList<SerialDevice> detected() const = 0;
};
