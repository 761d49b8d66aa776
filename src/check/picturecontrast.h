#pragma once

#include "check/contrast.h"
#include "check/largememory.h"
#include "color/rgb.h"

#include <QImage>
#include <atomic>
#include <memory>
#include <vector>

namespace tintara {

// The contrast of text over a picture as the preview shows it, every pixel composited over the
// colour under the picture. Built once per picture, on every core, so that a question per text
// colour is a binary search over the picture's distinct colours in order of luminance.
class PictureContrast
{
public:
    PictureContrast(const QImage& picture, QRgb under);
    // The same, giving up early, empty, once `abandoned` is set from any thread.
    PictureContrast(const QImage& picture, QRgb under, const std::atomic<bool>& abandoned);

    // For a null picture, an abandoned one and one of 2^32 pixels or more.
    bool isEmpty() const { return m_count == 0; }
    // The darkest and the lightest pixel's luminance; the picture must not be empty.
    double darkest() const;
    double lightest() const;

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
    struct Shade
    {
        quint32 color;  // 0xRRGGBB
        quint32 before; // the pixels of all shades before this one
    };
    void clear();
    double luminanceAt(size_t i) const;
    // The first shade at least as light as `luminance`.
    size_t firstAtLeast(double luminance) const;
    // The first shade from `from` on that a text of `luminance` darker than it reaches target
    // against, the shades' count if none.
    size_t firstPassingAbove(size_t from, double luminance, double target) const;

    LargeArray<Shade> m_shades; // by luminance, then colour; one per distinct colour
    size_t m_count = 0;
    quint32 m_total = 0;
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
