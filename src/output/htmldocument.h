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

// A file name as the quoted value of the page's BACKGROUND attribute: a URL path segment, relative
// to the page. What a URL cannot hold as it is (%, #, ?, :, \, blanks, control characters and
// line breaks) is percent-encoded as UTF-8, "&" becomes "&amp;" and ", <, > numeric references;
// letters, digits and the rest, non-ASCII letters included, are kept as they are.
QString backgroundAttributeValue(const QString& fileName);

} // namespace tintara
