// A picture's path and the two code boxes' texts, as they reach the generated page.
#include "fuzzcheck.h"
#include "output/htmldocument.h"
#include "tools/backgroundpicture.h"

using namespace tintara;

namespace {

// The attribute values of the BODY line, in order, or nothing when the line does not consist of
// exactly the expected attributes.
std::optional<QStringList> bodyValues(const QString& line, bool withBackground)
{
    QStringList names{QStringLiteral("<BODY BGCOLOR=\""), QStringLiteral("\" TEXT=\"")};
    if (withBackground)
        names << QStringLiteral("\" BACKGROUND=\"");
    QStringList values;
    qsizetype at = 0;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (line.mid(at, names[i].size()) != names[i])
            return std::nullopt;
        at += names[i].size();
        const qsizetype end = line.indexOf(u'"', at);
        if (end < 0)
            return std::nullopt;
        values << line.mid(at, end - at);
        at = end;
    }
    if (line.mid(at) != QStringLiteral("\">"))
        return std::nullopt;
    return values;
}

bool isHarmless(const QString& text)
{
    for (const QChar c : text) {
        const QChar::Category category = c.category();
        if (c == u'"' || c == u'<' || c == u'>' || category == QChar::Other_Control ||
            category == QChar::Separator_Line || category == QChar::Separator_Paragraph)
            return false;
    }
    return true;
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

    const QString fileName = extractFileName(path);
    FUZZ_CHECK(path.endsWith(fileName));
    FUZZ_CHECK(!fileName.contains(u'/') && !fileName.contains(u'\\'));

    HtmlDocumentInput input;
    input.solidBack = solidBack;
    input.backFile = fileName;
    input.textCode = parts.value(1);
    input.backgroundCode = parts.value(2);
    input.homePage = QStringLiteral("https://www.example.org/tintara/");
    const QString document = htmlDocument(input);

    FUZZ_CHECK(document.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = document.chopped(2).split(QStringLiteral("\r\n"));
    FUZZ_CHECK(lines.size() == 9);
    for (const QString& line : lines)
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));
    FUZZ_CHECK(lines[0] == QStringLiteral("<HTML>") && lines[8] == QStringLiteral("</HTML>"));

    const std::optional<QStringList> values = bodyValues(lines[4], !solidBack);
    FUZZ_CHECK(values.has_value());
    for (const QString& value : *values) {
        for (const QChar c : value)
            FUZZ_CHECK(c != u'"' && c != u'<' && c != u'>' && c.category() != QChar::Other_Control);
    }
    // A text with nothing that would break the page goes in unchanged.
    const QString inputs[] = {input.backgroundCode, input.textCode, input.backFile};
    for (qsizetype i = 0; i < values->size(); ++i) {
        if (isHarmless(inputs[i]))
            FUZZ_CHECK(values->at(i) == inputs[i]);
    }
    return 0;
}
