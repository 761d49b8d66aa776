#include "preview/previewrenderer.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace tintara {

namespace {

constexpr int kPointSizes[PreviewRenderer::kLines] = {12, 30, 9, 8};

// Qt fills a tiled area one run per tile: a picture a few pixels wide costs a run for nearly
// every pixel. Repeated into a block at least this wide and high, it draws the same pattern in a
// fraction of the time.
constexpr int kMinimumTilingSpan = 64;

} // namespace

PreviewRenderer::PreviewRenderer(const QFont& baseFont, const QString& homePage)
{
    const QString texts[kLines] = {
        QStringLiteral("背景色・文字色確認ソフト"),
        QStringLiteral("Tintara 3.0"),
        homePage,
        QStringLiteral("※Drag & Dropで背景を画像に。ダブルクリックで切り替え"),
    };
    for (int i = 0; i < kLines; ++i) {
        Line& line = m_lines[i];
        line.text = texts[i];
        line.font = baseFont;
        line.font.setPointSize(kPointSizes[i]);
        line.font.setItalic(false);
        line.layout.setText(line.text);
        line.layout.setTextFormat(Qt::PlainText);
        line.layout.setPerformanceHint(QStaticText::AggressiveCaching);
    }
}

void PreviewRenderer::layOutLines()
{
    // Not at construction, which comes before the window is shown: the fonts of four sizes
    // that this loads would hold the window back.
    if (m_laidOut)
        return;
    m_laidOut = true;
    for (Line& line : m_lines) {
        line.layout.prepare(QTransform(), line.font);
        // The layout's extent covers every face the line falls back to, not just the first.
        line.extent = line.layout.size();
    }
}

QPointF PreviewRenderer::linePosition(int line, QSizeF size, TwipsScale twips)
{
    layOutLines();
    if (size != m_positionsFor || twips != m_positionsScale) {
        const float t = twips.perPixel();
        const float w = static_cast<float>(size.width()) * t;
        const float h = static_cast<float>(size.height()) * t;
        for (int i = 0; i < kLines; ++i) {
            const float tw = static_cast<float>(m_lines[i].extent.width()) * t;
            const float th = static_cast<float>(m_lines[i].extent.height()) * t;
            const float x = (w - tw) / 2.0f;
            float y = 0;
            switch (i) {
            case 0:
                y = (h - th) / 5.0f;
                break;
            case 1:
                y = static_cast<float>(((h - th) / 3.0f) * 1.5);
                break;
            case 2:
                y = static_cast<float>(((h - th) / 3.0f) * 2.2);
                break;
            default:
                y = h - th;
                break;
            }
            m_positions[i] = QPointF(x / t, y / t);
        }
        m_positionsFor = size;
        m_positionsScale = twips;
    }
    return m_positions[line];
}

const QPixmap& PreviewRenderer::tilingPixmap(const QPixmap& picture)
{
    if (picture.cacheKey() == m_tilingSource)
        return m_tiling;
    m_tilingSource = picture.cacheKey();
    const QSize tile = picture.size();
    const int across = (kMinimumTilingSpan + tile.width() - 1) / tile.width();
    const int down = (kMinimumTilingSpan + tile.height() - 1) / tile.height();
    if (across == 1 && down == 1) {
        m_tiling = picture;
        return m_tiling;
    }
    QImage source = picture.toImage().convertToFormat(
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    source.setDevicePixelRatio(1);
    QImage block(tile.width() * across, tile.height() * down, source.format());
    {
        QPainter blockPainter(&block);
        blockPainter.setCompositionMode(QPainter::CompositionMode_Source);
        blockPainter.fillRect(block.rect(), QBrush(source));
    }
    m_tiling = QPixmap::fromImage(block);
    m_tiling.setDevicePixelRatio(picture.devicePixelRatio());
    return m_tiling;
}

void PreviewRenderer::paintBackground(QPainter& painter, QSizeF size, const Background& background)
{
    const QRectF box(QPointF(0, 0), size);
    if (background.solid) {
        painter.fillRect(box, background.color);
        return;
    }
    if (!background.picture || background.picture->isNull() || background.tileWidthTwips <= 0 ||
        background.tileHeightTwips <= 0) {
        painter.fillRect(box, background.cleared);
        return;
    }
    // Only the text changes while colours are chosen over a picture: the tiled picture is kept
    // whole and copied, which costs a fraction of tiling it again.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels(std::max(1, int(std::ceil(size.width() * ratio))),
                       std::max(1, int(std::ceil(size.height() * ratio))));
    const qint64 source = background.picture->cacheKey();
    if (m_backdrop.size() != pixels || m_backdrop.devicePixelRatio() != ratio ||
        m_backdropSource != source || m_backdropCleared != background.cleared.rgb()) {
        m_backdrop = QImage(pixels, QImage::Format_RGB32);
        m_backdrop.setDevicePixelRatio(ratio);
        m_backdrop.fill(background.cleared);
        // One call draws the tiles at 0, step, 2 x step, ... clipped by the box; the step is the
        // picture's own size (its twips measure rounds back to the same pixels). A small picture
        // is first repeated into a larger block of whole tiles, which draws the same pattern.
        QPainter tiler(&m_backdrop);
        tiler.drawTiledPixmap(box, tilingPixmap(*background.picture));
        m_backdropSource = source;
        m_backdropCleared = background.cleared.rgb();
    }
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(0, 0), m_backdrop);
    painter.setCompositionMode(mode);
}

void PreviewRenderer::paintLine(QPainter& painter, int line, QSizeF size, TwipsScale twips,
                                const QColor& foreground)
{
    const QPointF at = linePosition(line, size, twips);
    painter.setPen(foreground);
    painter.setFont(m_lines[line].font);
    painter.drawStaticText(at, m_lines[line].layout);
}

} // namespace tintara
