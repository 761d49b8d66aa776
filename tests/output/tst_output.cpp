#include "buildinfo.h"
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

// The page for the given colour codes, and the attribute naming a background picture if any.
QString pageFor(const QString& background, const QString& text, const QString& picture = {})
{
    const QString body = u"<BODY BGCOLOR=\""_s + background + u"\" TEXT=\""_s + text +
                         (picture.isNull() ? u""_s : u"\" BACKGROUND=\""_s + picture) + u"\">"_s;
    return u"<HTML>\r\n<HEAD>\r\n<TITLE>ここにタイトルを書きます</TITLE>\r\n</HEAD>\r\n"_s + body +
           u"\r\nここに本文を書きます<BR>\r\n<A HREF=\""_s + QString::fromUtf8(build::kHomePage) +
           u"\">Morvaneのページへ</A><BR>\r\n</BODY>\r\n</HTML>\r\n"_s;
}

const QString kPlainPage = pageFor(u"#FFFFFF"_s, u"#000000"_s);

} // namespace

class OutputTest : public QObject
{
    Q_OBJECT
private slots:
    void pageNamesAShownPictureAsAUrlThatCannotBreakLinesOrAddMarkup()
    {
        const std::pair<QString, QString> names[] = {
            {u"tile.bmp"_s, u"tile.bmp"_s},
            {u"背景 ~-_.png"_s, u"背景%20~-_.png"_s},
            {u"pic#1.png"_s, u"pic%231.png"_s},
            {u"q?x.png"_s, u"q%3Fx.png"_s},
            {u"img:1.png"_s, u"img%3A1.png"_s}, // not a scheme
            {u"100%41.png"_s, u"100%2541.png"_s},
            {u"a&lt;b.png"_s, u"a&amp;lt;b.png"_s},
            {u"sky\\blue.bmp"_s, u"sky%5Cblue.bmp"_s},
            {u"a\"><script>x.bmp"_s, u"a&#34;&#62;&#60;script&#62;x.bmp"_s},
            {u"1\r\n2\t"_s + QChar(0) + u"\x7F"_s + QChar(0x85) + QChar(0x2028),
             u"1%0D%0A2%09%00%7F%C2%85%E2%80%A8"_s}};
        HtmlDocumentInput input;
        input.backgroundCode = u"#FFFFFF"_s;
        input.textCode = u"#000000"_s;
        input.homePage = QString::fromUtf8(build::kHomePage);
        input.solidBack = false;
        for (const auto& [name, written] : names) {
            input.backFile = name;
            QCOMPARE(htmlDocument(input), pageFor(u"#FFFFFF"_s, u"#000000"_s, written));
        }
    }

