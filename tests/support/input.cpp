#include "support/input.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>

namespace tintara::test {

void sendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(position), QPointF(widget->mapToGlobal(position)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void typeInto(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

Qt::DropAction dropOn(QWidget* widget, const QMimeData& data, Qt::DropActions offered,
                      Qt::KeyboardModifiers modifiers)
{
    QDragEnterEvent enter(QPoint(20, 20), offered, &data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(widget, &enter);
    QDropEvent drop(QPointF(20, 20), offered, &data, Qt::LeftButton, modifiers);
    static_cast<QObject*>(widget)->event(&drop);
    if (!enter.isAccepted() || !drop.isAccepted() || enter.dropAction() != drop.dropAction())
        return Qt::IgnoreAction;
    return drop.dropAction();
}

void dropFiles(QWidget* widget, const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    QMimeData data;
    data.setUrls(urls);
    dropOn(widget, data);
}

} // namespace tintara::test
