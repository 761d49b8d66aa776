#pragma once

#include <QString>

// Conversions between stored setting texts and values. Every reader returns its fallback for text
// it cannot use, so a damaged store never stops the program from starting.
namespace tintara::settings {

// A channel, 0..255.
int toChannel(const QString& text, int fallback);
// A check box value, 0 or 1.
int toCheckValue(const QString& text, int fallback);
// The words True and False (any letter case), or a number: zero is false, anything else true.
bool toTruth(const QString& text, bool fallback);
// A finite single-precision number.
float toPosition(const QString& text, float fallback);

QString fromTruth(bool value);
// Plain decimal, no decimal point for whole numbers.
QString fromNumber(double value);

} // namespace tintara::settings
