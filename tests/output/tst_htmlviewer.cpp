#include "buildinfo.h"
#include "output/showhtml.h"
#include "platform/twips.h"
#include "support/fakes.h"
#include "support/modal.h"
#include "support/testregistry.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace tintara;
using namespace tintara::test;

namespace {

constexpr float kTwips = 15.0f;

QString pageFor(const QString& background, const QString& text)
{
    return QStringLiteral("<HTML>\r\n<HEAD>\r\n<TITLE>ここにタイトルを書きます</TITLE>\r\n"
                          "</HEAD>\r\n<BODY BGCOLOR=\"") +
           background + QStringLiteral("\" TEXT=\"") + text +
           QStringLiteral("\">\r\nここに本文を書きます<BR>\r\n<A HREF=\"") +
           QString::fromUtf8(build::kHomePage) +
           QStringLiteral("\">Morvaneのページへ</A><BR>\r\n</BODY>\r\n</HTML>\r\n");
}

void typeCode(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

QString clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeContents(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Whether this process can still create files in a folder whose permissions forbid it, as root
// can.
bool permissionsAreIgnored(const QString& folder)
{
    QFile probe(folder + QStringLiteral("/probe"));
    const bool created = probe.open(QIODevice::WriteOnly);
    if (created)
        probe.remove();
    return created;
}

QRect design(int left, int top, int width, int height)
{
    return twipsRect(left, top, width, height, kTwips);
}

} // namespace

class HtmlViewerTest : public QObject
{
    Q_OBJECT
private slots:
    void pageCarriesTheCodeBoxTextsEvenHalfTyped()
    {
        TestWindow w;
        w.setChannels({255, 255, 255, 0, 0, 0});
        w->DrawPreview();
        typeCode(w->ui().ColorCode[0], QStringLiteral("#F0"));
        QCOMPARE(w.channels()[0], 255);

        QString shown;
        onModal<ShowHTML>([&](ShowHTML* viewer) {
            QCOMPARE(viewer->windowTitle(), QStringLiteral("Show HTML"));
            QVERIFY(viewer->isModal());
            QCOMPARE(viewer->parentWidget(), w.get());
            shown = viewer->text();
        });
        QTest::mouseClick(w->ui().HTMLBtn, Qt::LeftButton);
        QCOMPARE(w->m_GenHTML, pageFor(QStringLiteral("#000000"), QStringLiteral("#F0")));
        QCOMPARE(shown, w->m_GenHTML);
        // Generating changes nothing in the window.
        QCOMPARE(w->ui().ColorCode[0]->text(), QStringLiteral("#F0"));
        QCOMPARE(w.channels(), (std::array<int, 6>{255, 255, 255, 0, 0, 0}));
    }

    void eachGenerationReplacesThePageAndFollowsThePlainBackground()
    {
        TestWindow w;
        onModal<ShowHTML>([](ShowHTML*) {});
        w->ui().genhtml->trigger();
        const QString first = w->m_GenHTML;
        QCOMPARE(first, pageFor(QStringLiteral("#FFFFFF"), QStringLiteral("#000000")));

        w.setChannels({0, 0, 255, 255, 255, 0});
        w->DrawPreview();
        w->SetBackgroundMode(false);
        w->SetBackgroundMode(true);
        QString shown;
        onModal<ShowHTML>([&](ShowHTML* viewer) { shown = viewer->text(); });
        w->ui().genhtml->trigger();
        const QString second = pageFor(QStringLiteral("#FFFF00"), QStringLiteral("#0000FF"));
        QCOMPARE(w->m_GenHTML, second);
        QCOMPARE(shown, second);
    }

    void pageNamesTheShownPictureByItsBareFileNameOnly()
    {
        TestWindow w;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a\"<b>.bmp"));
        QImage picture(3, 2, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(path, "BMP"));
        w->LoadBackgroundPicture(path);
        QVERIFY(!w->solidBack());

        onModal<ShowHTML>([](ShowHTML*) {});
        w->ui().genhtml->trigger();
        QString expected = pageFor(QStringLiteral("#FFFFFF"), QStringLiteral("#000000"));
        expected.replace(QStringLiteral("TEXT=\"#000000\">"),
                         QStringLiteral("TEXT=\"#000000\" BACKGROUND=\"a&#34;&#60;b&#62;.bmp\">"));
        QCOMPARE(w->m_GenHTML, expected);

        // Back on the plain colour, the page names no picture.
        w->Picture1_DblClick();
        onModal<ShowHTML>([](ShowHTML*) {});
        w->ui().genhtml->trigger();
        QCOMPARE(w->m_GenHTML, pageFor(QStringLiteral("#FFFFFF"), QStringLiteral("#000000")));
    }

