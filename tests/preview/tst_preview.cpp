#include "preview/colorbar.h"
#include "preview/colorcode.h"
#include "preview/previewrenderer.h"
#include "support/fakes.h"

#include <QPainter>
#include <QRandomGenerator>

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

    void aTiledPictureIsDrawnAsTiledWhateverWasDrawnBefore()
    {
        // One renderer kept across pictures, box sizes, scales and what shows through.
        QImage veil(7, 3, QImage::Format_ARGB32);
        veil.fill(qRgba(200, 0, 0, 100));
        const QPixmap pictures[] = {QPixmap::fromImage(patternPicture(90, 70)),
                                    QPixmap::fromImage(veil)};
        PreviewRenderer kept{QFont(), QString()};
        QRandomGenerator random(5);
        for (int i = 0; i < 200; ++i) {
            const QColor cleared = random.bounded(2) ? Qt::gray : Qt::blue;
            const QPixmap& picture = pictures[random.bounded(2)];
            PreviewRenderer::Background background{false, Qt::green, cleared, &picture};
            background.tileWidthTwips = background.tileHeightTwips = 15;
            const QRectF box(0, 0, random.bounded(2) ? 40 : 119, random.bounded(2) ? 30 : 7);
            const int ratio = random.bounded(1, 3);
            QImage drawn((box.size() * ratio).toSize(), QImage::Format_RGB32);
            drawn.setDevicePixelRatio(ratio);
            QImage tiled = drawn;
            QPainter painter(&drawn);
            kept.paintBackground(painter, box.size(), background);
            painter.end();
            painter.begin(&tiled);
            painter.fillRect(box, cleared);
            painter.drawTiledPixmap(box, picture);
            painter.end();
            QCOMPARE(drawn, tiled);
        }
    }
};

TINTARA_TEST_MAIN(PreviewTest)
#include "tst_preview.moc"
