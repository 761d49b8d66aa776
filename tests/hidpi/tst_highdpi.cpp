#include "support/fakes.h"

using namespace tintara;
using namespace tintara::test;

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

    void windowDoublesAndDrawsTheBarsCellEdgesAtDevicePixels()
    {
        TestWindow w;
        QCOMPARE(w->twipsPerPixel(), 15.0f);
        QCOMPARE(w->centralWidget()->size(), QSize(669, 308));
        const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), w->size() * 2);
        QCOMPARE(w->ui().Picture1->buffer().size(), w->ui().Picture1->size() * 2);

        // The background bar over white: its red strip runs through cyan, one cell per 51. The
        // first cell ends at 256 / 6 = 42.67 logical pixels, so device pixel 85 begins the
        // second, where an enlarged drawing would still show the first; the second ends at 171.
        const QPoint bar = w->ui().BackBar->mapTo(w.get(), QPoint(0, 0)) * 2;
        const std::pair<QPoint, QRgb> edges[] = {
            {{84, 20}, qRgb(0, 255, 255)},   {{85, 20}, qRgb(51, 255, 255)},
            {{170, 20}, qRgb(51, 255, 255)}, {{171, 20}, qRgb(102, 255, 255)},
            {{10, 39}, qRgb(0, 255, 255)},   {{10, 40}, qRgb(255, 0, 255)}};
        for (const auto& [at, colour] : edges)
            QCOMPARE(QColor(shot.pixel(bar + at)), QColor(colour));
    }
};

TINTARA_TEST(HighDpiTest)
#include "tst_highdpi.moc"
