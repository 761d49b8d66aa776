// Measures the window's hot paths offscreen, driving the real main window, and prints the median
// and the 99th percentile of each case against its target. Every sample is checked to have
// changed what the user sees and to have painted it; a case where one did not is reported as
// unmeasured rather than fast.
#include "app/tintara.h"
#include "check/contrast.h"
#include "check/pictureanalysis.h"
#include "check/picturecontrast.h"
#include "check/vision.h"
#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "preview/previewrenderer.h"
#include "sets/contrasttable.h"
#include "sets/contrasttablewindow.h"
#include "tools/backgroundpicture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
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
// Over a picture only the text is drawn anew: the tiled picture is kept between redraws.
constexpr Target kOverPicture{0.4, 2.0};
constexpr Target kStartup{100.0, 1e9};
// Input far larger than any the program is made for still gets an answer within a quarter second.
constexpr Target kLargeInput{250.0, 1e9};
constexpr Target kReferenceOnly{1e9, 1e9};
// Fitting a colour to a contrast target is one keypress: well inside a frame.
constexpr Target kCheckFix{5.0, 5.0};
// What a picture needs for its contrast verdict, or its simulated look, is made once.
constexpr Target kPictureData{150.0, 1e9};
// A page of the contrast table, scrolled to or changed, is painted well inside a frame.
constexpr Target kTablePage{5.0, 16.0};
constexpr Target kLargePictureData{350.0, 1e9};
// While a picture is analysed the window answers input within a tenth of a second, every time.
constexpr Target kAnswering{100.0, 100.0};

bool g_allMet = true;
// Keeps the compiler from dropping work whose result nothing else uses.
volatile int g_sink = 0;
QString g_only;
// Added to the name of every case measured: what differs in this round of cases.
QString g_suffix;

// Counts the paint events of the widgets it watches: a repaint that paints nothing would make a
// case look fast.
class PaintCounter : public QObject
{
public:
    // A new widget may take the address of one gone before it.
    void watch(QWidget* widget)
    {
        m_paints.remove(widget);
        widget->installEventFilter(this);
    }
    int paints(const QObject* widget) const { return m_paints.value(widget); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_paints[watched];
        return false;
    }

private:
    QHash<const QObject*, int> m_paints;
};

PaintCounter* g_paints = nullptr;

double percentile(const std::vector<qint64>& sorted, double p)
{
    const size_t n = sorted.size();
    const size_t index = std::min(n - 1, static_cast<size_t>(std::ceil(p * double(n))) - 1);
    return double(sorted[index]) / 1e6;
}

void report(const char* name, std::vector<qint64> nanoseconds, Target target, bool valid)
{
    std::sort(nanoseconds.begin(), nanoseconds.end());
    const double median = percentile(nanoseconds, 0.5);
    const double p99 = percentile(nanoseconds, 0.99);
    const bool met = valid && median < target.medianMs && p99 < target.p99Ms;
    if (!met)
        g_allMet = false;
    const char* verdict = !valid                   ? "NOT MEASURED: a sample changed nothing"
                          : target.medianMs >= 1e9 ? "(reference)"
                          : met                    ? "ok"
                                                   : "MISSED";
    std::printf("%-44s %6zu  %10.4f  %10.4f  %s\n",
                qPrintable(QString::fromLatin1(name) + g_suffix), nanoseconds.size(), median, p99,
                verdict);
    std::fflush(stdout);
}

// Whether the case is to run: every case, or those whose name holds the one asked for.
bool chosen(const char* name)
{
    return g_only.isEmpty() || (QString::fromLatin1(name) + g_suffix).contains(g_only);
}

// What a case must show after each sample: the widget that paints it, and the picture it shows.
struct Shown
{
    QObject* painted = nullptr;
    std::function<QImage()> picture;
};

// A canvas's drawing, the same picture as on screen.
Shown shownBy(tintara::Canvas* canvas)
{
    if (!canvas)
        return {};
    return {canvas, [canvas] { return canvas->buffer(); }};
}

