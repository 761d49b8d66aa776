#include "preview/colorbar.h"

#include "preview/web216.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace tintara {

namespace {

constexpr int kOffBar = std::numeric_limits<int>::min();

// Rounds to the nearest integer, halves to even; kOffBar when the result does not fit.
int roundHalfEven(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > double(std::numeric_limits<int>::max()))
        return kOffBar;
    return static_cast<int>(std::nearbyint(value));
}

int toDevice(double units, double scale)
{
    return static_cast<int>(std::lround(units * scale));
}

// The image's pixels, detached once: going through QImage::scanLine for every span of every cell
// costs more than the filling itself.
class Pixels
{
public:
    explicit Pixels(QImage& image)
        : m_bits(image.bits())
        , m_bytesPerLine(image.bytesPerLine())
        , m_width(image.width())
        , m_height(image.height())
    {
    }

    void fill(int x0, int x1, int y0, int y1, QRgb color)
    {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, m_width);
        y1 = std::min(y1, m_height);
        for (int y = y0; y < y1; ++y)
            std::fill(line(y) + x0, line(y) + std::max(x0, x1), color);
    }

    // Copies columns x0..x1 of line `from` to the lines y0..y1.
    void repeatLine(int from, int x0, int x1, int y0, int y1)
    {
        x0 = std::max(x0, 0);
        x1 = std::min(x1, m_width);
        y0 = std::max(y0, 0);
        y1 = std::min(y1, m_height);
        if (from < 0 || from >= m_height || x1 <= x0)
            return;
        for (int y = y0; y < y1; ++y) {
            if (y != from)
                std::copy(line(from) + x0, line(from) + x1, line(y) + x0);
        }
    }

private:
    QRgb* line(int y) { return reinterpret_cast<QRgb*>(m_bits + qsizetype(y) * m_bytesPerLine); }

    uchar* m_bits;
    qsizetype m_bytesPerLine;
    int m_width;
    int m_height;
};

} // namespace

int barStep(bool web216)
{
    return web216 ? kWebSafeStep : 1;
}

float barCellWidth(bool web216)
{
    return 256.0f / (255.0f / static_cast<float>(barStep(web216)) + 1.0f);
}

int pickBarValue(float xTwips, float twipsPerPixel, bool web216)
{
    const int x = roundHalfEven(xTwips);
    const int cell = roundHalfEven(static_cast<float>(twipsPerPixel * barCellWidth(web216)));
    if (x == kOffBar || cell == kOffBar || cell == 0)
        return -1;
    const int value = x / cell;
    return web216 ? value * kWebSafeStep : value;
}

int pickBarRow(float yTwips, float twipsPerPixel)
{
    const int y = roundHalfEven(yTwips);
    const int row = roundHalfEven(static_cast<float>(twipsPerPixel * kBarRowHeight));
    if (y == kOffBar || row == kOffBar || row == 0)
        return -1;
    return y / row;
}

void renderColorBar(QImage& image, const Rgb& channels, bool web216)
{
    if (image.depth() != 32)
        return;
    // Device pixels per unit of the bar's 256 x 60 design, across and down.
    const double sx = double(image.width()) / kBarUnits;
    const double sy = double(image.height()) / (kBarRows * kBarRowHeight);
    const int step = barStep(web216);
    const float cell = barCellWidth(web216);
    const int cells = 255 / step + 1;
    const int across = std::max(1, static_cast<int>(std::lround(sx)));
    const int down = std::max(1, static_cast<int>(std::lround(sy)));

    std::vector<int> edges(cells + 1);
    for (int k = 0; k <= cells; ++k)
        edges[k] = toDevice(double(k * cell), sx);

    Pixels pixels(image);
    for (int row = 0; row < kBarRows; ++row) {
        const int top = toDevice(row * kBarRowHeight, sy);
        const int bottom = toDevice((row + 1) * kBarRowHeight, sy);
        // One line of the strip is drawn cell by cell; the others are copies of it.
        for (int k = 0; k < cells; ++k) {
            Rgb color = channels;
            color[row] = k * step;
            pixels.fill(edges[k], edges[k + 1], top, top + 1, qRgb(color[0], color[1], color[2]));
        }
        pixels.repeatLine(top, edges[0], edges[cells], top + 1, bottom);
        const int current = channels[row];
        if (current < 0 || current > 255 || current % step != 0)
            continue;
        // The mark runs along the cell's left and top edges and one pixel inside its right and
        // bottom edges.
        const int k = current / step;
        const int left = edges[k];
        const int right = toDevice((k + 1) * double(cell) - 1.0, sx);
        const int markBottom = toDevice((row + 1) * kBarRowHeight - 1, sy);
        const QRgb white = qRgb(255, 255, 255);
        pixels.fill(left, right + across, top, top + down, white);
        pixels.fill(left, right + across, markBottom, markBottom + down, white);
        pixels.fill(left, left + across, top, markBottom + down, white);
        pixels.fill(right, right + across, top, markBottom + down, white);
    }
}

} // namespace tintara
