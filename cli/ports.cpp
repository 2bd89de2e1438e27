#include "ports.h"

#include "platform/portroutes.h"
#include "platform/serialdevices.h"
#include "platform/serialport.h"

QString portList(const SerialDevices &devices)
{
    QString text;
    for (int n = FirstPort; n <= LastPort; ++n)
        text += QStringLiteral("%1  %2\n").arg(portName(n), portRoute(n).text());
    const QList<SerialDevice> found = devices.detected();
    text += found.isEmpty() ? QStringLiteral("\nNo serial device detected.\n") : QStringLiteral("\nDetected:\n");
    for (const SerialDevice &device : found) {
        QStringList about{device.details(), device.stablePath};
        about.removeAll(QString());
        text += QStringLiteral("%1  %2\n").arg(device.path, about.join(QStringLiteral(", ")));
    }
    return text;
}
