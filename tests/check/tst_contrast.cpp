#include "check/contrast.h"
#include "check/pictureanalysis.h"
#include "check/picturecontrast.h"
#include "check/verdict.h"
#include "check/vision.h"
#include "preview/colorcode.h"
#include "support/fakes.h"

#include <QClipboard>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtMath>
#include <algorithm>
#include <cmath>

using namespace tintara;
using namespace tintara::test;

namespace {

Rgb rgb(const char16_t* code)
{
    return *parseColorCode(QString::fromUtf16(code));
}

double hueOf(const Rgb& color)
{
    const OkLab lab = okLab(color);
    return qRadiansToDegrees(std::atan2(lab.b, lab.a));
}

PictureContrast pictureOf(const std::vector<Rgb>& colors)
{
    QImage image(int(colors.size()), 1, QImage::Format_RGB32);
    for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, 0, qRgb(colors[x][0], colors[x][1], colors[x][2]));
    return PictureContrast(image, 0);
}

// A distance and the colour at it, infinitely far while there is none.
using Nearest = std::pair<double, Rgb>;

std::optional<Rgb> colorOf(const Nearest& nearest)
{
    return std::isfinite(nearest.first) ? std::optional(nearest.second) : std::nullopt;
}

// A fit from a start colour to the target against one colour or a picture's pixels, and the
// nearest candidates that pass: of all colours, of the 216 for the hue, of the 216.
struct Fit
{
    Rgb start;
    std::vector<Rgb> under;
    double target;
    bool grey = std::hypot(okLab(start).a, okLab(start).b) < 0.02;
    double hue = hueOf(start);
    Nearest nearest{INFINITY, {}}, webSafe = nearest, anyWebSafe = nearest;

    std::optional<Rgb> fit(bool inWebSafe) const
    {
        const PictureContrast picture = pictureOf(under);
        if (under.size() > 1)
            return nearestPassingColor(start, AgainstPicture(picture, target), inWebSafe);
        return nearestPassingColor(start, AgainstLuminance(relativeLuminance(under[0]), target),
                                   inWebSafe);
    }
    bool passes(const Rgb& c) const
    {
        return std::all_of(under.begin(), under.end(),
                           [&](const Rgb& u) { return contrastRatio(c, u) >= target; });
    }
    bool candidate(const Rgb& c, double colorHue, double limit) const
    {
        const bool isGrey = c[0] == c[1] && c[1] == c[2];
        const double apart = std::abs(colorHue - hue); // both within 180 degrees of 0
        return grey ? isGrey : !isGrey && std::min(apart, 360 - apart) <= limit;
    }
};

Rgb randomColor(QRandomGenerator& random, int below = 256)
{
    return {random.bounded(below), random.bounded(below), random.bounded(below)};
}

