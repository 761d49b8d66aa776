#pragma once

#include "colour/rgb.h"

#include <QString>
#include <optional>

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

// A closed interval of relative luminance, 0 <= low <= high <= 1.
struct LuminanceBand
{
    double low = 0;
    double high = 0;
};

// WCAG relative luminance, 0 for black to 1 for white.
double relativeLuminance(const Rgb& colour);
double contrastRatio(double luminance, double otherLuminance);
double contrastRatio(const Rgb& colour, const Rgb& other);

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

// Euclidean distance in OKLab, the measure of "nearest" below.
double okLabDistance(const Rgb& a, const Rgb& b);

// Which colours a search may give: lighter or darker than the other colour, or either.
enum class ContrastSide { Either, Lighter, Darker };

// The colour nearest to `colour` whose contrast against a colour of `otherLuminance` reaches
// `target`: the colour itself when it passes already, one of the 216 web-safe colours exactly
// when `webSafe`, otherwise within a few percent of the nearest of all colours. None when no
// colour can reach the target.
std::optional<Rgb> nearestPassingColour(const Rgb& colour, double otherLuminance, double target,
                                        bool webSafe, ContrastSide side = ContrastSide::Either);

} // namespace tintara
