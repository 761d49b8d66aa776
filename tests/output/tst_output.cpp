#include "output/htmldocument.h"
#include "output/showhtml.h"
#include "platform/twips.h"
#include "support/fakes.h"
#include "support/fulldisk.h"

#include <QClipboard>
#include <QDir>
#include <QPlainTextEdit>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace tintara;
using namespace tintara::test;

namespace {

const QString kHome = u"https://www.example.org/tintara/"_s;
const QString kPlainPage =
    u"<HTML>\r\n<HEAD>\r\n<TITLE>ここにタイトルを書きます</TITLE>\r\n</HEAD>\r\n"
    "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\">\r\nここに本文を書きます<BR>\r\n"
    "<A HREF=\"https://www.example.org/tintara/\">Morvaneのページへ</A><BR>\r\n</BODY>\r\n"
    "</HTML>\r\n"_s;

} // namespace

class OutputTest : public QObject
{
    Q_OBJECT
private slots:
    void pageHoldsTheCodesAsTheyStandAndNamesThePictureAsAUrlThatAddsNoMarkup()
    {
        const HtmlDocumentInput input{u"#12\"<b> & 34"_s, u"#F0"_s, false, u"a\"<b>.bmp"_s, kHome};
        QCOMPARE(
            htmlDocument(input).section(u"\r\n"_s, 4, 4),
            u"<BODY BGCOLOR=\"#12\"<b> & 34\" TEXT=\"#F0\" BACKGROUND=\"a&#34;&#60;b&#62;.bmp\">"_s);
        // What would end the value, add markup, or start an escape, a fragment, a query, a scheme,
        // a folder or a new line; letters of any script stay.
        const std::pair<QString, QString> names[] = {
            {u"背景 ~-_.png"_s, u"背景%20~-_.png"_s},
            {u"%41#?:\\&lt;>"_s, u"%2541%23%3F%3A%5C&amp;lt;&#62;"_s},
            {u"1\r\n2\t"_s + QChar(0) + u"\x7F"_s + QChar(0x85) + QChar(0x2028),
             u"1%0D%0A2%09%00%7F%C2%85%E2%80%A8"_s}};
        for (const auto& [name, written] : names)
            QCOMPARE(backgroundAttributeValue(name), written);
    }

    void windowShowsThePageOfItsCodeBoxesAndPictureAndCopiesItAsEdited()
    {
        TestWindow w;
        QClipboard* clipboard = QGuiApplication::clipboard();
        onModal<ShowHTML>([&](ShowHTML* viewer) {
            QVERIFY(viewer->isModal() && viewer->windowTitle() == u"Show HTML"_s);
            QCOMPARE(viewer->text(), kPlainPage);
            QPlainTextEdit* text = viewer->ui().Text1;
            text->moveCursor(QTextCursor::Start);
            QTest::keyClicks(text, u"<!-- x -->"_s);
            QTest::keyClick(text, Qt::Key_Return);
            text->moveCursor(QTextCursor::End);
            QTest::keyClicks(text, u"end"_s);
            QTest::keyClick(text, Qt::Key_Return, Qt::ShiftModifier); // a break within the line
            QTest::keyClicks(text, u"\u00A0"_s);
            QTest::mouseClick(viewer->ui().Command1, Qt::LeftButton);
        });
        w->ui().genhtml->trigger();
        QCOMPARE(clipboard->text(), "<!-- x -->\r\n" + kPlainPage + u"end\r\n\u00A0"_s);

        // The picture goes in while it is shown. Text in a code box that is no colour, half-typed
        // or not, leaves the colours as they are, and the page and the copies have the codes of
        // the colours shown.
        QTemporaryDir dir;
        dropFiles(w->ui().Picture1, {savePicture(dir, u"tile.bmp"_s, patternPicture(3, 2))});
        w.setChannels({0x33, 0x66, 0x99, 0xFF, 0xCC, 0x99});
        typeInto(w->ui().ColorCode[0], u"red"_s);
        w->ui().ColorCode[1]->setText(u"#12\"<b> & 34"_s);
        w->ui().copyf->trigger();
        QCOMPARE(clipboard->text(), u"#336699"_s);
        w->ui().copyb->trigger();
        QCOMPARE(clipboard->text(), u"#FFCC99"_s);
        QCOMPARE(generatePage(*w),
                 htmlDocument({u"#FFCC99"_s, u"#336699"_s, false, u"tile.bmp"_s, kHome}));
        w.setChannels(kFirstStart);
        QTest::mouseDClick(w->ui().Picture1, Qt::LeftButton);
        QCOMPARE(generatePage(*w), kPlainPage);
    }

    void saveWritesTheTextWithCrLfOverTheLastFileAndReportsAFailure()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(u"page.htm"_s);
        // A folder that is really a plain file refuses any write, even root's.
        const QString unwritable = path + u"/tintara.htm"_s;
        FakeFileChooser files;
        files.saveAnswers << path << path << QString() << unwritable;
        ShowHTML viewer(files, TwipsScale());
        viewer.Form_Load(kPlainPage);
        MessageBoxCatcher messages;

