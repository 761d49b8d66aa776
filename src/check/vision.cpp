#include "check/vision.h"

#include "check/contrast.h"
#include "check/largememory.h"

#include <algorithm>
#include <array>
#include <thread>
#include <vector>

namespace tintara {

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

constexpr Matrix kProtanopia{{{0.152286, 1.052583, -0.204868},
                              {0.114503, 0.786281, 0.099216},
                              {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix kDeuteranopia{{{0.367322, 0.860646, -0.227968},
                                {0.280085, 0.672501, 0.047413},
                                {-0.011820, 0.042940, 0.968881}}};
constexpr Matrix kTritanopia{{{1.255528, -0.076749, -0.178779},
                              {-0.078411, 0.930809, 0.147602},
                              {0.004733, 0.691367, 0.303900}}};
// Each row is the relative luminance.
constexpr Matrix kAchromatopsia{{{kRedWeight, kGreenWeight, kBlueWeight},
                                 {kRedWeight, kGreenWeight, kBlueWeight},
                                 {kRedWeight, kGreenWeight, kBlueWeight}}};

const Matrix& matrixOf(Vision vision)
{
    switch (vision) {
    case Vision::Protanopia:
        return kProtanopia;
    case Vision::Deuteranopia:
        return kDeuteranopia;
    case Vision::Tritanopia:
        return kTritanopia;
    default:
        return kAchromatopsia;
    }
}

// The linear values at which the encoding rounds up to the next 8-bit value.
struct Transfer
{
    const std::array<double, kChannelMax + 1>& linear = linearChannels();
    std::array<double, kChannelMax> roundsUp{};
    // For a linear value's bucket of kBuckets, the 8-bit value at the bucket's start. The
    // buckets are narrower than the closest two thresholds, so a bucket holds at most one.
    static constexpr int kBuckets = 16384;
    std::array<quint8, kBuckets + 1> start{};

    Transfer()
    {
        for (int k = 0; k < kChannelMax; ++k)
            roundsUp[k] = linearFromSrgb((k + 0.5) / kChannelMax);
        for (int b = 0; b <= kBuckets; ++b)
            start[b] =
                quint8(std::upper_bound(roundsUp.begin(), roundsUp.end(), double(b) / kBuckets) -
                       roundsUp.begin());
    }

    // The nearest 8-bit value of a linear value clamped to 0..1.
    int encode(double v) const
    {
        v = std::clamp(v, 0.0, 1.0);
        const int k = start[int(v * kBuckets)];
        return k < kChannelMax && v >= roundsUp[k] ? k + 1 : k;
    }
};

const Transfer& transfer()
{
    static const Transfer table;
    return table;
}

// One deficiency's matrix with each channel's share of each output made ready to add.
class Simulation
{
public:
    explicit Simulation(Vision vision)
        : m_transfer(transfer())
    {
        const Matrix& m = matrixOf(vision);
        for (int v = 0; v <= kChannelMax; ++v)
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    m_share[v][j][i] = m[i][j] * m_transfer.linear[v];
    }

    QRgb operator()(QRgb in) const
    {
        const auto& r = m_share[qRed(in)];
        const auto& g = m_share[qGreen(in)];
        const auto& b = m_share[qBlue(in)];
        return qRgba(m_transfer.encode(r[0][0] + g[1][0] + b[2][0]),
                     m_transfer.encode(r[0][1] + g[1][1] + b[2][1]),
                     m_transfer.encode(r[0][2] + g[1][2] + b[2][2]), qAlpha(in));
    }

private:
    const Transfer& m_transfer;
    // By 8-bit value, then input channel, then output channel.
    std::array<std::array<std::array<double, 3>, 3>, kChannelMax + 1> m_share{};
};

} // namespace

Rgb simulatedColor(const Rgb& color, Vision vision)
{
    if (vision == Vision::Normal)
        return color;
    // The same sums, in the same order, as a picture's pixels get.
    const Transfer& t = transfer();
    const Matrix& m = matrixOf(vision);
    const double r = t.linear[color[0]], g = t.linear[color[1]], b = t.linear[color[2]];
    Rgb seen{};
    for (int i = 0; i < 3; ++i)
        seen[i] = t.encode(m[i][0] * r + m[i][1] * g + m[i][2] * b);
    return seen;
}

QImage simulatedPicture(const QImage& picture, Vision vision)
{
    if (vision == Vision::Normal || picture.isNull())
        return picture;
    const QImage::Format format =
        picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const QImage source = picture.convertToFormat(format);
    QImage seen = largeImage(source.size(), format);
    if (seen.isNull())
        return picture;
    seen.setDevicePixelRatio(source.devicePixelRatio());
    const Simulation simulate(vision);
    const int width = source.width();
    // Taken once, before the bands share the image: scanLine() would detach it in each.
    uchar* const pixels = seen.bits();
    const qsizetype bytesPerLine = seen.bytesPerLine();
    const auto simulateRows = [&](int first, int last) {
        // The answers for recent colours, in a table small enough to stay in the core's cache:
        // a picture repeats its colours.
        constexpr quint32 kSlots = 1u << 16;
        std::vector<quint32> knownIn(kSlots, 0xFFFFFFFFu);
        std::vector<QRgb> knownOut(kSlots);
        for (int y = first; y < last; ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            auto* out = reinterpret_cast<QRgb*>(pixels + y * bytesPerLine);
            for (int x = 0; x < width; ++x) {
                const quint32 color = in[x] & 0xFFFFFFu;
                const quint32 slot = (color * 2654435761u) >> 16;
                if (knownIn[slot] != color) {
                    knownIn[slot] = color;
                    knownOut[slot] = simulate(color) & 0xFFFFFFu;
                }
                out[x] = (in[x] & 0xFF000000u) | knownOut[slot];
            }
        }
    };
    // Bands of rows run side by side; small pictures are not worth a thread.
    const int bands = seen.width() * qint64(seen.height()) < (1 << 18)
                          ? 1
                          : std::max(1, int(std::thread::hardware_concurrency()));
    std::vector<std::thread> workers;
    const int height = seen.height();
    for (int band = 1; band < bands; ++band)
        workers.emplace_back(simulateRows, height * band / bands, height * (band + 1) / bands);
    simulateRows(0, height / bands);
    for (std::thread& worker : workers)
        worker.join();
    return seen;
}

} // namespace tintara
