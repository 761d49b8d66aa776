#include "check/contrast.h"
#include "check/pictureanalysis.h"
#include "check/picturecontrast.h"
#include "check/vision.h"
#include "preview/colorcode.h"
#include "support/fakes.h"

#include <QClipboard>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <cmath>

using namespace tintara;
using namespace tintara::test;

namespace {

Rgb rgb(const char16_t* code)
{
    return *parseColorCode(QString::fromUtf16(code));
}

// The smallest distance to a colour that passes, over every colour there is, or the 216.
double optimum(const Rgb& from, double other, double target, int step)
{
    double best = INFINITY;
    for (int r = 0; r <= kChannelMax; r += step)
        for (int g = 0; g <= kChannelMax; g += step)
            for (int b = 0; b <= kChannelMax; b += step)
                if (contrastRatio(relativeLuminance({r, g, b}), other) >= target)
                    best = std::min(best, okLabDistance(from, {r, g, b}));
    return best;
}

// A picture of one of six kinds: noise, a few colours in flat rectangles, a few hundred colours,
// translucent, premultiplied translucent noise, and an indexed one. A large one takes every core
// and has reds of thousands of pixels.
QImage randomPicture(QRandomGenerator& random, int kind, bool large = false)
{
    const int width = large ? 900 + random.bounded(300) : 1 + random.bounded(60);
    const int height = large ? 600 : 1 + random.bounded(40);
    const QImage::Format formats[] = {QImage::Format_RGB32,
                                      QImage::Format_RGB32,
                                      QImage::Format_RGB32,
                                      QImage::Format_ARGB32,
                                      QImage::Format_ARGB32_Premultiplied,
                                      QImage::Format_RGB32};
    QImage picture(width, height, formats[kind]);
    std::vector<QRgb> palette(kind == 2 ? 300 : 1 + random.bounded(5));
    for (QRgb& colour : palette)
        colour = random.generate() | (kind == 3 ? 0 : 0xFF000000u);
    if (kind == 3)
        palette.front() &= 0xFFFFFFu; // one wholly transparent
    if (kind == 1) {
        palette.front() = qRgb(0, 0, 0); // the ends of every band
        palette.back() |= random.bounded(2) ? 0xFFFFFFu : 0;
    }
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb any = palette[random.bounded(int(palette.size()))];
            const QRgb flat = palette[(x * 3 / width + y * 2 / height) % palette.size()];
            line[x] = kind == 0                ? random.generate() | 0xFF000000u
                      : kind == 4              ? qPremultiply(random.generate())
                      : kind == 1 || kind == 3 ? flat
                                               : any;
        }
    }
    return kind == 5 ? picture.convertToFormat(QImage::Format_Indexed8) : picture;
}

// The lowest ratio over a picture's distinct luminances, one by one.
double worstOver(const std::vector<double>& pixels, double luminance)
{
    double worst = INFINITY;
    for (const double pixel : pixels)
        worst = std::min(worst, contrastRatio(pixel, luminance));
    return worst;
}

} // namespace

class ContrastTest : public QObject
{
    Q_OBJECT
private slots:
    void ratiosShowRoundedDownWithTheHintAndApcaSigned()
    {
        const std::tuple<const char16_t*, const char16_t*, const char*, const char*> pairs[] = {
            {u"#000000", u"#FFFFFF", "21.00:1", "106.0"},
            {u"#777777", u"#FFFFFF", "4.47:1", ""},
            {u"#FFFFCC", u"#336699", "5.83:1", "-82.8"},
            {u"#888888", u"#FFFFFF", "", "63.1"},
            {u"#FFFFFF", u"#888888", "", "-68.5"},
            {u"#000000", u"#AAAAAA", "", "58.1"},
            {u"#AAAAAA", u"#000000", "", "-56.2"},
            {u"#123456", u"#123456", "1.00:1", "0.0"}};
        for (const auto& [text, back, ratio, lc] : pairs) {
            if (*ratio)
                QCOMPARE(ratioText(contrastRatio(rgb(text), rgb(back))), QString(ratio));
            if (*lc)
                QCOMPARE(apcaText(apcaContrast(rgb(text), rgb(back))), QString(lc));
        }
        const double grey = contrastRatio(rgb(u"#777777"), rgb(u"#FFFFFF"));
        QVERIFY(grey < kAaNormal && justBelow(grey, kAaNormal));
        // Just under a threshold never shows it; the hint covers the last 0.05 below.
        const std::tuple<double, const char*, double, bool> near[] = {
            {std::nextafter(kAaNormal, 0.0), "4.49:1", kAaNormal, true},
            {4.5, "4.50:1", kAaNormal, false},
            {4.4499, "4.44:1", kAaNormal, false},
            {std::nextafter(kAaLarge, 0.0), "2.99:1", kAaLarge, true},
            {6.95, "6.95:1", kAaaNormal, true}};
        for (const auto& [ratio, text, threshold, hint] : near) {
            QCOMPARE(ratioText(ratio), QString(text));
            QCOMPARE(justBelow(ratio, threshold), hint);
        }
    }

