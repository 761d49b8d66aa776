#include "color/csscolor.h"
#include "preview/colorcode.h"
#include "support/testmain.h"

#include <QRandomGenerator>
#include <cmath>

using namespace tintara;
using namespace Qt::StringLiterals;

namespace {

struct Reference
{
    const char16_t* text;
    int red, green, blue;
    double alpha;
    bool mapped;
};

// Worked out by a CSS colour library with CSS gamut mapping, not by this code.
// clang-format off
const Reference kReferences[] = {
    {u"#abc", 170, 187, 204, 1, false}, {u"#ABCDEF", 171, 205, 239, 1, false},
    {u"#aBcD", 170, 187, 204, 0.866667, false}, {u"#11223380", 17, 34, 51, 0.501961, false},
    {u"  #FfA500 ;", 255, 165, 0, 1, false}, {u"RebeccaPurple", 102, 51, 153, 1, false},
    {u"transparent", 0, 0, 0, 0, false}, {u"lightgoldenrodyellow", 250, 250, 210, 1, false},
    {u"DarkSlateGrey", 47, 79, 79, 1, false}, {u"rgb(255, 128, 0)", 255, 128, 0, 1, false},
    {u"rgba(255,128,0,0.5)", 255, 128, 0, 0.5, false},
    {u"rgb(100%, 50%, 0%)", 255, 128, 0, 1, false},
    {u"rgb(255 128 0 / 50%)", 255, 128, 0, 0.5, false},
    {u"rgb(300 -20 12.5)", 255, 0, 13, 1, false}, {u"RGBA(0 0 0 / .25)", 0, 0, 0, 0.25, false},
    {u"rgb(none 128 none)", 0, 128, 0, 1, false}, {u"rgb(50% 128 10)", 128, 128, 10, 1, false},
    {u"rgba(1e2, 2e1, 5, 110%)", 100, 20, 5, 1, false},
    {u"rgb(10 20 30 / -1)", 10, 20, 30, 0, false}, {u"hsl(120, 100%, 50%)", 0, 255, 0, 1, false},
    {u"hsla(240deg, 100%, 50%, 0.3)", 0, 0, 255, 0.3, false},
    {u"hsl(0.5turn 60% 40%)", 41, 163, 163, 1, false}, {u"hsl(-120 100% 50%)", 0, 0, 255, 1, false},
    {u"hsl(360 100% 50%)", 255, 0, 0, 1, false},
    {u"hsl(3.14159rad 50% 50%)", 64, 191, 191, 1, false},
    {u"hsl(200grad 50 50)", 64, 191, 191, 1, false},
    {u"hsl(none 0% 50% / 0.75)", 128, 128, 128, 0.75, false},
    {u"hsl(30 100% 150%)", 255, 255, 255, 1, true}, {u"hsl(0 -50% 40%)", 102, 102, 102, 1, false},
    {u"hwb(120 20% 30%)", 51, 179, 51, 1, false}, {u"hwb(0 60% 60%)", 128, 128, 128, 1, false},
    {u"hwb(90deg 0% 0% / 0.5)", 128, 255, 0, 0.5, false},
    {u"hwb(200 -20% 10%)", 0, 136, 230, 1, true}, {u"lab(50 20 -30)", 133, 108, 170, 1, false},
    {u"lab(50% 40% -40%)", 167, 83, 206, 1, false}, {u"lab(50 120 -120)", 187, 72, 255, 1, true},
    {u"lab(100 0 0)", 255, 255, 255, 1, false}, {u"lab(0 0 0)", 0, 0, 0, 1, false},
    {u"lab(-10 50 50)", 0, 0, 0, 1, true}, {u"lch(60 50 40)", 215, 115, 90, 1, false},
    {u"lch(52.2% 72.2 50)", 205, 86, 26, 1, false}, {u"lch(80 150 300)", 209, 210, 255, 1, true},
    {u"lch(50 -10 30)", 119, 119, 119, 1, false}, {u"lch(70 60 -90deg)", 107, 176, 255, 1, true},
    {u"oklab(0.6 0.1 -0.1)", 159, 99, 186, 1, false},
    {u"oklab(60% 25% -25%)", 159, 99, 186, 1, false}, {u"oklab(0.5 0.3 0.3)", 172, 54, 0, 1, true},
    {u"OKLAB(40% -0.1 0.05 / 20%)", 0, 88, 41, 0.2, true},
    {u"oklch(70% 0.4 150)", 0, 194, 72, 1, true},
    {u"oklch(0.628 0.2577 29.23)", 255, 0, 0, 1, true},
    {u"oklch(1 0.2 100)", 255, 255, 255, 1, true}, {u"oklch(0 0.1 0)", 0, 0, 0, 1, true},
    {u"oklch(0.7 0.1 -30)", 194, 135, 188, 1, false},
    {u"oklch(50% 50% 0.25turn)", 126, 94, 0, 1, true},
    {u"oklch(0.9 0.3 100 / 40%)", 255, 223, 0, 0.4, true},
    {u"oklch(0.4 0.35 264)", 4, 0, 228, 1, true}, {u"color(srgb 1 0.5 0)", 255, 128, 0, 1, false},
    {u"color(srgb 100% 50% 0% / 0.5)", 255, 128, 0, 0.5, false},
    {u"color(srgb-linear 0.5 0.2 0.1)", 188, 124, 89, 1, false},
    {u"color(display-p3 1 0 0)", 255, 11, 12, 1, true},
    {u"color(display-p3 0.5 0.6 0.7)", 121, 154, 181, 1, false},
    {u"color(display-p3 0 1 0)", 0, 251, 41, 1, true},
    {u"color(xyz 0.2 0.3 0.4)", 0, 167, 164, 1, true},
    {u"color(xyz-d50 0.3 0.2 0.1)", 198, 86, 96, 1, false},
    {u"color(xyz-d65 0.9505 1 1.089)", 255, 255, 255, 1, true},
    {u"color(srgb 1.2 -0.1 0.5)", 255, 103, 141, 1, true},
    {u"color(srgb none 0.5 none)", 0, 128, 0, 1, false},
};
// clang-format on

void checkInRange(const CssColorRead& read, QStringView text)
{
    QVERIFY2(read.color.has_value() == read.problem.isEmpty(), qPrintable(text.toString()));
    // The reason follows "貼り付けられません: " on one status line.
    QVERIFY2(read.problem.size() <= 40, qPrintable(read.problem));
    if (!read.color)
        return;
    for (const int channel : read.color->rgb)
        QVERIFY2(channel >= 0 && channel <= 255, qPrintable(text.toString()));
    QVERIFY2(read.color->alpha >= 0 && read.color->alpha <= 1, qPrintable(text.toString()));
}

QString withRandomChange(QString text, QRandomGenerator& random)
{
    static const QString pieces[] = {u"("_s,    u")"_s,   u","_s,      u"/"_s,     u" "_s,
                                     u"%"_s,    u"."_s,   u"-"_s,      u"e"_s,     u"#"_s,
                                     u"none"_s, u"deg"_s, u"9e99"_s,   u"/*"_s,    u";"_s,
                                     u":"_s,    u"0"_s,   u"\u00e9"_s, u"1e-400"_s};
    const qsizetype at = random.bounded(int(text.size()) + 1);
    switch (random.bounded(3)) {
    case 0:
        return text.insert(at, pieces[random.bounded(int(std::size(pieces)))]);
    case 1:
        return text.remove(at, random.bounded(1, 4));
    default:
        return text.replace(at, 1, QChar(char16_t(random.bounded(0x20, 0x7F))));
    }
}

// A function of any notation over random values, units and separators: mostly colours, some not.
QString randomFunction(QRandomGenerator& random)
{
    // Each with the place of its hue, if any.
    // clang-format off
    static const std::pair<const char16_t*, int> heads[] = {
        {u"rgb(", -1}, {u"RGBA(", -1}, {u"hsl(", 0}, {u"hsla(", 0}, {u"hwb(", 0}, {u"lab(", -1},
        {u"lch(", 2}, {u"oklab(", -1}, {u"oklch(", 2}, {u"color(srgb ", -1},
        {u"color(display-p3 ", -1}, {u"color(xyz-d50 ", -1}};
    // clang-format on
    static const char16_t* const units[] = {u"", u"%", u"e1", u"deg", u"turn", u"rad"};
    const auto [head, hue] = heads[random.bounded(int(std::size(heads)))];
    QString text = QString::fromUtf16(head);
    const bool legacy = random.bounded(4) == 0;
    const int count = random.bounded(3, 5);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += legacy ? u", "_s : i == 3 ? u" / "_s : u" "_s;
        const int unit = random.bounded(i == hue ? 3 : 0, i == hue ? 6 : 3);
        if (random.bounded(8) == 0)
            text += u"none"_s;
        else
            text += QString::number(random.bounded(-200.0) + random.bounded(600.0), 'g',
                                    random.bounded(1, 8)) +
                    QString::fromUtf16(units[unit]);
    }
    return text + u")"_s;
}

} // namespace

