#include "check/picturecontrast.h"

#include "check/largememory.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>

namespace tintara {

namespace {

constexpr int kReds = kChannelMax + 1;
constexpr quint32 kGreenBlues = 1u << 16;
// Pictures smaller than this are not worth a thread.
constexpr qint64 kThreadedPixels = 1 << 18;
// A red with fewer pixels has them sorted, not counted in a table of every green and blue.
constexpr quint32 kSortedReds = 2048;
// The shades are first grouped by the top bits of their key, then each group sorted on its own.
constexpr int kGroupBits = 11;
constexpr int kGroups = 1 << kGroupBits;
constexpr int kMaxSubBits = 18;

// Each channel's share of the relative luminance, summed in the order relativeLuminance sums
// them, so that both give the same number to the last bit.
struct Shares
{
    std::array<double, kReds> red{}, green{}, blue{};
    Shares()
    {
        const auto& linear = linearChannels();
        for (int v = 0; v < kReds; ++v) {
            red[v] = kRedWeight * linear[v];
            green[v] = kGreenWeight * linear[v];
            blue[v] = kBlueWeight * linear[v];
        }
    }
    double operator()(quint32 color) const
    {
        return red[(color >> 16) & 0xFF] + green[(color >> 8) & 0xFF] + blue[color & 0xFF];
    }
};

const Shares& shares()
{
    static const Shares table;
    return table;
}

// A key that never decreases as the luminance grows. Colours crowd near black, but in no 2048th
// of the key more than two and a half times as thickly as on average.
quint32 keyOf(double luminance)
{
    return quint32(luminance * 4294967295.0);
}

Rgb channels(quint32 color)
{
    return {int(color >> 16) & 0xFF, int(color >> 8) & 0xFF, int(color) & 0xFF};
}

// Runs work(part) for every part in [0, parts), the calling thread taking part 0.
template<typename Work>
void inParallel(int parts, const Work& work)
{
    std::vector<std::thread> helpers;
    for (int part = 1; part < parts; ++part)
        helpers.emplace_back(work, part);
    work(0);
    for (std::thread& helper : helpers)
        helper.join();
}

// Where a part of many takes its share of `count` items.
qint64 shareStart(qint64 count, int part, int parts)
{
    return count * part / parts;
}

// The picture's rows as the preview shows them, 32 bits a pixel; null if abandoned first.
class ShownRows
{
public:
    template<typename Stop>
    ShownRows(const QImage& picture, QRgb under, int parts, const Stop& stop)
    {
        if (picture.format() == QImage::Format_RGB32) {
            m_shown = picture;
            return;
        }
        // Bands of rows, into memory taken once: bits() on a shared image would copy it.
        m_shown = largeImage(picture.size(), QImage::Format_RGB32);
        if (m_shown.isNull())
            return;
        uchar* const bits = m_shown.bits();
        const qsizetype bytesPerLine = m_shown.bytesPerLine();
        const int width = picture.width(), height = picture.height();
        constexpr int kBand = 128;
        std::atomic<int> nextBand{0};
        inParallel(parts, [&](int) {
            for (int first; (first = kBand * nextBand++) < height && !stop();) {
                const int rows = std::min(kBand, height - first);
                QImage band(bits + first * bytesPerLine, width, rows, bytesPerLine,
                            QImage::Format_RGB32);
                if (picture.hasAlphaChannel()) {
                    band.fill(under);
                    QPainter painter(&band);
                    painter.drawImage(QRectF(0, 0, width, rows), picture,
                                      QRectF(0, first, width, rows));
                } else {
                    const QImage converted =
                        picture.copy(0, first, width, rows).convertToFormat(QImage::Format_RGB32);
                    for (int y = 0; y < rows; ++y)
                        std::copy_n(converted.constScanLine(y), width * 4, band.scanLine(y));
                }
            }
        });
        if (stop())
            m_shown = QImage();
    }

