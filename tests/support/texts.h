#pragma once

#include <QString>

// The program's message texts.
namespace Texts {

const QString echo("There is a problem communicating over the serial port. "
                   "Please check your serial cable connection and settings");
const QString prompt("Error in serial communication port. Please Reset "
                     "Evaluation Board and Restart the Application");
const QString secondCopy("Another copy of the Application is running.\r\nPlease close all previous instance of the "
                         "application and restart");
inline QString cannotOpen(int port, const QString &device, const QString &reason)
{
    return QString("COM%1 (%2) cannot be opened: %3. Options > Select Serial Port chooses another port, and \"Assign "
                   "a Device to COM%1...\" there the device COM%1 opens.")
        .arg(port)
        .arg(device, reason);
}
// COM1 of the in-process board when it refuses to open.
const QString sim1Refused = cannotOpen(1, "/dev/sim1", "No such file or directory");
inline QString notAByte(const char *field)
{
    return QString("The %1 box must hold a hexadecimal byte, 00 to FF.").arg(field);
}

} // namespace Texts
