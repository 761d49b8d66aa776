#include "eyedropper/magnifier.h"
#include "eyedropper/screencolorpicker.h"
#include "support/fakes.h"

#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QWidget>
#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

using namespace tintara;

namespace {

// What the picker says after start() and the user's input (xdotool's arguments; "cancel" cancels
// it at once): the colour's code, "cancelled" or "failed", each signal it emits in turn.
QString outcome(ScreenColorPicker& picker, const QStringList& input = {})
{
    QStringList said;
    QObject::connect(&picker, &ScreenColorPicker::picked, &picker,
                     [&](QColor color) { said << color.name().toUpper(); });
    QObject::connect(&picker, &ScreenColorPicker::cancelled, &picker, [&] { said << "cancelled"; });
    QObject::connect(&picker, &ScreenColorPicker::failed, &picker,
                     [&](QString why) { said << (why.isEmpty() ? "failed silently" : "failed"); });
    picker.start();
    QProcess user; // while the picker goes on seeing what it does
    if (input.endsWith("cancel"))
        picker.cancel();
    else if (!input.isEmpty() && QTest::qWaitFor([] { return QWidget::keyboardGrabber(); }))
        user.start("xdotool", input);
    if (!QTest::qWaitFor([&] { return !said.isEmpty(); }, 20000))
        return "nothing";
    user.waitForFinished();
    QTest::qWait(100); // time for a second signal, which must not come
    return said.join(' ') + (picker.isActive() ? " (still active)" : "");
}

// A helper program that ends with the test, even when the test crashes.
struct Helper : QProcess
{
    Helper(const QString& program, const QStringList& arguments)
    {
#ifdef Q_OS_LINUX
        setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
        start(program, arguments);
    }
    ~Helper() override
    {
        kill();
        waitForFinished();
    }
};

} // namespace

class EyedropperTest : public QObject
{
    Q_OBJECT
private slots:
    void magnifierSitsBesideThePointerAndFlipsAtTheEdges()
    {
        const QSize size(150, 200);
        const QRect screen(0, 0, 640, 480);
        const std::tuple<QPoint, QRect, QPoint> places[] = {
            {{100, 100}, screen, {116, 116}},
            {{600, 100}, screen, {435, 116}},
            {{100, 400}, screen, {116, 185}},
            {{600, 470}, screen, {435, 255}},
            {{650, 10}, QRect(640, 0, 800, 600), {666, 26}},
            {{100, 100}, QRect(0, 0, 120, 120), {0, 0}}};
        for (const auto& [pointer, area, topLeft] : places)
            QCOMPARE(magnifierPlace(pointer, size, area), QRect(topLeft, size));
    }

