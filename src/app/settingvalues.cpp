#include "app/settingvalues.h"

#include <cmath>
#include <limits>

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

} // namespace

int toChannel(const QString& text, int fallback)
{
    double number = 0;
    if (!toFiniteNumber(text, number))
        return fallback;
    const double rounded = std::nearbyint(number);
    if (rounded < 0 || rounded > 255)
        return fallback;
    return static_cast<int>(rounded);
}

int toCheckValue(const QString& text, int fallback)
{
    double number = 0;
    if (!toFiniteNumber(text, number))
        return fallback;
    const double rounded = std::nearbyint(number);
    if (rounded != 0 && rounded != 1)
        return fallback;
    return static_cast<int>(rounded);
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
    if (!toFiniteNumber(text, number) || std::fabs(number) > std::numeric_limits<float>::max())
        return fallback;
    return static_cast<float>(number);
}

QString fromTruth(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString fromNumber(double value)
{
    return QString::number(value, 'g', 9);
}

} // namespace tintara::settings
