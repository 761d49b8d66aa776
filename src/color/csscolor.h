#pragma once

#include "color/rgb.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace tintara {

// A colour read from CSS, in sRGB.
struct CssColor
{
    // Each channel 0..255, rounded to nearest as CSS writes it.
    Rgb rgb{};
    // 0..1.
    double alpha = 1;
    // The colour lay outside sRGB and was brought into it by CSS gamut mapping.
    bool mapped = false;
};

// Either a colour, or why the text is none: a short Japanese reason that follows
// "貼り付けられません: " on the status line.
struct CssColorRead
{
    std::optional<CssColor> color;
    QString problem;
};

// Reads one CSS Color 4 value: hex codes, the named colours, rgb(), rgba(), hsl(), hsla() (legacy
// and modern syntax), hwb(), lab(), lch(), oklab(), oklch() and color() with srgb, srgb-linear,
// display-p3, xyz, xyz-d50 and xyz-d65. Comments, surrounding blanks and a trailing ";" are
// allowed. A colour outside sRGB is gamut-mapped along OKLCh chroma, not clipped.
CssColorRead readCssColor(QStringView text);

// The colour that text gives to a property: from declarations ("color: #767676;") the last one of
// that name; for "background-color" a "background" shorthand with one colour in its last layer
// counts too. Text without declarations is read as one value, whatever the property.
CssColorRead readCssColorFor(QStringView text, QStringView property);

// The colour drawn over an opaque one, blended in gamma-encoded sRGB as browsers do.
Rgb composited(const CssColor& color, const Rgb& under);

} // namespace tintara
