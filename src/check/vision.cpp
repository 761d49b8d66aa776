#include "check/vision.h"

#include "check/contrast.h"

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
    // For a linear value's bucket of kBuckets, the 8-bit value at the bucket's start.
    static constexpr int kBuckets = 4096;
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
        int k = start[int(v * kBuckets)];
        while (k < kChannelMax && v >= roundsUp[k])
            ++k;
        return k;
    }
};

const Transfer& transfer()
{
    static const Transfer table;
    return table;
}

} // namespace

Rgb simulatedColour(const Rgb& colour, Vision vision)
{
    if (vision == Vision::Normal)
        return colour;
    const Transfer& t = transfer();
    const Matrix& m = matrixOf(vision);
    const double r = t.linear[colour[0]], g = t.linear[colour[1]], b = t.linear[colour[2]];
    Rgb seen{};
    for (int i = 0; i < 3; ++i)
        seen[i] = t.encode(m[i][0] * r + m[i][1] * g + m[i][2] * b);
    return seen;
}

QImage simulatedPicture(const QImage& picture, Vision vision)
{
    if (vision == Vision::Normal || picture.isNull())
        return picture;
    QImage seen = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                    : QImage::Format_RGB32);
    // Each channel's share of each output, ready to add; and the answers for recent colours, in
    // a table small enough to stay in the cache (a picture repeats its colours).
    const Transfer& t = transfer();
    const Matrix& m = matrixOf(vision);
    std::array<std::array<std::array<double, kChannelMax + 1>, 3>, 3> share{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int v = 0; v <= kChannelMax; ++v)
                share[i][j][v] = m[i][j] * t.linear[v];
    // Bands of rows run side by side, each with a table of the answers for recent colours that
    // stays in its core's cache (a picture repeats its colours).
    const auto simulateRows = [&](int first, int last) {
        constexpr quint32 kSlots = 1u << 16;
        constexpr quint32 kEmpty = 0xFFFFFFFFu;
        std::vector<quint32> knownIn(kSlots, kEmpty);
        std::vector<quint32> knownOut(kSlots);
        for (int y = first; y < last; ++y) {
            auto* line = reinterpret_cast<QRgb*>(seen.scanLine(y));
            for (int x = 0; x < seen.width(); ++x) {
                const quint32 in = line[x] & 0xFFFFFFu;
                const quint32 slot = (in * 2654435761u) >> 16;
                if (knownIn[slot] != in) {
                    const int r = int(in >> 16), g = int((in >> 8) & 0xFFu), b = int(in & 0xFFu);
                    quint32 out = 0;
                    for (int i = 0; i < 3; ++i)
                        out = (out << 8) |
                              quint32(t.encode(share[i][0][r] + share[i][1][g] + share[i][2][b]));
                    knownIn[slot] = in;
                    knownOut[slot] = out;
                }
                line[x] = (line[x] & 0xFF000000u) | knownOut[slot];
            }
        }
    };
    // Small pictures are not worth a thread.
    const int bands = seen.width() * qint64(seen.height()) < (1 << 18)
                          ? 1
                          : std::max(1, int(std::thread::hardware_concurrency()));
    std::vector<std::thread> workers;
    const int height = seen.height();
    (void)seen.bits(); // detached once, before the bands share it
    for (int band = 1; band < bands; ++band)
        workers.emplace_back(simulateRows, height * band / bands, height * (band + 1) / bands);
    simulateRows(0, height / bands);
    for (std::thread& worker : workers)
        worker.join();
    return seen;
}

} // namespace tintara
