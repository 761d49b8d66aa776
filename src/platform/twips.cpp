#include "platform/twips.h"

#include <QWidget>
#include <cmath>

namespace tintara {

float twipsPerPixel(const QWidget* widget)
{
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return static_cast<float>(kTwipsPerInch) / static_cast<float>(dpi > 0 ? dpi : 96);
}

int twipsToPixels(double twips, float twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / static_cast<double>(twipsPerPixel)));
}

QRect twipsRect(int left, int top, int width, int height, float twipsPerPixel)
{
    const int x = twipsToPixels(left, twipsPerPixel);
    const int y = twipsToPixels(top, twipsPerPixel);
    // Convert the far edge rather than the size, so neighbours that touch in twips touch on screen.
    const int right = twipsToPixels(double(left) + width, twipsPerPixel);
    const int bottom = twipsToPixels(double(top) + height, twipsPerPixel);
    return QRect(x, y, right - x, bottom - y);
}

} // namespace tintara
