#include "sets/colorset.h"

#include "preview/colorcode.h"

#include <algorithm>

namespace tintara {

std::optional<CommaSplit> splitAtFirstComma(const QString& text)
{
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0)
        return std::nullopt;
    return CommaSplit{text.left(comma), text.mid(comma + 1)};
}

std::optional<ColorSetEntry> parseColorSetEntry(const QString& entry)
{
    const auto parts = splitAtFirstComma(entry);
    if (!parts)
        return std::nullopt;
    return ColorSetEntry{parts->first, parts->rest};
}

QString colorSetEntry(const QString& name, const QString& pair)
{
    return name + QLatin1Char(',') + pair;
}

QList<ColorSetEntry> mergedColorSets(QList<ColorSetEntry> stored,
                                     const QList<ColorSetChange>& changes)
{
    const auto named = [&stored](const QString& name, const QString* pair) {
        return std::find_if(stored.begin(), stored.end(), [&](const ColorSetEntry& entry) {
            return entry.name == name && (!pair || entry.pair == *pair);
        });
    };
    for (const ColorSetChange& change : changes) {
        if (change.deleted) {
            auto found = named(change.set.name, &change.set.pair);
            if (found == stored.end())
                found = named(change.set.name, nullptr);
            if (found != stored.end())
                stored.erase(found);
        } else if (const auto found = named(change.set.name, nullptr); found != stored.end()) {
            found->pair = change.set.pair;
        } else {
            stored.append(change.set);
        }
    }
    return stored;
}

QString colorPair(const Rgb& fore, const Rgb& back)
{
    return colorCode(fore) + QLatin1Char(',') + colorCode(back);
}

QString setNameRefusal(const QString& name)
{
    if (name.contains(QLatin1Char(',')))
        return QStringLiteral("名前にカンマ（,）は使えません");
    const bool control = std::any_of(name.cbegin(), name.cend(), [](QChar c) {
        const QChar::Category category = c.category();
        return category == QChar::Other_Control || category == QChar::Separator_Line ||
               category == QChar::Separator_Paragraph;
    });
    if (control)
        return QStringLiteral("名前にタブや改行などは使えません");
    return QString();
}

int findSetName(const QStringList& names, const QString& name)
{
    return static_cast<int>(names.indexOf(name));
}

} // namespace tintara
