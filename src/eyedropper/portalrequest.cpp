#include "eyedropper/portalrequest.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

namespace tintara {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenshot = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kResponse = QStringLiteral("Response");
const char* const kResponseSlot = SLOT(onResponse(uint, QVariantMap));

QString cannotPick(const QString& reason)
{
    return QStringLiteral("画面から色を取得できません。") + reason;
}

QString callError(const QDBusError& error)
{
    QString reason;
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
        reason = QStringLiteral("デスクトップの色の取得機能 (XDG デスクトップポータル) が"
                                "見つかりません。");
        break;
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
        reason = QStringLiteral("デスクトップのポータルが画面からの色の取得に対応していません。");
        break;
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        reason = QStringLiteral("デスクトップのポータルから応答がありません。");
        break;
    default:
        reason = QStringLiteral("デスクトップのポータルが色の取得を受け付けませんでした。");
    }
    return cannotPick(reason + QStringLiteral(" (") + error.name() + QLatin1Char(')'));
}

} // namespace

std::optional<Rgb> portalChannels(double red, double green, double blue)
{
    const double values[] = {red, green, blue};
    Rgb rgb{};
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(values[i]))
            return std::nullopt;
        rgb[i] = int(std::lround(std::clamp(values[i], 0.0, 1.0) * kChannelMax));
    }
    return rgb;
}

PortalRequest::PortalRequest(const QString& busAddress, QObject* parent)
    : PickSession(parent)
    , m_connectionName(busAddress.isEmpty()
                           ? QString()
                           : QStringLiteral("tintara-portal-%1").arg(quintptr(this), 0, 16))
    , m_bus(busAddress.isEmpty() ? QDBusConnection::sessionBus()
                                 : QDBusConnection::connectToBus(busAddress, m_connectionName))
{
}

PortalRequest::~PortalRequest()
{
    withdraw();
    follow(QString());
    if (!m_connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(m_connectionName);
}

void PortalRequest::start()
{
    if (!m_bus.isConnected()) {
        emit failed(
            cannotPick(QStringLiteral("デスクトップのセッションバス (D-Bus) に接続できません。")));
        return;
    }
    m_open = true;
    // The answer comes on a path made of our name and this token. Listening there before asking
    // catches an answer that comes before the call returns.
    const QString token = QStringLiteral("tintara%1").arg(QRandomGenerator::global()->generate());
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    follow(kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token);

    auto* watcher =
        new QDBusServiceWatcher(kService, m_bus, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        fail(cannotPick(QStringLiteral("デスクトップのポータルが答えずに終了しました。")));
    });
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kScreenshot, QStringLiteral("PickColor"));
    call << QString() << QVariantMap{{QStringLiteral("handle_token"), token}};
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, &PortalRequest::onCallFinished);
}

void PortalRequest::cancel()
{
    if (!m_open)
        return;
    withdraw();
    end();
    emit cancelled();
}

// The desktop's own picker would otherwise stay up for nobody.
void PortalRequest::withdraw()
{
    if (m_open && !m_handle.isEmpty())
        m_bus.send(
            QDBusMessage::createMethodCall(kService, m_handle, kRequest, QStringLiteral("Close")));
}

void PortalRequest::onCallFinished(QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> reply = *call;
    if (reply.isError()) {
        fail(callError(reply.error()));
        return;
    }
    // A portal older than the path convention answers elsewhere.
    const QString handle = reply.value().path();
    if (m_open && handle != m_handle)
        follow(handle);
}

void PortalRequest::onResponse(uint response, const QVariantMap& results)
{
    if (!m_open)
        return;
    if (response == 1) {
        end();
        emit cancelled();
        return;
    }
    if (response != 0) {
        fail(cannotPick(QStringLiteral("デスクトップのポータルが色の取得を中止しました。")));
        return;
    }
    const auto color = qvariant_cast<QDBusArgument>(results.value(QStringLiteral("color")));
    if (color.currentSignature() == QLatin1String("(ddd)")) {
        double red = 0, green = 0, blue = 0;
        color.beginStructure();
        color >> red >> green >> blue;
        color.endStructure();
        if (const std::optional<Rgb> rgb = portalChannels(red, green, blue)) {
            end();
            emit picked(QColor((*rgb)[0], (*rgb)[1], (*rgb)[2]));
            return;
        }
    }
    fail(cannotPick(QStringLiteral("デスクトップのポータルの答えに色がありませんでした。")));
}

void PortalRequest::follow(const QString& handle)
{
    if (!m_handle.isEmpty())
        m_bus.disconnect(kService, m_handle, kRequest, kResponse, this, kResponseSlot);
    m_handle = handle;
    if (!m_handle.isEmpty())
        m_bus.connect(kService, m_handle, kRequest, kResponse, this, kResponseSlot);
}

void PortalRequest::end()
{
    m_open = false;
    follow(QString());
}

void PortalRequest::fail(const QString& message)
{
    if (!m_open)
        return;
    end();
    emit failed(message);
}

} // namespace tintara
