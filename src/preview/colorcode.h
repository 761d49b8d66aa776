#pragma once

#include "color/rgb.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace tintara {

// Upper-case hexadecimal, at least two digits: 0 -> "00", 10 -> "0A", 255 -> "FF".
QString hex2(int value);

// "#RRGGBB".
QString colorCode(int red, int green, int blue);
inline QString colorCode(const Rgb& rgb)
{
    return colorCode(rgb[0], rgb[1], rgb[2]);
}

// Reads hexadecimal digits of either case from the left up to the first other character,
// skipping blanks, tabs and line feeds; no digit gives 0. "1Z" -> 1, "ZZ" -> 0, " F" -> 15.
// The value is kept in 32 bits, as two's complement: "FFFFFFFF" -> -1; older digits fall off.
int leadingHexValue(QStringView text);

// A typed code is taken once it is exactly seven characters starting with "#"; each pair is then
// read leniently, so "#12ZZ56" gives 18, 0, 86. Anything else gives nothing.
std::optional<Rgb> parseColorCode(QStringView text);

} // namespace tintara
