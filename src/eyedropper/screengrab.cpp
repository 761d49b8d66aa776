#include "eyedropper/screengrab.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace tintara {

namespace {

// About a second: long enough for a program that holds the keyboard for a moment (a menu
// closing) to let it go.
constexpr int kGrabAttempts = 100;
constexpr int kGrabInterval = 10;

// The device pixel at a logical offset from a screen's top-left.
QPoint toDevice(const QRect& area, QPointF offset, qreal ratio)
{
    return area.topLeft() + QPoint(qRound(offset.x() * ratio), qRound(offset.y() * ratio));
}

} // namespace

ScreenOverlay::ScreenOverlay(QScreen* screen, QImage image, const Magnifier& magnifier)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::BypassWindowManagerHint)
    , m_image(std::move(image))
    , m_area(screen->geometry())
    , m_magnifier(magnifier)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setScreen(screen);
    setGeometry(m_area);
}

void ScreenOverlay::showMarker(std::optional<QPoint> pixel)
{
    if (pixel == m_marker)
        return;
    // Only the magnifier's old and new places are drawn again; the rest is the frozen image.
    if (m_marker)
        update(markerRect());
    m_marker = pixel;
    if (m_marker)
        update(markerRect());
}

bool ScreenOverlay::grabInput()
{
    QWindow* window = windowHandle();
    if (!window)
        return false;
    if (!window->setKeyboardGrabEnabled(true) || !window->setMouseGrabEnabled(true)) {
        window->setKeyboardGrabEnabled(false);
        window->setMouseGrabEnabled(false);
        return false;
    }
    // Qt's own record of the grab, so that every key and click is delivered here.
    grabKeyboard();
    grabMouse();
    return true;
}

QPoint ScreenOverlay::devicePosition(const QMouseEvent* event) const
{
    // The position in the window is the one Qt keeps unrounded, but the first motion after the
    // grab can bring the position in the window the pointer was over before: the global one,
    // rounded, then tells.
    QPointF local = event->scenePosition();
    const QPointF global = event->globalPosition() - QPointF(m_area.topLeft());
    if ((local - global).manhattanLength() > 2)
        local = global;
    return toDevice(m_area, local, m_image.devicePixelRatio());
}

QRect ScreenOverlay::markerRect() const
{
    const qreal ratio = m_image.devicePixelRatio();
    const QPoint pointer((m_marker->x() + 0.5) / ratio, (m_marker->y() + 0.5) / ratio);
    return magnifierPlace(pointer, m_magnifier.size(), rect());
}

void ScreenOverlay::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const qreal ratio = m_image.devicePixelRatio();
    for (const QRect& part : event->region())
        painter.drawImage(part, m_image,
                          QRectF(QPointF(part.topLeft()) * ratio, QSizeF(part.size()) * ratio));
    if (m_marker && event->region().intersects(markerRect()))
        m_magnifier.draw(painter, markerRect().topLeft(), m_image, *m_marker);
}

void ScreenOverlay::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(devicePosition(event));
}

void ScreenOverlay::mousePressEvent(QMouseEvent* event)
{
    m_pressedButtons |= event->button();
    emit moved(devicePosition(event));
}

void ScreenOverlay::mouseReleaseEvent(QMouseEvent* event)
{
    if (!(m_pressedButtons & event->button()))
        return;
    m_pressedButtons &= ~event->button();
    if (event->button() == Qt::LeftButton) {
        emit moved(devicePosition(event));
        emit taken();
    } else if (event->button() == Qt::RightButton) {
        emit abandoned();
    }
}

void ScreenOverlay::keyPressEvent(QKeyEvent* event)
{
    const int distance = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Left:
        emit stepped({-distance, 0});
        break;
    case Qt::Key_Right:
        emit stepped({distance, 0});
        break;
    case Qt::Key_Up:
        emit stepped({0, -distance});
        break;
    case Qt::Key_Down:
        emit stepped({0, distance});
        break;
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!event->isAutoRepeat())
            m_pressedKey = event->key();
        break;
    default:
        event->ignore();
    }
}

void ScreenOverlay::keyReleaseEvent(QKeyEvent* event)
{
    // Acting on the release leaves no stray release for the window that gets the focus back: a
    // button there would take a Space released over it as a click.
    if (event->isAutoRepeat() || event->key() != m_pressedKey)
        return;
    m_pressedKey = 0;
    if (event->key() == Qt::Key_Escape)
        emit abandoned();
    else
        emit taken();
}

ScreenGrabSession::~ScreenGrabSession()
{
    close();
}

