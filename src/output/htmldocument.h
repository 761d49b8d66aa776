#pragma once

#include <QString>

namespace tintara {

// What the generated page is made of. The colour codes are the texts of the two code boxes as
// they stand, half-typed or not; only what would break the page out of its quotes is escaped.
struct HtmlDocumentInput
{
    QString backgroundCode;
    QString textCode;
    bool solidBack = true; // false: the page names the background picture
    QString backFile;      // the picture's file name without its folder
    QString homePage;
};

// The skeleton page, nine lines each ending in CR LF.
QString htmlDocument(const HtmlDocumentInput& input);

// A text made safe for a quoted attribute: ", <, > and control characters, line breaks included,
// become numeric character references; everything else is kept as it is. A Windows file name or a
// typed colour code never holds them, but a file name elsewhere, or text pasted into a code box,
// can.
QString escapeAttributeValue(const QString& text);

} // namespace tintara
