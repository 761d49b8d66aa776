#include "preview/colorbar.h"
#include "preview/colorcode.h"
#include "preview/web216.h"
#include "support/fakes.h"

using namespace tintara;
using namespace tintara::test;

class PreviewTest : public QObject
{
    Q_OBJECT
private slots:
    void codesAreWrittenInUpperCaseAndReadLeniently()
    {
        QCOMPARE(colorCode(10, 0, 255), QString::fromLatin1("#0A00FF"));
        const std::pair<const char16_t*, Rgb> read[] = {{u"#00ff80", {0, 255, 128}},
                                                        {u"#12ZZ56", {18, 0, 86}},
                                                        {u"#1Z2Z3Z", {1, 2, 3}},
                                                        {u"# F\tA\n1", {15, 10, 1}},
                                                        {u"#-1+1.1", {0, 0, 0}}};
        for (const auto& [text, rgb] : read)
            QCOMPARE(parseColorCode(text), std::optional<Rgb>(rgb));
        for (const char16_t* text : {u"", u"#00ff8", u"00FF80", u"#00FF800", u"＃00FF80"})
            QVERIFY(!parseColorCode(text));
    }

    void webSafeRoundingGoesToTheNearestMultipleOf51()
    {
        const std::pair<int, int> boundaries[] = {{25, 0},    {26, 51},   {76, 51},   {77, 102},
                                                  {127, 102}, {128, 153}, {229, 204}, {230, 255}};
        for (const auto& [value, rounded] : boundaries)
            QCOMPARE(roundToWebSafe(value), rounded);
    }

    void pickingTurnsTwipsIntoAValueAndAStripOrOffTheBar()
    {
        // At 15 twips per pixel a pixel is one value in full colour; web-safe has six cells.
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const std::tuple<float, bool, int> values[] = {
            {1919, false, 127}, {1920, false, 128}, {3839, false, 255}, {3840, false, 256},
            {-7, false, 0},     {-15, false, -1},   {1e30f, false, -1}, {nan, false, -1},
            {639, true, 0},     {640, true, 51},    {3839, true, 255},  {3840, true, 306},
            {nan, true, -1}};
        for (const auto& [x, web216, value] : values)
            QCOMPARE(pickBarValue(x, 15, web216), value);
        const std::pair<float, int> rows[] = {{299, 0}, {300, 1},   {899, 2},
                                              {900, 3}, {-300, -1}, {-1e30f, -1}};
        for (const auto& [y, row] : rows)
            QCOMPARE(pickBarRow(y, 15), row);
    }

    void stripsRunEachChannelWithAMarkAtItsValue()
    {
        // Full colour: the mark is one pixel wide and a strip (20 pixels) high at each value.
        QImage full(256, 60, QImage::Format_RGB32);
        full.fill(Qt::gray);
        renderColorBar(full, {10, 20, 30}, false);
        QCOMPARE(full.pixel(0, 0), qRgb(0, 20, 30));
        QCOMPARE(full.pixel(255, 25), qRgb(10, 255, 30));
        QCOMPARE(full.pixel(100, 59), qRgb(10, 20, 100));
        QCOMPARE(full.pixel(11, 10), qRgb(11, 20, 30));
        for (const QPoint mark : {QPoint(10, 0), QPoint(10, 19), QPoint(20, 30), QPoint(30, 50)})
            QCOMPARE(full.pixel(mark), kWhite);

        // Web-safe: cells at 0, 43, 85, 128, 171, 213 pixels, outlined just inside the cell, and
        // only for a web-safe value: green is 100, so its strip has no mark.
        QImage cells = full;
        renderColorBar(cells, {51, 100, 255}, true);
        QCOMPARE(cells.pixel(42, 5), qRgb(0, 100, 255));
        QCOMPARE(cells.pixel(44, 10), qRgb(51, 100, 255));
        QCOMPARE(cells.pixel(85, 10), qRgb(102, 100, 255));
        for (const QPoint mark : {QPoint(43, 0), QPoint(43, 10), QPoint(84, 10), QPoint(84, 19),
                                  QPoint(60, 19), QPoint(213, 45), QPoint(255, 45)})
            QCOMPARE(cells.pixel(mark), kWhite);
        QVERIFY(cells.pixel(43, 20) != kWhite && cells.pixel(85, 20) != kWhite);
    }
};

TINTARA_TEST_MAIN(PreviewTest)
#include "tst_preview.moc"