void ScreenGrabSession::start()
{
    m_returnFocus = QApplication::activeWindow();
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens) {
        QImage image = screen->grabWindow(0).toImage();
        if (image.isNull()) {
            emit failed(QStringLiteral("画面を読み取れませんでした。"));
            return;
        }
        auto* overlay = m_overlays
                            .emplace_back(std::make_unique<ScreenOverlay>(screen, std::move(image),
                                                                          m_magnifier))
                            .get();
        connect(overlay, &ScreenOverlay::moved, this, &ScreenGrabSession::moveTo);
        connect(overlay, &ScreenOverlay::stepped, this, &ScreenGrabSession::step);
        connect(overlay, &ScreenOverlay::taken, this, &ScreenGrabSession::take);
        connect(overlay, &ScreenOverlay::abandoned, this, &ScreenGrabSession::cancel);
    }
    if (m_overlays.empty()) {
        emit failed(QStringLiteral("画面が見つかりません。"));
        return;
    }
    // The frozen images would no longer match the screens.
    connect(qApp, &QGuiApplication::screenAdded, this, &ScreenGrabSession::cancel);
    connect(qApp, &QGuiApplication::screenRemoved, this, &ScreenGrabSession::cancel);
    for (const auto& overlay : m_overlays)
        overlay->show();
    m_open = true;
    const QPoint pointer = QCursor::pos();
    for (const auto& overlay : m_overlays) {
        const QRect area = overlay->area();
        if (area.contains(pointer))
            moveTo(toDevice(area, pointer - area.topLeft(), overlay->image().devicePixelRatio()));
    }
    m_grabRetry.setInterval(kGrabInterval);
    m_grabRetry.setSingleShot(true);
    connect(&m_grabRetry, &QTimer::timeout, this, &ScreenGrabSession::tryGrab);
    tryGrab();
}

void ScreenGrabSession::cancel()
{
    if (!m_open)
        return;
    close();
    emit cancelled();
}

void ScreenGrabSession::tryGrab()
{
    if (!m_open || m_overlays[std::max(m_current, 0)]->grabInput())
        return;
    if (++m_grabAttempts < kGrabAttempts) {
        m_grabRetry.start();
        return;
    }
    close();
    emit failed(QStringLiteral("ほかのプログラムがキーボードかマウスを使っているため、"
                               "画面から色を取得できません。"));
}

void ScreenGrabSession::moveTo(QPoint device)
{
    if (!m_open)
        return;
    const auto warp = std::find(m_warps.begin(), m_warps.end(), device);
    const bool echo = warp != m_warps.end();
    m_warps.erase(m_warps.begin(), echo ? warp + 1 : m_warps.end());
    if (echo)
        return;
    for (int i = 0; i < int(m_overlays.size()); ++i) {
        const QRect area = m_overlays[i]->deviceArea();
        if (area.contains(device)) {
            mark(i, device - area.topLeft());
            return;
        }
    }
}

void ScreenGrabSession::step(QPoint delta)
{
    if (!m_open || m_current < 0)
        return;
    ScreenOverlay* overlay = m_overlays[m_current].get();
    const QRect bounds = overlay->image().rect();
    const QPoint pixel(std::clamp(m_pixel.x() + delta.x(), bounds.left(), bounds.right()),
                       std::clamp(m_pixel.y() + delta.y(), bounds.top(), bounds.bottom()));
    mark(m_current, pixel);
    // The pointer follows as closely as logical pixels allow.
    const qreal ratio = overlay->image().devicePixelRatio();
    const QPoint offset(std::floor(pixel.x() / ratio), std::floor(pixel.y() / ratio));
    m_warps.push_back(toDevice(overlay->area(), offset, ratio));
    QCursor::setPos(overlay->screen(), overlay->area().topLeft() + offset);
}

void ScreenGrabSession::mark(int screen, QPoint pixel)
{
    if (m_current >= 0 && m_current != screen)
        m_overlays[m_current]->showMarker(std::nullopt);
    m_current = screen;
    m_pixel = pixel;
    m_overlays[screen]->showMarker(pixel);
}

void ScreenGrabSession::take()
{
    if (!m_open || m_current < 0)
        return;
    const QColor color = QColor::fromRgb(m_overlays[m_current]->image().pixel(m_pixel));
    close();
    emit picked(color);
}

void ScreenGrabSession::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_grabRetry.stop();
    for (const auto& overlay : m_overlays) {
        overlay->releaseKeyboard();
        overlay->releaseMouse();
        overlay->hide();
    }
    if (m_returnFocus)
        m_returnFocus->activateWindow();
}

} // namespace tintara
