#include "ports.h"

#include "invocation.h"

#include "platform/portroutes.h"
#include "platform/serialdevices.h"
#include "platform/serialport.h"

#include <QIODevice>

int listPorts(const SerialDevices &devices, QIODevice &out)
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
    out.write(text.toLocal8Bit());
    return Invocation::Success;
}