// Runs prepare(i) untimed and body(i) timed, for warm-up and then for the samples. With a
// widget given, each body must leave its picture changed and repainted.
template<typename Prepare, typename Body>
void measure(const char* name, int samples, Target target, const Shown& shows, Prepare&& prepare,
             Body&& body)
{
    if (!chosen(name))
        return;
    const int warmUp = std::max(10, samples / 20);
    std::vector<qint64> times;
    times.reserve(samples);
    bool valid = true;
    QElapsedTimer timer;
    for (int i = 0; i < warmUp + samples; ++i) {
        prepare(i);
        // What the preparation changed is painted now, outside the measurement.
        QCoreApplication::processEvents();
        QImage before;
        int paintsBefore = 0;
        if (shows.painted) {
            // A copy of its own: a shared one would make the drawing copy its buffer, timed.
            before = shows.picture().copy();
            paintsBefore = g_paints->paints(shows.painted);
        }
        timer.start();
        body(i);
        const qint64 elapsed = timer.nsecsElapsed();
        if (shows.painted &&
            (g_paints->paints(shows.painted) == paintsBefore || shows.picture() == before))
            valid = false;
        if (i >= warmUp)
            times.push_back(elapsed);
    }
    report(name, std::move(times), target, valid);
}

template<typename Prepare, typename Body>
void measure(const char* name, int samples, Target target, tintara::Canvas* shows,
             Prepare&& prepare, Body&& body)
{
    measure(name, samples, target, shownBy(shows), prepare, body);
}

template<typename Body>
void measure(const char* name, int samples, Target target, const Shown& shows, Body&& body)
{
    measure(
        name, samples, target, shows, [](int) {}, body);
}

template<typename Body>
void measure(const char* name, int samples, Target target, tintara::Canvas* shows, Body&& body)
{
    measure(name, samples, target, shownBy(shows), body);
}

void sendKey(QWidget* widget, Qt::Key key, const QString& text = QString(),
             Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    if (key == Qt::Key_unknown && !text.isEmpty())
        key = Qt::Key(text.at(0).toUpper().unicode());
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

// Paints, before returning, every part of the window that the last action changed, the preview
// included, as the event loop would next.
void repaintWindow(const Tintara& w)
{
    w.ui().Picture1->repaint();
}

void setWeb216(Tintara& w, bool on)
{
    if (w.model().web216() != on)
        w.ui().w216->trigger();
}

// The tiling as a loop over tile positions, one draw per tile, in twips as the window measures.
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

QImage patternPicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 37) & 255, (y * 59) & 255, ((x + y) * 11) & 255));
    return image;
}

QString savePicture(const QTemporaryDir& dir, const QImage& image)
{
    const QString path =
        dir.filePath(QStringLiteral("tile-%1x%2.bmp").arg(image.width()).arg(image.height()));
    image.save(path);
    return path;
}

// The corner of the preview, clear of the sample text, holds the picture repeated from (0, 0).
bool previewIsTiled(const Tintara& w, const QImage& picture)
{
    const QImage& shown = w.ui().Picture1->buffer();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (shown.pixel(x, y) != picture.pixel(x % picture.width(), y % picture.height()))
                return false;
    return true;
}

// A picture of pure noise: nearly every pixel a colour of its own.
QImage noisePicture(int side)
{
    QImage noise(side, side, QImage::Format_RGB32);
    QRandomGenerator random(side);
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<quint32*>(noise.scanLine(y));
        random.fillRange(line, side);
        for (int x = 0; x < side; ++x)
            line[x] |= 0xFF000000u;
    }
    return noise;
}

// Smooth gradients with some grain, as a photograph has; `grain` sets how much.
QImage photoPicture(int side, int grain)
{
    QImage photo(side, side, QImage::Format_RGB32);
    QRandomGenerator random(5);
    const int scale = side / 250;
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            line[x] = qRgb((x / scale + random.bounded(2 * grain)) & 255, (y / scale) & 255,
                           ((x + y) / (2 * scale) + random.bounded(grain)) & 255);
    }
    return photo;
}

