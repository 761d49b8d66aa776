#include "output/htmldocument.h"

namespace tintara {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

bool needsReference(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return c == u'"' || c == u'<' || c == u'>';
    }
}

} // namespace

QString escapeFileNameAttribute(const QString& fileName)
{
    QString escaped;
    escaped.reserve(fileName.size());
    for (const QChar c : fileName) {
        if (needsReference(c))
            escaped += QStringLiteral("&#%1;").arg(c.unicode());
        else
            escaped += c;
    }
    return escaped;
}

QString htmlDocument(const HtmlDocumentInput& input)
{
    const QChar q = u'"';
    QString body = QStringLiteral("<BODY BGCOLOR=") + q + input.backgroundCode + q +
                   QStringLiteral(" TEXT=") + q + input.textCode + q;
    if (!input.solidBack)
        body += QStringLiteral(" BACKGROUND=") + q + escapeFileNameAttribute(input.backFile) + q;
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
