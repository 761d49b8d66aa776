#pragma once

#include "check/contrast.h"
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

    // The lowest contrast ratio of text of this luminance against any pixel (the verdict's ratio).
    // With no pixels nothing is against the text: infinite, and every luminance passes.
    double worstRatio(double luminance) const;
    // The text luminances whose worst ratio reaches target, as ascending disjoint closed bands.
    std::vector<LuminanceBand> passingBands(double target) const;

private:
    std::vector<double> m_luminance; // ascending, one entry per distinct colour
    std::vector<quint32> m_colour;
    std::vector<quint64> m_before; // pixels before each entry, and all of them at the end
    quint64 m_total = 0;
};

// Text over a picture: passes(L) is worstRatio(L) >= target. The picture must outlive it.
class AgainstPicture final : public ContrastNeed
{
public:
    AgainstPicture(const PictureContrast& picture, double target)
        : m_picture(picture)
        , m_target(target)
    {
    }
    std::vector<LuminanceBand> bands() const override { return m_picture.passingBands(m_target); }
    bool passes(double luminance) const override
    {
        return m_picture.worstRatio(luminance) >= m_target;
    }

private:
    const PictureContrast& m_picture;
    double m_target;
};

} // namespace tintara
