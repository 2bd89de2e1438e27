#pragma once

#include <QString>

#include <optional>

// The program's hexadecimal digits are "0123456789ABCDEF"; lower-case input
// is read as well.

// Exactly `count` upper-case hexadecimal digits of the number, leading zeros
// kept and higher digits dropped.
QString Hex_Digits(qint32 number, int count);

// 0 to 15 for a hexadecimal digit of either case, -1 for any other character.
int hexDigitValue(QChar c);

// The whole text as a hexadecimal number from 0 to maximum; nothing for an
// empty text, any other character, or a larger number.
std::optional<int> hexNumber(const QString &text, int maximum);
