#include "sysinfo.h"

#include "platform/messageboxes.h"
#include "platform/programlauncher.h"

namespace {

constexpr quint32 BufferSize = 1024;

// One program path as the registry holds it: anything from a zero byte on
// is dropped, and one pair of quotes around it. Blanks stay part of the path.
QString programPath(QString value)
{
    const int end = value.indexOf(QChar(u'\0'));
    if (end >= 0)
        value.truncate(end);
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    return value;
}

} // namespace

SysInfo::SysInfo(Registry &registry, ProgramLauncher &launcher, MessageBoxes &messages)
    : m_registry(registry)
    , m_launcher(launcher)
    , m_messages(messages)
{}

void SysInfo::StartSysInfo()
{
    QString value;
    if (GetKeyValue(Registry::LocalMachine, QLatin1String(SysInfoKeys::Path), QLatin1String(SysInfoKeys::PathValue),
                    &value)) {
        if (start(value))
            return;
    } else if (GetKeyValue(Registry::LocalMachine, QLatin1String(SysInfoKeys::Location),
                           QLatin1String(SysInfoKeys::LocationValue), &value)) {
        const QString program = programPath(value) + QStringLiteral("\\MSINFO32.EXE");
        if (m_launcher.fileExists(program) && start(program))
            return;
    }
    m_messages.show(QStringLiteral("System Information Is Unavailable At This Time"));
}

bool SysInfo::start(const QString &value)
{
    const QString path = programPath(value);
    return !path.isEmpty() && m_launcher.startDetached(path);
}

bool SysInfo::GetKeyValue(Registry::Key keyRoot, const QString &keyName, const QString &subKeyRef, QString *keyVal)
{
    keyVal->clear();
    Registry::Key key = 0;
    if (m_registry.RegOpenKeyExA(keyRoot, keyName, 0, Registry::KeyRead, &key) != Registry::Success)
        return false;
    QByteArray buffer(BufferSize, '\0');
    quint32 size = BufferSize;
    quint32 type = 0;
    const bool read = m_registry.RegQueryValueExA(key, subKeyRef, &type, &buffer, &size) == Registry::Success;
    m_registry.RegCloseKey(key);
    if (!read)
        return false;
    QByteArray text = buffer.left(int(qMin(size, BufferSize)));
    if (text.endsWith('\0'))
        text.chop(1);
    // A value of another type holds no path.
    if (type == Registry::StringType)
        *keyVal = QString::fromLocal8Bit(text);
    return true;
}
