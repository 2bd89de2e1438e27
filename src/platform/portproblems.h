#pragma once

#include <QString>

// Why a device refuses to open, in terms a user can act on (Unix only; empty
// elsewhere and when nothing is known).
namespace PortProblems {

// "kv71xx-board (process 1234)": the program whose serial lock file holds the device.
QString holder(const QString &device);

// How to get access: joining the device's group, when that group would grant
// it and the user is not in it yet (never for root's group).
QString groupAdvice(const QString &device);

} // namespace PortProblems
