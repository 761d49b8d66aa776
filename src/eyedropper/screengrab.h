#pragma once

#include "eyedropper/magnifier.h"
#include "eyedropper/picksession.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

class QScreen;

namespace tintara {

// One screen's frozen image, shown full-screen above everything, with the magnifier where the
// session puts it. Reports the user's input as what it means.
class ScreenOverlay : public QWidget
{
    Q_OBJECT
public:
    // The image is the screen's as grabbed, at the screen's device pixel ratio.
    ScreenOverlay(QScreen* screen, QImage image, const Magnifier& magnifier);

    const QImage& image() const { return m_image; }
    // The screen's place, fixed when the image was taken, in logical pixels and in device pixels
    // (which Qt starts at the same place).
    QRect area() const { return m_area; }
    QRect deviceArea() const { return {m_area.topLeft(), m_image.size()}; }
    void showMarker(std::optional<QPoint> pixel);
    // Takes the keyboard and the mouse from every other program, as it must to see Esc under a
    // window manager that would not give it the focus; fails while another program holds them.
    bool grabInput();

signals:
    // The pointer's place in device pixels: Qt's logical positions would round it to the
    // nearest logical pixel.
    void moved(QPoint device);
    void stepped(QPoint delta);
    void taken();
    void abandoned();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    QPoint devicePosition(const QMouseEvent* event) const;
    QRect markerRect() const;

    QImage m_image;
    QRect m_area;
    const Magnifier& m_magnifier;
    std::optional<QPoint> m_marker;
    // A release counts only after its press was seen here: the key or click that started the
    // picker must not end it.
    Qt::MouseButtons m_pressedButtons;
    int m_pressedKey = 0;
};

// Takes a colour from frozen images of all screens (X11).
class ScreenGrabSession : public PickSession
{
    Q_OBJECT
public:
    using PickSession::PickSession;
    ~ScreenGrabSession() override;
    void start() override;
    void cancel() override;

private:
    void tryGrab();
    void moveTo(QPoint device);
    void step(QPoint delta);
    void mark(int screen, QPoint pixel);
    void take();
    void close();

    Magnifier m_magnifier;
    // Deleted with the session, never from inside their own event handlers.
    std::vector<std::unique_ptr<ScreenOverlay>> m_overlays;
    QPointer<QWidget> m_returnFocus;
    QTimer m_grabRetry;
    int m_grabAttempts = 0;
    int m_current = -1;
    QPoint m_pixel;
    // Where the arrow keys put the pointer, oldest first, until the pointer reports having got
    // there: that report must not round away the device pixel they chose.
    std::deque<QPoint> m_warps;
    bool m_open = false;
};

} // namespace tintara