class CssColorTest : public QObject
{
    Q_OBJECT
private slots:
    void everyNotationGivesTheReferenceColor()
    {
        for (const Reference& row : kReferences) {
            const QString text = QString::fromUtf16(row.text);
            const CssColorRead read = readCssColor(text);
            QVERIFY2(read.color, qPrintable(text + u" → "_s + read.problem));
            QCOMPARE(read.color->rgb, (Rgb{row.red, row.green, row.blue}));
            QVERIFY2(std::fabs(read.color->alpha - row.alpha) < 1e-6, qPrintable(text));
            QVERIFY2(read.color->mapped == row.mapped, qPrintable(text));
            // CSS is blind to the case of ASCII letters, to comments and to the blanks around.
            const CssColorRead loud = readCssColor(u"/* x */ "_s + text.toUpper() + u" ;\n"_s);
            QVERIFY2(loud.color && loud.color->rgb == read.color->rgb, qPrintable(text));
            QCOMPARE(readCssColorFor(text, u"color").color->rgb, read.color->rgb);
        }
    }

    void textsThatAreNoColorSayWhy()
    {
        // clang-format off
        const std::pair<const char16_t*, const char16_t*> rows[] = {
            {u"", u"空です"}, {u" /* only */ ; ", u"空です"}, {u"foo", u"名前のない色です: foo"},
            {u"averyveryverylongname", u"名前のない色です: averyveryverylon…"},
            {u"currentColor", u"currentcolor は決まった色ではありません"}, {u"#12345", u"16進の桁数が違います: #12345"},
            {u"#", u"16進の桁数が違います: #"}, {u"#ggg", u"16進数として読めません: #ggg"},
            {u"rgb(1 2 3", u"閉じかっこがありません"}, {u"color(", u"閉じかっこがありません"},
            {u"rgb(1 2 3 4)", u"値が多すぎます"}, {u"rgba(1, 2, 3, 4, 5)", u"値が多すぎます"},
            {u"rgb(1 2 3 / 4 5)", u"値が多すぎます"}, {u"rgb(1 2)", u"値が足りません"},
            {u"hsl(1 2 / 3)", u"値が足りません"}, {u"rgb(1, 2 3)", u"カンマの使い方が違います"},
            {u"rgb(1, 2, 3,)", u"カンマの使い方が違います"}, {u"rgb(1, 2, 3 / 1)", u"カンマの使い方が違います"},
            {u"lab(50, 20, 30)", u"カンマの使い方が違います"}, {u"rgb(1, 2, 50%)", u"数と % が混ざっています"},
            {u"hsl(120, 50, 50)", u"値の種類が違います: 50"}, {u"hsl(10% 50% 50%)", u"値の種類が違います: 10%"},
            {u"rgb(1deg 2 3)", u"値の種類が違います: 1deg"}, {u"rgb(1, 2, none)", u"値の種類が違います: none"},
            {u"rgb(1 2 3 / 0.5 / 1)", u"/ の使い方が違います"}, {u"rgb(1 2 3 /)", u"/ の後に値がありません"},
            {u"rgb(10px 2 3)", u"読めない値です: 10px"}, {u"rgb(. 2 3)", u"読めない値です: ."},
            {u"rgb(calc(1) 2 3)", u"読めない値です: calc()"},
            {u"color(rec2020 1 0 0)", u"読めない色空間です: rec2020"}, {u"color()", u"色空間がありません"},
            {u"foo(1 2 3)", u"読めない関数です: foo()"}, {u"red blue", u"色の後に余計な文字があります"},
            {u"rgb(1 2 3) x", u"色の後に余計な文字があります"}, {u"#fff;#000", u"色の後に余計な文字があります"},
            {u"(red)", u"色として読めません"},
        };
        // clang-format on
        for (const auto& [text, problem] : rows) {
            const CssColorRead read = readCssColor(QString::fromUtf16(text));
            QVERIFY2(!read.color, qPrintable(QString::fromUtf16(text)));
            QCOMPARE(read.problem, QString::fromUtf16(problem));
        }
    }

