#include "portroutes.h"

#include "savefile.h"
#include "serialport.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

QString key(int number)
{
    return QStringLiteral("ports/") + portName(number);
}

#ifdef Q_OS_WIN
// Windows reserves the names COM1 to COM9 in every folder: "COM3" there is the
// port itself, so no file stands for a port, and a device is named as given.
bool isLocalLink(const QFileInfo &)
{
    return false;
}

QString resolved(const QFileInfo &file)
{
    return QDir::toNativeSeparators(file.filePath());
}

// Windows' own name space of devices.
constexpr QLatin1String DevicePrefix("\\\\.\\");

QString builtInDevice(int number)
{
    return DevicePrefix + portName(number);
}

// A device Windows knows by that name (\\.\COM3 or COM3), or a file.
bool isPresent(const QString &device)
{
    const QString name = device.startsWith(DevicePrefix) ? device.mid(DevicePrefix.size()) : device;
    wchar_t target[MAX_PATH];
    return ::QueryDosDeviceW(name.toStdWString().c_str(), target, MAX_PATH) != 0 || QFileInfo::exists(device);
}
#else
bool isLocalLink(const QFileInfo &local)
{
    return local.exists() || local.isSymLink();
}

// The device itself, so that the port's lock names it; a link whose target is
// missing leads to that target.
QString resolved(const QFileInfo &file)
{
    const QString target = file.canonicalFilePath();
    if (!target.isEmpty())
        return target;
    return file.isSymLink() ? file.symLinkTarget() : file.absoluteFilePath();
}

QString builtInDevice(int number)
{
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}

bool isPresent(const QString &device)
{
    return QFileInfo::exists(device);
}
#endif

} // namespace

QString PortRoute::text() const
{
    QString text = device;
    if (via == Via::Link && !through.isEmpty()) {
        const QFileInfo link(through);
        text += QStringLiteral(" through the link %1 in %2")
                    .arg(link.fileName(), QDir::toNativeSeparators(link.absolutePath()));
    } else if (via == Via::Assignment) {
        text += through.isEmpty() ? QStringLiteral(" (assigned)") : QStringLiteral(" through the assigned ") + through;
    }
    return present ? text : text + QStringLiteral(", not present");
}

PortRoute portRoute(int number)
{
    PortRoute route;
    const QFileInfo local(QDir::current().absoluteFilePath(portName(number)));
    const QString assigned = PortAssignments::device(number);
    if (isLocalLink(local)) {
        route.via = PortRoute::Via::Link;
        route.device = resolved(local);
        route.through = local.isSymLink() ? local.absoluteFilePath() : QString();
    } else if (!assigned.isEmpty()) {
        route.via = PortRoute::Via::Assignment;
        route.device = resolved(QFileInfo(assigned));
        route.through = route.device == QDir::toNativeSeparators(assigned) ? QString() : assigned;
    } else {
        route.device = builtInDevice(number);
    }
    route.present = isPresent(route.device);
    return route;
}

namespace PortAssignments {

QString filePath()
{
    // One file for the window and the companion, whatever each is called.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/kv71xx/ports.ini");
}

QString device(int number)
{
    return QSettings(filePath(), QSettings::IniFormat).value(key(number)).toString();
}

bool assign(int number, const QString &device, QString *error)
{
    // The whole file is written anew through the one safe-save path; QSettings
    // reads the quoted values back as they were.
    QByteArray text = "[ports]\n";
    for (int n = FirstPort; n <= LastPort; ++n) {
        QString value = n == number ? device : PortAssignments::device(n);
        if (value.isEmpty())
            continue;
        value.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
        text += (portName(n) + QStringLiteral("=\"") + value + QStringLiteral("\"\n")).toUtf8();
    }
    QDir().mkpath(QFileInfo(filePath()).absolutePath());
    SaveFile file(filePath());
    file.setWaitForReader(false);
    if (file.open() && file.write(text) && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("Cannot write the port assignments %1: %2")
                     .arg(QDir::toNativeSeparators(filePath()), file.errorString());
    return false;
}

} // namespace PortAssignments
