#include "check/contrast.h"

#include <QtMath>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <queue>

namespace tintara {

namespace {

// OKLab in two steps: the cube roots of the three cone responses, each of which rises with every
// channel, and a linear map of them.
using ConeRoots = std::array<double, 3>;

constexpr double kLabFromRoots[3][3] = {{0.2104542553, 0.7936177850, -0.0040720468},
                                        {1.9779984951, -2.4285922050, 0.4505937099},
                                        {0.0259040371, 0.7827717662, -0.8086757660}};

// The cone responses: linear, with no weight below zero.
std::array<double, 3> coneResponses(const Rgb& color)
{
    const auto& lin = linearChannels();
    const double r = lin[color[0]], g = lin[color[1]], b = lin[color[2]];
    return {0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b,
            0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b,
            0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b};
}

ConeRoots coneRoots(const Rgb& color)
{
    const auto c = coneResponses(color);
    return {std::cbrt(c[0]), std::cbrt(c[1]), std::cbrt(c[2])};
}

// A cube root within 1e-14 of the true one, relatively, for a fifth of std::cbrt's time: a
// guess from the exponent's bits, then two of Halley's steps.
double roughCbrt(double x)
{
    if (!(x > 0))
        return 0;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof x);
    bits = bits / 3 + 0x2A9F7893782DA1CEu;
    double y = 0;
    std::memcpy(&y, &bits, sizeof y);
    for (int i = 0; i < 2; ++i) {
        const double cube = y * y * y;
        y *= (cube + 2 * x) / (2 * cube + x);
    }
    return y;
}

OkLab labFromRoots(const ConeRoots& x)
{
    const auto row = [&x](int i) {
        return kLabFromRoots[i][0] * x[0] + kLabFromRoots[i][1] * x[1] + kLabFromRoots[i][2] * x[2];
    };
    return {row(0), row(1), row(2)};
}

double squaredDistance(const OkLab& x, const OkLab& y)
{
    return (x.l - y.l) * (x.l - y.l) + (x.a - y.a) * (x.a - y.a) + (x.b - y.b) * (x.b - y.b);
}

double hueOf(const OkLab& color)
{
    return qRadiansToDegrees(std::atan2(color.b, color.a));
}

// Between two hues of -180 to 180 degrees, either way round.
double hueDistance(double x, double y)
{
    const double d = std::abs(x - y);
    return std::min(d, 360 - d);
}

bool isGrey(const Rgb& color)
{
    return color[0] == color[1] && color[1] == color[2];
}

// Below this OKLCh chroma a colour is a grey, and its hue mere noise.
constexpr double kGreyChroma = 0.02;
// How far in degrees from the start's hue a fitted colour may be, in full colour and among the 216.
constexpr double kHueLimit = 3;
constexpr double kWebSafeHueLimit = 30;

double apcaLuminance(const Rgb& color)
{
    const auto channel = [](int v) { return std::pow(double(v) / kChannelMax, 2.4); };
    double y = 0.2126729 * channel(color[0]) + 0.7151522 * channel(color[1]) +
               0.0721750 * channel(color[2]);
    if (y < 0.022)
        y += std::pow(0.022 - y, 1.414);
    return y;
}

// The nearest passing colour of those offered.
class Nearest
{
public:
    Nearest(const OkLab& from, const ContrastNeed& need)
        : m_from(from)
        , m_need(need)
    {
    }