    void declarationsGiveThePropertysColor()
    {
        const QString copied = u"/* コントラスト比 4.54:1 AA 通常 ○ */\ncolor: #767676;\n"
                               u"background-color: #FFFFFF;\n"_s;
        // The expected colour as #RRGGBB, or the reason there is none.
        const std::tuple<QString, const char16_t*, const char16_t*> rows[] = {
            {copied, u"color", u"#767676"},
            {copied, u"background-color", u"#FFFFFF"},
            {u"body { COLOR : rgb(1 2 3) !important; background: url(a;b.png) no-repeat #fafafa }"_s,
             u"background-color", u"#FAFAFA"},
            {u"a:hover { color: red; color: blue }"_s, u"color", u"#0000FF"},
            {u"background-color: red; background: top left / cover lime"_s, u"background-color",
             u"#00FF00"},
            {u"background: navy; background-color: teal"_s, u"background-color", u"#008080"},
            {u"color: red !IMPORTANT; color: blue; color: lime ! important"_s, u"color",
             u"#00FF00"},
            {u"background-color: red !important; background: blue"_s, u"background-color",
             u"#FF0000"},
            {u"background: url(a.png), #abc"_s, u"background-color", u"#AABBCC"},
            {u"#123456;"_s, u"background-color", u"#123456"},
            {u"background: red"_s, u"color", u"color の指定がありません"},
            {u"background-color: red; border-color: blue"_s, u"color", u"color の指定がありません"},
            {u"color: red"_s, u"background-color", u"background-color の指定がありません"},
            {u"background: url(a.png) none"_s, u"background-color", u"background に色がありません"},
            {u"background: none"_s, u"background-color", u"background に色がありません"},
            {u"background: red blue"_s, u"background-color", u"background に色が二つあります"},
            {u"color: #12"_s, u"color", u"16進の桁数が違います: #12"},
        };
        for (const auto& [text, property, expected] : rows) {
            const CssColorRead read = readCssColorFor(text, property);
            const QString got = read.color ? colorCode(read.color->rgb) : read.problem;
            QCOMPARE(got, QString::fromUtf16(expected));
        }
    }

