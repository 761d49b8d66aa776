#pragma once

#include "color/rgb.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tintara {

// The colours a contrast table compares: the colours of every set, then the current text and
// background colours, each once, in the order they first appear. A set's pair is written as the
// combo box holds it, "#RRGGBB,#RRGGBB"; a code in it that is no colour is left out.
QList<Rgb> tableColors(const QStringList& setPairs, const Rgb& text, const Rgb& background);

// A ratio as the table writes it: two decimals rounded down, without ":1" ("4.47").
QString tableRatio(double ratio);
// The normal-text verdicts of a ratio, a circle for a pass and a cross for a failure: "AA○ AAA×".
QString verdictMarks(double ratio);
// What a cell says to a screen reader: its pair, ratio and verdicts, or that both are one colour.
QString pairDescription(const Rgb& text, const Rgb& background);

// The table with a text colour a row and a background colour a column, both the whole list, as
// tab-separated text: a header row of an empty cell and the codes, then a row per text colour of
// its code and each ratio as tableRatio writes it, empty where a colour meets itself. Every line
// ends in a line feed.
QString tableAsTabSeparated(const QList<Rgb>& colors);

// The same table in Markdown. A cell holds the ratio and both verdicts, "4.47 AA× AAA×"; the
// corner and the cells where a colour meets itself are empty:
//   | | #000000 | #FFFFFF |
//   |---|---|---|
//   | #000000 | | 21.00 AA○ AAA○ |
QString tableAsMarkdown(const QList<Rgb>& colors);

} // namespace tintara