    void copyingAColourPutsItsCodeAloneOnTheClipboard()
    {
        TestWindow w;
        w.setChannels({255, 0, 0, 0, 51, 102});
        w->DrawPreview();
        w->ui().copyf->trigger();
        QCOMPARE(clipboardText(), QStringLiteral("#FF0000"));
        w->ui().copyb->trigger();
        QCOMPARE(clipboardText(), QStringLiteral("#003366"));
        typeCode(w->ui().ColorCode[1], QStringLiteral("#00"));
        w->ui().copyb->trigger();
        QCOMPARE(clipboardText(), QStringLiteral("#00"));
    }

    void copyTakesTheEditedTextAndTheGeneratedPageStays()
    {
        TestWindow w;
        QString copied;
        onModal<ShowHTML>([&](ShowHTML* viewer) {
            QPlainTextEdit* text = viewer->ui().Text1;
            QCOMPARE(viewer->focusWidget(), text);
            text->moveCursor(QTextCursor::Start);
            QTest::keyClicks(text, QStringLiteral("<!-- x -->"));
            QTest::keyClick(text, Qt::Key_Return);
            text->moveCursor(QTextCursor::End);
            QTest::keyClicks(text, QStringLiteral("end\u00A0"));
            QTest::mouseClick(viewer->ui().Command1, Qt::LeftButton);
            copied = clipboardText();
        });
        w->ui().genhtml->trigger();
        const QString page = pageFor(QStringLiteral("#FFFFFF"), QStringLiteral("#000000"));
        QCOMPARE(copied, QStringLiteral("<!-- x -->\r\n") + page + QStringLiteral("end\u00A0"));
        QCOMPARE(w->m_GenHTML, page);
    }

    void layoutFollowsTheSizeAndKeepsTheSmallest()
    {
        FakeFileChooser files;
        ShowHTML viewer(files, kTwips);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        const ShowHTMLUi& ui = viewer.ui();

        const QSize smallest = design(0, 0, 4200, 3000).size();
        for (const QSize asked : {smallest, QSize(100, 40), QSize(10, 500)}) {
            viewer.resize(asked);
            QCOMPARE(viewer.size(), asked.expandedTo(smallest));
        }
        viewer.resize(smallest);
        QCOMPARE(ui.Text1->geometry(), design(100, 100, 3900, 1800));
        QCOMPARE(ui.Command1->geometry(), design(60, 2000, 1920, 345));
        QCOMPARE(ui.Command2->geometry(), design(2080, 2000, 1920, 345));
        const QRect bar = ui.StatusBar1->geometry();
        QCOMPARE(bar.bottomLeft(), QPoint(0, viewer.height() - 1));
        QCOMPARE(bar.width(), viewer.width());
        QVERIFY(bar.height() >= 15);
        QVERIFY(bar.top() > ui.Command1->geometry().bottom());

        viewer.resize(design(0, 0, 7500, 6000).size());
        QCOMPARE(ui.Text1->geometry(), design(100, 100, 7200, 4800));
        // Right-aligned under the text box, save rightmost, 100 twips apart.
        QCOMPARE(ui.Command1->pos(), design(3360, 5000, 0, 0).topLeft());
        QCOMPARE(ui.Command2->pos(), design(5380, 5000, 0, 0).topLeft());
        QCOMPARE(ui.Command2->geometry().right(), ui.Text1->geometry().right());
        QCOMPARE(ui.StatusBar1->geometry().bottom(), viewer.height() - 1);
    }

