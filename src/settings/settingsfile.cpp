#include "settingsfile.h"

#include "platform/savefile.h"
#include "platform/serialport.h"

#include <QDir>
#include <QFile>

namespace SettingsFile {

QString fileName()
{
    return QStringLiteral("KV71xx.ini");
}

int portFromContent(const QByteArray &content)
{
    // Only the first field counts: leading blanks are skipped and the field
    // ends at a blank, a comma or the line end.
    int start = 0;
    while (start < content.size() && (content.at(start) == ' ' || content.at(start) == '\t'))
        ++start;
    int end = start;
    while (end < content.size() && !QByteArray(" \t,\r\n").contains(content.at(end)))
        ++end;
    bool ok = false;
    const int port = content.mid(start, end - start).toInt(&ok, 10);
    return ok && isPortNumber(port) ? port : 0;
}

QByteArray contentFor(int port)
{
    if (port == 0)
        return QByteArrayLiteral("\r\n");
    return ' ' + QByteArray::number(port) + " \r\n";
}

Loaded load()
{
    QFile file(fileName());
    if (!file.exists())
        return {true, 0};
    // An unreadable file counts as unusable content: no port is chosen.
    if (!file.open(QIODevice::ReadOnly))
        return {false, 0};
    return {false, portFromContent(file.readLine())};
}

bool save(int port, QString *error)
{
    SaveFile file(fileName());
    // A writable file in a read-only folder is still rewritten in place.
    file.setDirectWriteFallback(true);
    file.setWaitForReader(false); // the window would hang
    if (file.open() && file.write(contentFor(port)) && file.commit())
        return true;
    if (error) {
        *error = QStringLiteral("Cannot write the settings file %1: %2")
                     .arg(QDir::toNativeSeparators(QDir::current().absoluteFilePath(fileName())), file.errorString());
    }
    return false;
}

} // namespace SettingsFile
