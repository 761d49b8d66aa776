#include "preview/colorcode.h"

namespace tintara {

QString hex2(int value)
{
    // Negative values print as their 32-bit two's complement, as a hexadecimal conversion of a
    // long integer does.
    QString text = QString::number(static_cast<quint32>(value), 16).toUpper();
    if (text.size() == 1)
        text.prepend(QLatin1Char('0'));
    return text;
}

QString colorCode(int red, int green, int blue)
{
    return QLatin1Char('#') + hex2(red) + hex2(green) + hex2(blue);
}

int leadingHexValue(QStringView text)
{
    // Unsigned, so that digits past the eighth push the oldest out instead of overflowing.
    quint32 value = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n'))
            continue;
        int digit = -1;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digit = c.unicode() - '0';
        else if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
            digit = c.unicode() - 'a' + 10;
        else if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            digit = c.unicode() - 'A' + 10;
        if (digit < 0)
            break;
        value = value * 16 + quint32(digit);
    }
    return static_cast<int>(value);
}

std::optional<Rgb> parseColorCode(QStringView text)
{
    if (text.size() != 7 || text.front() != QLatin1Char('#'))
        return std::nullopt;
    return Rgb{leadingHexValue(text.mid(1, 2)), leadingHexValue(text.mid(3, 2)),
               leadingHexValue(text.mid(5, 2))};
}

} // namespace tintara
