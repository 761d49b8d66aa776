#pragma once

#include <QString>

namespace tintara {

// What the generated page is made of. The colour codes are the texts of the two code boxes as
// they stand, half-typed or pasted, character for character: the page is the user's to edit.
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

// A file name made safe for a quoted attribute: the characters a Windows file name can never hold
// but other systems allow (", <, > and control characters, line breaks included) become numeric
// character references; everything else is kept as it is.
QString escapeFileNameAttribute(const QString& fileName);

} // namespace tintara
