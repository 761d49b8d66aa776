#include "about/frmabout.h"
#include "buildinfo.h"
#include "platform/twips.h"
#include "support/fakes.h"
#include "support/modal.h"
#include "support/testregistry.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>

using namespace tintara;
using namespace tintara::test;

class AboutWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void showsTitleVersionAuthorAndAddressEveryOpening()
    {
        TestWindow w;
        const QString description =
            QStringLiteral("作者：\r\n    ") + QString::fromUtf8(build::kAuthorName) +
            QStringLiteral("（") + QString::fromUtf8(build::kAuthorEmail) +
            QStringLiteral("）\r\n    ") + QString::fromUtf8(build::kRightsNotice);
        for (int opening = 0; opening < 2; ++opening) {
            onModal<frmAbout>([&](frmAbout* about) {
                const FrmAboutUi& ui = about->ui();
                QCOMPARE(about->windowTitle(), QStringLiteral("Tintaraのﾊﾞｰｼﾞｮﾝ情報"));
                QCOMPARE(ui.lblTitle->text(), QStringLiteral("Tintara for Windows"));
                QCOMPARE(ui.lblVersion->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 3.0.17"));
                QCOMPARE(ui.lblDescription->text(), description);
                QCOMPARE(ui.lblDescription->text().count(QStringLiteral("\r\n")), 2);
                QCOMPARE(ui.lblDescription->text().count(QLatin1Char('\n')), 2);
                QCOMPARE(ui.Label2->text(), QString::fromUtf8(build::kAuthorPage));
                QCOMPARE(ui.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 255));
                QVERIFY(about->isModal());
                QCOMPARE(about->size(), twipsRect(0, 0, 5730, 3210, w->twipsPerPixel()).size());
                QCOMPARE(about->minimumSize(), about->maximumSize());
                QVERIFY(ui.cmdOK->isDefault());
                // Esc closes the window as OK does.
                QTest::keyClick(about, Qt::Key_Escape);
                QVERIFY(!about->isVisible());
            });
            w->ui().About->trigger();
        }
        QCOMPARE(w.openedUrls(), QList<QUrl>());
    }

    void clickingTheAddressOpensItAndOkCloses()
    {
        TestWindow w;
        bool stillOpen = false;
        onModal<frmAbout>([&](frmAbout* about) {
            QTest::mouseClick(about->ui().Label2, Qt::LeftButton);
            stillOpen = about->isVisible() && QApplication::activeModalWidget() == about;
            QTest::mouseClick(about->ui().cmdOK, Qt::LeftButton);
            QVERIFY(!about->isVisible());
        });
        w->ui().About->trigger();
        QVERIFY(stillOpen);
        QCOMPARE(w.openedUrls(), QList<QUrl>{QUrl(QString::fromUtf8(build::kAuthorPage))});
    }

    void addressThatCannotBeOpenedStaysSilent()
    {
        int attempts = 0;
        frmAbout about([&](const QUrl&) { return ++attempts, false; }, 15.0f);
        about.Form_Load();
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        MessageBoxCatcher messages;
        QTest::mouseClick(about.ui().Label2, Qt::LeftButton);
        QTest::qWait(50);
        QCOMPARE(attempts, 1);
        QCOMPARE(messages.texts, QStringList());
        QVERIFY(about.isVisible());
    }

    void iconIsTheProgramsOwnWhateverTheOwnerCarries()
    {
        QWidget owner;
        QPixmap red(32, 32);
        red.fill(Qt::red);
        owner.setWindowIcon(QIcon(red));
        frmAbout about({}, 15.0f, &owner);
        about.Form_Load();
        const QImage shown =
            about.ui().picIcon->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage png(QStringLiteral(":/icons/tintara-32.png"));
        QCOMPARE(shown, QPixmap::fromImage(png).toImage().convertToFormat(QImage::Format_ARGB32));
    }

    void addressOpensFromTheKeyboardAndShowsItHasTheFocus()
    {
        QList<QUrl> opened;
        frmAbout about([&](const QUrl& url) { return opened.append(url), true; }, 15.0f);
        about.Form_Load();
        about.show();
        about.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QCOMPARE(QApplication::focusWidget(), about.ui().cmdOK);
        QVERIFY(!about.ui().Label2->font().underline());

        QTest::keyClick(about.ui().cmdOK, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), about.ui().Label2);
        QVERIFY(about.ui().Label2->font().underline());
        QTest::keyClick(about.ui().Label2, Qt::Key_Return);
        QTest::keyClick(about.ui().Label2, Qt::Key_Space);
        const QUrl address(QString::fromUtf8(build::kAuthorPage));
        QCOMPARE(opened, (QList<QUrl>{address, address}));
        QVERIFY(about.isVisible());

        QTest::keyClick(about.ui().Label2, Qt::Key_Tab);
        QVERIFY(!about.ui().Label2->font().underline());
        QTest::keyClick(about.ui().cmdOK, Qt::Key_Return);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

TINTARA_TEST(AboutWindowTest)

#include "tst_about.moc"
