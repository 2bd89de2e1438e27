#include "serialdevices.h"

#include <QStringList>

QString SerialDevice::details() const
{
    QStringList parts;
    for (const QString &part : {description, manufacturer})
        if (!part.isEmpty())
            parts.append(part);
    if (!serialNumber.isEmpty())
        parts.append(QStringLiteral("serial ") + serialNumber);
    return parts.join(QStringLiteral(", "));
}
