#include "toolpathregistry.h"

#include <QDir>
#include <QFileInfo>

namespace {

// System-information programs, the preferred first.
constexpr const char *Tools[] = {"hardinfo2", "hardinfo", "kinfocenter"};

constexpr Registry::Key PathKey = 1;

#ifdef Q_OS_WIN
constexpr char ProgramSuffix[] = ".exe"; // what makes a file a program there
#else
constexpr char ProgramSuffix[] = "";
#endif

} // namespace

ToolPathRegistry::ToolPathRegistry(QString searchPath)
    : m_searchPath(std::move(searchPath))
{}

QString ToolPathRegistry::systemSearchPath()
{
    return qEnvironmentVariable("PATH");
}

QString ToolPathRegistry::toolPath() const
{
    const QStringList folders = m_searchPath.split(QDir::listSeparator());
    for (const char *tool : Tools) {
        for (const QString &folder : folders) {
            // An empty or relative entry would run a program from the
            // working folder: only absolute folders count.
            if (!QDir::isAbsolutePath(folder))
                continue;
            const QFileInfo program(QDir(folder).filePath(QLatin1String(tool) + QLatin1String(ProgramSuffix)));
            if (program.isFile() && program.isExecutable())
                return program.filePath();
        }
    }
    return QString();
}

long ToolPathRegistry::RegOpenKeyExA(Key root, const QString &subKey, quint32, quint32, Key *result)
{
    const bool known = root == LocalMachine
        && subKey.compare(QLatin1String(SysInfoKeys::Path), Qt::CaseInsensitive) == 0;
    *result = known ? PathKey : 0;
    return known ? Success : FileNotFound;
}

long ToolPathRegistry::RegQueryValueExA(Key key, const QString &valueName, quint32 *type, QByteArray *buffer,
                                        quint32 *size)
{
    const QString tool = toolPath();
    if (key != PathKey || tool.isEmpty()
        || valueName.compare(QLatin1String(SysInfoKeys::PathValue), Qt::CaseInsensitive) != 0) {
        return FileNotFound;
    }
    // A string value as the registry holds it: closed by a zero byte.
    const QByteArray value = tool.toLocal8Bit() + '\0';
    const quint32 room = *size;
    *size = quint32(value.size());
    if (*size > room || *size > quint32(buffer->size()))
        return MoreData;
    *type = StringType;
    buffer->replace(0, value.size(), value);
    return Success;
}

long ToolPathRegistry::RegCloseKey(Key)
{
    return Success;
}
