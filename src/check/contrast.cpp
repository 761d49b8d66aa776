#include "check/contrast.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tintara {

namespace {

struct Lab
{
    double l, a, b;
};

Lab okLab(const Rgb& colour)
{
    const auto& lin = linearChannels();
    const double r = lin[colour[0]], g = lin[colour[1]], b = lin[colour[2]];
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

double squaredDistance(const Lab& x, const Lab& y)
{
    return (x.l - y.l) * (x.l - y.l) + (x.a - y.a) * (x.a - y.a) + (x.b - y.b) * (x.b - y.b);
}

double apcaLuminance(const Rgb& colour)
{
    const auto channel = [](int v) { return std::pow(double(v) / kChannelMax, 2.4); };
    double y = 0.2126729 * channel(colour[0]) + 0.7151522 * channel(colour[1]) +
               0.0721750 * channel(colour[2]);
    if (y < 0.022)
        y += std::pow(0.022 - y, 1.414);
    return y;
}

// The search for the nearest passing colour: the best so far, and what a candidate must reach.
class NearestSearch
{
public:
    NearestSearch(const Rgb& from, double otherLuminance, double target, ContrastSide side)
        : m_from(okLab(from))
        , m_start(from)
        , m_other(otherLuminance)
        , m_target(target)
        , m_side(side)
    {
    }

    bool passes(const Rgb& colour) const
    {
        const double luminance = relativeLuminance(colour);
        if ((m_side == ContrastSide::Lighter && luminance < m_other) ||
            (m_side == ContrastSide::Darker && luminance > m_other))
            return false;
        return contrastRatio(luminance, m_other) >= m_target;
    }

    void consider(const Rgb& colour)
    {
        if (!passes(colour))
            return;
        const double distance = squaredDistance(okLab(colour), m_from);
        if (distance < m_bestDistance) {
            m_bestDistance = distance;
            m_best = colour;
        }
    }

    // With red and blue fixed, the greens that pass lie at the light or the dark end; the one
    // nearest the starting green, if any.
    std::optional<int> green(int r, int b, bool lighter) const
    {
        const auto& lin = linearChannels();
        const double rest = kRedWeight * lin[r] + kBlueWeight * lin[b];
        int g = 0;
        if (lighter) {
            const double need = m_target * (m_other + 0.05) - 0.05;
            const double value = (need - rest) / kGreenWeight;
            g = int(std::lower_bound(lin.begin(), lin.end(), value) - lin.begin());
            g = std::max(g, m_start[1]);
        } else {
            const double limit = (m_other + 0.05) / m_target - 0.05;
            const double value = (limit - rest) / kGreenWeight;
            g = int(std::upper_bound(lin.begin(), lin.end(), value) - lin.begin()) - 1;
            g = std::min(g, m_start[1]);
        }
        // The table search is exact up to rounding; the rule itself decides.
        const int step = lighter ? 1 : -1;
        while (g >= 0 && g <= kChannelMax && !passes({r, g, b}))
            g += step;
        if (g < 0 || g > kChannelMax)
            return std::nullopt;
        return g;
    }

    void searchSide(bool lighter)
    {
        // A coarse grid over red and blue finds the region; a fine one around its best settles it.
        constexpr int kCoarse = 5;
        std::optional<Rgb> coarseBest;
        double coarseDistance = std::numeric_limits<double>::infinity();
        for (int r = 0; r <= kChannelMax; r += kCoarse) {
            for (int b = 0; b <= kChannelMax; b += kCoarse) {
                const auto g = green(r, b, lighter);
                if (!g)
                    continue;
                const double distance = squaredDistance(okLab({r, *g, b}), m_from);
                if (distance < coarseDistance) {
                    coarseDistance = distance;
                    coarseBest = Rgb{r, *g, b};
                }
            }
        }
        if (!coarseBest)
            return;
        const Rgb centre = *coarseBest;
        for (int r = std::max(0, centre[0] - kCoarse);
             r <= std::min(kChannelMax, centre[0] + kCoarse); ++r) {
            for (int b = std::max(0, centre[2] - kCoarse);
                 b <= std::min(kChannelMax, centre[2] + kCoarse); ++b) {
                if (const auto g = green(r, b, lighter))
                    consider({r, *g, b});
            }
        }
    }

    std::optional<Rgb> best() const { return m_best; }

private:
    Lab m_from;
    Rgb m_start;
    double m_other;
    double m_target;
    ContrastSide m_side;
    std::optional<Rgb> m_best;
    double m_bestDistance = std::numeric_limits<double>::infinity();
};

} // namespace

double linearFromSrgb(double fraction)
{
    return fraction <= 0.04045 ? fraction / 12.92 : std::pow((fraction + 0.055) / 1.055, 2.4);
}

const std::array<double, kChannelMax + 1>& linearChannels()
{
    static const auto table = [] {
        std::array<double, kChannelMax + 1> values{};
        for (int v = 0; v <= kChannelMax; ++v)
            values[v] = linearFromSrgb(double(v) / kChannelMax);
        return values;
    }();
    return table;
}

double relativeLuminance(const Rgb& colour)
{
    const auto& lin = linearChannels();
    return kRedWeight * lin[colour[0]] + kGreenWeight * lin[colour[1]] +
           kBlueWeight * lin[colour[2]];
}

double contrastRatio(double luminance, double otherLuminance)
{
    const auto [darker, lighter] = std::minmax(luminance, otherLuminance);
    return (lighter + 0.05) / (darker + 0.05);
}

double contrastRatio(const Rgb& colour, const Rgb& other)
{
    return contrastRatio(relativeLuminance(colour), relativeLuminance(other));
}

QString ratioText(double ratio)
{
    // The allowance covers the arithmetic's own error, a few units in the last place, so that a
    // ratio of exactly a hundredth shows itself; a ratio below a threshold never shows it.
    int hundredths = int(std::floor(ratio * 100 * (1 + 1e-14)));
    for (const double threshold : {kAaLarge, kAaNormal, kAaaNormal}) {
        const int shown = int(std::lround(threshold * 100));
        if (ratio < threshold && hundredths >= shown)
            hundredths = shown - 1;
    }
    return QStringLiteral("%1.%2:1")
        .arg(hundredths / 100)
        .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

bool justBelow(double ratio, double threshold)
{
    return ratio < threshold && ratio >= threshold - 0.05;
}

double apcaContrast(const Rgb& text, const Rgb& background)
{
    const double yText = apcaLuminance(text);
    const double yBack = apcaLuminance(background);
    if (std::abs(yBack - yText) < 0.0005)
        return 0;
    if (yBack > yText) {
        const double s = (std::pow(yBack, 0.56) - std::pow(yText, 0.57)) * 1.14;
        return s < 0.1 ? 0 : (s - 0.027) * 100;
    }
    const double s = (std::pow(yBack, 0.65) - std::pow(yText, 0.62)) * 1.14;
    return s > -0.1 ? 0 : (s + 0.027) * 100;
}

QString apcaText(double lc)
{
    const QString text = QString::number(lc, 'f', 1);
    return text == QLatin1String("-0.0") ? QStringLiteral("0.0") : text;
}

double okLabDistance(const Rgb& a, const Rgb& b)
{
    return std::sqrt(squaredDistance(okLab(a), okLab(b)));
}

std::optional<Rgb> nearestPassingColour(const Rgb& colour, double otherLuminance, double target,
                                        bool webSafe, ContrastSide side)
{
    NearestSearch search(colour, otherLuminance, target, side);
    if (search.passes(colour))
        return colour;
    if (webSafe) {
        for (int r = 0; r <= kChannelMax; r += kWebSafeStep)
            for (int g = 0; g <= kChannelMax; g += kWebSafeStep)
                for (int b = 0; b <= kChannelMax; b += kWebSafeStep)
                    search.consider({r, g, b});
        return search.best();
    }
    if (side != ContrastSide::Darker)
        search.searchSide(true);
    if (side != ContrastSide::Lighter)
        search.searchSide(false);
    return search.best();
}

} // namespace tintara