    void compositingBlendsInGammaEncodedSrgb()
    {
        const std::tuple<CssColor, Rgb, Rgb> rows[] = {
            {{{255, 0, 0}, 0.5}, {0, 0, 255}, {128, 0, 128}},
            {{{0, 0, 0}, 0.25}, {255, 255, 255}, {191, 191, 191}},
            {{{10, 20, 30}, 0}, {40, 50, 60}, {40, 50, 60}},
            {{{10, 20, 30}, 1}, {40, 50, 60}, {10, 20, 30}},
            {*readCssColor(u"#FF000080").color, {255, 255, 255}, {255, 127, 127}},
        };
        for (const auto& [color, under, expected] : rows)
            QCOMPARE(composited(color, under), expected);
    }

    void anyTextReadsWithinRangeAndEveryColorWritesBack()
    {
        for (quint32 seed = 1; seed <= 900; ++seed) {
            QRandomGenerator random(seed);
            QString text;
            if (seed % 3 == 0) {
                for (int n = random.bounded(40); n > 0; --n)
                    text += QChar(char16_t(random.bounded(seed % 2 ? 0x20 : 0, 0x80)));
            } else if (seed % 3 == 1) {
                text = QString::fromUtf16(kReferences[seed % std::size(kReferences)].text);
                for (int n = random.bounded(1, 3); n > 0; --n)
                    text = withRandomChange(text, random);
            } else {
                text = randomFunction(random);
            }
            const CssColorRead read = readCssColor(text);
            checkInRange(read, text);
            checkInRange(readCssColorFor(text, u"background-color"), text);
            if (!read.color)
                continue;
            const CssColor& c = *read.color;
            const QString written =
                u"rgb(%1 %2 %3 / %4)"_s.arg(c.rgb[0]).arg(c.rgb[1]).arg(c.rgb[2]).arg(c.alpha, 0,
                                                                                      'g', 17);
            const CssColorRead back = readCssColor(written);
            QVERIFY2(back.color && back.color->rgb == c.rgb && back.color->alpha == c.alpha,
                     qPrintable(text));
        }
    }
};

TINTARA_TEST_MAIN(CssColorTest)
#include "tst_csscolor.moc"