    void nearestPassingColourIsWithinFivePercentOfTheBestOrExactAmongTheWebSafe()
    {
        const std::tuple<const char16_t*, const char16_t*, double> cases[] = {
            {u"#999999", u"#FFFFFF", kAaNormal}, // the best is the faintly tinted #7E747A
            {u"#FF8000", u"#FFFFFF", kAaNormal},
            {u"#3366CC", u"#000000", kAaaNormal},
            {u"#808080", u"#767676", kAaLarge}};
        for (const auto& [code, otherCode, target] : cases) {
            const Rgb from = rgb(code);
            const double other = relativeLuminance(rgb(otherCode));
            for (const int step : {1, kWebSafeStep}) {
                const auto found = nearestPassingColour(from, other, target, step > 1);
                QVERIFY(found && contrastRatio(relativeLuminance(*found), other) >= target);
                const double best = optimum(from, other, target, step);
                QVERIFY(okLabDistance(from, *found) <= (step > 1 ? best : 1.05 * best));
                for (const int channel : *found)
                    QCOMPARE(channel % step, 0);
            }
        }
        // A pair that passes stays; against a mid grey nothing reaches AAA.
        const double white = relativeLuminance(rgb(u"#FFFFFF"));
        QCOMPARE(nearestPassingColour(rgb(u"#000000"), white, kAaaNormal, false), rgb(u"#000000"));
        const double mid = relativeLuminance(rgb(u"#777777"));
        for (const bool webSafe : {false, true})
            QVERIFY(!nearestPassingColour(rgb(u"#999999"), mid, kAaaNormal, webSafe));
    }

    void pictureVerdictIsItsWorstPixelOverWhatIsUnderIt()
    {
        // Black, white, and a transparent pixel that shows the grey under the picture.
        QImage picture(3, 1, QImage::Format_ARGB32);
        picture.setPixel(0, 0, qRgb(0, 0, 0));
        picture.setPixel(1, 0, qRgb(255, 255, 255));
        picture.setPixel(2, 0, qRgba(0, 0, 0, 0));
        const PictureContrast contrast(picture, qRgb(0x77, 0x77, 0x77));
        const std::tuple<Rgb, Rgb, const char*, int> cases[] = {
            {{0, 0, 0}, {0, 0, 0}, "1.00:1", 66},
            {{0x77, 0x77, 0x77}, {0x77, 0x77, 0x77}, "1.00:1", 33},
            {{255, 255, 0}, {255, 255, 255}, "1.07:1", 33}};
        for (const auto& [text, worst, ratio, percent] : cases) {
            const PictureContrast::Verdict v = contrast.against(text);
            QCOMPARE(v.worst, worst);
            QCOMPARE(ratioText(v.ratio), QString(ratio));
            QCOMPARE(v.aaPercent, percent);
        }
    }

