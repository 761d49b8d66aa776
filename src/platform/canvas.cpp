#include "platform/canvas.h"

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tintara {

namespace {

bool carriesLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

// A file is only ever read, so a drop is taken as a copy, or failing that a link; a source told of
// a move would delete the user's file.
bool takeAsCopy(QDropEvent* event)
{
    const Qt::DropActions offered = event->possibleActions();
    if (!(offered & (Qt::CopyAction | Qt::LinkAction))) {
        event->ignore();
        return false;
    }
    event->setDropAction((offered & Qt::CopyAction) ? Qt::CopyAction : Qt::LinkAction);
    event->accept();
    return true;
}

} // namespace

Canvas::Canvas(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage& Canvas::buffer()
{
    ensureBuffer();
    return m_buffer;
}

void Canvas::present()
{
    update();
}

void Canvas::ensureBuffer()
{
    const qreal dpr = devicePixelRatioF();
    const QSize deviceSize(static_cast<int>(std::ceil(width() * dpr)),
                           static_cast<int>(std::ceil(height() * dpr)));
    if (m_buffer.size() == deviceSize && qFuzzyCompare(m_buffer.devicePixelRatio(), dpr))
        return;
    QImage resized(deviceSize.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    resized.setDevicePixelRatio(dpr);
    resized.fill(palette().color(QPalette::Window));
    if (!m_buffer.isNull()) {
        // Keep what was drawn until the owner draws again.
        QPainter painter(&resized);
        painter.drawImage(QRectF(QPointF(0, 0), m_buffer.deviceIndependentSize()), m_buffer);
    }
    m_buffer = resized;
}

void Canvas::paintEvent(QPaintEvent*)
{
    ensureBuffer();
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), m_buffer);
}

void Canvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ensureBuffer();
}

void Canvas::mousePressEvent(QMouseEvent* event)
{
    emit mousePressed(event->button(), event->position());
}

void Canvas::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved(event->buttons(), event->position());
}

void Canvas::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseReleased(event->button(), event->position());
}

void Canvas::mouseDoubleClickEvent(QMouseEvent*)
{
    // The second press of a double click is reported as the double click alone.
    emit doubleClicked();
}

void Canvas::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void Canvas::dragMoveEvent(QDragMoveEvent* event)
{
    // Only a drag that could give a file is welcomed, so the pointer refuses plain text.
    if (carriesLocalFile(event->mimeData()))
        takeAsCopy(event);
    else
        event->ignore();
}

void Canvas::dropEvent(QDropEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (!mime || !mime->hasUrls()) {
        event->ignore();
        return;
    }
    if (takeAsCopy(event))
        emit urlsDropped(mime->urls());
}

} // namespace tintara
