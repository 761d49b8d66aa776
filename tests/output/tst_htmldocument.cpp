#include "output/htmldocument.h"
#include "support/testregistry.h"

#include <QTest>

using namespace tintara;

namespace {

HtmlDocumentInput whiteOnBlack()
{
    HtmlDocumentInput input;
    input.backgroundCode = QStringLiteral("#000000");
    input.textCode = QStringLiteral("#FFFFFF");
    input.homePage = QStringLiteral("https://www.example.org/tintara/");
    return input;
}

QString bodyLine(const QString& document)
{
    return document.split(QStringLiteral("\r\n")).value(4);
}

} // namespace

class HtmlDocumentTest : public QObject
{
    Q_OBJECT
private slots:
    void plainColourPageIsNineLinesEachEndingInCrLf()
    {
        const QString expected = QStringLiteral(
            "<HTML>\r\n"
            "<HEAD>\r\n"
            "<TITLE>ここにタイトルを書きます</TITLE>\r\n"
            "</HEAD>\r\n"
            "<BODY BGCOLOR=\"#000000\" TEXT=\"#FFFFFF\">\r\n"
            "ここに本文を書きます<BR>\r\n"
            "<A HREF=\"https://www.example.org/tintara/\">Morvaneのページへ</A><BR>\r\n"
            "</BODY>\r\n"
            "</HTML>\r\n");
        QCOMPARE(htmlDocument(whiteOnBlack()), expected);
    }

    void shownPictureIsNamedAfterTheTextColourOnlyWhileShown()
    {
        HtmlDocumentInput input = whiteOnBlack();
        input.backFile = QStringLiteral("tile 1.bmp");
        input.solidBack = false;
        QCOMPARE(bodyLine(htmlDocument(input)),
                 QStringLiteral(
                     "<BODY BGCOLOR=\"#000000\" TEXT=\"#FFFFFF\" BACKGROUND=\"tile 1.bmp\">"));
        // A picture still loaded but switched off leaves the plain page.
        input.solidBack = true;
        QCOMPARE(htmlDocument(input), htmlDocument(whiteOnBlack()));
    }

    void craftedFileNamesNeitherBreakLinesNorAddMarkup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("quote and tags") << QStringLiteral("a\"><script>x.bmp")
                                        << QStringLiteral("a&#34;&#62;&#60;script&#62;x.bmp");
        QTest::newRow("line breaks")
            << QStringLiteral("one\r\ntwo\n.bmp") << QStringLiteral("one&#13;&#10;two&#10;.bmp");
        QTest::newRow("other controls")
            << QStringLiteral("t\tn") + QChar(0) + QStringLiteral("d\x7F") + QChar(0x85) +
                   QStringLiteral(".bmp")
            << QStringLiteral("t&#9;n&#0;d&#127;&#133;.bmp");
        QTest::newRow("unicode line breaks")
            << QStringLiteral("a") + QChar(0x2028) + u'b' + QChar(0x2029) + QStringLiteral("c.bmp")
            << QStringLiteral("a&#8232;b&#8233;c.bmp");
        QTest::newRow("allowed characters kept")
            << QStringLiteral("A & B's #1 %20 背景 \U0001F600.bmp")
            << QStringLiteral("A & B's #1 %20 背景 \U0001F600.bmp");
    }

    void craftedFileNamesNeitherBreakLinesNorAddMarkup()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(escapeFileNameAttribute(text), written);

        HtmlDocumentInput input = whiteOnBlack();
        input.solidBack = false;
        input.backFile = text;
        const QString document = htmlDocument(input);
        QCOMPARE(document.count(QLatin1Char('\n')), 9);
        QCOMPARE(document.count(QLatin1Char('\r')), 9);
        QCOMPARE(document.count(QLatin1Char('<')),
                 htmlDocument(whiteOnBlack()).count(QLatin1Char('<')));
        QVERIFY(bodyLine(document).endsWith(QStringLiteral(" BACKGROUND=\"") + written +
                                            QStringLiteral("\">")));
    }

    void codeBoxTextsGoInCharacterForCharacter()
    {
        HtmlDocumentInput input = whiteOnBlack();
        input.textCode = QStringLiteral("#12\"<b> & 34");
        input.backgroundCode = QString();
        QCOMPARE(bodyLine(htmlDocument(input)),
                 QStringLiteral("<BODY BGCOLOR=\"\" TEXT=\"#12\"<b> & 34\">"));
    }
};

TINTARA_TEST(HtmlDocumentTest)

#include "tst_htmldocument.moc"