    void pictureContrastAgreesWithEveryPixel()
    {
        for (quint32 seed = 0; seed < 120; ++seed) {
            QRandomGenerator random(seed);
            const QImage picture = randomPicture(random, int(seed % 6), seed / 6 % 10 == 0);
            const QRgb under = random.generate();
            const PictureContrast contrast(picture, under);
            // Every pixel as the preview shows it.
            QImage shown(picture.size(), QImage::Format_RGB32);
            shown.fill(under);
            QPainter(&shown).drawImage(0, 0, picture);
            QHash<QRgb, int> count;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    ++count[shown.pixel(x, y)];
            const QList<QRgb> colours = count.keys();
            std::vector<double> pixels;
            for (const QRgb c : colours)
                pixels.push_back(relativeLuminance({qRed(c), qGreen(c), qBlue(c)}));
            QCOMPARE(contrast.darkest(), *std::min_element(pixels.begin(), pixels.end()));
            QCOMPARE(contrast.lightest(), *std::max_element(pixels.begin(), pixels.end()));

            for (int k = 0; k < 12; ++k) {
                const QRgb any =
                    k < 6 ? colours[random.bounded(colours.size())] : random.generate();
                const Rgb text{qRed(any), qGreen(any), qBlue(any)};
                const double own = relativeLuminance(text);
                const PictureContrast::Verdict v = contrast.against(text);
                qint64 reaching = 0;
                for (qsizetype i = 0; i < colours.size(); ++i)
                    reaching += contrastRatio(pixels[i], own) >= kAaNormal ? count[colours[i]] : 0;
                QCOMPARE(v.ratio, worstOver(pixels, own));
                QCOMPARE(contrast.worstRatio(own), v.ratio);
                QVERIFY(count.contains(qRgb(v.worst[0], v.worst[1], v.worst[2])));
                QCOMPARE(contrastRatio(v.worst, text), v.ratio);
                QCOMPARE(v.aaPercent, int(reaching * 100 / (shown.width() * shown.height())));
            }

            // Each band passes at its ends and fails just beyond them, as does every luminance
            // between two bands.
            const double targets[] = {
                1, 1 + random.bounded(0.3), kAaLarge, kAaNormal, kAaaNormal, 21, 22};
            for (const double target : targets) {
                const std::vector<LuminanceBand> bands = contrast.passingBands(target);
                const auto passes = [&](double l) { return worstOver(pixels, l) >= target; };
                double last = -1;
                for (const LuminanceBand& band : bands) {
                    QVERIFY(last < band.low && band.low <= band.high && band.high <= 1);
                    QVERIFY(passes(band.low) && passes(band.high));
                    QVERIFY(band.low == 0 || !passes(std::nextafter(band.low, -1.0)));
                    QVERIFY(band.high == 1 || !passes(std::nextafter(band.high, 2.0)));
                    last = band.high;
                }
                for (int k = 0; k < 8; ++k) {
                    const double l = k < 2 ? k : random.generateDouble();
                    const bool inside =
                        std::any_of(bands.begin(), bands.end(), [l](const LuminanceBand& b) {
                            return b.low <= l && l <= b.high;
                        });
                    QCOMPARE(inside, passes(l));
                }
            }
        }
    }

    void analysisGivesTheLastPictureStartedAndCanBeLeftRunning()
    {
        QRandomGenerator random(3);
        const QImage first = randomPicture(random, 0), second = randomPicture(random, 3);
        PictureAnalysis analysis;
        QVERIFY(!analysis.pending() && !analysis.result());
        QSignalSpy finished(&analysis, &PictureAnalysis::finished);
        analysis.start(first, kWhite);
        analysis.start(second, qRgb(1, 2, 3));
        QVERIFY(analysis.pending() && !analysis.result());
        QVERIFY(finished.wait());
        QTest::qWait(50);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!analysis.pending());
        const PictureContrast expected(second, qRgb(1, 2, 3));
        QCOMPARE(analysis.result()->darkest(), expected.darkest());
        QCOMPARE(analysis.result()->against({9, 99, 199}).aaPercent,
                 expected.against({9, 99, 199}).aaPercent);

