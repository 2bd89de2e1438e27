#pragma once

#include <QString>

// The program's message texts, stated once for every test.
namespace Texts {

const QString echo = QStringLiteral("There is a problem communicating over the serial port. "
                                    "Please check your serial cable connection and settings");
const QString prompt = QStringLiteral("Error in serial communication port. Please Reset "
                                      "Evaluation Board and Restart the Application");
const QString secondCopy = QStringLiteral("Another copy of the Application is running.\r\n"
                                          "Please close all previous instance of the application "
                                          "and restart");
inline QString cannotOpen(int port, const QString &device, const QString &reason)
{
    return QStringLiteral("COM%1 (%2) cannot be opened: %3").arg(port).arg(device, reason);
}
inline QString notAByte(const char *field)
{
    return QStringLiteral("The %1 box must hold a hexadecimal byte, 00 to FF.").arg(QLatin1String(field));
}

} // namespace Texts
