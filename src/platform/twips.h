#pragma once

#include <QRect>

class QWidget;

namespace tintara {

inline constexpr int kTwipsPerInch = 1440;

// Twips per logical pixel of the widget's screen: 15 at 96 DPI.
float twipsPerPixel(const QWidget* widget);

// Design geometry is kept in twips; this converts it once, rounding each value to whole pixels.
int twipsToPixels(double twips, float twipsPerPixel);
QRect twipsRect(int left, int top, int width, int height, float twipsPerPixel);

} // namespace tintara
