#pragma once

#include "color/rgb.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tintara {

// Two texts separated at the first comma; everything after it, commas included, is the second.
struct CommaSplit
{
    QString first;
    QString rest;
};
std::optional<CommaSplit> splitAtFirstComma(const QString& text);

// A colour set as stored: "name,#RRGGBB,#RRGGBB". The name is what comes before the first comma,
// the colour pair all that follows. An entry without a comma is no set.
struct ColorSetEntry
{
    QString name;
    QString pair;
};
std::optional<ColorSetEntry> parseColorSetEntry(const QString& entry);
QString colorSetEntry(const QString& name, const QString& pair);

// A change a window made to its list of sets: a set saved under its name (added, or its colours
// replaced), or a set deleted.
struct ColorSetChange
{
    bool deleted = false;
    ColorSetEntry set;
};

// The list as the store holds it, which another window may have changed, with one window's own
// changes applied in order: a saved set replaces the colours of the first entry of its name in
// place, or is added at the end; a deleted one takes out the entry of its name and colours, or
// failing that the first of its name.
QList<ColorSetEntry> mergedColorSets(QList<ColorSetEntry> stored,
                                     const QList<ColorSetChange>& changes);

// "#RRGGBB,#RRGGBB": the text colour, then the background.
QString colorPair(const Rgb& fore, const Rgb& back);

// Why the save dialog refuses a name, or an empty text when it takes it. The stored entry has no
// escaping, so a comma would split the set after a restart; tabs, line breaks and other control
// characters have no place in a name shown in a list.
QString setNameRefusal(const QString& name);

// Position of the first name equal to name, letter case included; -1 when there is none.
int findSetName(const QStringList& names, const QString& name);

} // namespace tintara
