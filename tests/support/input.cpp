#include "support/input.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace tintara::test {

void sendMouse(QWidget* widget, int type, QPoint position, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(static_cast<QEvent::Type>(type), QPointF(position),
                      QPointF(widget->mapToGlobal(position)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void pressMouse(QWidget* widget, QPoint position, Qt::MouseButton button)
{
    sendMouse(widget, QEvent::MouseButtonPress, position, button, button);
}

void dragMouse(QWidget* widget, QPoint position, Qt::MouseButtons buttons)
{
    sendMouse(widget, QEvent::MouseMove, position, Qt::NoButton, buttons);
}

void releaseMouse(QWidget* widget, QPoint position, Qt::MouseButton button)
{
    sendMouse(widget, QEvent::MouseButtonRelease, position, button, Qt::NoButton);
}

} // namespace tintara::test
