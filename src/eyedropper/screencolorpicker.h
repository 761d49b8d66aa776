#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>

namespace tintara {

class PickSession;

// Takes one pixel's colour from anywhere on the screen. Asynchronous: after start(), exactly one
// of picked, cancelled or failed is emitted (failed's message is Japanese, ready to show to the
// user).
class ScreenColorPicker : public QObject
{
    Q_OBJECT
public:
    enum class Method { Automatic, ScreenGrab, Portal };

    explicit ScreenColorPicker(QObject* parent = nullptr);
    ~ScreenColorPicker() override;
    // Automatic: the screen grab on X11 (platform "xcb"), the portal on Wayland (platform
    // "wayland*"), and on anything else a failure with a message. Tests choose.
    void setMethod(Method method);
    // The portal's bus; by default the session bus. Tests pass a private bus's address.
    void setPortalBusAddress(const QString& address);
    // Ignored while active.
    virtual void start();
    // Ends the attempt going on as the user's cancelling does: its screens close, or the portal's
    // request is withdrawn, before this returns, and cancelled follows. Nothing while not active.
    void cancel();
    bool isActive() const { return m_active; }

signals:
    void picked(QColor color);
    void cancelled();
    void failed(QString message);

private:
    PickSession* makeSession(QString& whyNot);
    template<typename Emit>
    void conclude(Emit emitResult);

    Method m_method = Method::Automatic;
    QString m_portalBusAddress;
    QPointer<PickSession> m_session;
    bool m_active = false;
};

} // namespace tintara
