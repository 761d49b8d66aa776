#pragma once

#include "color/rgb.h"

#include <QString>
#include <optional>
#include <vector>

namespace tintara {

// WCAG 2.x minimum contrast ratios, for normal and for large text.
inline constexpr double kAaNormal = 4.5;
inline constexpr double kAaLarge = 3.0;
inline constexpr double kAaaNormal = 7.0;
inline constexpr double kAaaLarge = 4.5;

// The weights of linear red, green and blue in the relative luminance.
inline constexpr double kRedWeight = 0.2126;
inline constexpr double kGreenWeight = 0.7152;
inline constexpr double kBlueWeight = 0.0722;

// sRGB decoding: a channel's fraction 0..1 as linear light.
double linearFromSrgb(double fraction);
// The linear light of every 8-bit channel value.
const std::array<double, kChannelMax + 1>& linearChannels();

// WCAG relative luminance, 0 for black to 1 for white.
double relativeLuminance(const Rgb& color);
double contrastRatio(double luminance, double otherLuminance);
double contrastRatio(const Rgb& color, const Rgb& other);

// The ratio with two decimals rounded down, as "4.47:1": a pair that fails never shows a number
// that looks like a pass.
QString ratioText(double ratio);
// In the last 0.05 below the threshold, where a small change would pass.
bool justBelow(double ratio, double threshold);

// APCA-W3 0.1.9 lightness contrast Lc of text on a background: positive for dark text on a
// light background, negative for light text on a dark one.
double apcaContrast(const Rgb& text, const Rgb& background);
// Signed, one decimal: "63.1", "-68.5".
QString apcaText(double lc);

// A colour in OKLab: its lightness, and its green-red and blue-yellow axes.
struct OkLab
{
    double l = 0, a = 0, b = 0;
};
OkLab okLab(const Rgb& color);
// Euclidean distance in OKLab, the measure of "nearest" below.
double okLabDistance(const Rgb& a, const Rgb& b);

// A closed interval of relative luminance, 0 <= low <= high <= 1.
struct LuminanceBand
{
    double low = 0;
    double high = 0;
};

// What a colour must reach: the luminances that pass, as ascending disjoint closed bands (worked
// out from the formula; their ends may be off by rounding), and the exact test the verdict itself
// uses.
class ContrastNeed
{
public:
    virtual ~ContrastNeed() = default;
    virtual std::vector<LuminanceBand> bands() const = 0;
    virtual bool passes(double luminance) const = 0;
};

// Against one colour of the given luminance: passes(L) is contrastRatio(L, other) >= target.
class AgainstLuminance final : public ContrastNeed
{
public:
    AgainstLuminance(double otherLuminance, double target)
        : m_other(otherLuminance)
        , m_target(target)
    {
    }
    std::vector<LuminanceBand> bands() const override;
    bool passes(double luminance) const override;

private:
    double m_other;
    double m_target;
};

// The nearest colour in OKLab to `start` that the need passes: `start` itself when it passes.
// A start of OKLCh chroma below 0.02 is a grey and gets a grey; any other colour one within 3
// degrees of its hue, within 2% of the nearest such. With `webSafe`, one of the 216: the nearest
// grey for a grey, else the nearest within 30 degrees of the hue, else the nearest at all.
// Nothing when no candidate passes.
std::optional<Rgb> nearestPassingColor(const Rgb& start, const ContrastNeed& need, bool webSafe);

} // namespace tintara
