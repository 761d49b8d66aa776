// A stand-in for the desktop's portal on a private bus, owning org.freedesktop.portal.Desktop.
//   fakeportal BUS_ADDRESS ANSWER
// PickColor answers "R,G,B" (each 0 to 1) before the call even returns, on the path made of the
// caller's name and token; "elsewhere:R,G,B" a moment later on a path of its own, as portals
// older than that convention do; "cancel" and "other" with 1 and 2; "vanish" not at all, as the
// portal quits; "on close" only once the request is closed, with 0 and no colour. A request's
// Close prints "closed". Prints "ready" once it owns the name.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QTimer>
#include <cstdio>

// Every request, there before its PickColor is even seen, as a real portal's is once the call
// returns. It answers even once closed, as a portal should not.
class FakeRequests : public QDBusVirtualObject
{
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& close, const QDBusConnection& bus) override
    {
        std::puts("closed");
        std::fflush(stdout);
        return bus.send(
            QDBusMessage::createSignal(close.path(), "org.freedesktop.portal.Request", "Response")
            << uint(0) << QVariantMap());
    }
};

class FakeScreenshot : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public:
    FakeScreenshot(const QDBusConnection& bus, const QString& answer)
        : m_bus(bus)
        , m_answer(answer)
    {
    }

public slots:
    QDBusObjectPath PickColor(const QString&, const QVariantMap& options, const QDBusMessage& call)
    {
        const bool elsewhere = m_answer.startsWith("elsewhere:");
        const QString path = "/org/freedesktop/portal/desktop/request/" +
                             (elsewhere ? "elsewhere/1"
                                        : call.service().mid(1).replace('.', '_') + '/' +
                                              options.value("handle_token").toString());
        call.setDelayedReply(true);
        const QDBusMessage reply = call.createReply(QVariant::fromValue(QDBusObjectPath(path)));
        if (elsewhere || m_answer == "vanish" || m_answer == "on close")
            m_bus.send(reply);
        if (m_answer == "on close")
            return {};
        if (m_answer == "vanish") {
            QTimer::singleShot(100, qApp, &QCoreApplication::quit);
            return {};
        }
        QDBusMessage response =
            QDBusMessage::createSignal(path, "org.freedesktop.portal.Request", "Response");
        QVariantMap results;
        const QStringList rgb = m_answer.section(':', -1).split(',');
        if (rgb.size() == 3) {
            QDBusArgument color;
            color.beginStructure();
            color << rgb[0].toDouble() << rgb[1].toDouble() << rgb[2].toDouble();
            color.endStructure();
            results["color"] = QVariant::fromValue(color);
        }
        response << uint(m_answer == "cancel" ? 1 : m_answer == "other" ? 2 : 0) << results;
        if (elsewhere) {
            QTimer::singleShot(300, this, [this, response] { m_bus.send(response); });
        } else {
            m_bus.send(response);
            m_bus.send(reply);
        }
        return {};
    }

private:
    QDBusConnection m_bus;
    QString m_answer;
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QDBusConnection bus = QDBusConnection::connectToBus(argv[1], "fake");
    FakeScreenshot screenshot(bus, argv[2]);
    FakeRequests requests;
    if (!QDBusConnection(bus).registerObject("/org/freedesktop/portal/desktop", &screenshot,
                                             QDBusConnection::ExportAllSlots) ||
        !QDBusConnection(bus).registerVirtualObject("/org/freedesktop/portal/desktop/request",
                                                    &requests, QDBusConnection::SubPath) ||
        !QDBusConnection(bus).registerService("org.freedesktop.portal.Desktop"))
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}

#include "fakeportal.moc"
