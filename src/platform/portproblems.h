#pragma once

#include <QStringList>

// Why a device refuses to open, in terms a user can act on (Unix only; empty
// elsewhere and when nothing is known).
namespace PortProblems {

// The folders Qt Serial Port looks for its device locks in, in its order.
QStringList lockFolders();
// The lock file of device ("/run/lock/LCK..ttyUSB0"), empty when there is none.
QString lockFile(const QString &device, const QStringList &folders = lockFolders());
// What holds the device through its lock file (the program, its process and
// owner, whether it still runs) and what to do; empty without a lock file or
// when the lock is this program's.
QString lockProblem(const QString &device, const QStringList &folders = lockFolders());

// How to get access: joining the device's group, when that group would grant
// it and the user is not in it yet (never for root's group).
QString groupAdvice(const QString &device);

} // namespace PortProblems
