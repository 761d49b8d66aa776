#pragma once

#include "color/rgb.h"

#include <QImage>
#include <vector>

namespace tintara {

// The contrast of text over a picture as the preview shows it, every pixel composited over the
// colour under the picture. Built once per picture, so that a question per text colour is a
// binary search over the picture's distinct luminances.
class PictureContrast
{
public:
    PictureContrast() = default;
    PictureContrast(const QImage& picture, QRgb under);

    bool isEmpty() const { return m_total == 0; }
    // The darkest and the lightest pixel's luminance; the picture must not be empty.
    double darkest() const { return m_luminance.front(); }
    double lightest() const { return m_luminance.back(); }

    struct Verdict
    {
        double ratio = 0; // the lowest over all pixels
        Rgb worst{};      // a pixel with that ratio
        int aaPercent =
            0; // the pixels that reach AA for normal text, in whole percent rounded down
    };
    Verdict against(const Rgb& text) const;

private:
    std::vector<double> m_luminance; // ascending, one entry per distinct colour
    std::vector<quint32> m_colour;
    std::vector<quint64> m_before; // pixels before each entry, and all of them at the end
    quint64 m_total = 0;
};

} // namespace tintara