    void offer(const Rgb& color)
    {
        if (!m_need.passes(relativeLuminance(color)))
            return;
        const double distance = squaredDistance(okLab(color), m_from);
        if (distance < m_distance) {
            m_distance = distance;
            m_best = color;
        }
    }
    const std::optional<Rgb>& best() const { return m_best; }
    double distance() const { return m_distance; }

private:
    OkLab m_from;
    const ContrastNeed& m_need;
    std::optional<Rgb> m_best;
    double m_distance = std::numeric_limits<double>::infinity();
};

// The nearest passing colour near a hue: best first over cubes of the RGB cube, halved while
// they may hold one nearer than the best found. The luminance and every cone root rise with
// each channel, so a cube's two far corners bound them, and the box of cone roots between
// them, mapped to OKLab, bounds the distance and the hue of the colours in the cube.
class NearestOfHue
{
public:
    NearestOfHue(const OkLab& from, const ContrastNeed& need)
        : m_from(from)
        , m_hue(hueOf(from))
        , m_nearest(from, need)
        , m_bands(need.bands())
    {
        // The wedge of hues is where neither side's outward normal points; widened a little
        // for rounding, as the colours themselves are measured by their angle.
        const double hue = std::atan2(from.b, from.a);
        const double half = qDegreesToRadians(kHueLimit + 0.01);
        m_outside[0] = {0, std::sin(hue - half), -std::cos(hue - half)};
        m_outside[1] = {0, -std::sin(hue + half), std::cos(hue + half)};
    }

    std::optional<Rgb> find()
    {
        struct Cube
        {
            double bound; // on the squared distance of its colours
            Rgb low;
            int size;
            bool operator<(const Cube& other) const { return bound > other.bound; }
        };
        // Near enough: within 1% of the best there can be.
        const double nearEnough = 1.01 * 1.01;
        std::priority_queue<Cube> cubes;
        cubes.push({0, {0, 0, 0}, kChannelMax + 1});
        while (!cubes.empty() && cubes.top().bound * nearEnough < m_nearest.distance()) {
            const Cube cube = cubes.top();
            cubes.pop();
            const int half = cube.size / 2;
            for (int i = 0; i < 8; ++i) {
                const Rgb low{cube.low[0] + (i & 1 ? half : 0), cube.low[1] + (i & 2 ? half : 0),
                              cube.low[2] + (i & 4 ? half : 0)};
                if (half == 1) {
                    if (!isGrey(low) && hueDistance(hueOf(okLab(low)), m_hue) <= kHueLimit)
                        m_nearest.offer(low);
                } else if (const auto bound = boundOf(low, half);
                           bound && *bound * nearEnough < m_nearest.distance()) {
                    cubes.push({*bound, low, half});
                }
            }
        }
        return m_nearest.best();
    }

private:
    // The lowest value of a weighing of the OKLab coordinates over the box of cone roots.
    static double lowestAlong(const OkLab& weights, const ConeRoots& low, const ConeRoots& high)
    {
        double lowest = 0;
        for (int j = 0; j < 3; ++j) {
            const double w = weights.l * kLabFromRoots[0][j] + weights.a * kLabFromRoots[1][j] +
                             weights.b * kLabFromRoots[2][j];
            lowest += w * (w >= 0 ? low[j] : high[j]);
        }
        return lowest;
    }

    // A lower bound on the squared distance of the cube's colours, or nothing when none of them
    // can both pass and be of the hue.
    std::optional<double> boundOf(const Rgb& low, int size) const
    {
        const Rgb high{low[0] + size - 1, low[1] + size - 1, low[2] + size - 1};
        const double darkest = relativeLuminance(low), lightest = relativeLuminance(high);
        // Band ends may be off by rounding.
        constexpr double slack = 1e-12;
        if (std::none_of(m_bands.begin(), m_bands.end(), [&](const LuminanceBand& band) {
                return lightest >= band.low - slack && darkest <= band.high + slack;
            }))
            return std::nullopt;
        // Rough roots, moved outwards by far more than they can be off.
        const auto roots = [](const Rgb& corner, double outwards) {
            const auto c = coneResponses(corner);
            return ConeRoots{roughCbrt(c[0]) * outwards, roughCbrt(c[1]) * outwards,
                             roughCbrt(c[2]) * outwards};
        };
        const ConeRoots rootsLow = roots(low, 1 - 1e-12), rootsHigh = roots(high, 1 + 1e-12);
        for (const OkLab& outside : m_outside) {
            if (lowestAlong(outside, rootsLow, rootsHigh) > 0)
                return std::nullopt;
        }
        // The distance to the box of OKLab coordinates, and along the way to its centre.
        const auto gap = [&](const OkLab& axis, double from) {
            const double lowest = lowestAlong(axis, rootsLow, rootsHigh);
            const double highest = -lowestAlong({-axis.l, -axis.a, -axis.b}, rootsLow, rootsHigh);
            return std::array<double, 2>{lowest - from, highest - from};
        };
        const auto l = gap({1, 0, 0}, m_from.l), a = gap({0, 1, 0}, m_from.a),
                   b = gap({0, 0, 1}, m_from.b);
        const auto outsideBy = [](const std::array<double, 2>& g) {
            return std::max({g[0], -g[1], 0.0});
        };
        double bound =
            std::pow(outsideBy(l), 2) + std::pow(outsideBy(a), 2) + std::pow(outsideBy(b), 2);
        const OkLab centre{(l[0] + l[1]) / 2, (a[0] + a[1]) / 2, (b[0] + b[1]) / 2};
        if (const double norm = std::sqrt(squaredDistance(centre, {})); norm > 0) {
            const OkLab towards{centre.l / norm, centre.a / norm, centre.b / norm};
            const double along =
                lowestAlong(towards, rootsLow, rootsHigh) -
                (towards.l * m_from.l + towards.a * m_from.a + towards.b * m_from.b);
            if (along > 0)
                bound = std::max(bound, along * along);
        }
        return bound;
    }

