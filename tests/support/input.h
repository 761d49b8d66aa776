#pragma once

#include <QEvent>
#include <QPoint>
#include <QStringList>
#include <Qt>

class QLineEdit;
class QMimeData;
class QWidget;

namespace tintara::test {

// Sends one mouse event straight to the widget, at a position in logical pixels: a press or a
// release of the button, or a move with the button held (Qt::NoButton: with none).
void sendMouse(QWidget* widget, QEvent::Type type, QPoint position,
               Qt::MouseButton button = Qt::LeftButton);

// Types the text over the box's whole contents, one key at a time.
void typeInto(QLineEdit* box, const QString& text);

// Drags data onto the widget and drops it, offering the given actions; Shift asks for a move.
// Qt hands over a drop only when the drag was welcomed; the drop is sent regardless, to show that
// it would be harmless. Gives the action the drop was taken as: IgnoreAction when the drag was
// not welcomed or the drop refused.
Qt::DropAction dropOn(QWidget* widget, const QMimeData& data,
                      Qt::DropActions offered = Qt::CopyAction,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void dropFiles(QWidget* widget, const QStringList& paths);

} // namespace tintara::test
