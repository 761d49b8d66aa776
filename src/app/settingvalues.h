#pragma once

#include <QString>

// Conversions between stored setting texts and values. Every reader returns its fallback for text
// it cannot use, so a damaged store never stops the program from starting.
namespace tintara::settings {

// A channel, 0..255. Fractions round to the nearest whole number, halves to even.
int toChannel(const QString& text, int fallback);
// A check box value, 0 or 1.
int toCheckValue(const QString& text, int fallback);
// The words True and False (any letter case), or a number: zero is false, anything else true.
bool toTruth(const QString& text, bool fallback);
// A window coordinate in twips: finite and within kPositionLimit either way.
float toPosition(const QString& text, float fallback);

// Far beyond any desktop, and the last whole numbers a single-precision value holds exactly.
inline constexpr float kPositionLimit = 16777216.0f;

// "True" or "False".
QString fromTruth(bool value);
// Plain decimal without exponent; whole numbers without a decimal point; other values with the
// fewest digits that read back as the same single-precision number.
QString fromNumber(float value);

} // namespace tintara::settings
