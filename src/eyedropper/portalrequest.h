#pragma once

#include "color/rgb.h"
#include "eyedropper/picksession.h"

#include <QDBusConnection>
#include <QVariantMap>
#include <optional>

class QDBusPendingCallWatcher;

namespace tintara {

// The portal's colour, three values from 0 to 1, as 8-bit channels; nothing for a value that is
// not a number.
std::optional<Rgb> portalChannels(double red, double green, double blue);

// Asks the desktop to let the user pick a colour (the XDG desktop portal's Screenshot.PickColor),
// where a program may not read the screen itself (Wayland).
class PortalRequest : public PickSession
{
    Q_OBJECT
public:
    // An empty address means the session bus.
    explicit PortalRequest(const QString& busAddress, QObject* parent = nullptr);
    ~PortalRequest() override;
    void start() override;
    void cancel() override;

private slots:
    // A slot, not a function: Qt D-Bus connects signals from the bus only by signature.
    void onResponse(uint response, const QVariantMap& results);

private:
    void onCallFinished(QDBusPendingCallWatcher* call);
    void follow(const QString& handle);
    void withdraw();
    void end();
    void fail(const QString& message);

    QString m_connectionName;
    QDBusConnection m_bus;
    QString m_handle;
    bool m_open = false;
};

} // namespace tintara
