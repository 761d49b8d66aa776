#include "platform/twips.h"

#include <QWidget>
#include <cmath>

namespace tintara {

namespace {

constexpr int kUsualDpi = 96;

} // namespace

TwipsScale TwipsScale::of(const QWidget* widget)
{
    const int dpi = widget ? widget->logicalDpiX() : kUsualDpi;
    return TwipsScale(float(kTwipsPerInch) / float(dpi > 0 ? dpi : kUsualDpi));
}

int TwipsScale::toPixels(double twips) const
{
    return static_cast<int>(std::lround(twips / double(m_perPixel)));
}

int TwipsScale::toPixelsAtLeast(int twips) const
{
    // The tolerance keeps an exact multiple from gaining a pixel through the float scale.
    return static_cast<int>(std::ceil(double(twips) / double(m_perPixel) - 1e-6));
}

int TwipsScale::toTwips(int pixels) const
{
    return static_cast<int>(std::lround(double(pixels) * double(m_perPixel)));
}

QRect TwipsScale::rect(int left, int top, int width, int height) const
{
    const int x = toPixels(left);
    const int y = toPixels(top);
    // Convert the far edge rather than the size, so neighbours that touch in twips touch on screen.
    const int right = toPixels(double(left) + width);
    const int bottom = toPixels(double(top) + height);
    return QRect(x, y, right - x, bottom - y);
}

} // namespace tintara
