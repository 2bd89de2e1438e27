#pragma once

#include <QString>

// Where port n leads, in this order: a file or link "COMn" in the working
// folder (a hand-made link to a USB adapter, the simulated board), else the
// device the user assigned to COMn, else the platform's n-th serial port.
struct PortRoute
{
    enum class Via { Link, Assignment, BuiltIn };

    Via via = Via::BuiltIn;
    QString device; // what an open opens: a link's target, resolved
    QString through; // the link or the assigned path, when it is not the device itself
    bool present = false;

    // "/dev/ttyUSB0 through the link COM1 in /home/ann/kv71xx", "/dev/ttyS3, not present".
    QString text() const;
};

PortRoute portRoute(int number);

// The devices assigned to COM1 to COM8, kept per user beside the other
// settings of the program ("ports.ini" in ~/.config/kv71xx).
namespace PortAssignments {

QString filePath();
// Empty when none is assigned.
QString device(int number);
// An empty device removes the assignment; false, with the reason in *error,
// when the file could not be written.
bool assign(int number, const QString &device, QString *error);

} // namespace PortAssignments