    void magnifierPaintsOnlyItsOwnPlaceAtAnyDensity()
    {
        // Only the magnifier's place is drawn again when it moves: a stroke beyond it would
        // stay behind on the frozen screen.
        const Magnifier magnifier;
        QImage screen(20, 20, QImage::Format_RGB32);
        screen.fill(Qt::red);
        screen.setPixel(5, 5, qRgb(0, 0, 255)); // taken, and the swatch shows it
        screen.setPixel(5, 6, qRgb(0, 255, 0));
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            QImage canvas(QSize(300, 400) * ratio, QImage::Format_ARGB32_Premultiplied);
            canvas.setDevicePixelRatio(ratio);
            canvas.fill(Qt::transparent);
            QPainter painter(&canvas);
            magnifier.draw(painter, QPoint(20, 30), screen, QPoint(5, 5));
            painter.end();
            const QRectF place = QRectF(QPoint(20, 30), magnifier.size());
            const QRect device(place.topLeft().toPoint() * ratio, (place.size() * ratio).toSize());
            int outside = 0;
            for (int y = 0; y < canvas.height(); ++y)
                for (int x = 0; x < canvas.width(); ++x)
                    outside += !device.contains(x, y) && qAlpha(canvas.pixel(x, y)) != 0;
            QCOMPARE(outside, 0);
            QVERIFY(test::countPixels(canvas, qRgb(0, 0, 255)) >
                    test::countPixels(canvas, qRgb(0, 255, 0)));
        }
    }

    void portalAnswersEndInOneSignal()
    {
#ifndef TINTARA_FAKE_PORTAL
        QSKIP("Qt has no D-Bus here");
#else
        // The fake portal's answer (none: no portal on the bus), and what the picker says. A
        // request cancelled is withdrawn, and what the portal answers then is not taken.
        const std::pair<QString, QString> answers[] = {{"0.5,1,0.002", "#80FF01"},
                                                       {"on close", "cancelled, withdrawn"},
                                                       {"elsewhere:0,0.2,1", "#0033FF"},
                                                       {"nan,0,0", "failed"},
                                                       {"cancel", "cancelled"},
                                                       {"other", "failed"},
                                                       {"vanish", "failed"},
                                                       {"", "failed"}};
        for (const auto& [answer, said] : answers) {
            const QTemporaryDir socket;
            Helper bus("dbus-daemon",
                       {"--nofork", "--print-address", "--address=unix:dir=" + socket.path(),
                        "--config-file=" TINTARA_TEST_BUS_CONFIG});
            QVERIFY2(bus.waitForReadyRead(10000), "dbus-daemon did not start");
            const QString address = QString::fromUtf8(bus.readLine()).trimmed();
            std::optional<Helper> portal;
            if (!answer.isEmpty()) {
                portal.emplace(TINTARA_FAKE_PORTAL, QStringList{address, answer});
                QVERIFY2(portal->waitForReadyRead(10000), "the fake portal did not start");
            }
            ScreenColorPicker picker;
            picker.setMethod(ScreenColorPicker::Method::Portal);
            picker.setPortalBusAddress(address);
            const bool cancel = answer == "on close";
            QString result = outcome(picker, cancel ? QStringList{"cancel"} : QStringList{});
            if (cancel && QTest::qWaitFor([&] { return portal->readAll().contains("closed"); }))
                result += ", withdrawn";
            QCOMPARE(answer + ": " + result, answer + ": " + said);
        }
#endif
    }

    void screenGrabTakesThePixelUnderThePointer()
    {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("needs an X server: tests/eyedropper/desktop.sh starts one");
        QWidget window(nullptr, Qt::FramelessWindowHint); // nothing of a window manager's beside it
        window.setStyleSheet("background: #C83264");
        // On the last screen, whose image starts at its own offset.
        const QRect screen = QGuiApplication::screens().constLast()->geometry();
        window.setGeometry(QRect(screen.topLeft() + QPoint(60, 60), QSize(100, 100)));
        window.show();
        // Where the pointer goes, in device pixels from the window's top-left, and what it does.
        // At twice the density one device pixel left of x + 2 is x + 1, which the pointer can
        // only get as near as x.
        const std::tuple<QPoint, QString, QString> inputs[] = {
            {{-1, 5}, "click 1", "#123456"},
            {{0, 5}, "click 1", "#C83264"},
            {{-1, 5}, "key Right Return", "#C83264"},
            {{2, 5}, "key --delay 50 Left Left Return", "#C83264"},
            {{-10, 5}, "key shift+Right Return", "#C83264"},
            {{5000, 5}, "key Right Return", "#123456"}, // the pointer stops at the screen's edge
            {{1, 5}, "still key Return", "#C83264"},    // the marker starts at the pointer
            {{0, 5}, "key Escape", "cancelled"},
            {{0, 5}, "click 3", "cancelled"},
            {{0, 5}, "cancel", "cancelled"}};
        for (const auto& [offset, input, said] : inputs) {
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            window.repaint(); // in the X server before the picker reads it
            const QPoint inside = window.mapToGlobal(QPoint(0, 0)) - screen.topLeft();
            const QPoint device = screen.topLeft() + inside * window.devicePixelRatio() + offset;
            ScreenColorPicker picker;
            const QStringList move{"mousemove", QString::number(device.x()),
                                   QString::number(device.y())};
            QStringList user = move + input.split(' ');
            if (input.startsWith("still")) {
                QProcess::execute("xdotool", move);
                user = input.split(' ').mid(1);
            }
            QCOMPARE(input + ": " + outcome(picker, user), input + ": " + said);
            QTRY_VERIFY(window.isActiveWindow());
            for (const QWidget* widget : QApplication::topLevelWidgets())
                QVERIFY(widget == &window || !widget->isVisible());
        }
    }
};

TINTARA_TEST_MAIN(EyedropperTest)
#include "tst_eyedropper.moc"
