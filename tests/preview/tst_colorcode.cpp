#include "preview/colorcode.h"
#include "preview/web216.h"
#include "support/testregistry.h"

#include <QTest>

using namespace tintara;

class ColorCodeTest : public QObject
{
    Q_OBJECT
private slots:
    void hex2PadsSingleDigitsAndUsesUpperCase()
    {
        QCOMPARE(hex2(0), QStringLiteral("00"));
        QCOMPARE(hex2(9), QStringLiteral("09"));
        QCOMPARE(hex2(10), QStringLiteral("0A"));
        QCOMPARE(hex2(15), QStringLiteral("0F"));
        QCOMPARE(hex2(16), QStringLiteral("10"));
        QCOMPARE(hex2(255), QStringLiteral("FF"));
        QCOMPARE(hex2(4095), QStringLiteral("FFF"));
        QCOMPARE(hex2(-1), QStringLiteral("FFFFFFFF"));
    }

    void colorCodeIsHashAndSixDigitsRedFirst()
    {
        QCOMPARE(colorCode(255, 128, 0), QStringLiteral("#FF8000"));
        QCOMPARE(colorCode(255, 0, 128), QStringLiteral("#FF0080"));
        QCOMPARE(colorCode(0, 0, 0), QStringLiteral("#000000"));
    }

    void completeCodesParseInEitherCase()
    {
        QCOMPARE(parseColorCode(u"#00ff80"), std::optional<Rgb>(Rgb{0, 255, 128}));
        QCOMPARE(parseColorCode(u"#FFFFFF"), std::optional<Rgb>(Rgb{255, 255, 255}));
    }

    void malformedPairsReadTheirLeadingDigits()
    {
        QCOMPARE(parseColorCode(u"#12ZZ56"), std::optional<Rgb>(Rgb{18, 0, 86}));
        QCOMPARE(parseColorCode(u"#1Z2Z3Z"), std::optional<Rgb>(Rgb{1, 2, 3}));
        QCOMPARE(parseColorCode(u"# F\tA\n1"), std::optional<Rgb>(Rgb{15, 10, 1}));
        QCOMPARE(parseColorCode(u"#-1+1.1"), std::optional<Rgb>(Rgb{0, 0, 0}));
        QCOMPARE(leadingHexValue(u""), 0);
        // Long runs of digits keep the last eight, as hex2 prints negative values.
        QCOMPARE(leadingHexValue(u"FFFFFFFF"), -1);
        QCOMPARE(leadingHexValue(u"123456789ABCDEF0"), int(0x9ABCDEF0u));
    }

    void anythingButSevenCharactersStartingWithHashIsIgnored()
    {
        QVERIFY(!parseColorCode(u""));
        QVERIFY(!parseColorCode(u"#"));
        QVERIFY(!parseColorCode(u"#00ff8"));
        QVERIFY(!parseColorCode(u"00FF80"));
        QVERIFY(!parseColorCode(u"#00FF800"));
        QVERIFY(!parseColorCode(u"x00FF80"));
        QVERIFY(!parseColorCode(u"＃00FF80")); // full-width number sign
    }

    void webSafeRoundingGoesToTheNearestMultipleOf51()
    {
        const int boundaries[][2] = {{0, 0},     {25, 0},    {26, 51},   {76, 51},
                                     {77, 102},  {127, 102}, {128, 153}, {178, 153},
                                     {179, 204}, {229, 204}, {230, 255}, {255, 255}};
        for (const auto& [value, rounded] : boundaries)
            QCOMPARE(roundToWebSafe(value), rounded);
        for (int v = 0; v <= 255; ++v) {
            const int r = roundToWebSafe(v);
            QCOMPARE(r % 51, 0);
            QVERIFY(std::abs(r - v) <= 25);
        }
    }
};

TINTARA_TEST(ColorCodeTest)
#include "tst_colorcode.moc"
