#include "preview/colorbar.h"
#include "support/testregistry.h"

#include <QImage>
#include <QTest>

using namespace tintara;

namespace {

QImage barImage(qreal dpr)
{
    QImage image(QSize(256, 60) * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::gray);
    return image;
}

const QRgb kWhite = qRgb(255, 255, 255);

} // namespace

class ColorBarTest : public QObject
{
    Q_OBJECT
private slots:
    void fullColourPickingTurnsEachPixelIntoOneValue()
    {
        QCOMPARE(pickBarValue(1919, 15, false), 127);
        QCOMPARE(pickBarValue(1920, 15, false), 128);
        QCOMPARE(pickBarValue(0, 15, false), 0);
        QCOMPARE(pickBarValue(3839, 15, false), 255);
        QCOMPARE(pickBarValue(3840, 15, false), 256);
        // Just left of the bar truncates toward zero.
        QCOMPARE(pickBarValue(-7, 15, false), 0);
        QVERIFY(pickBarValue(-15, 15, false) < 0);
    }

    void webSafePickingSnapsToSixCells()
    {
        QCOMPARE(pickBarValue(0, 15, true), 0);
        QCOMPARE(pickBarValue(639, 15, true), 0);
        QCOMPARE(pickBarValue(640, 15, true), 51);
        QCOMPARE(pickBarValue(1279, 15, true), 51);
        QCOMPARE(pickBarValue(3200, 15, true), 255);
        QCOMPARE(pickBarValue(3839, 15, true), 255);
        QCOMPARE(pickBarValue(3840, 15, true), 306);
    }

    void rowsAreTwentyPixelsHigh()
    {
        QCOMPARE(pickBarRow(0, 15), 0);
        QCOMPARE(pickBarRow(299, 15), 0);
        QCOMPARE(pickBarRow(300, 15), 1);
        QCOMPARE(pickBarRow(899, 15), 2);
        QCOMPARE(pickBarRow(900, 15), 3);
        QCOMPARE(pickBarRow(-299, 15), 0);
        QCOMPARE(pickBarRow(-300, 15), -1);
    }

    void pickingSurvivesAbsurdPointerPositions()
    {
        QVERIFY(pickBarValue(1e30f, 15, false) < 0);
        QVERIFY(pickBarValue(std::numeric_limits<float>::quiet_NaN(), 15, true) < 0);
        QVERIFY(pickBarRow(-1e30f, 15) < 0);
        QVERIFY(pickBarValue(100, 0, false) < 0);
    }

    void cellWidthIsHeldInSinglePrecision()
    {
        QCOMPARE(barCellWidth(false), 1.0f);
        QCOMPARE(barCellWidth(true), 256.0f / 6.0f);
    }

    void fullColourStripsRunEachChannelWithAMarkAtItsValue()
    {
        QImage image = barImage(1);
        renderColorBar(image, {10, 20, 30}, false);
        QCOMPARE(image.pixel(0, 0), qRgb(0, 20, 30));
        QCOMPARE(image.pixel(200, 5), qRgb(200, 20, 30));
        QCOMPARE(image.pixel(255, 25), qRgb(10, 255, 30));
        QCOMPARE(image.pixel(100, 59), qRgb(10, 20, 100));
        // One-pixel-wide white line, 20 pixels high, at each channel's value.
        for (int y = 0; y < 20; ++y)
            QCOMPARE(image.pixel(10, y), kWhite);
        QCOMPARE(image.pixel(9, 10), qRgb(9, 20, 30));
        QCOMPARE(image.pixel(11, 10), qRgb(11, 20, 30));
        QCOMPARE(image.pixel(20, 30), kWhite);
        QCOMPARE(image.pixel(30, 50), kWhite);
        QCOMPARE(image.pixel(30, 10), qRgb(30, 20, 30));
    }

    void webSafeStripsHaveSixCellsAndOutlineOnlyWebSafeValues()
    {
        QImage image = barImage(1);
        renderColorBar(image, {51, 100, 255}, true);
        // Cells at 0, 43, 85, 128, 171, 213 pixels.
        QCOMPARE(image.pixel(44, 10), qRgb(51, 100, 255));
        QCOMPARE(image.pixel(43, 0), kWhite);
        QCOMPARE(image.pixel(43, 10), kWhite);
        QCOMPARE(image.pixel(84, 10), kWhite); // one pixel inside the cell's right edge
        QCOMPARE(image.pixel(84, 19), kWhite);
        QCOMPARE(image.pixel(60, 19), kWhite);
        QCOMPARE(image.pixel(85, 10), qRgb(102, 100, 255));
        QCOMPARE(image.pixel(42, 5), qRgb(0, 100, 255));
        // Green is 100, not web-safe: no mark anywhere in its strip.
        for (int x = 0; x < 256; ++x)
            for (int y = 20; y < 40; ++y)
                QVERIFY(image.pixel(x, y) != kWhite);
        QCOMPARE(image.pixel(255, 45), kWhite);
        QCOMPARE(image.pixel(213, 45), kWhite);
    }

    void doubleResolutionKeepsCellEdgesSharp()
    {
        QImage image = barImage(2);
        renderColorBar(image, {0, 255, 0}, true);
        // Cell 1 starts at 42.67 logical pixels: device pixel 85, not a scaled-up 86.
        QCOMPARE(image.pixel(84, 60), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(85, 60), qRgb(0, 51, 0));
        QCOMPARE(image.pixel(170, 60), qRgb(0, 51, 0));
        QCOMPARE(image.pixel(171, 60), qRgb(0, 102, 0));
    }
};

TINTARA_TEST(ColorBarTest)
#include "tst_colorbar.moc"