    void saveWritesTheTextAndAFinalCrLfAndOffersTheLastPathNext()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("page.htm"));
        FakeFileChooser files;
        files.saveAnswers << path << path;
        ShowHTML viewer(files, kTwips);
        const QString page = pageFor(QStringLiteral("#FFFFFF"), QStringLiteral("#000000"));
        viewer.Form_Load(page);
        MessageBoxCatcher messages;

        viewer.Command2_Click();
        QCOMPARE(files.saveRequests.size(), 1);
        QCOMPARE(files.saveRequests[0].path, QStringLiteral("tintara.htm"));
        QCOMPARE(files.saveRequests[0].nameFilters, QStringList{"HTMLﾌｧｲﾙ (*.htm)"});
        QCOMPARE(files.saveRequests[0].defaultSuffix, QStringLiteral("htm"));
        const QByteArray saved = contents(path);
        QCOMPARE(saved, (page + QStringLiteral("\r\n")).toLocal8Bit());
        QVERIFY(saved.startsWith("<HTML>\r\n"));
        QVERIFY(saved.endsWith("</HTML>\r\n\r\n"));
        QVERIFY(saved.contains("ここに本文を書きます"));

        // Saving again over the same file replaces it with the edited text.
        viewer.ui().Text1->setPlainText(QStringLiteral("edited\nagain"));
        viewer.Command2_Click();
        QCOMPARE(files.saveRequests[1].path, path);
        QCOMPARE(contents(path), QByteArray("edited\r\nagain\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"page.htm"});

        // A cancelled dialog writes nothing and still offers the last file.
        viewer.ui().Text1->setPlainText(QStringLiteral("not wanted"));
        viewer.Command2_Click();
        QCOMPARE(contents(path), QByteArray("edited\r\nagain\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"page.htm"});
        QCOMPARE(viewer.savePath(), path);
        QCOMPARE(messages.texts, QStringList());

        // The next opening starts from the default name again.
        viewer.Form_Load(page);
        QCOMPARE(viewer.savePath(), QStringLiteral("tintara.htm"));
    }

    void unwritableFolderIsReportedAndNothingChanges()
    {
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        const QByteArray old("old page\r\n");
        writeContents(folder + QStringLiteral("/tintara.htm"), old);
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));

        QString target = folder + QStringLiteral("/tintara.htm");
        if (permissionsAreIgnored(folder)) {
            // Running as root: a folder that is really a plain file refuses any write.
            const QString notAFolder = root.filePath(QStringLiteral("plain"));
            writeContents(notAFolder, old);
            target = notAFolder + QStringLiteral("/tintara.htm");
        }

        FakeFileChooser files;
        files.saveAnswers << target;
        ShowHTML viewer(files, kTwips);
        viewer.Form_Load(QStringLiteral("new page\r\n"));
        MessageBoxCatcher messages;
        viewer.Command2_Click();

        QCOMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts[0].contains(QDir::toNativeSeparators(target)),
                 qPrintable(messages.texts[0]));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(contents(folder + QStringLiteral("/tintara.htm")), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"tintara.htm"});
        if (target.startsWith(root.filePath(QStringLiteral("plain"))))
            QCOMPARE(contents(root.filePath(QStringLiteral("plain"))), old);
    }

    void readOnlyFileIsReportedAndKept()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("tintara.htm"));
        writeContents(path, "old page\r\n");
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        QFile probe(path);
        if (probe.open(QIODevice::WriteOnly | QIODevice::Append))
            QSKIP("this user may write to read-only files (root), so there is no failure to see");

        FakeFileChooser files;
        files.saveAnswers << path;
        ShowHTML viewer(files, kTwips);
        viewer.Form_Load(QStringLiteral("new page\r\n"));
        MessageBoxCatcher messages;
        viewer.Command2_Click();
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts[0].contains(QDir::toNativeSeparators(path)));
        QCOMPARE(contents(path), QByteArray("old page\r\n"));
    }
};

TINTARA_TEST(HtmlViewerTest)

#include "tst_htmlviewer.moc"
