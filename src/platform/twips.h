#pragma once

#include <QRect>

class QWidget;

namespace tintara {

inline constexpr int kTwipsPerInch = 1440;

// The design's unit, the twip, against the logical pixels of a screen: 15 twips a pixel at 96 DPI.
// Design geometry is kept in twips and converted once, each value rounded to whole pixels.
class TwipsScale
{
public:
    constexpr TwipsScale() = default;
    explicit constexpr TwipsScale(float twipsPerPixel)
        : m_perPixel(twipsPerPixel)
    {
    }
    // The scale of the widget's screen.
    static TwipsScale of(const QWidget* widget);

    constexpr float perPixel() const { return m_perPixel; }
    int toPixels(double twips) const;
    // The fewest whole pixels that are at least that many twips.
    int toPixelsAtLeast(int twips) const;
    int toTwips(int pixels) const;
    float toTwips(double pixels) const { return float(pixels * double(m_perPixel)); }
    QRect rect(int left, int top, int width, int height) const;

    friend constexpr bool operator==(TwipsScale a, TwipsScale b)
    {
        return a.m_perPixel == b.m_perPixel;
    }
    friend constexpr bool operator!=(TwipsScale a, TwipsScale b) { return !(a == b); }

private:
    float m_perPixel = 15.0f;
};

} // namespace tintara