// The memory the process has in use, and the most it had since the last reset, in bytes.
qint64 residentBytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Times body() `runs` times after one run unmeasured: for cases too slow for many samples.
template<typename Body>
void measureFew(const char* name, int runs, Target target, Body&& body)
{
    if (!chosen(name))
        return;
    std::vector<qint64> times;
    QElapsedTimer timer;
    for (int i = 0; i <= runs; ++i) {
        timer.start();
        body();
        if (i > 0)
            times.push_back(timer.nsecsElapsed());
    }
    report(name, std::move(times), target, true);
}

// The longest the event loop goes without running a 5 ms timer from `start` until `done` says
// the work is over (it is asked at every tick, and `quit` may end the wait too).
qint64 longestPause(const std::function<void(QEventLoop&)>& start,
                    const std::function<bool()>& done)
{
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 last = 0, gap = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.nsecsElapsed();
        gap = std::max(gap, now - std::exchange(last, now));
        if (done())
            loop.quit();
    });
    tick.start(5);
    clock.start();
    start(loop);
    loop.exec();
    return std::max(gap, clock.nsecsElapsed() - last);
}

// While `picture` is analysed off the window's thread, once per run; and the most memory the
// analysis took above what the process had.
void measureAnswering(const char* name, int runs, const QImage& picture)
{
    if (!chosen(name))
        return;
    std::vector<qint64> longest;
    qint64 peak = 0;
    for (int i = 0; i <= runs; ++i) {
        tintara::PictureAnalysis analysis;
        const qint64 before = residentBytes("VmRSS:");
        resetPeakMemory();
        const qint64 gap = longestPause(
            [&](QEventLoop& loop) {
                QObject::connect(&analysis, &tintara::PictureAnalysis::finished, &loop,
                                 &QEventLoop::quit);
                analysis.start(picture, 0xFFF0F0F0);
            },
            [] { return false; });
        peak = std::max(peak, residentBytes("VmHWM:") - before);
        if (i > 0)
            longest.push_back(gap);
        if (!analysis.result() || analysis.result()->isEmpty())
            g_allMet = false;
    }
    report(name, std::move(longest), kAnswering, true);
    std::printf("  peak memory of the analysis: %lld MB\n", peak >> 20);
}

// The same in the window: the picture at `path` dropped on the preview (and read there, on the
// window's thread, as the design has it), until the status line gives the picture's verdict.
void measureWindowAnswering(const char* name, int runs, Tintara& w, const QString& path)
{
    if (!chosen(name))
        return;
    std::vector<qint64> longest;
    QLabel* status = w.checkUi().status;
    for (int i = 0; i <= runs; ++i) {
        emit w.ui().Picture1->urlsDropped({QUrl::fromLocalFile(path)});
        const qint64 gap =
            longestPause([](QEventLoop&) {},
                         [status] { return !status->text().contains(QStringLiteral("分析")); });
        emit w.ui().Picture1->doubleClicked();
        if (i > 0)
            longest.push_back(gap);
        if (!status->text().contains(QStringLiteral("コントラスト比")))
            g_allMet = false;
    }
    report(name, std::move(longest), kAnswering, true);
}

