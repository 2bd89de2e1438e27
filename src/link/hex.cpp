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

std::optional<int> hexNumber(const QString &text, int maximum)
{
    if (text.isEmpty())
        return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
        if (value > maximum)
            return std::nullopt;
    }
    return value;
}
