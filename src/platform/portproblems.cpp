#include "portproblems.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>
#endif

namespace PortProblems {

QStringList lockFolders()
{
    return {QStringLiteral("/var/lock"),         QStringLiteral("/etc/locks"), QStringLiteral("/var/spool/locks"),
            QStringLiteral("/var/spool/uucp"),   QStringLiteral("/tmp"),       QStringLiteral("/var/tmp"),
            QStringLiteral("/var/lock/lockdev"), QStringLiteral("/run/lock")};
}

QString lockFile(const QString &device, const QStringList &folders)
{
#ifdef Q_OS_UNIX
    // "LCK.." and the name below /dev with '/' as '_'.
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name = QStringLiteral("LCK..") + name.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const QString &folder : folders) {
        const QFileInfo file(folder + QLatin1Char('/') + name);
        if (file.exists())
            return file.canonicalFilePath();
    }
#else
    Q_UNUSED(device)
    Q_UNUSED(folders)
#endif
    return {};
}

QString lockProblem(const QString &device, const QStringList &folders)
{
#ifdef Q_OS_UNIX
    const QString path = lockFile(device, folders);
    qint64 pid = 0;
    QString host;
    QString program;
    if (path.isEmpty()
        || (QLockFile(path).getLockInfo(&pid, &host, &program) && pid == QCoreApplication::applicationPid()))
        return {};
    const QFileInfo file(path);
    const QString owner = file.owner().isEmpty() ? QString::number(file.ownerId()) : file.owner();
    // Removing another user's file in the lock folder takes that user or root.
    const QString remove = (file.ownerId() == ::geteuid() ? QStringLiteral("rm ") : QStringLiteral("sudo rm ")) + path;
    if (pid <= 0)
        return QStringLiteral("its lock file %1 (of user %2) cannot be read: if no program uses the port, remove it "
                              "(%3)")
            .arg(path, owner, remove);
    if (program.isEmpty())
        program = QStringLiteral("a program");
    if (::kill(pid_t(pid), 0) == 0 || errno == EPERM) {
        return QStringLiteral("it is in use by %1 (process %2 of user %3, which still runs; lock file %4): end "
                              "that program or choose another port")
            .arg(program)
            .arg(pid)
            .arg(owner, path);
    }
    return QStringLiteral("its lock file %1 (of user %2) is left from %3 (process %4), which has ended: remove it "
                          "(%5)")
        .arg(path, owner, program)
        .arg(pid)
        .arg(remove);
#else
    Q_UNUSED(device)
    Q_UNUSED(folders)
    return {};
#endif
}

QString groupAdvice(const QString &device)
{
#ifdef Q_OS_UNIX
    struct stat info
    {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0 || info.st_gid == 0
        || (info.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP) || info.st_gid == ::getegid())
        return {};
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(size_t(count > 0 ? count : 0));
    if (count > 0 && ::getgroups(count, groups.data()) == count) {
        for (const gid_t group : groups) {
            if (group == info.st_gid)
                return {}; // in it already: the group is not what refuses
        }
    }
    const struct group *entry = ::getgrgid(info.st_gid);
    const QString group = entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(info.st_gid);
    return QStringLiteral("To use %1 your user must be in its group \"%2\" (sudo usermod -aG %2 $USER, then log "
                          "in again)")
        .arg(device, group);
#else
    Q_UNUSED(device)
    return {};
#endif
}

} // namespace PortProblems
