#include "eyedropper/magnifier.h"

#include "preview/colorcode.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <algorithm>

namespace tintara {

namespace {

constexpr int kPadding = 6;
constexpr int kSwatch = 16;
// Between the pointer and the magnifier, so that the cross stays clear of it.
constexpr int kGap = 16;
const QColor kBackground(24, 24, 24, 232);
const QColor kBorder(255, 255, 255, 80);
const QColor kGridLine(128, 128, 128, 110);
const QColor kHint(205, 205, 205);
// Off-screen pixels, drawn as a checkerboard so that they read as no colour at all.
const QRgb kOffScreen[2] = {qRgb(96, 96, 96), qRgb(128, 128, 128)};

QString takeHint()
{
    return QStringLiteral("クリック・Enter で取得");
}

QString cancelHint()
{
    return QStringLiteral("Esc・右クリックで取り消し");
}

} // namespace

QRect magnifierPlace(QPoint pointer, QSize size, QRect area)
{
    QRect place(pointer + QPoint(kGap, kGap), size);
    if (place.right() > area.right())
        place.moveRight(pointer.x() - kGap);
    if (place.bottom() > area.bottom())
        place.moveBottom(pointer.y() - kGap);
    // Too close to both sides for either: inside the area, covering the pointer if it must.
    place.moveLeft(std::max(area.left(), std::min(place.left(), area.right() - size.width() + 1)));
    place.moveTop(std::max(area.top(), std::min(place.top(), area.bottom() - size.height() + 1)));
    return place;
}

Magnifier::Magnifier()
{
    m_codeFont.setBold(true);
    m_codeFont.setPixelSize(15);
    m_hintFont.setPixelSize(12);
    const QFontMetrics code(m_codeFont);
    const QFontMetrics hint(m_hintFont);
    m_codeHeight = std::max(code.height(), kSwatch);
    m_hintHeight = hint.height();
    const int texts =
        std::max({kSwatch + kPadding + code.horizontalAdvance("#DDDDDD"),
                  hint.horizontalAdvance(takeHint()), hint.horizontalAdvance(cancelHint())});
    m_cell = std::max(m_cell, (texts + kSamples - 1) / kSamples);
    const int grid = kSamples * m_cell;
    m_size = QSize(grid + 2 * kPadding, grid + m_codeHeight + 2 * m_hintHeight + 4 * kPadding);
}

void Magnifier::draw(QPainter& painter, QPoint topLeft, const QImage& screen, QPoint pixel) const
{
    constexpr int half = kSamples / 2;
    QImage samples(kSamples, kSamples, QImage::Format_RGB32);
    const QRect bounds = screen.rect();
    for (int y = 0; y < kSamples; ++y) {
        for (int x = 0; x < kSamples; ++x) {
            const QPoint at = pixel + QPoint(x - half, y - half);
            samples.setPixel(x, y,
                             bounds.contains(at) ? screen.pixel(at) : kOffScreen[(x + y) % 2]);
        }
    }
    const QColor centre = samples.pixelColor(half, half);

    painter.save();
    const QRect panel(topLeft, m_size);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Filled rather than stroked: a stroke is centred on its edge and would reach half a pixel
    // beyond the panel, where nothing repaints it.
    const QRect inner = panel.adjusted(1, 1, -1, -1);
    for (const QRect& edge : QRegion(panel).subtracted(inner))
        painter.fillRect(edge, kBorder);
    painter.fillRect(inner, kBackground);

    // Unsmoothed scaling: each pixel becomes a square cell.
    const QRect grid(panel.left() + kPadding, panel.top() + kPadding, kSamples * m_cell,
                     kSamples * m_cell);
    painter.drawImage(grid, samples);
    painter.setPen(QPen(kGridLine, 0));
    for (int i = 1; i < kSamples; ++i) {
        const int offset = i * m_cell;
        painter.drawLine(grid.left() + offset, grid.top(), grid.left() + offset, grid.bottom());
        painter.drawLine(grid.left(), grid.top() + offset, grid.right(), grid.top() + offset);
    }
    // Black outside and white inside, so that the outline shows on any colour.
    const QRectF cell(grid.left() + half * m_cell, grid.top() + half * m_cell, m_cell, m_cell);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(cell.adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(cell.adjusted(0.5, 0.5, -0.5, -0.5));

    const int codeTop = grid.bottom() + 1 + kPadding;
    const QRect swatch(panel.left() + kPadding, codeTop + (m_codeHeight - kSwatch) / 2, kSwatch,
                       kSwatch);
    painter.fillRect(swatch, centre);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(QRectF(swatch).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setFont(m_codeFont);
    painter.drawText(QRect(swatch.right() + 1 + kPadding, codeTop,
                           panel.right() - swatch.right() - kPadding, m_codeHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     colorCode(centre.red(), centre.green(), centre.blue()));

    painter.setFont(m_hintFont);
    painter.setPen(kHint);
    const QRect hints(panel.left() + kPadding, codeTop + m_codeHeight + kPadding,
                      panel.width() - 2 * kPadding, 2 * m_hintHeight);
    painter.drawText(hints, Qt::AlignLeft | Qt::AlignTop, takeHint() + '\n' + cancelHint());
    painter.restore();
}

} // namespace tintara
