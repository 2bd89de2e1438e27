#include "portproblems.h"

#include <QCoreApplication>
#include <QFile>
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

QString holder(const QString &device)
{
#ifdef Q_OS_UNIX
    // Qt Serial Port's lock: "LCK.." and the name below /dev with '/' as '_'.
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name = QStringLiteral("LCK..") + name.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const char *folder : {"/var/lock", "/run/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp", "/tmp"}) {
        const QString path = QLatin1String(folder) + QLatin1Char('/') + name;
        qint64 pid = 0;
        QString host;
        QString program;
        // A lock left by a program that has ended holds nothing.
        if (!QFile::exists(path) || !QLockFile(path).getLockInfo(&pid, &host, &program)
            || pid == QCoreApplication::applicationPid() || (::kill(pid_t(pid), 0) != 0 && errno != EPERM))
            continue;
        if (program.isEmpty())
            program = QStringLiteral("a program");
        return QStringLiteral("%1 (process %2)").arg(program).arg(pid);
    }
#else
    Q_UNUSED(device)
#endif
    return {};
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