// Creates the window, starts it, and returns once the preview's first frame has been painted.
std::unique_ptr<Tintara> startWindow()
{
    auto window = std::make_unique<Tintara>();
    g_paints->watch(window->ui().Picture1);
    window->Form_Load();
    while (g_paints->paints(window->ui().Picture1) == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return window;
}

// The offscreen platform warns on every fixed-size window it shows; the table stays readable.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

// The contrast table of 50 sets, 102 colours, over the main window: opened, scrolled a page at a
// time, copied, and following the text colour as it changes.
void measureContrastTable(QWidget& owner)
{
    QRandomGenerator random(50);
    const auto anyColor = [&random] {
        return tintara::Rgb{random.bounded(256), random.bounded(256), random.bounded(256)};
    };
    QStringList pairs;
    for (int i = 0; i < 50; ++i)
        pairs << tintara::colorPair(anyColor(), anyColor());
    QList<tintara::Rgb> colors = tintara::tableColors(pairs, anyColor(), anyColor());
    if (colors.size() != 102) {
        std::printf("  the 50 sets did not give 102 colours\n");
        g_allMet = false;
    }
    std::unique_ptr<tintara::ContrastTableWindow> table;
    const auto open = [&] {
        table = std::make_unique<tintara::ContrastTableWindow>(&owner);
        g_paints->watch(table->ui().grid->viewport());
        table->setColors(colors);
        table->show();
        while (g_paints->paints(table->ui().grid->viewport()) == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    measure(
        "contrast table of 50 sets opened", 30, kStartup, Shown{}, [&](int) { table.reset(); },
        [&](int) { open(); });
    if (!table)
        open();
    // The offscreen screen is small: the size the window opens at on a full HD screen.
    table->resize(table->sizeHint());
    QTableView* grid = table->ui().grid;
    QWidget* viewport = grid->viewport();
    const Shown page{viewport, [viewport] { return viewport->grab().toImage(); }};
    for (QScrollBar* bar : {grid->verticalScrollBar(), grid->horizontalScrollBar()}) {
        const bool down = bar == grid->verticalScrollBar();
        // To the end, then back, a page at a time.
        int direction = 1;
        measure(down ? "contrast table, a page down or up" : "contrast table, a page across", 500,
                kTablePage, page, [&](int) {
                    if (bar->value() == (direction > 0 ? bar->maximum() : bar->minimum()))
                        direction = -direction;
                    bar->setValue(bar->value() + direction * bar->pageStep());
                    viewport->repaint();
                });
    }
    std::printf("  (the table's window: %dx%d)\n", table->width(), table->height());
    measure("contrast table of 50 sets copied as Markdown", 50, kStartup, Shown{},
            [&](int) { table->copyAsMarkdown(); });
    grid->setCurrentIndex(grid->model()->index(100, 90));
    measure("contrast table, the text colour moved", 500, kTablePage, page, [&](int i) {
        colors[100][0] = i % 2 ? 10 : 240;
        table->setColors(colors);
        viewport->repaint();
    });
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(quietMessages);
    // Start-up reads the real settings store: an empty one here, never the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    if (argc > 1)
        g_only = QString::fromLocal8Bit(argv[1]);
    PaintCounter paints;
    g_paints = &paints;

    std::printf("%-44s %6s  %10s  %10s\n", "case", "runs", "median ms", "p99 ms");

    auto window = startWindow();
    Tintara& w = *window;
    const TintaraUi& ui = w.ui();
    for (tintara::Canvas* bar : {ui.ForeBar, ui.BackBar})
        paints.watch(bar);

    // Every action again with the preview as seen with protanopia: its colours are simulated
    // once per drawing, and each picture once.
    for (const int vision : {0, 1}) {
        w.checkUi().vision[vision]->trigger();
        g_suffix = vision ? QStringLiteral(", simulated") : QString();
        setWeb216(w, false);
        // Seen with protanopia, one step of red can look the same: green always shows.
        tintara::ChannelSlider* slider = ui.Slider1[vision ? 4 : 3];
        slider->setValue(128);
        slider->setFocus();
        measure("slider movement, full colour", 2000, kInteractive, ui.Picture1, [&](int i) {
            sendKey(slider, i % 2 ? Qt::Key_Left : Qt::Key_Right);
            repaintWindow(w);
        });

        setWeb216(w, true);
        ui.FAutoCK->setChecked(true);
        // Moved there by a key, so that the preview shows it before the first sample.
        ui.Slider1[4]->setValue(153);
        ui.Slider1[4]->setFocus();
        sendKey(ui.Slider1[4], Qt::Key_PageDown);
        // 102 and 153 lie either side of 128, so the automatic text colour flips with every step.
        measure("slider movement, Web216 + automatic text", 2000, kInteractive, ui.Picture1,
                [&](int i) {
                    sendKey(ui.Slider1[4], i % 2 ? Qt::Key_PageDown : Qt::Key_PageUp);
                    repaintWindow(w);
                });
        ui.FAutoCK->setChecked(false);

        for (const bool web : {false, true}) {
            setWeb216(w, web);
            measure(
                web ? "DrawColorBar, Web216" : "DrawColorBar, full colour (768 boxes)", 2000,
                kInteractive, ui.BackBar, [&](int i) { ui.Slider1[3]->setValue(i % 2 ? 51 : 204); },
                [&](int) {
                    // Letting go of the bar draws it again.
                    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1),
                                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
                    QCoreApplication::sendEvent(ui.BackBar, &release);
                    ui.BackBar->repaint();
                });
        }
        setWeb216(w, false);

        QTemporaryDir pictures;
        const QImage tiny = patternPicture(QSize(1, 1));
        const QImage small = patternPicture(QSize(37, 23));
        for (const QImage* picture : {&tiny, &small}) {
            emit ui.Picture1->urlsDropped({QUrl::fromLocalFile(savePicture(pictures, *picture))});
            const bool one = picture == &tiny;
            measure(
                one ? "DrawPreview, tiled 1x1 picture" : "DrawPreview, tiled 37x23 picture", 1000,
                kOverPicture, ui.Picture1, [](int) {},
                [&](int i) {
                    sendKey(ui.Slider1[0], i % 2 ? Qt::Key_PageDown : Qt::Key_PageUp);
                    repaintWindow(w);
                });
            if (!previewIsTiled(
                    w, tintara::simulatedPicture(*picture, vision ? tintara::Vision::Protanopia
                                                                  : tintara::Vision::Normal))) {
                std::printf("  the preview did not show the picture tiled\n");
                g_allMet = false;
            }
            // The background alone, drawn both ways into the same picture box, for the ratio.
            QImage target = ui.Picture1->buffer().copy();
            tintara::PreviewRenderer::Background background;
            background.solid = false;
            background.picture = &w.backPicture();
            background.tileWidthTwips = w.tileWidth();
            background.tileHeightTwips = w.tileHeight();
            tintara::PreviewRenderer renderer(ui.Picture1->font(), QString());
            measure(one ? "  background, as drawn: 1x1" : "  background, as drawn: 37x23", 1000,
                    kReferenceOnly, nullptr, [&](int) {
                        QPainter painter(&target);
                        renderer.paintBackground(painter, ui.Picture1->size(), background);
                    });
            measure(one ? "  background, tile by tile: 1x1" : "  background, tile by tile: 37x23",
                    one ? 20 : 200, kReferenceOnly, nullptr,
                    [&](int) { tileLoop(target, w.backPicture(), w.twips().perPixel()); });
        }
        emit ui.Picture1->doubleClicked();

        // The user types the last digit of a code into the background box.
        const QString codes[2] = {QStringLiteral("#123456"), QStringLiteral("#654321")};
        ui.ColorCode[1]->setFocus();
        measure(
            "colour code typed (ColorCode_Change)", 2000, kInteractive, ui.Picture1,
            [&](int i) { ui.ColorCode[1]->setText(codes[i % 2].chopped(1)); },
            [&](int i) {
                sendKey(ui.ColorCode[1], Qt::Key_unknown, codes[i % 2].right(1));
                repaintWindow(w);
            });

        for (int k = 3; k < 6; ++k)
            ui.Slider1[k]->setValue(100);
        // Each action starts from the control the user works: it has the keyboard focus.
        ui.Bright[2]->setFocus();
        measure("brightness step", 2000, kInteractive, ui.Picture1, [&](int i) {
            ui.Bright[2 + i % 2]->click();
            repaintWindow(w);
        });

        w.saveColorSet(QStringLiteral("Sea"), QStringLiteral("#000080,#FFFFFF"));
        w.saveColorSet(QStringLiteral("Sand"), QStringLiteral("#402000,#F0E0C0"));
        setWeb216(w, false);
        measure("colour set chosen", 2000, kInteractive, ui.Picture1, [&](int i) {
            w.selectColorSet(i % 2);
            repaintWindow(w);
        });
    }
    g_suffix.clear();
    w.checkUi().vision[0]->trigger();

    // The nearest colour that passes, from pairs that fail, over a spread of colours.
    for (const bool webSafe : {false, true}) {
        QRandomGenerator random(12);
        tintara::Rgb from{};
        double other = 0;
        const auto anyColor = [&random] {
            return tintara::Rgb{random.bounded(256), random.bounded(256), random.bounded(256)};
        };
        measure(
            webSafe ? "nearest passing colour, Web216" : "nearest passing colour, full colour", 500,
            kCheckFix, nullptr,
            [&](int) {
                do {
                    from = anyColor();
                    other = tintara::relativeLuminance(anyColor());
                } while (tintara::contrastRatio(tintara::relativeLuminance(from), other) >=
                         tintara::kAaNormal);
            },
            [&](int) {
                const auto found = tintara::nearestPassingColor(
                    from, tintara::AgainstLuminance(other, tintara::kAaNormal), webSafe);
                g_sink = g_sink + (found ? (*found)[0] : -1);
            });
    }

    // The verdict alone, as the status line asks for it, and the picture data it needs.
    const auto verdictText = [](double ratio, double lc) {
        return tintara::ratioText(ratio) + tintara::apcaText(lc);
    };
    measure("verdict, plain background", 2000, kInteractive, nullptr, [&](int i) {
        const tintara::Rgb text{i % 256, 40, 200}, back{250, i % 256, 30};
        g_sink = g_sink + int(verdictText(tintara::contrastRatio(text, back),
                                          tintara::apcaContrast(text, back))
                                  .size());
    });
    const QImage photo = photoPicture(4000, 4);
    std::unique_ptr<tintara::PictureContrast> pictureContrast;
    measure(
        "picture contrast data, 4000x4000 photograph", 5, kPictureData, nullptr,
        [&](int) { pictureContrast.reset(); },
        [&](int) {
            pictureContrast = std::make_unique<tintara::PictureContrast>(photo, 0xFFF0F0F0);
        });
    {
        // Pure noise: about 10 and 15 million distinct colours to put in order.
        const QImage noise = noisePicture(4000), largeNoise = noisePicture(6000);
        std::unique_ptr<tintara::PictureContrast> data;
        for (const bool large : {false, true})
            measure(
                large ? "picture contrast data, 6000x6000 noise"
                      : "picture contrast data, 4000x4000 noise",
                5, large ? kLargePictureData : kPictureData, nullptr, [&](int) { data.reset(); },
                [&](int) {
                    data = std::make_unique<tintara::PictureContrast>(large ? largeNoise : noise,
                                                                      0xFFF0F0F0);
                });
        data.reset();
        measureAnswering("longest pause of the window, 6000x6000 noise analysed", 5, largeNoise);
        const char* dropped = "longest pause of the window, 6000x6000 noise dropped on it";
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("noise.bmp"));
        if (chosen(dropped) && largeNoise.save(path))
            measureWindowAnswering(dropped, 5, w, path);
    }
    {
        // A photograph of 6,000 x 6,000 pixels in a PNG of some 50 MB, read and made a pixmap
        // on the window's thread as the window does.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("photo.png"));
        const char* read = "reading a 6000x6000 photograph's PNG";
        const char* pixmap = "  QPixmap::fromImage of it";
        if ((chosen(read) || chosen(pixmap)) && photoPicture(6000, 8).save(path, "png", 80)) {
            std::printf("  (a PNG of %lld MB)\n", QFileInfo(path).size() >> 20);
            QImage decoded;
            measureFew(read, 3, kReferenceOnly,
                       [&] { decoded = tintara::readPicture(path).image; });
            if (decoded.size() != QSize(6000, 6000))
                g_allMet = false;
            measureFew(pixmap, 3, kReferenceOnly,
                       [&] { g_sink = g_sink + QPixmap::fromImage(decoded).width(); });
        }
    }
    QImage simulated;
    measure(
        "colour-vision simulation, 4000x4000 photograph", 5, kPictureData, nullptr,
        [&](int) { simulated = QImage(); },
        [&](int i) {
            simulated = tintara::simulatedPicture(photo, i % 2 ? tintara::Vision::Protanopia
                                                               : tintara::Vision::Tritanopia);
        });
    {
        // Switching the simulation in the window with the photograph as the background.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("photo.bmp"));
        photo.save(path);
        emit ui.Picture1->urlsDropped({QUrl::fromLocalFile(path)});
        measure("simulation switched, 4000x4000 picture", 6, kPictureData, ui.Picture1, [&](int i) {
            w.checkUi().vision[1 + i % 2]->trigger();
            repaintWindow(w);
        });
        w.checkUi().vision[0]->trigger();
        emit ui.Picture1->doubleClicked();
    }
    // The data may not have been made above, when only this case is asked for.
    if (!pictureContrast)
        pictureContrast = std::make_unique<tintara::PictureContrast>(photo, 0xFFF0F0F0);
    measure("verdict over the 4000x4000 picture", 2000, kInteractive, nullptr, [&](int i) {
        const tintara::Rgb text{i % 256, 40, 200};
        const auto worst = pictureContrast->against(text);
        g_sink = g_sink + worst.aaPercent +
                 int(verdictText(worst.ratio, tintara::apcaContrast(text, worst.worst)).size());
    });

    {
        // Text fitted over a dim copy of the photograph, which leaves light text a band to reach:
        // the picture's bands are worked out at every fit.
        QImage dim = photo;
        for (int y = 0; y < dim.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(dim.scanLine(y));
            for (int x = 0; x < dim.width(); ++x)
                line[x] = (line[x] >> 2) & 0xFF3F3F3Fu;
        }
        const tintara::PictureContrast dimContrast(dim, 0xFFF0F0F0);
        for (const bool webSafe : {false, true}) {
            const tintara::AgainstPicture need(dimContrast, tintara::kAaNormal);
            QRandomGenerator random(13);
            tintara::Rgb from{};
            measure(
                webSafe ? "nearest passing colour over the photograph, Web216"
                        : "nearest passing colour over the photograph",
                500, kCheckFix, nullptr,
                [&](int) {
                    do {
                        from = {random.bounded(256), random.bounded(256), random.bounded(256)};
                    } while (need.passes(tintara::relativeLuminance(from)));
                },
                [&](int) {
                    const auto found = tintara::nearestPassingColor(
                        from, tintara::AgainstPicture(dimContrast, tintara::kAaNormal), webSafe);
                    g_sink = g_sink + (found ? (*found)[0] : -1);
                });
        }
    }
    measureContrastTable(w);

    window.reset();
    std::unique_ptr<Tintara> started;
    measure(
        "start-up to first shown frame", 30, kStartup, nullptr, [&](int) { started.reset(); },
        [&](int) { started = startWindow(); });

    // Input far beyond any the program is made for: a settings file of 10,000 sets, read at
    // start-up, and a megabyte of text pasted over a code box, which keeps what it can hold.
    started.reset();
    QTemporaryDir many;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, many.path());
    QString sets = QStringLiteral("[ColorList]\n");
    for (int i = 0; i < 10000; ++i)
        sets += QStringLiteral("No.%1=\"Set %1,#003366,#FFFFFF\"\n").arg(i);
    QDir().mkpath(many.filePath(QStringLiteral("Tintara")));
    QFile file(many.filePath(QStringLiteral("Tintara/Tintara.conf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(sets.toUtf8()) < 0)
        return 2;
    file.close();
    measure(
        "start-up with 10,000 stored sets", 20, kLargeInput, nullptr, [&](int) { started.reset(); },
        [&](int) { started = startWindow(); });
    if (!started)
        started = startWindow();
    if (started->colorSetNames().size() != 10000) {
        std::printf("  the window did not list the 10,000 sets\n");
        g_allMet = false;
    }

    QString megabyte;
    while (megabyte.size() < 1024 * 1024)
        megabyte += QStringLiteral("#123456 lorem ipsum 背景\t");
    QGuiApplication::clipboard()->setText(megabyte);
    QLineEdit* box = started->ui().ColorCode[1];
    box->setFocus();
    const char* paste = "1 MB pasted into a code box";
    measure(
        paste, 50, kLargeInput, nullptr, [&](int) { box->selectAll(); },
        [&](int) {
            sendKey(box, Qt::Key_V, QString(), Qt::ControlModifier);
            repaintWindow(*started);
        });
    if (chosen(paste) &&
        (box->text() != megabyte.left(box->maxLength()) || started->BC(2) != 255)) {
        std::printf("  the code box did not take the pasted text as it should\n");
        g_allMet = false;
    }

    std::printf(g_allMet ? "all targets met\n" : "some targets MISSED\n");
    return g_allMet ? 0 : 1;
}
