#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

class QImage;
class QPainter;

namespace tintara {

// Where a magnifier of the given size goes for a pointer at `pointer`: below and to the right of
// it, on the other side of the pointer in a direction where that would leave the area, and moved
// into the area where even that does not fit.
QRect magnifierPlace(QPoint pointer, QSize size, QRect area);

// The magnified pixels around one pixel of a screen's image, their grid, the centre pixel
// outlined, its code and how to take it or cancel. Sizes are in logical pixels.
class Magnifier
{
public:
    static constexpr int kSamples = 11; // odd, so that one pixel is the centre

    Magnifier();
    QSize size() const { return m_size; }
    // Pixels outside the image are drawn as a checkerboard.
    void draw(QPainter& painter, QPoint topLeft, const QImage& screen, QPoint pixel) const;

private:
    QFont m_codeFont;
    QFont m_hintFont;
    int m_cell = 12; // at least; as wide as the texts need
    int m_codeHeight = 0;
    int m_hintHeight = 0;
    QSize m_size;
};

} // namespace tintara
