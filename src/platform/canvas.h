#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QUrl>
#include <QWidget>

namespace tintara {

// A picture box whose drawing persists: callers paint into a back buffer at the screen's device
// pixel ratio, and paintEvent only copies it. Mouse input is reported in logical pixels. With
// drops accepted (setAcceptDrops), dragged local files are offered to the owner as URLs.
class Canvas : public QWidget
{
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent = nullptr);

    // The drawing surface, sized to the widget at device resolution. Painting into it shows
    // nothing until present().
    QImage& buffer();
    const QImage& buffer() const { return m_buffer; }
    void present();

signals:
    void mousePressed(Qt::MouseButton button, QPointF position);
    void mouseMoved(Qt::MouseButtons buttons, QPointF position);
    void mouseReleased(Qt::MouseButton button, QPointF position);
    void doubleClicked();
    // A drop that carried a list of URLs; drops without one (dragged text) are not reported.
    void urlsDropped(const QList<QUrl>& urls);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ensureBuffer();

    QImage m_buffer;
};

} // namespace tintara
