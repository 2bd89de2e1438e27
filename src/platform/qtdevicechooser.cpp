#include "qtdevicechooser.h"

#include <QApplication>
#include <QInputDialog>

std::optional<int> QtDeviceChooser::choose(const QString &portName, const QList<SerialDevice> &devices)
{
    QStringList items{QStringLiteral("No assignment: %1 opens its usual device").arg(portName)};
    for (const SerialDevice &device : devices) {
        const QString details = device.details();
        items.append(details.isEmpty() ? device.path : QStringLiteral("%1 (%2)").arg(device.path, details));
    }
    bool ok = false;
    const QString chosen = QInputDialog::getItem(QApplication::activeWindow(), QStringLiteral("Assign a Device"),
                                                 QStringLiteral("The device %1 opens:").arg(portName), items,
                                                 devices.isEmpty() ? 0 : 1, false, &ok);
    if (!ok)
        return std::nullopt;
    return int(items.indexOf(chosen)) - 1; // the first item is NoDevice
}
