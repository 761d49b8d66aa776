#pragma once

#include "color/rgb.h"

#include <QImage>

namespace tintara {

// How a colour looks with a colour-vision deficiency, after Machado, Oliveira and Fernandes
// (2009) at full severity; achromatopsia keeps the relative luminance alone.
enum class Vision { Normal, Protanopia, Deuteranopia, Tritanopia, Achromatopsia };

Rgb simulatedColor(const Rgb& color, Vision vision);
// The picture as it looks with the deficiency, every pixel as simulatedColor gives it; alpha
// is kept.
QImage simulatedPicture(const QImage& picture, Vision vision);

} // namespace tintara
