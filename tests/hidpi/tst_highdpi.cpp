#include "about/frmabout.h"
#include "platform/canvas.h"
#include "platform/twips.h"
#include "support/fakes.h"
#include "support/testregistry.h"
#include "tools/testpictures.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

using namespace tintara;
using namespace tintara::test;

namespace {

// The window as the screen shows it, one pixel of the image per device pixel.
QImage grabbed(QWidget* window)
{
    return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QPoint deviceOrigin(QWidget* control, QWidget* window, qreal dpr)
{
    const QPoint logical = control->mapTo(window, QPoint(0, 0));
    return QPoint(qRound(logical.x() * dpr), qRound(logical.y() * dpr));
}

} // namespace

// Runs with QT_SCALE_FACTOR=2 (its own CTest entry sets it): everything the window draws itself
// must come out at device resolution, not as a blurry or blocky enlargement.
class HighDpiTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(qFuzzyCompare(qApp->devicePixelRatio(), 2.0),
                 "run this test with QT_SCALE_FACTOR=2, as its CTest entry does");
    }

    void windowKeepsItsDesignSizeInLogicalPixelsSoItDoubles()
    {
        TestWindow w;
        QCOMPARE(w->devicePixelRatioF(), 2.0);
        const float twips = w->twipsPerPixel();
        QCOMPARE(twips, 15.0f);
        QCOMPARE(w->centralWidget()->size(), twipsRect(0, 0, 10035, 4620, twips).size());
        const QImage shot = grabbed(w.get());
        QCOMPARE(shot.size(), w->size() * 2);
        QCOMPARE(w->ui().Picture1->buffer().size(), w->ui().Picture1->size() * 2);
    }

    void colourBarCellsEndAtTheirDevicePixel()
    {
        TestWindow w;
        QVERIFY(w->web216Mode());
        const QImage shot = grabbed(w.get());
        // The background bar over white: its red strip runs through cyan, one cell per 51.
        const QPoint bar = deviceOrigin(w->ui().BackBar, w.get(), 2.0);
        const int y = bar.y() + 20; // the middle of the first strip
        // The first cell ends at 256 / 6 = 42.67 logical pixels: device pixel 85 begins the
        // second cell, where an enlarged drawing would still show the first one.
        QCOMPARE(QColor(shot.pixel(bar.x() + 84, y)), QColor(0, 255, 255));
        QCOMPARE(QColor(shot.pixel(bar.x() + 85, y)), QColor(51, 255, 255));
        // The second ends at 85.33 logical pixels, device pixel 171.
        QCOMPARE(QColor(shot.pixel(bar.x() + 170, y)), QColor(51, 255, 255));
        QCOMPARE(QColor(shot.pixel(bar.x() + 171, y)), QColor(102, 255, 255));
        // The strips are 20 logical pixels high: the green one begins at device row 40.
        QCOMPARE(QColor(shot.pixel(bar.x() + 10, bar.y() + 39)), QColor(0, 255, 255));
        QCOMPARE(QColor(shot.pixel(bar.x() + 10, bar.y() + 40)), QColor(255, 0, 255));
    }

    void previewTextIsDrawnAtDeviceResolution()
    {
        TestWindow w;
        const QImage shot = grabbed(w.get());
        const QPoint origin = deviceOrigin(w->ui().Picture1, w.get(), 2.0);
        const QSize size = w->ui().Picture1->size() * 2;
        // An enlarged drawing repeats every pixel in a 2 x 2 block; glyph edges at device
        // resolution break that up.
        int split = 0;
        int inked = 0;
        for (int y = 0; y + 1 < size.height(); y += 2) {
            for (int x = 0; x + 1 < size.width(); x += 2) {
                const QRgb p = shot.pixel(origin.x() + x, origin.y() + y);
                inked += p != qRgb(255, 255, 255);
                split += p != shot.pixel(origin.x() + x + 1, origin.y() + y) ||
                         p != shot.pixel(origin.x() + x, origin.y() + y + 1) ||
                         p != shot.pixel(origin.x() + x + 1, origin.y() + y + 1);
            }
        }
        QVERIFY(inked > 500);
        QVERIFY2(split > inked / 4, qPrintable(QStringLiteral("%1 of %2").arg(split).arg(inked)));
    }

    void tiledPictureKeepsItsSizeAndStaysSharp()
    {
        QTemporaryDir dir;
        const QImage picture = patternPicture(5, 3);
        const QString path = savePicture(dir, QStringLiteral("tile.bmp"), picture);
        TestWindow w;
        w->LoadBackgroundPicture(path);
        QVERIFY(!w->solidBack());
        const QImage shot = grabbed(w.get());
        const QPoint origin = deviceOrigin(w->ui().Picture1, w.get(), 2.0);
        // The top-left corner lies clear of the sample text. Each picture pixel covers exactly
        // 2 x 2 device pixels: the tile is as large as at scale 1, without smoothing.
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 60; ++x) {
                const QRgb expected = picture.pixel((x / 2) % 5, (y / 2) % 3);
                if (shot.pixel(origin.x() + x, origin.y() + y) != expected)
                    QFAIL(qPrintable(QStringLiteral("device pixel %1, %2").arg(x).arg(y)));
            }
        }
    }

    void aboutIconUsesTheLargerDrawing()
    {
        frmAbout about({}, 15.0f);
        about.Form_Load();
        const QPixmap icon = about.ui().picIcon->pixmap();
        QCOMPARE(icon.devicePixelRatio(), 2.0);
        QCOMPARE(icon.size(), QSize(64, 64));
        QImage shown = icon.toImage().convertToFormat(QImage::Format_ARGB32);
        shown.setDevicePixelRatio(1.0);
        const QImage png(QStringLiteral(":/icons/tintara-64.png"));
        QCOMPARE(shown, QPixmap::fromImage(png).toImage().convertToFormat(QImage::Format_ARGB32));
    }
};

TINTARA_TEST(HighDpiTest)

#include "tst_highdpi.moc"
