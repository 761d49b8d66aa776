#include "output/htmldocument.h"
#include "output/showhtml.h"
#include "platform/twips.h"
#include "support/fakes.h"
#include "support/fulldisk.h"

#include <QClipboard>
#include <QDir>
#include <QPlainTextEdit>
#include <QStatusBar>
#ifdef Q_OS_UNIX
#include <pwd.h>
#include <sys/stat.h>
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
            QTest::keyClicks(text, u"end\u00A0"_s);
            QTest::mouseClick(viewer->ui().Command1, Qt::LeftButton);
        });
        w->ui().genhtml->trigger();
        QCOMPARE(clipboard->text(), "<!-- x -->\r\n" + kPlainPage + u"end\u00A0"_s);

        // The picture goes in while it is shown, and the codes' texts go in and are copied as they
        // stand, half-typed or not, leaving the colours as they are.
        QTemporaryDir dir;
        dropFiles(w->ui().Picture1, {savePicture(dir, u"tile.bmp"_s, patternPicture(3, 2))});
        typeInto(w->ui().ColorCode[0], u"#F0"_s);
        w->ui().ColorCode[1]->setText(u"#12\"<b> & 34"_s);
        w->ui().copyf->trigger();
        QCOMPARE(clipboard->text(), u"#F0"_s);
        w->ui().copyb->trigger();
        QCOMPARE(clipboard->text(), u"#12\"<b> & 34"_s);
        QCOMPARE(w.channels(), kFirstStart);
        QCOMPARE(generatePage(*w),
                 htmlDocument({u"#12\"<b> & 34"_s, u"#F0"_s, false, u"tile.bmp"_s, kHome}));
        QTest::mouseDClick(w->ui().Picture1, Qt::LeftButton);
        QCOMPARE(generatePage(*w), kPlainPage);
    }

    void viewerLayoutFollowsTheSizeAndKeepsTheSmallest()
    {
        FakeFileChooser files;
        ShowHTML viewer(files, TwipsScale());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        const ShowHTMLUi& ui = viewer.ui();
        const QSize smallest = TwipsScale().rect(0, 0, 4200, 3000).size();
        for (const QSize asked : {QSize(100, 40), QSize(10, 500), smallest}) {
            viewer.resize(asked);
            QCOMPARE(viewer.size(), asked.expandedTo(smallest));
        }
        QCOMPARE(ui.Text1->geometry(), TwipsScale().rect(100, 100, 3900, 1800));
        QCOMPARE(ui.Command1->geometry(), TwipsScale().rect(60, 2000, 1920, 345));
        QCOMPARE(ui.Command2->geometry(), TwipsScale().rect(2080, 2000, 1920, 345));
        const QRect bar = ui.StatusBar1->geometry();
        QCOMPARE(bar.bottomLeft(), QPoint(0, viewer.height() - 1));
        QCOMPARE(bar.width(), viewer.width());
        QVERIFY(bar.height() >= 15 && bar.top() > ui.Command1->geometry().bottom());
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
        const passwd* nobody = ::getpwnam("nobody");
        const QByteArray old(1650, 'o');
        const FullDisk disk({{u"page.htm"_s, old}, {u"mine.htm"_s, old}});
        if (!disk.problem().isEmpty() || !nobody)
            QSKIP("needs root, to make a full disk and to save as the user nobody");
        const QString page = disk.filePath(u"page.htm"_s);
        const QString mine = disk.filePath(u"mine.htm"_s);
        // A file replaced, a new file, and a file written in place, as another user's is: none
        // has room. The old files stay whole, no new one is left, and each failure says why.
        QVERIFY(::chown(QFile::encodeName(mine).constData(), nobody->pw_uid, ::getegid()) == 0);
        const QStringList paths{page, disk.filePath(u"new.htm"_s), mine};
        FakeFileChooser files;
        files.saveAnswers = paths;
        ShowHTML viewer(files, TwipsScale());
        viewer.Form_Load(QString(5000, u'n'));
        MessageBoxCatcher messages;
        for (int i = 0; i < 3; ++i)
            viewer.Command2_Click();
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), (QStringList{"mine.htm", "page.htm"}));
        QVERIFY(readFile(page) == old && readFile(mine) == old);
        QStringList reasons;
        for (const QString& path : paths)
            reasons << QDir::toNativeSeparators(path) + u" に保存できませんでした。\n\n"_s +
                           qt_error_string(ENOSPC);
        QCOMPARE(messages.texts, reasons);

        // With room, root saves over a file that has a second name, and the user over a file of
        // their own, in their group, in a folder only root may write; both are written in place
        // and cut to the new text.
        disk.makeRoom();
        const QString link = disk.filePath(u"link.htm"_s);
        QVERIFY(::link(QFile::encodeName(page).constData(), QFile::encodeName(link).constData()) ==
                0);
        QVERIFY(::chmod(QFile::encodeName(disk.path()).constData(), 0755) == 0);
        files.saveAnswers << page << mine;
        viewer.Form_Load(u"new"_s);
        viewer.Command2_Click();
        QVERIFY(::seteuid(nobody->pw_uid) == 0);
        viewer.Command2_Click();
        QVERIFY(::seteuid(0) == 0);
        QVERIFY(readFile(link) == "new\r\n" && readFile(mine) == "new\r\n");
        QCOMPARE(messages.texts, reasons);
    }
#endif
};

TINTARA_TEST_MAIN(OutputTest)
#include "tst_output.moc"
