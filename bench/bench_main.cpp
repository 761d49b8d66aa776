// Measures the window's hot paths offscreen, driving the real main window, and prints the median
// and the 99th percentile of each case against its target.
#include "app/tintara.h"
#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "platform/filechooser.h"
#include "platform/settingsstore.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct Target
{
    double medianMs;
    double p99Ms;
};

constexpr Target kInteractive{0.5, 2.0};
constexpr Target kStartup{100.0, 1e9};
constexpr Target kReferenceOnly{1e9, 1e9};

bool g_allMet = true;
QString g_only;

void report(const char* name, std::vector<qint64> nanoseconds, Target target)
{
    std::sort(nanoseconds.begin(), nanoseconds.end());
    const size_t n = nanoseconds.size();
    const double median = nanoseconds[n / 2] / 1e6;
    const size_t p99Index = std::min(n - 1, static_cast<size_t>(std::ceil(0.99 * n)) - 1);
    const double p99 = nanoseconds[p99Index] / 1e6;
    const bool met = median < target.medianMs && p99 < target.p99Ms;
    const bool reference = target.medianMs >= 1e9;
    if (!met)
        g_allMet = false;
    std::printf("%-44s %6zu  %10.4f  %10.4f  %s\n", name, n, median, p99,
                reference ? "(reference)"
                : met     ? "ok"
                          : "MISSED");
    std::fflush(stdout);
}

template<typename Body>
void measure(const char* name, int samples, Target target, Body&& body)
{
    if (!g_only.isEmpty() && !QString::fromLatin1(name).contains(g_only))
        return;
    for (int i = 0; i < std::max(10, samples / 20); ++i)
        body(i);
    std::vector<qint64> times;
    times.reserve(samples);
    QElapsedTimer timer;
    for (int i = 0; i < samples; ++i) {
        timer.start();
        body(i);
        times.push_back(timer.nsecsElapsed());
    }
    report(name, std::move(times), target);
}

std::unique_ptr<Tintara> startWindow()
{
    TintaraServices services;
    services.settings = std::make_unique<tintara::DefaultsOnlyStore>();
    auto window = std::make_unique<Tintara>(std::move(services));
    window->Form_Load();
    QWindow* handle = window->windowHandle();
    while (!handle || !handle->isExposed()) {
        QCoreApplication::processEvents();
        handle = window->windowHandle();
    }
    QCoreApplication::processEvents();
    return window;
}

void sendKey(QWidget* widget, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void setWeb216(Tintara& w, bool on)
{
    if (w.web216Mode() != on)
        w.ui().w216->trigger();
}

// The tile-by-tile loop the preview's tiling replaces: one draw per tile position.
void tileLoop(QImage& target, const QPixmap& picture, float twipsPerPixel)
{
    QPainter painter(&target);
    const float width = float(target.width()) * twipsPerPixel;
    const float height = float(target.height()) * twipsPerPixel;
    const int stepX = int(std::lround(picture.width() * twipsPerPixel));
    const int stepY = int(std::lround(picture.height() * twipsPerPixel));
    for (float x = 0; x < width; x += float(stepX))
        for (int y = 0; float(y) < height; y += stepY)
            painter.drawPixmap(QPointF(x / twipsPerPixel, y / twipsPerPixel), picture);
}

QString writePicture(const QTemporaryDir& dir, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 37) & 255, (y * 59) & 255, ((x + y) * 11) & 255));
    const QString path =
        dir.filePath(QStringLiteral("tile-%1x%2.bmp").arg(size.width()).arg(size.height()));
    image.save(path);
    return path;
}

// The offscreen platform warns on every fixed-size window it shows; the table stays readable.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    if (argc > 1)
        g_only = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir temp;
    qputenv("XDG_CONFIG_HOME", temp.path().toLocal8Bit());

    std::printf("%-44s %6s  %10s  %10s\n", "case", "runs", "median ms", "p99 ms");

    auto window = startWindow();
    Tintara& w = *window;
    const TintaraUi& ui = w.ui();

    setWeb216(w, false);
    ui.Slider1[3]->setValue(128);
    ui.Slider1[3]->setFocus();
    measure("slider movement, full colour", 2000, kInteractive, [&](int i) {
        sendKey(ui.Slider1[3], i % 2 ? Qt::Key_Left : Qt::Key_Right);
        ui.Picture1->repaint();
    });

    setWeb216(w, true);
    ui.FAutoCK->setChecked(true);
    ui.Slider1[4]->setValue(102);
    ui.Slider1[4]->setFocus();
    measure("slider movement, Web216 + automatic text", 2000, kInteractive, [&](int i) {
        sendKey(ui.Slider1[4], i % 2 ? Qt::Key_PageDown : Qt::Key_PageUp);
        ui.Picture1->repaint();
    });
    ui.FAutoCK->setChecked(false);

    setWeb216(w, false);
    measure("DrawColorBar, full colour (768 boxes)", 2000, kInteractive,
            [&](int i) { w.DrawColorBar(i % 2 == 0); });
    setWeb216(w, true);
    measure("DrawColorBar, Web216", 2000, kInteractive, [&](int i) { w.DrawColorBar(i % 2 == 0); });
    setWeb216(w, false);

    measure("DrawPreview, plain colour", 2000, kInteractive, [&](int) { w.DrawPreview(); });

    const QString onePixel = writePicture(temp, QSize(1, 1));
    const QString small = writePicture(temp, QSize(37, 23));
    w.LoadBackgroundPicture(onePixel);
    measure("DrawPreview, tiled 1x1 picture", 1000, kInteractive, [&](int) { w.DrawPreview(); });
    w.LoadBackgroundPicture(small);
    measure("DrawPreview, tiled 37x23 picture", 1000, kInteractive, [&](int) { w.DrawPreview(); });
    {
        QImage target = ui.Picture1->buffer().copy();
        const QPixmap tiny = QPixmap::fromImage(QImage(onePixel));
        const QPixmap medium = QPixmap::fromImage(QImage(small));
        measure("reference: tile-by-tile loop, 1x1", 20, kReferenceOnly,
                [&](int) { tileLoop(target, tiny, w.twipsPerPixel()); });
        measure("reference: tile-by-tile loop, 37x23", 200, kReferenceOnly,
                [&](int) { tileLoop(target, medium, w.twipsPerPixel()); });
    }
    if (!w.solidBack())
        w.Picture1_DblClick();

    const QString codes[2] = {QStringLiteral("#123456"), QStringLiteral("#654321")};
    measure("colour code typed (ColorCode_Change)", 2000, kInteractive,
            [&](int i) { ui.ColorCode[1]->setText(codes[i % 2]); });

    w.DrawPreview();
    measure("brightness step", 2000, kInteractive, [&](int i) { w.Bright_Click(2 + i % 2); });

    w.FillColorCombo(QStringLiteral("Sea,#000080,#FFFFFF"));
    w.FillColorCombo(QStringLiteral("Sand,#402000,#F0E0C0"));
    measure("colour set chosen", 2000, kInteractive, [&](int i) { w.selectColorSet(i % 2); });

    window.reset();
    measure("start-up to first shown frame", 30, kStartup, [&](int) {
        auto started = startWindow();
        started->ui().Picture1->repaint();
    });

    std::printf(g_allMet ? "all targets met\n" : "some targets MISSED\n");
    return g_allMet ? 0 : 1;
}