// A picture of one of six kinds: noise, a few colours in flat rectangles, a few hundred colours,
// translucent, premultiplied translucent noise, and an indexed one. A large one takes every core
// and has reds of thousands of pixels.
QImage randomPicture(QRandomGenerator& random, int kind, bool large = false)
{
    const int width = large ? 900 + random.bounded(300) : 1 + random.bounded(60);
    const int height = large ? 600 : 1 + random.bounded(40);
    // clang-format off
    const QImage::Format formats[] = {QImage::Format_RGB32, QImage::Format_RGB32, QImage::Format_RGB32,
                                      QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
                                      QImage::Format_RGB32};
    // clang-format on
    QImage picture(width, height, formats[kind]);
    std::vector<QRgb> palette(kind == 2 ? 300 : 1 + random.bounded(5));
    for (QRgb& color : palette)
        color = random.generate() | (kind == 3 ? 0 : 0xFF000000u);
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
        // #2A00BD on #5DB61F is 4.4599999999906; the next two are exactly 1.04 and 5.15.
        const std::tuple<const char16_t*, const char16_t*, const char*, const char*> pairs[] = {
            {u"#000000", u"#FFFFFF", "21.00:1", "106.0"}, {u"#777777", u"#FFFFFF", "4.47:1", ""},
            {u"#FFFFCC", u"#336699", "5.83:1", "-82.8"},  {u"#888888", u"#FFFFFF", "", "63.1"},
            {u"#FFFFFF", u"#888888", "", "-68.5"},        {u"#000000", u"#AAAAAA", "", "58.1"},
            {u"#AAAAAA", u"#000000", "", "-56.2"},        {u"#123456", u"#123456", "1.00:1", "0.0"},
            {u"#2A00BD", u"#5DB61F", "4.45:1", ""},       {u"#020009", u"#090801", "1.04:1", ""},
            {u"#070209", u"#FF0202", "5.15:1", ""}};
        for (const auto& [text, back, ratio, lc] : pairs) {
            if (*ratio)
                QCOMPARE(ratioText(contrastRatio(rgb(text), rgb(back))), QString(ratio));
            if (*lc)
                QCOMPARE(apcaText(apcaContrast(rgb(text), rgb(back))), QString(lc));
        }
        const double grey = contrastRatio(rgb(u"#777777"), rgb(u"#FFFFFF"));
        QVERIFY(grey < kAaNormal && justBelow(grey, kAaNormal));
        // Just under a threshold never shows it; the hint covers the last 0.05 below.
        // clang-format off
        const std::tuple<double, const char*, double, bool> near[] = {
            {std::nextafter(kAaNormal, 0.0), "4.49:1", kAaNormal, true},
            {4.5, "4.50:1", kAaNormal, false}, {4.4499, "4.44:1", kAaNormal, false},
            {std::nextafter(kAaLarge, 0.0), "2.99:1", kAaLarge, true},
            {6.95, "6.95:1", kAaaNormal, true}};
            for (const auto& [ratio, text, threshold, hint] : near) {
            QCOMPARE(ratioText(ratio), QString(text)); QCOMPARE(justBelow(ratio, threshold), hint);
            }
            // Never above the ratio worked out in long double, and never a hundredth below it.
            const auto lightPlus = [](const Rgb& c) { // the luminance and 0.05
            long double sum = 0.05L; for (int i = 0; i < 3; ++i) {
            const long double f = c[i] / 255.0L; sum += std::array{0.2126L, 0.7152L, 0.0722L}[i] *
            (f <= 0.04045L ? f / 12.92L : powl((f + 0.055L) / 1.055L, 2.4L)); } return sum;
        };
        // clang-format on
        for (const quint32 seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
            QRandomGenerator random(seed);
            for (int i = 0; i < 20000; ++i) {
                const Rgb a = randomColor(random), b = randomColor(random);
                const long double exact =
                    100 * std::max(lightPlus(a) / lightPlus(b), lightPlus(b) / lightPlus(a));
                const int shown =
                    qRound(ratioText(contrastRatio(a, b)).chopped(2).toDouble() * 100);
                QVERIFY2(shown <= exact && shown > exact - 1, qPrintable(QString::number(seed)));
            }
        }
    }

    void statusLinesHoldWholePartsAsManyAsFit()
    {
        const auto width = [](const QString& text) { return 6.25 * text.size(); };
        const QString gap = u"　"_s;
        for (quint32 seed = 1; seed <= 300; ++seed) {
            QRandomGenerator random(seed);
            QStringList parts;
            for (int i = random.bounded(1, 8); i > 0; --i)
                parts << QString(random.bounded(1, 16), QChar(u'a' + i));
            const int room = random.bounded(30, 400);
            const QStringList lines = statusLines(parts, gap, room, width);
            QCOMPARE(lines.join(gap), parts.join(gap)); // in order, none split
            for (qsizetype i = 0; i < lines.size(); ++i) {
                QVERIFY(!lines[i].contains(gap) || width(lines[i]) <= room);
                QVERIFY(i + 1 == lines.size() ||
                        width(lines[i] + gap + lines[i + 1].section(gap, 0, 0)) > room);
            }
        }
    }

    void fitGivesTheNearestPassingGreyForAGreyAndOfTheSameHueOtherwise()
    {
        // Random starts, greys among them, against a colour or a picture: dark pixels, or dark and
        // light ones with a band between them at AA. One pass over every colour gives each its
        // best.
        std::vector<Fit> fits;
        for (quint32 seed = 1; seed <= 48; ++seed) {
            QRandomGenerator random(seed);
            Rgb start = randomColor(random);
            if (seed % 4 == 0)
                start = {start[0], start[0], std::min(start[0] + random.bounded(2), 255)};
            std::vector<Rgb> under = {randomColor(random)};
            const bool picture = seed % 3 == 0;
            if (picture && seed % 2)
                under = {randomColor(random, 3), {253 + random.bounded(3), 254, 255}};
            else if (picture)
                under = {randomColor(random, 100), randomColor(random, 100)};
            fits.push_back({start, under, picture || seed % 2 ? kAaNormal : kAaaNormal});
        }
        for (int r = 0; r <= kChannelMax; ++r) {
            for (int g = 0; g <= kChannelMax; ++g) {
                for (int b = 0; b <= kChannelMax; ++b) {
                    const Rgb color{r, g, b};
                    const double hue = hueOf(color);
                    const bool webSafe =
                        (r % kWebSafeStep | g % kWebSafeStep | b % kWebSafeStep) == 0;
                    for (Fit& f : fits) {
                        if (!(webSafe || f.candidate(color, hue, 3)) || !f.passes(color))
                            continue;
                        const Nearest here{okLabDistance(f.start, color), color};
                        if (f.candidate(color, hue, 3))
                            f.nearest = std::min(f.nearest, here);
                        if (webSafe && f.candidate(color, hue, 30))
                            f.webSafe = std::min(f.webSafe, here);
                        if (webSafe)
                            f.anyWebSafe = std::min(f.anyWebSafe, here);
                    }
                }
            }
        }
        for (const Fit& f : fits) {
            const auto found = f.fit(false), webSafe = f.fit(true);
            const QByteArray seed = QByteArray::number(int(&f - fits.data()) + 1);
            if (f.passes(f.start)) {
                QVERIFY2(found == f.start && webSafe == f.start, seed);
                continue;
            }
            QVERIFY2(found.has_value() == std::isfinite(f.nearest.first), seed);
            QVERIFY2(!found || (f.passes(*found) && f.candidate(*found, hueOf(*found), 3) &&
                                okLabDistance(f.start, *found) <= 1.02 * f.nearest.first),
                     seed);
            QVERIFY2(webSafe == colorOf(colorOf(f.webSafe) || f.grey ? f.webSafe : f.anyWebSafe),
                     seed);
        }
    }

    void fitKeepsGreysGreyAndTheHueAndFindsThePictureBandBetweenItsPixels()
    {
        const Rgb black{0, 0, 0}, white{255, 255, 255}, red{255, 0, 0};
        using Named = std::tuple<const char16_t*, std::vector<Rgb>, double, bool, const char16_t*>;
        const Named fits[] = {
            {u"#777777", {white}, kAaaNormal, false, u"#595959"},
            {u"#666666", {white}, kAaaNormal, true, u"#333333"},
            {u"#FFFFFF", {red}, kAaNormal, false, u"#161616"},   // a background under red text
            {u"#FF0000", {white}, kAaNormal, false, u"#EE0701"}, // under white text
            {u"#777777", {black, white}, kAaNormal, false, u"#767676"}};
        for (const auto& [start, under, target, webSafe, fitted] : fits)
            QCOMPARE(Fit({rgb(start), under, target}).fit(webSafe), rgb(fitted));
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
            const QList<QRgb> colors = count.keys();
            std::vector<double> pixels;
            for (const QRgb c : colors)
                pixels.push_back(relativeLuminance({qRed(c), qGreen(c), qBlue(c)}));
            QCOMPARE(contrast.darkest(), *std::min_element(pixels.begin(), pixels.end()));
            QCOMPARE(contrast.lightest(), *std::max_element(pixels.begin(), pixels.end()));

            for (int k = 0; k < 12; ++k) {
                const QRgb any = k < 6 ? colors[random.bounded(colors.size())] : random.generate();
                const Rgb text{qRed(any), qGreen(any), qBlue(any)};
                const double own = relativeLuminance(text);
                const PictureContrast::Verdict v = contrast.against(text);
                qint64 reaching = 0;
                for (qsizetype i = 0; i < colors.size(); ++i)
                    reaching += contrastRatio(pixels[i], own) >= kAaNormal ? count[colors[i]] : 0;
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
        TestWindow w(kFullColor);
        const CheckUi& check = w->checkUi();
        QLineEdit* text = w->ui().ColorCode[0];
        w->ui().FAutoCK->click();
        QVERIFY(!check.fitText->isEnabled() && !check.fitBack->isEnabled());
        w->ui().FAutoCK->click();
        typeInto(text, u"#999999"_s);
        QCOMPARE(
            check.status->text(),
            u"コントラスト比 2.84:1　AA 通常 × 大 ×　AAA 通常 × 大 ×　APCA Lc 54.6　基準 AA"_s);
        typeInto(text, u"#777777"_s);
        QVERIFY(check.status->text().contains(u"4.47:1　4.5 まであと少し　AA 通常 × 大 ○"_s));
        typeInto(text, u"#999999"_s);
        QTest::keyClick(text, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(text->text(), u"#767676"_s);
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
        // The picture is analysed away from the window, which says so meanwhile.
        QVERIFY(check.status->text().startsWith(u"画像を分析しています"_s));
        QVERIFY(!check.fitText->isEnabled());
        waitForVerdict(*w);
        QVERIFY(check.status->text().startsWith(u"画像の最も読みにくい点 1.02:1"_s));
        QVERIFY(check.status->text().contains(u"AA 通常を満たす画素 50%"_s));
        QVERIFY(!check.fitBack->isEnabled() && check.fitText->isEnabled());
        QTest::keyClick(text, Qt::Key_K, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY(copied.contains(u"背景色: #575757\n背景画像: bw.png\n最も読みにくい画素: #FFFFFF\n"
                                "コントラスト比: 1.02:1"_s));
        QVERIFY(copied.endsWith(u"\nAA 通常の文字を満たす画素: 50%"_s));
        QVERIFY(TestWindow(w.store().values)->checkUi().aaa->isChecked());
        // At AA a grey between the black and the white pixels passes; darker ones fail on black.
        check.aaa->trigger();
        typeInto(text, u"#555555"_s);
        check.fitText->trigger();
        QCOMPARE(text->text(), u"#757575"_s);
        // Between black and a white a shade too dark no colour reaches AA: no hint then.
        picture.setPixel(1, 0, qRgb(0xFA, 0xFA, 0xFA));
        dropFiles(w->ui().Picture1, {savePicture(dir, u"near.png"_s, picture, "png")});
        waitForVerdict(*w);
        typeInto(text, u"#747474"_s);
        QVERIFY(check.status->text().contains(u"4.47:1　AA"_s));
        QCOMPARE(showLongestStatusLine(w, dir), QString());
        check.status->setFont(QFont(check.status->font().family(), 16));
        QCOMPARE(showLongestStatusLine(w, dir), QString());
        QVERIFY(check.status->text().contains(u"4.5 まであと少し"_s));
        QCOMPARE(w->centralWidget()->size(), QSize(669, 308));
    }

    void simulationChangesThePreviewAloneAndSaysSo()
    {
        TestWindow w(kFullColor);
        QLineEdit* back = w->ui().ColorCode[1];
        typeInto(back, u"#FF0000"_s);
        typeInto(w->ui().ColorCode[0], u"#00FF00"_s);
        const QString verdict = w->checkUi().status->toolTip();
        const QImage& preview = w->ui().Picture1->buffer();
        QTest::keyClick(back, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(preview.pixel(1, 1), qRgb(0x6D, 0x5F, 0x00));
        const Rgb text = simulatedColor({0, 255, 0}, Vision::Protanopia);
        QVERIFY(countPixels(preview, qRgb(text[0], text[1], text[2])) > 0);
        QCOMPARE(countPixels(preview, qRgb(0, 255, 0)), 0);
        QCOMPARE(w->checkUi().status->toolTip(), verdict);
        QVERIFY(w->checkUi().seenAs->isVisible());
        QCOMPARE(w->checkUi().seenAs->text(), u"1型色覚 (P型)の見え方で表示中"_s);
        QCOMPARE(w->checkUi().vision[4]->text(), u"1色覚 (明暗のみ)"_s); // not 色盲, a word of old
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

    void aColorTakenFromTheScreenFollowsTheModesAndIsOneStep()
    {
        TestWindow w; // web-safe
        FakeScreenPicker& picker = w.picker();
        QLineEdit* back = w->ui().ColorCode[1];
        const Qt::KeyboardModifiers keys = Qt::ControlModifier | Qt::ShiftModifier;
        w->ui().FAutoCK->click();
        picker.color = QColor(0x19, 0x7F, 0x80);
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

    void colorVisionSimulationRoundsToTheNearestValueAndKeepsAlpha()
    {
        // clang-format off
        const std::tuple<const char16_t*, Vision, const char16_t*> colors[] = {
            {u"#FF0000", Vision::Achromatopsia, u"#7F7F7F"}, {u"#FF0000", Vision::Protanopia, u"#6D5F00"},
            {u"#FF8000", Vision::Protanopia, u"#A69100"}, {u"#00FF00", Vision::Deuteranopia, u"#EFD63A"},
            {u"#336699", Vision::Deuteranopia, u"#425F98"}, {u"#0000FF", Vision::Tritanopia, u"#006B96"},
            {u"#FF0000", Vision::Tritanopia, u"#FF000F"}, // red beyond 1, clamped
            {u"#FFFFCC", Vision::Tritanopia, u"#FFF8F1"}, {u"#123456", Vision::Normal, u"#123456"}};
        // clang-format on
        for (const auto& [from, vision, seen] : colors)
            QCOMPARE(simulatedColor(rgb(from), vision), rgb(seen));
        // A grey is its own luminance: every level comes back as it was.
        for (int v = 0; v <= kChannelMax; ++v)
            QCOMPARE(simulatedColor({v, v, v}, Vision::Achromatopsia), (Rgb{v, v, v}));
        // Any other colour is its luminance encoded by the sRGB formula, rounded to nearest.
        int misencoded = 0;
        for (int r = 0; r <= kChannelMax; r += 3)
            for (int g = 0; g <= kChannelMax; g += 5)
                for (int b = 0; b <= kChannelMax; b += 7) {
                    const double l = relativeLuminance({r, g, b});
                    const double v =
                        l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
                    misencoded += simulatedColor({r, g, b}, Vision::Achromatopsia)[0] !=
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
                const Rgb c = simulatedColor({qRed(p), qGreen(p), qBlue(p)}, Vision::Deuteranopia);
                wrong += seen.pixel(x, y) != qRgba(c[0], c[1], c[2], qAlpha(p));
            }
        }
        QCOMPARE(wrong, 0);
    }
};

TINTARA_TEST_MAIN(ContrastTest)
#include "tst_contrast.moc"
