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
    if (!std::isfinite(value) || std::fabs(value) > 2147483647.0)
        return kOffBar;
    return static_cast<int>(std::nearbyint(value));
}

int toDevice(double logical, qreal dpr)
{
    return static_cast<int>(std::lround(logical * dpr));
}

void fillSpan(QImage& image, int x0, int x1, int y0, int y1, QRgb colour)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image.width());
    y1 = std::min(y1, image.height());
    for (int y = y0; y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + x0, line + std::max(x0, x1), colour);
    }
}

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
    const qreal dpr = image.devicePixelRatio();
    const int step = barStep(web216);
    const float cell = barCellWidth(web216);
    const int cells = 255 / step + 1;
    const int thickness = std::max(1, static_cast<int>(std::lround(dpr)));

    std::vector<int> edges(cells + 1);
    for (int k = 0; k <= cells; ++k)
        edges[k] = toDevice(double(k * cell), dpr);

    for (int row = 0; row < kBarRows; ++row) {
        const int top = toDevice(row * kBarRowHeight, dpr);
        const int bottom = toDevice((row + 1) * kBarRowHeight, dpr);
        for (int k = 0; k < cells; ++k) {
            Rgb colour = channels;
            colour[row] = k * step;
            fillSpan(image, edges[k], edges[k + 1], top, bottom,
                     qRgb(colour[0], colour[1], colour[2]));
        }
        const int current = channels[row];
        if (current < 0 || current > 255 || current % step != 0)
            continue;
        // The mark runs along the cell's left and top edges and one pixel inside its right and
        // bottom edges.
        const int k = current / step;
        const int left = edges[k];
        const int right = toDevice((k + 1) * double(cell) - 1.0, dpr);
        const int markBottom = toDevice((row + 1) * kBarRowHeight - 1, dpr);
        const QRgb white = qRgb(255, 255, 255);
        fillSpan(image, left, right + thickness, top, top + thickness, white);
        fillSpan(image, left, right + thickness, markBottom, markBottom + thickness, white);
        fillSpan(image, left, left + thickness, top, markBottom + thickness, white);
        fillSpan(image, right, right + thickness, top, markBottom + thickness, white);
    }
}

} // namespace tintara
