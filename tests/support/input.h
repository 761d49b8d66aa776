#pragma once

#include <QPoint>
#include <Qt>

class QWidget;

namespace tintara::test {

// Sends one mouse event straight to the widget, with the buttons held during it; positions are
// logical pixels in the widget.
void sendMouse(QWidget* widget, int type, QPoint position, Qt::MouseButton button,
               Qt::MouseButtons buttons);
void pressMouse(QWidget* widget, QPoint position, Qt::MouseButton button = Qt::LeftButton);
void dragMouse(QWidget* widget, QPoint position, Qt::MouseButtons buttons = Qt::LeftButton);
void releaseMouse(QWidget* widget, QPoint position, Qt::MouseButton button = Qt::LeftButton);

} // namespace tintara::test
