#include "qtserialdevices.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

QList<SerialDevice> QtSerialDevices::detected() const
{
    // udev names each USB adapter by its maker and serial number here.
    const QFileInfoList stable = QDir(QStringLiteral("/dev/serial/by-id")).entryInfoList(QDir::System | QDir::Files);
    QList<SerialDevice> devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        SerialDevice device{info.systemLocation(), {}, info.description(), info.manufacturer(), info.serialNumber()};
        const QString target = QFileInfo(device.path).canonicalFilePath();
        for (const QFileInfo &link : stable) {
            if (link.isSymLink() && link.canonicalFilePath() == target)
                device.stablePath = link.absoluteFilePath();
        }
        devices.append(device);
    }
    return devices;
}
