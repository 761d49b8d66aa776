#pragma once

#include "platform/twips.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QSizeF>
#include <QStaticText>
#include <QString>
#include <array>

class QPainter;

namespace tintara {

// Paints the preview: the background (plain colour or a tiled picture) and four centred sample
// lines. Text layouts and line positions are made on the first drawing and reused on every
// redraw.
class PreviewRenderer
{
public:
    static constexpr int kLines = 4;

    struct Background
    {
        bool solid = true;
        QColor color;                     // the plain background colour
        QColor cleared;                   // what the box shows when nothing is painted on it
        const QPixmap* picture = nullptr; // tiled when not solid
        int tileWidthTwips = 0;
        int tileHeightTwips = 0;
    };

    PreviewRenderer(const QFont& baseFont, const QString& homePage);

    // size is the box in logical pixels; positions are worked out in twips like the rest of the
    // window's design, then mapped back to pixels.
    void paintBackground(QPainter& painter, QSizeF size, const Background& background);
    void paintLine(QPainter& painter, int line, QSizeF size, TwipsScale twips,
                   const QColor& foreground);

    // Top-left of a line in logical pixels for a box of the given size.
    QPointF linePosition(int line, QSizeF size, TwipsScale twips);

private:
    void layOutLines();
    const QPixmap& tilingPixmap(const QPixmap& picture);

    struct Line
    {
        QString text;
        QFont font;
        QStaticText layout;
        QSizeF extent; // logical pixels
    };
    std::array<Line, kLines> m_lines;
    bool m_laidOut = false;

    QSizeF m_positionsFor;
    TwipsScale m_positionsScale{0};
    std::array<QPointF, kLines> m_positions{};

    // The background picture repeated into a larger block, made once per picture.
    QPixmap m_tiling;
    qint64 m_tilingSource = 0;
    // The box's whole background over a picture, remade when the picture, size or scale changes.
    QImage m_backdrop;
    qint64 m_backdropSource = 0;
    QRgb m_backdropCleared = 0;
};

} // namespace tintara
