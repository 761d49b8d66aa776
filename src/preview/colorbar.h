#pragma once

#include "preview/colorcode.h"

class QImage;

namespace tintara {

// A colour bar is three strips of 20 x 256 units (red, green, blue from the top), a unit being a
// pixel of 15 twips, as on a 96 DPI screen. Along a strip its own channel runs from 0 to 255 while
// the other two keep their values; in web-safe mode each strip has six cells, one per multiple of
// 51. Drawing and picking stretch the units over the bar's box, so it is filled and picked whole
// at any pixel size.
inline constexpr int kBarUnits = 256;
inline constexpr int kBarRowHeight = 20;
inline constexpr int kBarRows = 3;
inline constexpr float kBarUnitTwips = 15.0f;

int barStep(bool web216);
float barCellWidth(bool web216);

// The channel value under a pointer at xTwips on the bar. Positions off the bar give values
// outside 0..255, which callers leave unapplied.
int pickBarValue(float xTwips, float twipsPerPixel, bool web216);
// The strip under a pointer at yTwips: 0, 1 or 2 on the bar, anything else off it.
int pickBarRow(float yTwips, float twipsPerPixel);

// Draws the bar of one colour over the whole image, with a white mark on the cell of each
// channel's current value. The image must hold 32-bit pixels.
void renderColorBar(QImage& image, const Rgb& channels, bool web216);

} // namespace tintara
