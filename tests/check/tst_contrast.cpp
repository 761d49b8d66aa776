#include "check/contrast.h"
#include "preview/colorcode.h"
#include "support/testmain.h"

#include <cmath>

using namespace tintara;

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
};

TINTARA_TEST_MAIN(ContrastTest)
#include "tst_contrast.moc"