        // Closed while a large picture is analysed: it stops, without its result.
        QImage large(3000, 3000, QImage::Format_RGB32);
        random.fillRange(reinterpret_cast<quint32*>(large.bits()), 3000 * 3000);
        auto running = std::make_unique<PictureAnalysis>();
        running->start(large, kWhite);
        running.reset();
    }

    void checkMenuWorksFromACodeBoxAndKeepsItsLevel()
    {
        TestWindow w(kFullColour);
        const CheckUi& check = w->checkUi();
        QLineEdit* text = w->ui().ColorCode[0];
        w->ui().FAutoCK->click();
        QVERIFY(!check.fitText->isEnabled() && !check.fitBack->isEnabled());
        w->ui().FAutoCK->click();
        typeInto(text, u"#999999"_s);
        QCOMPARE(check.status->text(),
                 u"コントラスト比 2.84:1　AA 通常 × 大 ×　AAA 通常 × 大 ×　APCA Lc 54.6"_s);
        typeInto(text, u"#777777"_s);
        QVERIFY(check.status->text().contains(u"4.47:1　4.5 まであと少し　AA 通常 × 大 ○"_s));
        typeInto(text, u"#999999"_s);
        QTest::keyClick(text, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(text->text(), u"#7E747A"_s);
        QVERIFY(check.status->text().contains(u"AA 通常 ○"_s));

        typeInto(w->ui().ColorCode[1], u"#336699"_s);
        typeInto(text, u"#FFFFCC"_s);
        QTest::keyClick(text, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(
            QGuiApplication::clipboard()->text(),
            u"文字色: #FFFFCC\n背景色: #336699\nコントラスト比: 5.83:1\nAA 通常の文字: 合格\n"
            "AA 大きな文字: 合格\nAAA 通常の文字: 不合格\nAAA 大きな文字: 合格\nAPCA Lc: -82.8"_s);

        // At AAA no text colour reaches mid grey: nothing changes, and the line says so.
        check.aaa->trigger();
        QCOMPARE(w.store().values.value(u"check/level"_s), u"AAA"_s);
        typeInto(w->ui().ColorCode[1], u"#777777"_s);
        QTest::keyClick(text, Qt::Key_T, Qt::ControlModifier);
        QVERIFY(check.status->text().endsWith(u"基準を満たす色はありません"_s));
        QCOMPARE(w.channels(), (Channels{255, 255, 204, 119, 119, 119}));
        QTest::keyClick(text, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(check.status->text().contains(u"AAA 通常 ○"_s));

        // Over a picture the worst pixel decides; the background is not fitted.
        QTemporaryDir dir;
        QImage picture(2, 1, QImage::Format_RGB32);
        picture.setPixel(0, 0, qRgb(0, 0, 0));
        picture.setPixel(1, 0, qRgb(255, 255, 255));
        dropFiles(w->ui().Picture1, {savePicture(dir, u"bw.png"_s, picture, "png")});
        QVERIFY(check.status->text().startsWith(u"画像の最も読みにくい点 1.02:1"_s));
        QVERIFY(check.status->text().contains(u"AA 通常を満たす画素 50%"_s));
        QVERIFY(!check.fitBack->isEnabled() && check.fitText->isEnabled());
        QTest::keyClick(text, Qt::Key_K, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY(copied.contains(u"背景色: #615458\n背景画像: bw.png\nコントラスト比: 1.02:1"_s));
        QVERIFY(copied.endsWith(u"\nAA 通常の文字を満たす画素: 50%"_s));
        QVERIFY(TestWindow(w.store().values)->checkUi().aaa->isChecked());
    }

    void simulationChangesThePreviewAloneAndSaysSo()
    {
        TestWindow w(kFullColour);
        QLineEdit* back = w->ui().ColorCode[1];
        typeInto(back, u"#FF0000"_s);
        typeInto(w->ui().ColorCode[0], u"#00FF00"_s);
        const QString verdict = w->checkUi().status->text();
        const QImage& preview = w->ui().Picture1->buffer();
        QTest::keyClick(back, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(preview.pixel(1, 1), qRgb(0x6D, 0x5F, 0x00));
        const Rgb text = simulatedColour({0, 255, 0}, Vision::Protanopia);
        QVERIFY(countPixels(preview, qRgb(text[0], text[1], text[2])) > 0);
        QCOMPARE(countPixels(preview, qRgb(0, 255, 0)), 0);
        QCOMPARE(w->checkUi().status->text(), verdict);
        QVERIFY(w->checkUi().seenAs->isVisible());
        QCOMPARE(w->checkUi().seenAs->text(), u"1型色覚 (P型)の見え方で表示中"_s);
        QCOMPARE(back->text(), u"#FF0000"_s);
        QCOMPARE(w->ui().Slider1[3]->value(), 255);

        // A picture, transparent pixels and all, is seen as each pixel would be (under a theme
        // whose window colour is no grey).
        QPalette palette = w->ui().Picture1->palette();
        palette.setColor(QPalette::Window, QColor(0, 0, 255));
        w->ui().Picture1->setPalette(palette);
        QTemporaryDir dir;
        QImage picture(2, 1, QImage::Format_ARGB32);
        picture.setPixel(0, 0, qRgba(0, 0, 255, 255));
        picture.setPixel(1, 0, qRgba(0, 0, 0, 0));
        dropFiles(w->ui().Picture1, {savePicture(dir, u"p.png"_s, picture, "png")});
        QTest::keyClick(back, Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(preview.pixel(0, 0), qRgb(0x00, 0x6B, 0x96));
        QCOMPARE(preview.pixel(1, 0), qRgb(0x00, 0x6B, 0x96));
        QTest::keyClick(back, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(preview.pixel(0, 0), qRgb(0, 0, 255));
        QVERIFY(w->checkUi().vision[0]->isChecked());
        QVERIFY(!w->checkUi().seenAs->isVisible());
    }

    void aColourTakenFromTheScreenFollowsTheModesAndIsOneStep()
    {
        TestWindow w; // web-safe
        FakeScreenPicker& picker = w.picker();
        QLineEdit* back = w->ui().ColorCode[1];
        const Qt::KeyboardModifiers keys = Qt::ControlModifier | Qt::ShiftModifier;
        w->ui().FAutoCK->click();
        picker.colour = QColor(0x19, 0x7F, 0x80);
        QTest::keyClick(back, Qt::Key_F, keys);
        QCOMPARE(picker.starts, 0);
        QTest::keyClick(back, Qt::Key_B, keys);
        QCOMPARE(w.channels(), (Channels{255, 255, 0, 0, 102, 153}));
        QCOMPARE(back->text(), u"#006699"_s);
        QTest::keyClick(back, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.channels(), (Channels{0, 0, 0, 255, 255, 255}));

        // A text colour that comes once the text colour has become automatic is not taken.
        w->ui().FAutoCK->click();
        QTest::keyClick(back, Qt::Key_F, keys);
        w->ui().FAutoCK->click();
        emit picker.picked(QColor(200, 10, 10));
        QCOMPARE(w.channels(), (Channels{0, 0, 0, 255, 255, 255}));

        // A failure is said, and nothing changes.
        w->ui().FAutoCK->click();
        picker.failure = u"取得できません"_s;
        MessageBoxCatcher boxes;
        QTest::keyClick(back, Qt::Key_F, keys);
        QTRY_COMPARE(boxes.texts, QStringList{picker.failure});
        QCOMPARE(w.channels(), (Channels{0, 0, 0, 255, 255, 255}));
    }

    void colourVisionSimulationRoundsToTheNearestValueAndKeepsAlpha()
    {
        const std::tuple<const char16_t*, Vision, const char16_t*> colours[] = {
            {u"#FF0000", Vision::Achromatopsia, u"#7F7F7F"},
            {u"#FF0000", Vision::Protanopia, u"#6D5F00"},
            {u"#FF8000", Vision::Protanopia, u"#A69100"},
            {u"#00FF00", Vision::Deuteranopia, u"#EFD63A"},
            {u"#336699", Vision::Deuteranopia, u"#425F98"},
            {u"#0000FF", Vision::Tritanopia, u"#006B96"},
            {u"#FF0000", Vision::Tritanopia, u"#FF000F"}, // red beyond 1, clamped
            {u"#FFFFCC", Vision::Tritanopia, u"#FFF8F1"},
            {u"#123456", Vision::Normal, u"#123456"}};
        for (const auto& [from, vision, seen] : colours)
            QCOMPARE(simulatedColour(rgb(from), vision), rgb(seen));
        // A grey is its own luminance: every level comes back as it was.
        for (int v = 0; v <= kChannelMax; ++v)
            QCOMPARE(simulatedColour({v, v, v}, Vision::Achromatopsia), (Rgb{v, v, v}));
        // Any other colour is its luminance encoded by the sRGB formula, rounded to nearest.
        int misencoded = 0;
        for (int r = 0; r <= kChannelMax; r += 3)
            for (int g = 0; g <= kChannelMax; g += 5)
                for (int b = 0; b <= kChannelMax; b += 7) {
                    const double l = relativeLuminance({r, g, b});
                    const double v =
                        l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
                    misencoded += simulatedColour({r, g, b}, Vision::Achromatopsia)[0] !=
                                  int(std::lround(v * kChannelMax));
                }
        QCOMPARE(misencoded, 0);

        // Large enough to be simulated in bands side by side, into huge pages.
        QImage picture(1500, 1400, QImage::Format_ARGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgba(x % 256, y % 256, (x * y) % 256, (x + y) % 256));
        const QImage seen = simulatedPicture(picture, Vision::Deuteranopia);
        int wrong = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb p = picture.pixel(x, y);
                const Rgb c = simulatedColour({qRed(p), qGreen(p), qBlue(p)}, Vision::Deuteranopia);
                wrong += seen.pixel(x, y) != qRgba(c[0], c[1], c[2], qAlpha(p));
            }
        }
        QCOMPARE(wrong, 0);
    }
};

TINTARA_TEST_MAIN(ContrastTest)
#include "tst_contrast.moc"
