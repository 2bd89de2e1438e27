#include "lockfileinstance.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

LockFileInstance::LockFileInstance(const QString &path)
    : m_lock(path)
{
    // A running copy holds its lock for as long as it runs, however long.
    m_lock.setStaleLockTime(0);
}

QString LockFileInstance::defaultPath()
{
#ifdef Q_OS_UNIX
    const QString user = QString::number(::getuid());
#else
    const QString user = qEnvironmentVariable("USERNAME");
#endif
    return QDir::temp().filePath(QStringLiteral("kv71xx-%1.lock").arg(user));
}

// A copy that died leaves a lock naming its process id, and a later process
// may be given the same id (Wine hands the same small ids out again at once).
// Qt then takes the lock for that of a live copy: this one, which does not
// hold it. So a lock naming this very process is a dead copy's.
bool LockFileInstance::namesThisProcess() const
{
    qint64 pid = 0;
    QString host;
    QString program;
    return m_lock.getLockInfo(&pid, &host, &program) && pid == QCoreApplication::applicationPid();
}

bool LockFileInstance::anotherCopyRunning()
{
    if (m_lock.isLocked() || m_lock.tryLock(0)
        || (namesThisProcess() && m_lock.removeStaleLockFile() && m_lock.tryLock(0)))
        return false;
    if (m_lock.error() == QLockFile::LockFailedError)
        return true;
    std::fprintf(stderr, "kv71xx: cannot take the single-instance lock %s (%s); starting anyway\n",
                 qPrintable(QDir::toNativeSeparators(m_lock.fileName())),
                 m_lock.error() == QLockFile::PermissionError ? "permission denied" : "unknown error");
    return false;
}
