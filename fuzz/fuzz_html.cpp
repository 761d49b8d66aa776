// A picture's path and the two code boxes' texts, as they reach the generated page.
#include "fuzzcheck.h"
#include "output/htmldocument.h"
#include "tools/backgroundpicture.h"

#include <QFileInfo>

using namespace tintara;

namespace {

bool holdsLineBreak(const QString& text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the background; the rest is the path, the text code and the
    // background code, separated by NUL bytes.
    const bool solidBack = data[0] & 1;
    const QStringList parts = fuzz::textOf(data + 1, size - 1).split(QChar(0));
    const QString path = parts.value(0);

    const QString fileName = QFileInfo(path).fileName();
    FUZZ_CHECK(path.endsWith(fileName));
    FUZZ_CHECK(!fileName.contains(u'/'));
#ifdef Q_OS_WIN
    FUZZ_CHECK(!fileName.contains(u'\\'));
#endif

    HtmlDocumentInput input;
    input.solidBack = solidBack;
    input.backFile = fileName;
    input.textCode = parts.value(1);
    input.backgroundCode = parts.value(2);
    input.homePage = QStringLiteral("https://www.example.org/tintara/");
    const QString document = htmlDocument(input);

    FUZZ_CHECK(document.endsWith(QStringLiteral("\r\n")));
    // The code boxes' texts go in as they stand; the file name never breaks out of its quotes.
    QString body = QStringLiteral("<BODY BGCOLOR=\"") + input.backgroundCode +
                   QStringLiteral("\" TEXT=\"") + input.textCode + u'"';
    if (!solidBack) {
        // A URL that a browser reads back as the file name: nothing in it ends the attribute,
        // breaks a line, starts a fragment or a query, or is taken as a reference of its own.
        const QString written = backgroundAttributeValue(fileName);
        const QString references[][2] = {{QStringLiteral("&#34;"), QStringLiteral("\"")},
                                         {QStringLiteral("&#60;"), QStringLiteral("<")},
                                         {QStringLiteral("&#62;"), QStringLiteral(">")},
                                         {QStringLiteral("&amp;"), QStringLiteral("&")}};
        QString bare = written;
        QString unescaped = written;
        for (const auto& [reference, character] : references) {
            bare.remove(reference);
            unescaped.replace(reference, character);
        }
        for (const QChar c : bare) {
            const QChar::Category category = c.category();
            FUZZ_CHECK(c != u'"' && c != u'<' && c != u'>' && c != u'&' && c != u'#' && c != u'?' &&
                       c != u':' && c != u'\\' && c != u' ' && category != QChar::Other_Control &&
                       category != QChar::Separator_Line && category != QChar::Separator_Paragraph);
        }
        FUZZ_CHECK(QString::fromUtf8(QByteArray::fromPercentEncoding(unescaped.toUtf8())) ==
                   QString::fromUtf8(fileName.toUtf8()));
        body += QStringLiteral(" BACKGROUND=\"") + written + u'"';
    }
    body += QStringLiteral(">\r\n");
    FUZZ_CHECK(document.contains(body));
    if (!holdsLineBreak(input.textCode) && !holdsLineBreak(input.backgroundCode)) {
        const QStringList lines = document.chopped(2).split(QStringLiteral("\r\n"));
        FUZZ_CHECK(lines.size() == 9);
        FUZZ_CHECK(lines[0] == QStringLiteral("<HTML>") && lines[8] == QStringLiteral("</HTML>"));
        FUZZ_CHECK(lines[4] + QStringLiteral("\r\n") == body);
        for (const QString& line : lines)
            FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));
    }
    return 0;
}
