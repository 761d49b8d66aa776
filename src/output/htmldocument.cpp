#include "output/htmldocument.h"

namespace tintara {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// Characters a relative URL cannot hold as they are: a browser would take them as the start of an
// escape, a fragment or a query, the end of a scheme, a folder separator, or drop them.
bool needsPercentEncoding(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return c == u'%' || c == u'#' || c == u'?' || c == u':' || c == u'\\' || c == u' ';
    }
}

} // namespace

QString backgroundAttributeValue(const QString& fileName)
{
    QString value;
    value.reserve(fileName.size());
    for (const QChar c : fileName) {
        if (needsPercentEncoding(c)) {
            for (const char byte : QString(c).toUtf8())
                value += QStringLiteral("%%1").arg(uchar(byte), 2, 16, QLatin1Char('0')).toUpper();
        } else if (c == u'&') {
            value += QStringLiteral("&amp;");
        } else if (c == u'"' || c == u'<' || c == u'>') {
            value += QStringLiteral("&#%1;").arg(c.unicode());
        } else {
            value += c;
        }
    }
    return value;
}

QString htmlDocument(const HtmlDocumentInput& input)
{
    const QChar q = u'"';
    QString body = QStringLiteral("<BODY BGCOLOR=") + q + input.backgroundCode + q +
                   QStringLiteral(" TEXT=") + q + input.textCode + q;
    if (!input.solidBack)
        body += QStringLiteral(" BACKGROUND=") + q + backgroundAttributeValue(input.backFile) + q;
    body += u'>';

    const QString lines[] = {
        QStringLiteral("<HTML>"),
        QStringLiteral("<HEAD>"),
        QStringLiteral("<TITLE>ここにタイトルを書きます</TITLE>"),
        QStringLiteral("</HEAD>"),
        body,
        QStringLiteral("ここに本文を書きます<BR>"),
        QStringLiteral("<A HREF=") + q + input.homePage + q +
            QStringLiteral(">Morvaneのページへ</A><BR>"),
        QStringLiteral("</BODY>"),
        QStringLiteral("</HTML>"),
    };
    QString document;
    for (const QString& line : lines)
        document += line + kLineEnd;
    return document;
}

} // namespace tintara
