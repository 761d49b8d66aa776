#include "sets/contrasttable.h"

#include "check/contrast.h"
#include "preview/colorcode.h"
#include "sets/colorset.h"

#include <QSet>

namespace tintara {

namespace {

int packed(const Rgb& color)
{
    return (color[0] << 16) | (color[1] << 8) | color[2];
}

QString mark(bool pass)
{
    return pass ? QStringLiteral("○") : QStringLiteral("×");
}

} // namespace

QList<Rgb> tableColors(const QStringList& setPairs, const Rgb& text, const Rgb& background)
{
    QList<Rgb> colors;
    QSet<int> seen;
    const auto add = [&](const Rgb& color) {
        if (!seen.contains(packed(color))) {
            seen.insert(packed(color));
            colors.append(color);
        }
    };
    for (const QString& pair : setPairs) {
        const auto codes = splitAtFirstComma(pair);
        if (!codes)
            continue;
        for (const QString* code : {&codes->first, &codes->rest})
            if (const auto color = parseColorCode(*code))
                add(*color);
    }
    add(text);
    add(background);
    return colors;
}

QString tableRatio(double ratio)
{
    return ratioText(ratio).chopped(2);
}

QString verdictMarks(double ratio)
{
    return QStringLiteral("AA") + mark(ratio >= kAaNormal) + QStringLiteral(" AAA") +
           mark(ratio >= kAaaNormal);
}

QString pairDescription(const Rgb& text, const Rgb& background)
{
    QString description =
        QStringLiteral("文字色 %1、背景色 %2、").arg(colorCode(text), colorCode(background));
    if (text == background)
        return description + QStringLiteral("同じ色");
    const double ratio = contrastRatio(text, background);
    const auto verdict = [](bool pass) {
        return pass ? QStringLiteral("合格") : QStringLiteral("不合格");
    };
    return description +
           QStringLiteral("コントラスト比 %1、AA %2、AAA %3")
               .arg(ratioText(ratio), verdict(ratio >= kAaNormal), verdict(ratio >= kAaaNormal));
}

QString tableAsTabSeparated(const QList<Rgb>& colors)
{
    QString table;
    for (const Rgb& back : colors)
        table += QLatin1Char('\t') + colorCode(back);
    table += QLatin1Char('\n');
    for (const Rgb& text : colors) {
        table += colorCode(text);
        for (const Rgb& back : colors) {
            table += QLatin1Char('\t');
            if (text != back)
                table += tableRatio(contrastRatio(text, back));
        }
        table += QLatin1Char('\n');
    }
    return table;
}

QString tableAsMarkdown(const QList<Rgb>& colors)
{
    const auto line = [](const QStringList& cells) {
        QString text = QStringLiteral("|");
        for (const QString& cell : cells)
            text += cell.isEmpty() ? QStringLiteral(" |")
                                   : QLatin1Char(' ') + cell + QStringLiteral(" |");
        return text + QLatin1Char('\n');
    };
    QStringList header{QString()};
    for (const Rgb& back : colors)
        header << colorCode(back);
    QString table = line(header);
    table += QStringLiteral("|---").repeated(colors.size() + 1) + QStringLiteral("|\n");
    for (const Rgb& text : colors) {
        QStringList row{colorCode(text)};
        for (const Rgb& back : colors) {
            if (text == back) {
                row << QString();
                continue;
            }
            const double ratio = contrastRatio(text, back);
            row << tableRatio(ratio) + QLatin1Char(' ') + verdictMarks(ratio);
        }
        table += line(row);
    }
    return table;
}

} // namespace tintara