    void pageCarriesTheCodeBoxTextsAndTheShownPictureAndIsCopiedAsEdited()
    {
        TestWindow w;
        QClipboard* clipboard = QGuiApplication::clipboard();
        onModal<ShowHTML>([&](ShowHTML* viewer) {
            QCOMPARE(viewer->windowTitle(), u"Show HTML"_s);
            QVERIFY(viewer->isModal());
            QCOMPARE(viewer->text(), kPlainPage);
            QPlainTextEdit* text = viewer->ui().Text1;
            QCOMPARE(viewer->focusWidget(), text);
            text->moveCursor(QTextCursor::Start);
            QTest::keyClicks(text, u"<!-- x -->"_s);
            QTest::keyClick(text, Qt::Key_Return);
            text->moveCursor(QTextCursor::End);
            QTest::keyClicks(text, u"end\u00A0"_s);
            QTest::mouseClick(viewer->ui().Command1, Qt::LeftButton);
        });
        w->ui().genhtml->trigger();
        QCOMPARE(w->m_GenHTML, kPlainPage);
        QCOMPARE(clipboard->text(), "<!-- x -->\r\n" + kPlainPage + u"end\u00A0"_s);

        // The codes' texts go in and are copied as they stand, half-typed or not; the window
        // stays as it is.
        typeInto(w->ui().ColorCode[0], u"#F0"_s);
        w->ui().ColorCode[1]->setText(u"#12\"<b> & 34"_s);
        QCOMPARE(generatePage(*w), pageFor(u"#12\"<b> & 34"_s, u"#F0"_s));
        w->ui().copyf->trigger();
        QCOMPARE(clipboard->text(), u"#F0"_s);
        w->ui().copyb->trigger();
        QCOMPARE(clipboard->text(), u"#12\"<b> & 34"_s);
        QCOMPARE(w.channels(), kFirstStart);

        // A backslash is part of a name here, not a folder.
        QTemporaryDir dir;
        dropFiles(w->ui().Picture1,
                  {savePicture(dir, u"sky\\blue\"<b>.bmp"_s, patternPicture(3, 2))});
        QVERIFY(!w->solidBack());
        w->ui().ColorCode[0]->setText(u"#0000FF"_s);
        w->ui().ColorCode[1]->setText(u"#FFFF00"_s);
        QCOMPARE(generatePage(*w),
                 pageFor(u"#FFFF00"_s, u"#0000FF"_s, u"sky%5Cblue&#34;&#60;b&#62;.bmp"_s));
        QTest::mouseDClick(w->ui().Picture1, Qt::LeftButton);
        QCOMPARE(generatePage(*w), pageFor(u"#FFFF00"_s, u"#0000FF"_s));
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
        QCOMPARE(files.saveRequests[0].path, u"tintara.htm"_s);
        QCOMPARE(files.saveRequests[0].nameFilters, QStringList{"HTMLﾌｧｲﾙ (*.htm)"});
        QCOMPARE(files.saveRequests[0].defaultSuffix, u"htm"_s);
        // No byte order mark, and one more line end after the page's own.
        QCOMPARE(readFile(path), (kPlainPage + u"\r\n"_s).toLocal8Bit());

        // Saving again over the same file replaces it with the edited text; a cancelled dialog
        // writes nothing, and the next one offers the last file still.
        viewer.ui().Text1->setPlainText(u"edited\nagain"_s);
        viewer.Command2_Click();
        viewer.ui().Text1->setPlainText(u"not wanted"_s);
        viewer.Command2_Click();
        QCOMPARE(readFile(path), QByteArray("edited\r\nagain\r\n"));
        QCOMPARE(messages.texts, QStringList());

        viewer.Command2_Click();
        QCOMPARE(files.saveRequests[1].path, path);
        QCOMPARE(files.saveRequests[3].path, path);
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts[0].contains(QDir::toNativeSeparators(unwritable)),
                 qPrintable(messages.texts[0]));
        QCOMPARE(readFile(path), QByteArray("edited\r\nagain\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"page.htm"});
        // The next opening starts from the default name again.
        viewer.Form_Load(kPlainPage);
        QCOMPARE(viewer.savePath(), u"tintara.htm"_s);
    }

#ifdef Q_OS_UNIX
    void saveOnAFullDiskKeepsTheOldFileLeavesNoNewOneAndSaysWhy()
    {
        const QByteArray old(1650, 'o');
        const FullDisk disk({{u"page.htm"_s, old}});
        if (!disk.problem().isEmpty())
            QSKIP(qPrintable(disk.problem()));
        FakeFileChooser files;
        const QStringList paths{disk.filePath(u"page.htm"_s), disk.filePath(u"new.htm"_s)};
        files.saveAnswers = paths;
        ShowHTML viewer(files, TwipsScale());
        viewer.Form_Load(kPlainPage);
        MessageBoxCatcher messages;
        viewer.Command2_Click();
        viewer.Command2_Click();
        // A file written in place, as another user's is, needs more room than it has.
        if (const passwd* nobody = ::getpwnam("nobody")) {
            QVERIFY(::chown(QFile::encodeName(paths[0]).constData(), nobody->pw_uid, 0) == 0);
            files.saveAnswers << paths[0];
            viewer.ui().Text1->setPlainText(QString(5000, u'n'));
            viewer.Command2_Click();
        }
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList{"page.htm"});
        QCOMPARE(readFile(paths[0]), old);
        QCOMPARE(messages.texts.size(), files.saveRequests.size());
        const QString reason = qt_error_string(ENOSPC);
        for (int i = 0; i < messages.texts.size(); ++i) {
            QVERIFY2(messages.texts[i].contains(QDir::toNativeSeparators(paths[i % 2])) &&
                         messages.texts[i].endsWith(reason),
                     qPrintable(messages.texts[i]));
        }
    }

    void saveKeepsTheFileWhatItWasItsOwnerAndLinksAndWritesWhatTheUserMayWrite()
    {
        const passwd* nobody = ::getpwnam("nobody");
        if (::geteuid() != 0 || !nobody)
            QSKIP("needs root and the user nobody, to give files to another user");
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
        const QString page = dir.filePath(u"page.htm"_s);
        const QString link = dir.filePath(u"link.htm"_s);
        const QByteArray native = QFile::encodeName(page);
        QVERIFY(writeFile(page, "old"));
        QVERIFY(::link(native.constData(), QFile::encodeName(link).constData()) == 0);
        QVERIFY(::chown(native.constData(), nobody->pw_uid, nobody->pw_gid) == 0);
        struct stat before = {};
        QVERIFY(::stat(native.constData(), &before) == 0);

        FakeFileChooser files;
        files.saveAnswers << page;
        ShowHTML viewer(files, TwipsScale());
        viewer.Form_Load(u"new"_s);
        MessageBoxCatcher messages;
        // Root saving over another user's file that has a second name.
        viewer.Command2_Click();
        struct stat after = {};
        QVERIFY(::stat(native.constData(), &after) == 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_uid, nobody->pw_uid);
        QCOMPARE(readFile(link), QByteArray("new\r\n"));

        // The user saving over a file of their own, in their group, in a folder only root may
        // write.
        const QString mine = dir.filePath(u"mine.htm"_s);
        QVERIFY(writeFile(mine, "old"));
        QVERIFY(::chown(QFile::encodeName(mine).constData(), nobody->pw_uid, ::getegid()) == 0);
        files.saveAnswers << mine;
        QVERIFY(::seteuid(nobody->pw_uid) == 0);
        viewer.Command2_Click();
        QVERIFY(::seteuid(0) == 0);
        QCOMPARE(readFile(mine), QByteArray("new\r\n"));
        QCOMPARE(messages.texts, QStringList());
    }
#endif
};

TINTARA_TEST_MAIN(OutputTest)
#include "tst_output.moc"
