#include "preview/colorbar.h"
#include "preview/colorcode.h"
#include "preview/web216.h"
#include "support/testmain.h"

#include <QImage>
#include <QTest>

using namespace tintara;

namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);

QImage renderedBar(const Rgb& channels, bool web216)
{
    QImage image(256, 60, QImage::Format_RGB32);
    image.fill(Qt::gray);
    renderColorBar(image, channels, web216);
    return image;
}

} // namespace

class PreviewTest : public QObject
{
    Q_OBJECT
private slots:
    void codesAreWrittenInUpperCaseAndReadLeniently()
    {
        const std::pair<int, const char*> hex[] = {{0, "00"},   {9, "09"},     {10, "0A"},
                                                   {255, "FF"}, {4095, "FFF"}, {-1, "FFFFFFFF"}};
        for (const auto& [value, text] : hex)
            QCOMPARE(hex2(value), QString::fromLatin1(text));
        QCOMPARE(colorCode(255, 0, 128), QString::fromLatin1("#FF0080"));

        const std::pair<const char16_t*, Rgb> read[] = {{u"#00ff80", {0, 255, 128}},
                                                        {u"#12ZZ56", {18, 0, 86}},
                                                        {u"#1Z2Z3Z", {1, 2, 3}},
                                                        {u"# F\tA\n1", {15, 10, 1}},
                                                        {u"#-1+1.1", {0, 0, 0}}};
        for (const auto& [text, rgb] : read)
            QCOMPARE(parseColorCode(text), std::optional<Rgb>(rgb));
        // Anything but seven characters starting with "#" is no code yet.
        for (const char16_t* text : {u"", u"#", u"#00ff8", u"00FF80", u"#00FF800", u"＃00FF80"})
            QVERIFY(!parseColorCode(text));
        // Long runs of digits keep the last eight, as hex2 prints negative values.
        QCOMPARE(leadingHexValue(u"FFFFFFFF"), -1);
        QCOMPARE(leadingHexValue(u"123456789ABCDEF0"), int(0x9ABCDEF0u));
    }

    void webSafeRoundingGoesToTheNearestMultipleOf51()
    {
        const std::pair<int, int> boundaries[] = {{25, 0},    {26, 51},   {76, 51},   {77, 102},
                                                  {127, 102}, {128, 153}, {229, 204}, {230, 255}};
        for (const auto& [value, rounded] : boundaries)
            QCOMPARE(roundToWebSafe(value), rounded);
        for (int v = 0; v <= 255; ++v)
            QVERIFY(roundToWebSafe(v) % 51 == 0 && std::abs(roundToWebSafe(v) - v) <= 25);
    }

    void pickingTurnsTwipsIntoAValueAndAStripOrOffTheBar()
    {
        // At 15 twips per pixel a pixel is one value in full colour; web-safe has six cells.
        const std::tuple<float, bool, int> values[] = {
            {1919, false, 127}, {1920, false, 128}, {3840, false, 256}, {-7, false, 0},
            {639, true, 0},     {640, true, 51},    {3839, true, 255},  {3840, true, 306}};
        for (const auto& [x, web216, value] : values)
            QCOMPARE(pickBarValue(x, 15, web216), value);
        const std::pair<float, int> rows[] = {{299, 0}, {300, 1}, {900, 3}, {-299, 0}, {-300, -1}};
        for (const auto& [y, row] : rows)
            QCOMPARE(pickBarRow(y, 15), row);
        const float nan = std::numeric_limits<float>::quiet_NaN();
        for (const float x : {-15.0f, 1e30f, nan})
            QVERIFY(pickBarValue(x, 15, false) < 0);
        QVERIFY(pickBarValue(nan, 15, true) < 0);
        QVERIFY(pickBarRow(-1e30f, 15) < 0);
        QVERIFY(pickBarValue(100, 0, false) < 0);
    }

    void stripsRunEachChannelWithAMarkAtItsValue()
    {
        // Full colour: the mark is one pixel wide and a strip (20 pixels) high at each value.
        const QImage full = renderedBar({10, 20, 30}, false);
        QCOMPARE(full.pixel(0, 0), qRgb(0, 20, 30));
        QCOMPARE(full.pixel(255, 25), qRgb(10, 255, 30));
        QCOMPARE(full.pixel(100, 59), qRgb(10, 20, 100));
        QCOMPARE(full.pixel(9, 10), qRgb(9, 20, 30));
        QCOMPARE(full.pixel(11, 10), qRgb(11, 20, 30));
        for (const QPoint mark : {QPoint(10, 0), QPoint(10, 19), QPoint(20, 30), QPoint(30, 50)})
            QCOMPARE(full.pixel(mark), kWhite);

        // Web-safe: cells at 0, 43, 85, 128, 171, 213 pixels, outlined just inside the cell, and
        // only for a web-safe value: green is 100, so its strip has no mark.
        const QImage cells = renderedBar({51, 100, 255}, true);
        QCOMPARE(cells.pixel(42, 5), qRgb(0, 100, 255));
        QCOMPARE(cells.pixel(44, 10), qRgb(51, 100, 255));
        QCOMPARE(cells.pixel(85, 10), qRgb(102, 100, 255));
        for (const QPoint mark : {QPoint(43, 0), QPoint(43, 10), QPoint(84, 10), QPoint(84, 19),
                                  QPoint(60, 19), QPoint(213, 45), QPoint(255, 45)})
            QCOMPARE(cells.pixel(mark), kWhite);
        for (int x = 0; x < 256; ++x)
            for (int y = 20; y < 40; ++y)
                QVERIFY(cells.pixel(x, y) != kWhite);
    }
};

TINTARA_TEST_MAIN(PreviewTest)
#include "tst_preview.moc"
