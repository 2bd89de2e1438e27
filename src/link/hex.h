#pragma once

#include <QString>

// The program's hexadecimal digits are "0123456789ABCDEF"; lower-case input
// is read as well.

// Exactly `count` upper-case hexadecimal digits of the number, leading zeros
// kept and higher digits dropped.
QString Hex_Digits(qint32 number, int count);

// 0 to 15 for a hexadecimal digit of either case, -1 for any other character.
int hexDigitValue(QChar c);