    bool isNull() const { return m_shown.isNull(); }
    const QRgb* row(int y) const { return reinterpret_cast<const QRgb*>(m_shown.constScanLine(y)); }

private:
    QImage m_shown;
};

} // namespace

PictureContrast::PictureContrast(const QImage& picture, QRgb under)
    : PictureContrast(picture, under, std::atomic<bool>(false))
{
}

PictureContrast::PictureContrast(const QImage& picture, QRgb under,
                                 const std::atomic<bool>& abandoned)
{
    const qint64 pixels = qint64(picture.width()) * picture.height();
    if (picture.isNull() || pixels > std::numeric_limits<quint32>::max())
        return;
    const int parts =
        pixels < kThreadedPixels ? 1 : std::clamp(int(std::thread::hardware_concurrency()), 1, 16);
    const auto stop = [&abandoned] { return abandoned.load(std::memory_order_relaxed); };
    const ShownRows shown(picture, under, parts, stop);
    if (shown.isNull() || stop())
        return;
    const int width = picture.width(), height = picture.height();
    const auto rowsOf = [&](int part) {
        return std::make_pair(int(shareStart(height, part, parts)),
                              int(shareStart(height, part + 1, parts)));
    };

    // The pixels grouped by red, each part's rows after the parts before, so that each red's
    // greens and blues can be counted on their own.
    std::vector<std::array<quint32, kReds>> redCount(parts);
    inParallel(parts, [&](int part) {
        auto& count = redCount[part];
        for (auto [y, end] = rowsOf(part); y < end && !stop(); ++y) {
            const QRgb* line = shown.row(y);
            for (int x = 0; x < width; ++x)
                ++count[qRed(line[x])];
        }
    });
    std::array<quint32, kReds + 1> redStart{};
    for (quint32 r = 0, at = 0; r < kReds; ++r) {
        redStart[r] = at;
        for (auto& count : redCount)
            at += std::exchange(count[r], at);
        redStart[r + 1] = at;
    }
    if (stop())
        return;
    auto greenBlue = largeArray<quint16>(size_t(pixels));
    if (!greenBlue)
        return;
    inParallel(parts, [&](int part) {
        auto& to = redCount[part];
        for (auto [y, end] = rowsOf(part); y < end && !stop(); ++y) {
            const QRgb* line = shown.row(y);
            for (int x = 0; x < width; ++x)
                greenBlue[to[qRed(line[x])]++] = quint16(line[x]);
        }
    });
    if (stop())
        return;

    // Every colour's count, each red's in a table of its greens and blues that stays in the
    // core's cache while it is counted, where a table of every colour would be missed on nearly
    // every pixel. A red of few pixels has them sorted instead: its table would be mostly empty.
    auto counts = largeArray<quint32>(size_t(kReds) << 16, Cleared::Yes);
    if (!counts)
        return;
    std::vector<std::vector<Shade>> fewOf(kReds);
    // Which reds each part took, in order, and how many shades of each group they gave.
    std::vector<std::vector<int>> redsOf(parts);
    std::vector<std::vector<quint32>> groupCount(parts, std::vector<quint32>(kGroups));
    const Shares& share = shares();
    const auto groupOf = [&share](quint32 color) {
        return keyOf(share(color)) >> (32 - kGroupBits);
    };
    // Calls take(colour, count) for every colour of red r the picture has, by green and blue.
    const auto forEachShade = [&](int r, std::vector<quint16>& present, const auto& take) {
        if (!fewOf[r].empty()) {
            for (const Shade& shade : fewOf[r])
                take(shade.color, shade.before);
            return;
        }
        const quint32* table = counts.get() + (size_t(r) << 16);
        // The slots counted, listed without a branch on each: about half of them are in a
        // noisy picture, and a branch would be mispredicted as often.
        quint32 found = 0;
        for (quint32 gb = 0; gb < kGreenBlues; ++gb) {
            present[found] = quint16(gb);
            found += table[gb] != 0;
        }
        const quint32 red = quint32(r) << 16;
        for (quint32 i = 0; i < found; ++i)
            take(red | present[i], table[present[i]]);
    };
    std::atomic<int> nextRed{0};
    inParallel(parts, [&](int part) {
        std::vector<quint16> present(kGreenBlues), sorted;
        auto& groups = groupCount[part];
        for (int r; (r = nextRed++) < kReds && !stop();) {
            redsOf[part].push_back(r);
            const quint16* from = greenBlue.get() + redStart[r];
            const quint32 n = redStart[r + 1] - redStart[r];
            if (n < kSortedReds) {
                sorted.assign(from, from + n);
                std::sort(sorted.begin(), sorted.end());
                for (quint32 i = 0, j = 0; i < n; i = j) {
                    while (j < n && sorted[j] == sorted[i])
                        ++j;
                    fewOf[r].push_back({(quint32(r) << 16) | sorted[i], j - i});
                }
            } else {
                quint32* table = counts.get() + (size_t(r) << 16);
                for (quint32 i = 0; i < n; ++i)
                    ++table[from[i]];
            }
            forEachShade(r, present, [&](quint32 color, quint32) { ++groups[groupOf(color)]; });
        }
    });
    greenBlue.reset();
    if (stop())
        return;

    // Into their groups, each part's shades after the parts before, as they came.
    std::vector<quint32> groupStart(kGroups + 1);
    for (quint32 g = 0, at = 0; g < kGroups; ++g) {
        groupStart[g] = at;
        for (auto& count : groupCount)
            at += std::exchange(count[g], at);
        groupStart[g + 1] = at;
    }
    m_count = groupStart[kGroups];
    m_shades = largeArray<Shade>(m_count);
    if (!m_shades) {
        clear();
        return;
    }
    inParallel(parts, [&](int part) {
        std::vector<quint16> present(kGreenBlues);
        auto& to = groupCount[part];
        for (const int r : redsOf[part]) {
            if (stop())
                return;
            forEachShade(r, present, [&](quint32 color, quint32 count) {
                m_shades[to[groupOf(color)]++] = {color, count};
            });
        }
    });
    counts.reset();
    if (stop()) {
        clear();
        return;
    }

    // Each group by the next bits of the key, then by luminance and colour: the last step sorts
    // runs of a few shades each.
    std::vector<quint32> groupPixels(kGroups);
    std::atomic<int> nextGroup{0};
    inParallel(parts, [&](int) {
        std::vector<Shade> unsorted;
        std::vector<quint32> sub, subStart;
        for (int g; (g = nextGroup++) < kGroups && !stop();) {
            Shade* const begin = m_shades.get() + groupStart[g];
            const quint32 n = groupStart[g + 1] - groupStart[g];
            // About two sub-keys a shade, so that most runs hold one.
            int subBits = 1;
            while (subBits < kMaxSubBits && (quint32(1) << subBits) < 2 * n)
                ++subBits;
            unsorted.assign(begin, begin + n);
            sub.resize(n);
            subStart.assign((size_t(1) << subBits) + 1, 0);
            quint32 pixelsInGroup = 0;
            for (quint32 i = 0; i < n; ++i) {
                sub[i] = (keyOf(share(unsorted[i].color)) >> (32 - kGroupBits - subBits)) &
                         ((1u << subBits) - 1);
                ++subStart[sub[i] + 1];
                pixelsInGroup += unsorted[i].before;
            }
            groupPixels[g] = pixelsInGroup;
            for (size_t s = 1; s < subStart.size(); ++s)
                subStart[s] += subStart[s - 1];
            for (quint32 i = 0; i < n; ++i)
                begin[subStart[sub[i]]++] = unsorted[i];
            // Only shades of one sub-key can be out of order, and they lie together.
            double last = n ? share(begin[0].color) : 0;
            for (quint32 i = 1; i < n; ++i) {
                const Shade shade = begin[i];
                const double luminance = share(shade.color);
                if (luminance > last) {
                    last = luminance;
                    continue;
                }
                quint32 j = i;
                for (; j > 0; --j) {
                    const double before = share(begin[j - 1].color);
                    if (before < luminance ||
                        (before == luminance && begin[j - 1].color < shade.color))
                        break;
                    begin[j] = begin[j - 1];
                }
                begin[j] = shade;
                last = share(begin[i].color);
            }
        }
    });
    if (stop()) {
        clear();
        return;
    }

    // The counts become the pixels before each shade.
    std::vector<quint32> pixelsBefore(kGroups + 1);
    for (int g = 0; g < kGroups; ++g)
        pixelsBefore[g + 1] = pixelsBefore[g] + groupPixels[g];
    m_total = pixelsBefore[kGroups];
    nextGroup = 0;
    inParallel(parts, [&](int) {
        for (int g; (g = nextGroup++) < kGroups;) {
            quint32 before = pixelsBefore[g];
            for (quint32 i = groupStart[g]; i < groupStart[g + 1]; ++i)
                before += std::exchange(m_shades[i].before, before);
        }
    });
}

void PictureContrast::clear()
{
    m_shades.reset();
    m_count = 0;
}

double PictureContrast::luminanceAt(size_t i) const
{
    return shares()(m_shades[i].color);
}

double PictureContrast::darkest() const
{
    return luminanceAt(0);
}

double PictureContrast::lightest() const
{
    return luminanceAt(m_count - 1);
}

size_t PictureContrast::firstAtLeast(double luminance) const
{
    size_t from = 0, to = m_count;
    while (from < to) {
        const size_t middle = from + (to - from) / 2;
        if (luminanceAt(middle) < luminance)
            from = middle + 1;
        else
            to = middle;
    }
    return from;
}

PictureContrast::Verdict PictureContrast::against(const Rgb& text) const
{
    Verdict verdict;
    if (isEmpty())
        return verdict;
    const double own = relativeLuminance(text);
    const auto ratioAt = [&](size_t i) { return contrastRatio(luminanceAt(i), own); };
    // The worst pixel is the nearest in luminance, just below or just above the text's.
    const size_t count = m_count;
    const size_t above = firstAtLeast(own);
    size_t worst = above < count ? above : above - 1;
    if (above > 0 && ratioAt(above - 1) < ratioAt(worst))
        worst = above - 1;
    verdict.ratio = ratioAt(worst);
    verdict.worst = channels(m_shades[worst].color);

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
    const size_t lightPassing = first(above, count, true);
    const auto before = [&](size_t i) { return i < count ? m_shades[i].before : m_total; };
    const quint64 passing = before(darkPassing) + quint64(m_total - before(lightPassing));
    verdict.aaPercent = int(passing * 100 / m_total);
    return verdict;
}

double PictureContrast::worstRatio(double luminance) const
{
    double worst = std::numeric_limits<double>::infinity();
    const size_t above = firstAtLeast(luminance);
    if (above < m_count)
        worst = contrastRatio(luminanceAt(above), luminance);
    if (above > 0)
        worst = std::min(worst, contrastRatio(luminanceAt(above - 1), luminance));
    return worst;
}

namespace {

bool reaches(double luminance, double pixel, double target)
{
    return contrastRatio(luminance, pixel) >= target;
}

// Non-negative doubles order as their bits do: a search over the bits finds a boundary to the
// last bit in 64 steps, where stepping from an estimate might cross 2^60 numbers that all give
// the same ratio.
quint64 bitsOf(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double fromBits(quint64 bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The lightest luminance not above a pixel's that reaches target against it; below 0 if none.
double lightestBelow(double pixel, double target)
{
    if (!reaches(0, pixel, target))
        return -1;
    quint64 low = bitsOf(0), high = bitsOf(pixel);
    while (low < high) {
        const quint64 middle = high - (high - low) / 2;
        if (reaches(fromBits(middle), pixel, target))
            low = middle;
        else
            high = middle - 1;
    }
    return fromBits(low);
}

// The darkest luminance not below a pixel's that reaches target against it; above 1 if none.
double darkestAbove(double pixel, double target)
{
    if (!reaches(1, pixel, target))
        return 2;
    quint64 low = bitsOf(pixel), high = bitsOf(1);
    while (low < high) {
        const quint64 middle = low + (high - low) / 2;
        if (reaches(fromBits(middle), pixel, target))
            high = middle;
        else
            low = middle + 1;
    }
    return fromBits(low);
}

} // namespace

size_t PictureContrast::firstPassingAbove(size_t from, double luminance, double target) const
{
    size_t to = m_count;
    while (from < to) {
        const size_t middle = from + (to - from) / 2;
        const double pixel = luminanceAt(middle);
        if (pixel >= luminance && reaches(luminance, pixel, target))
            to = middle;
        else
            from = middle + 1;
    }
    return from;
}

std::vector<LuminanceBand> PictureContrast::passingBands(double target) const
{
    if (isEmpty() || target <= 1)
        return {{0, 1}};
    std::vector<LuminanceBand> bands;
    const size_t count = m_count;
    const double below = lightestBelow(darkest(), target);
    if (below >= 0)
        bands.push_back({0, below});
    // Between two pixels neighbouring in luminance, text passes from where it clears the darker
    // up to where it stays clear of the lighter. Where text clears a pixel rises with the pixel:
    // after pixel i, the first gap can only end at a pixel that text clearing pixel i could pass
    // below, and none ends before.
    for (size_t i = 0; i + 1 < count;) {
        const double from = darkestAbove(luminanceAt(i), target);
        if (from > 1)
            return bands;
        const size_t j = firstPassingAbove(i + 1, from, target);
        if (j == count)
            break;
        const double gapFrom = darkestAbove(luminanceAt(j - 1), target);
        const double gapTo = lightestBelow(luminanceAt(j), target);
        if (gapFrom <= gapTo)
            bands.push_back({gapFrom, gapTo});
        i = j;
    }
    const double above = darkestAbove(lightest(), target);
    if (above <= 1)
        bands.push_back({above, 1});
    return bands;
}

} // namespace tintara