    OkLab m_from;
    double m_hue;
    Nearest m_nearest;
    std::vector<LuminanceBand> m_bands;
    std::array<OkLab, 2> m_outside;
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

double relativeLuminance(const Rgb& color)
{
    const auto& lin = linearChannels();
    return kRedWeight * lin[color[0]] + kGreenWeight * lin[color[1]] + kBlueWeight * lin[color[2]];
}

double contrastRatio(double luminance, double otherLuminance)
{
    const auto [darker, lighter] = std::minmax(luminance, otherLuminance);
    return (lighter + 0.05) / (darker + 0.05);
}

double contrastRatio(const Rgb& color, const Rgb& other)
{
    return contrastRatio(relativeLuminance(color), relativeLuminance(other));
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

OkLab okLab(const Rgb& color)
{
    return labFromRoots(coneRoots(color));
}

double okLabDistance(const Rgb& a, const Rgb& b)
{
    return std::sqrt(squaredDistance(okLab(a), okLab(b)));
}

std::vector<LuminanceBand> AgainstLuminance::bands() const
{
    if (m_target <= 1)
        return {{0, 1}};
    std::vector<LuminanceBand> bands;
    const double darker = (m_other + 0.05) / m_target - 0.05;
    const double lighter = m_target * (m_other + 0.05) - 0.05;
    if (darker >= 0)
        bands.push_back({0, darker});
    if (lighter <= 1)
        bands.push_back({lighter, 1});
    return bands;
}

bool AgainstLuminance::passes(double luminance) const
{
    return contrastRatio(luminance, m_other) >= m_target;
}

std::optional<Rgb> nearestPassingColor(const Rgb& start, const ContrastNeed& need, bool webSafe)
{
    if (need.passes(relativeLuminance(start)))
        return start;
    const OkLab from = okLab(start);
    const bool grey = std::hypot(from.a, from.b) < kGreyChroma;
    if (!webSafe && !grey)
        return NearestOfHue(from, need).find();
    // Greys and the 216 are few enough to try every one.
    Nearest inHue(from, need), any(from, need);
    if (!webSafe) {
        for (int v = 0; v <= kChannelMax; ++v)
            inHue.offer({v, v, v});
        return inHue.best();
    }
    for (int r = 0; r <= kChannelMax; r += kWebSafeStep) {
        for (int g = 0; g <= kChannelMax; g += kWebSafeStep) {
            for (int b = 0; b <= kChannelMax; b += kWebSafeStep) {
                const Rgb color{r, g, b};
                if (grey ? isGrey(color)
                         : !isGrey(color) &&
                               hueDistance(hueOf(okLab(color)), hueOf(from)) <= kWebSafeHueLimit)
                    inHue.offer(color);
                any.offer(color);
            }
        }
    }
    return inHue.best() || grey ? inHue.best() : any.best();
}

} // namespace tintara
