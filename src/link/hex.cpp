#include "hex.h"

namespace {

constexpr char Digits[] = "0123456789ABCDEF";

} // namespace

QString Hex_Digits(qint32 number, int count)
{
    QString text;
    for (int i = 0; i < count; ++i) {
        text.prepend(QLatin1Char(Digits[number & 0xF]));
        number /= 16;
    }
    return text;
}

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}
