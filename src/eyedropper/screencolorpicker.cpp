#include "eyedropper/screencolorpicker.h"

#include "eyedropper/screengrab.h"
#ifdef TINTARA_PORTAL
#include "eyedropper/portalrequest.h"
#endif

#include <QGuiApplication>

namespace tintara {

ScreenColorPicker::ScreenColorPicker(QObject* parent)
    : QObject(parent)
{
}

// The session, a child, goes with the picker: its screens close and its portal request is
// withdrawn, and nothing is emitted.
ScreenColorPicker::~ScreenColorPicker() = default;

void ScreenColorPicker::setMethod(Method method)
{
    m_method = method;
}

void ScreenColorPicker::setPortalBusAddress(const QString& address)
{
    m_portalBusAddress = address;
}

PickSession* ScreenColorPicker::makeSession(QString& whyNot)
{
    Method method = m_method;
    const QString platform = QGuiApplication::platformName();
    if (method == Method::Automatic) {
        if (platform == QLatin1String("xcb"))
            method = Method::ScreenGrab;
        else if (platform.startsWith(QLatin1String("wayland")))
            method = Method::Portal;
    }
    switch (method) {
    case Method::ScreenGrab:
        return new ScreenGrabSession(this);
    case Method::Portal:
#ifdef TINTARA_PORTAL
        return new PortalRequest(m_portalBusAddress, this);
#else
        whyNot = QStringLiteral("このプログラムは D-Bus を使わずに作られているため、"
                                "デスクトップのポータルに色の取得を頼めません。");
        return nullptr;
#endif
    case Method::Automatic:
        break;
    }
    whyNot = QStringLiteral("この画面環境 (%1) では、画面から色を取得できません。").arg(platform);
    return nullptr;
}

void ScreenColorPicker::start()
{
    if (m_active)
        return;
    m_active = true;
    QString whyNot;
    m_session = makeSession(whyNot);
    if (!m_session) {
        conclude([this, whyNot] { emit failed(whyNot); });
        return;
    }
    connect(m_session, &PickSession::picked, this,
            [this](QColor color) { conclude([this, color] { emit picked(color); }); });
    connect(m_session, &PickSession::cancelled, this,
            [this] { conclude([this] { emit cancelled(); }); });
    connect(m_session, &PickSession::failed, this,
            [this](QString message) { conclude([this, message] { emit failed(message); }); });
    m_session->start();
}

void ScreenColorPicker::cancel()
{
    if (m_session)
        m_session->cancel();
}

// The result is told from the event loop, once the session is over: a receiver may start again
// or delete the picker, which it could not do from inside the session's own event handling.
template<typename Emit>
void ScreenColorPicker::conclude(Emit emitResult)
{
    if (m_session) {
        m_session->disconnect(this);
        m_session->deleteLater();
        m_session = nullptr;
    }
    QMetaObject::invokeMethod(
        this,
        [this, emitResult] {
            m_active = false;
            emitResult();
        },
        Qt::QueuedConnection);
}

} // namespace tintara