        viewer.Command2_Click();
        const SaveFileRequest& first = files.saveRequests[0];
        QVERIFY(first.path == u"tintara.htm"_s && first.defaultSuffix == u"htm"_s);
        QCOMPARE(first.nameFilters, QStringList{"HTMLﾌｧｲﾙ (*.htm)"});
        // No byte order mark, and one more line end after the page's own.
        QCOMPARE(readFile(path), (kPlainPage + u"\r\n"_s).toLocal8Bit());

        // Saving again over the same file replaces it with the edited text; a cancelled dialog
        // writes nothing, and the next one offers the last file still.
        viewer.ui().Text1->setPlainText(u"edited\nagain"_s);
        viewer.Command2_Click();
        viewer.ui().Text1->setPlainText(u"not wanted"_s);
        viewer.Command2_Click();
        QCOMPARE(readFile(path), QByteArray("edited\r\nagain\r\n"));
        viewer.Command2_Click();
        QCOMPARE(files.saveRequests[3].path, path);
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts[0].contains(QDir::toNativeSeparators(unwritable)));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"page.htm"});
        // The next opening starts from the default name again.
        viewer.Form_Load(kPlainPage);
        QCOMPARE(viewer.savePath(), u"tintara.htm"_s);
    }

#ifdef Q_OS_UNIX
    void saveKeepsTheOldFileOnAFullDiskAndWritesInPlaceWhatReplacingWouldChange()
    {
        const QByteArray old(1650, 'o');
        const FullDisk disk({{u"page.htm"_s, old}});
        if (!disk.problem().isEmpty())
            QSKIP(qPrintable(disk.problem()));
        const QString page = disk.filePath(u"page.htm"_s);
        // A file replaced and a new file, with no room for either: the old file stays whole, no
        // new one is left, and each failure says why.
        const QStringList paths{page, disk.filePath(u"new.htm"_s)};
        FakeFileChooser files;
        files.saveAnswers = paths;
        ShowHTML viewer(files, TwipsScale());
        viewer.Form_Load(QString(5000, u'n'));
        MessageBoxCatcher messages;
        for (int i = 0; i < 2; ++i)
            viewer.Command2_Click();
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList{"page.htm"});
        QCOMPARE(readFile(page), old);
        QStringList reasons;
        for (const QString& path : paths)
            reasons << QDir::toNativeSeparators(path) + u" に保存できませんでした。\n\n"_s +
                           qt_error_string(ENOSPC);
        QCOMPARE(messages.texts, reasons);

        // With room, a file that has a second name is written in place, cut to the new text.
        disk.makeRoom();
        const QString link = disk.filePath(u"link.htm"_s);
        QVERIFY(::link(QFile::encodeName(page).constData(), QFile::encodeName(link).constData()) ==
                0);
        files.saveAnswers << page;
        viewer.Form_Load(u"new"_s);
        viewer.Command2_Click();
        QCOMPARE(readFile(link), QByteArray("new\r\n"));
        QCOMPARE(messages.texts, reasons);
    }
#endif

    void colorsAreSwappedPastedFromCssAndCopiedAsCssThatPastesBack()
    {
        TestWindow w(kFullColor);
        const HistoryUi& edit = w->historyUi();
        const auto paste = [&w](QAction* command, const QString& text) {
            QGuiApplication::clipboard()->setText(text);
            command->trigger();
            return w->checkUi().status->toolTip();
        };
        // A colour beyond sRGB mapped into it, text over the background, text that is no colour.
        QVERIFY(paste(edit.pasteBack, u"oklch(70% 0.4 150)"_s).contains(u"sRGB の外"_s));
        QVERIFY(paste(edit.pasteText, u" rgba(255, 0, 0, .5); "_s)
                    .endsWith(
                        u"文字色に #806124 を貼り付けました、不透明度 50% を背景色に重ねました"_s));
        QCOMPARE(w.channels(), (Channels{128, 97, 36, 0, 194, 72}));
        QVERIFY(paste(edit.pasteText, u"nonsense"_s)
                    .endsWith(u"貼り付けられません: 名前のない色です: nonsense"_s));
        QCOMPARE(w.channels(), (Channels{128, 97, 36, 0, 194, 72}));

        // A swap is one step; copied as CSS, each colour pastes back from its own property.
        edit.swap->trigger();
        QCOMPARE(w.channels(), (Channels{0, 194, 72, 128, 97, 36}));
        w->checkUi().copyCss->trigger();
        const QString css = QGuiApplication::clipboard()->text();
        QVERIFY(css.startsWith(u"/* コントラスト比 "_s) &&
                css.endsWith(u" */\ncolor: #00C248;\nbackground-color: #806124;\n"_s));
        edit.undo->trigger();
        edit.undo->trigger();
        QCOMPARE(w.channels(), (Channels{0, 0, 0, 0, 194, 72}));
        edit.pasteText->trigger();
        edit.pasteBack->trigger();
        QCOMPARE(w.channels(), (Channels{0, 194, 72, 128, 97, 36}));
        w->ui().FAutoCK->setChecked(true);
        QVERIFY(!edit.swap->isEnabled() && edit.swap->statusTip().contains(u"自動"_s));
    }
};

TINTARA_TEST_MAIN(OutputTest)
#include "tst_output.moc"
