#include "check/verdict.h"

#include "check/contrast.h"
#include "check/picturecontrast.h"
#include "preview/colorcode.h"

#include <cmath>

namespace tintara {

namespace {

// The thresholds a hint may name, the first that applies.
constexpr double kHinted[] = {kAaNormal, kAaaNormal, kAaLarge};

QString passText(double ratio, double threshold)
{
    return ratio >= threshold ? QStringLiteral("合格") : QStringLiteral("不合格");
}

// Marks that do not depend on colour: a circle for a pass, a cross for a failure.
QString passMark(double ratio, double threshold)
{
    return ratio >= threshold ? QStringLiteral("○") : QStringLiteral("×");
}

} // namespace

Verdict verdictOnColor(const Rgb& text, const Rgb& background)
{
    Verdict verdict;
    verdict.text = text;
    verdict.background = background;
    verdict.ratio = contrastRatio(text, background);
    verdict.lc = apcaContrast(text, background);
    // Over a plain colour either colour can always be moved far enough.
    for (const double threshold : kHinted) {
        if (justBelow(verdict.ratio, threshold)) {
            verdict.nearly = threshold;
            break;
        }
    }
    return verdict;
}

Verdict verdictOnPicture(const Rgb& text, const PictureContrast* picture)
{
    Verdict verdict;
    verdict.text = text;
    verdict.picture = true;
    if (!picture || picture->isEmpty()) {
        verdict.pending = !picture;
        return verdict;
    }
    const PictureContrast::Verdict worst = picture->against(text);
    verdict.background = worst.worst;
    verdict.ratio = worst.ratio;
    verdict.aaPercent = worst.aaPercent;
    verdict.lc = apcaContrast(text, worst.worst);
    // The background cannot be moved: a hint only where some text colour passes every pixel.
    for (const double threshold : kHinted) {
        if (justBelow(verdict.ratio, threshold)) {
            if (!picture->passingBands(threshold).empty())
                verdict.nearly = threshold;
            break;
        }
    }
    return verdict;
}

QStringList statusLines(const QStringList& parts, const QString& gap, qreal room,
                        const std::function<qreal(const QString&)>& width)
{
    const qreal gapWidth = width(gap);
    QStringList lines;
    qreal lineWidth = 0;
    for (const QString& part : parts) {
        const qreal partWidth = width(part);
        if (!lines.isEmpty() && std::ceil(lineWidth + gapWidth + partWidth) <= room) {
            lines.last() += gap + part;
            lineWidth += gapWidth + partWidth;
        } else {
            lines << part;
            lineWidth = partWidth;
        }
    }
    return lines;
}

QStringList statusParts(const Verdict& v, bool aaaTarget)
{
    const QString target = aaaTarget ? QStringLiteral("基準 AAA") : QStringLiteral("基準 AA");
    if (v.pending)
        return {QStringLiteral("画像を分析しています…"), target};
    const auto marks = [&v](const char* level, double normal, double large) {
        return QStringLiteral("%1 通常 %2 大 %3")
            .arg(QLatin1String(level), passMark(v.ratio, normal), passMark(v.ratio, large));
    };
    QStringList parts{(v.picture ? QStringLiteral("画像の最も読みにくい点 ")
                                 : QStringLiteral("コントラスト比 ")) +
                      ratioText(v.ratio)};
    if (v.nearly > 0)
        parts << QStringLiteral("%1 まであと少し").arg(v.nearly);
    parts << marks("AA", kAaNormal, kAaLarge) << marks("AAA", kAaaNormal, kAaaLarge)
          << QStringLiteral("APCA Lc ") + apcaText(v.lc) << target;
    if (v.picture)
        parts << QStringLiteral("AA 通常を満たす画素 %1%").arg(v.aaPercent);
    return parts;
}

QStringList verdictLines(const Verdict& v)
{
    if (v.pending)
        return {QStringLiteral("画像を分析しています")};
    QStringList lines;
    if (v.picture)
        lines << QStringLiteral("最も読みにくい画素: ") + colorCode(v.background);
    lines << QStringLiteral("コントラスト比: ") + ratioText(v.ratio)
          << QStringLiteral("AA 通常の文字: ") + passText(v.ratio, kAaNormal)
          << QStringLiteral("AA 大きな文字: ") + passText(v.ratio, kAaLarge)
          << QStringLiteral("AAA 通常の文字: ") + passText(v.ratio, kAaaNormal)
          << QStringLiteral("AAA 大きな文字: ") + passText(v.ratio, kAaaLarge)
          << QStringLiteral("APCA Lc: ") + apcaText(v.lc);
    if (v.picture)
        lines << QStringLiteral("AA 通常の文字を満たす画素: %1%").arg(v.aaPercent);
    return lines;
}

} // namespace tintara
