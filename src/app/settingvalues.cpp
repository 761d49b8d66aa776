#include "app/settingvalues.h"

#include <algorithm>
#include <cmath>

namespace tintara::settings {

namespace {

bool toFiniteNumber(const QString& text, double& number)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    number = value;
    return true;
}

// Whole number nearest to the text, or false for text that is no number or lies outside lo..hi.
bool toWholeNumber(const QString& text, double lo, double hi, int& result)
{
    double number = 0;
    if (!toFiniteNumber(text, number))
        return false;
    const double rounded = std::nearbyint(number);
    if (rounded < lo || rounded > hi)
        return false;
    result = static_cast<int>(rounded);
    return true;
}

} // namespace

int toChannel(const QString& text, int fallback)
{
    int value = 0;
    return toWholeNumber(text, 0, 255, value) ? value : fallback;
}

int toCheckValue(const QString& text, int fallback)
{
    int value = 0;
    return toWholeNumber(text, 0, 1, value) ? value : fallback;
}

bool toTruth(const QString& text, bool fallback)
{
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    double number = 0;
    if (!toFiniteNumber(word, number))
        return fallback;
    return number != 0;
}

float toPosition(const QString& text, float fallback)
{
    double number = 0;
    if (!toFiniteNumber(text, number) || std::fabs(number) > double(kPositionLimit))
        return fallback;
    return static_cast<float>(number);
}

QString fromTruth(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString fromNumber(float value)
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    const double wide = value;
    if (std::trunc(wide) == wide)
        return QString::number(wide, 'f', 0);
    // Nine significant digits always read back as the same single-precision value; fewer
    // usually do, and read better.
    for (int digits = 1; digits <= 9; ++digits) {
        const int decimals = std::max(0, digits - 1 - int(std::floor(std::log10(std::fabs(wide)))));
        const QString text = QString::number(wide, 'f', decimals);
        if (text.toFloat() == value)
            return text;
    }
    return QString::number(wide, 'f', 9);
}

} // namespace tintara::settings
