#pragma once

#include <QColor>
#include <QObject>
#include <QString>

namespace tintara {

// One attempt at taking a colour from the screen, started once; it ends by emitting exactly one
// of its signals.
class PickSession : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void start() = 0;
    // Ends the attempt at once, as the user's cancelling does; nothing once it has ended.
    virtual void cancel() = 0;

signals:
    void picked(QColor color);
    void cancelled();
    void failed(QString message);
};

} // namespace tintara
