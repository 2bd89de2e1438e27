#include "detachedlauncher.h"

#include <QFileInfo>
#include <QProcess>

bool DetachedLauncher::fileExists(const QString &path) const
{
    return QFileInfo(path).isFile();
}

bool DetachedLauncher::startDetached(const QString &path)
{
    // The path is the program as it stands, blanks included: no shell splits it.
    return QProcess::startDetached(path, {});
}
