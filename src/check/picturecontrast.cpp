#include "check/picturecontrast.h"

#include "check/contrast.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <limits>

namespace tintara {

namespace {

Rgb channels(quint32 colour)
{
    return {int(qRed(colour)), int(qGreen(colour)), int(qBlue(colour))};
}

} // namespace

PictureContrast::PictureContrast(const QImage& picture, QRgb under)
{
    if (picture.isNull())
        return;
    QImage shown;
    if (picture.hasAlphaChannel()) {
        shown = QImage(picture.size(), QImage::Format_RGB32);
        shown.fill(under);
        QPainter painter(&shown);
        painter.drawImage(0, 0, picture);
    } else {
        shown = picture.convertToFormat(QImage::Format_RGB32);
    }
    if (shown.isNull())
        return;

    // The pixels grouped by red, each group then counted in a table of green and blue small
    // enough to stay in the cache: a table of every colour would be missed on nearly every pixel.
    const int width = shown.width();
    std::array<quint32, kChannelMax + 2> start{};
    for (int y = 0; y < shown.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        for (int x = 0; x < width; ++x)
            ++start[qRed(line[x]) + 1];
    }
    for (int r = 0; r <= kChannelMax; ++r)
        start[r + 1] += start[r];
    std::vector<quint16> greenBlue(start.back());
    std::array<quint32, kChannelMax + 1> next{};
    std::copy(start.begin(), start.end() - 1, next.begin());
    for (int y = 0; y < shown.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        for (int x = 0; x < width; ++x)
            greenBlue[next[qRed(line[x])]++] = quint16(line[x] & 0xFFFFu);
    }
    struct Shade
    {
        double luminance;
        quint32 colour;
        quint32 count;
    };
    std::vector<Shade> shades;
    std::vector<quint32> counts(1u << 16);
    for (int r = 0; r <= kChannelMax; ++r) {
        for (quint32 i = start[r]; i < start[r + 1]; ++i)
            ++counts[greenBlue[i]];
        for (quint32 gb = 0; start[r] < start[r + 1] && gb < counts.size(); ++gb) {
            if (!counts[gb])
                continue;
            const Rgb colour{r, int(gb >> 8), int(gb & 0xFFu)};
            shades.push_back({relativeLuminance(colour), (quint32(r) << 16) | gb, counts[gb]});
            counts[gb] = 0;
        }
    }
    std::sort(shades.begin(), shades.end(),
              [](const Shade& a, const Shade& b) { return a.luminance < b.luminance; });
    m_luminance.reserve(shades.size());
    m_colour.reserve(shades.size());
    m_before.reserve(shades.size() + 1);
    for (const Shade& shade : shades) {
        m_luminance.push_back(shade.luminance);
        m_colour.push_back(shade.colour);
        m_before.push_back(m_total);
        m_total += shade.count;
    }
    m_before.push_back(m_total);
}

PictureContrast::Verdict PictureContrast::against(const Rgb& text) const
{
    Verdict verdict;
    if (isEmpty())
        return verdict;
    const double own = relativeLuminance(text);
    const auto ratioAt = [&](size_t i) { return contrastRatio(m_luminance[i], own); };
    // The worst pixel is the nearest in luminance, just below or just above the text's.
    const size_t above =
        size_t(std::lower_bound(m_luminance.begin(), m_luminance.end(), own) - m_luminance.begin());
    size_t worst = above < m_luminance.size() ? above : above - 1;
    if (above > 0 && ratioAt(above - 1) < ratioAt(worst))
        worst = above - 1;
    verdict.ratio = ratioAt(worst);
    verdict.worst = channels(m_colour[worst]);

    // Darker pixels pass up to a point, lighter ones from a point on.
    const auto passes = [&](size_t i) { return ratioAt(i) >= kAaNormal; };
    // The first entry in [from, to) whose verdict is `wantPass`, or `to`.
    const auto first = [&](size_t from, size_t to, bool wantPass) {
        while (from < to) {
            const size_t middle = from + (to - from) / 2;
            if (passes(middle) == wantPass)
                to = middle;
            else
                from = middle + 1;
        }
        return from;
    };
    const size_t darkPassing = first(0, above, false);
    const size_t lightPassing = first(above, m_luminance.size(), true);
    const quint64 passing = m_before[darkPassing] + (m_total - m_before[lightPassing]);
    verdict.aaPercent = int(passing * 100 / m_total);
    return verdict;
}

double PictureContrast::worstRatio(double luminance) const
{
    // The nearest pixels in luminance, just below and just above, have the lowest ratios.
    const auto above = std::lower_bound(m_luminance.begin(), m_luminance.end(), luminance);
    double worst = std::numeric_limits<double>::infinity();
    if (above != m_luminance.end())
        worst = contrastRatio(*above, luminance);
    if (above != m_luminance.begin())
        worst = std::min(worst, contrastRatio(*(above - 1), luminance));
    return worst;
}

std::vector<LuminanceBand> PictureContrast::passingBands(double target) const
{
    if (target <= 1)
        return {{0, 1}};
    // Each pixel forbids the text luminances too near its own, an open band from below(p) to
    // above(p); both ends rise with p. What the pixels' bands leave free passes.
    const auto below = [target](double p) { return (p + 0.05) / target - 0.05; };
    const auto above = [target](double p) { return target * (p + 0.05) - 0.05; };
    std::vector<LuminanceBand> bands;
    double freeFrom = 0;
    size_t i = 0;
    while (i < m_luminance.size()) {
        if (below(m_luminance[i]) >= freeFrom)
            bands.push_back({freeFrom, below(m_luminance[i])});
        // The run of overlapping bands from pixel i, in jumps: the pixels whose bands start
        // before the run's end join it, and the last of them reaches furthest. A free gap needs
        // the next pixel target squared times as far, so there are only a few.
        size_t last = i;
        size_t next = i + 1;
        for (;;) {
            const double reach = above(m_luminance[last]);
            next = size_t(std::partition_point(m_luminance.begin() + next, m_luminance.end(),
                                               [&](double p) { return below(p) < reach; }) -
                          m_luminance.begin());
            if (next == last + 1)
                break;
            last = next - 1;
        }
        freeFrom = above(m_luminance[last]);
        i = next;
    }
    if (freeFrom <= 1)
        bands.push_back({freeFrom, 1});
    return bands;
}

} // namespace tintara
