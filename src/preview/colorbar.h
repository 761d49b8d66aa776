#pragma once

#include "preview/colorcode.h"

class QImage;

namespace tintara {

// A colour bar is three strips of 20 x 256 pixels (red, green, blue from the top). Along a strip
// its own channel runs from 0 to 255 while the other two keep their values; in web-safe mode each
// strip has six cells, one per multiple of 51.
inline constexpr int kBarWidth = 256;
inline constexpr int kBarRowHeight = 20;
inline constexpr int kBarRows = 3;

int barStep(bool web216);
float barCellWidth(bool web216);

// The channel value under a pointer at xTwips on the bar. Positions off the bar give values
// outside 0..255, which callers leave unapplied.
int pickBarValue(float xTwips, float twipsPerPixel, bool web216);
// The strip under a pointer at yTwips: 0, 1 or 2 on the bar, anything else off it.
int pickBarRow(float yTwips, float twipsPerPixel);

// Draws the bar of one colour into the top-left 256 x 60 logical pixels of image, at the image's
// device pixel ratio, with a white mark on the cell of each channel's current value. The image
// must hold 32-bit pixels.
void renderColorBar(QImage& image, const Rgb& channels, bool web216);

} // namespace tintara
