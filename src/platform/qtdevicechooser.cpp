#include "qtdevicechooser.h"

#include <QApplication>
#include <QInputDialog>

std::optional<int> QtDeviceChooser::choose(const Request &request)
{
    QStringList items{QStringLiteral("No assignment: %1 opens its usual device").arg(request.portName)};
    for (const SerialDevice &device : request.devices) {
        const QString details = device.details();
        items.append(details.isEmpty() ? device.path : QStringLiteral("%1 (%2)").arg(device.path, details));
    }
    bool ok = false;
    QString label = QStringLiteral("The device %1 opens:").arg(request.portName);
    if (!request.note.isEmpty())
        label = request.note + QStringLiteral("\n\n") + label;
    const QString chosen = QInputDialog::getItem(QApplication::activeWindow(), QStringLiteral("Assign a Device"), label,
                                                 items, request.current + 1, false, &ok);
    if (!ok)
        return std::nullopt;
    return int(items.indexOf(chosen)) - 1; // the first item is NoDevice
}
