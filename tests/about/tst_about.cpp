#include "about/frmabout.h"
#include "buildinfo.h"
#include "support/fakes.h"

using namespace tintara;
using namespace tintara::test;

class AboutWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void showsItsTextsEveryOpeningAndOpensTheAddressByMouseOrKeyboard()
    {
        TestWindow w;
        // The system the program was built for.
#if defined(Q_OS_WIN)
        const QString title = u"Tintara for Windows"_s;
#elif defined(Q_OS_MACOS)
        const QString title = u"Tintara for macOS"_s;
#else
        const QString title = u"Tintara for Linux"_s;
#endif
        const QString description = u"作者：\r\n    "_s + QString::fromUtf8(build::kAuthorName) +
                                    u"（"_s + QString::fromUtf8(build::kAuthorEmail) +
                                    u"）\r\n    "_s + QString::fromUtf8(build::kRightsNotice);
        for (const bool byKeyboard : {false, true}) {
            onModal<frmAbout>([&](frmAbout* about) {
                const FrmAboutUi& ui = about->ui();
                QCOMPARE(about->windowTitle(), u"Tintaraのﾊﾞｰｼﾞｮﾝ情報"_s);
                QCOMPARE(ui.lblTitle->text(), title);
                QCOMPARE(ui.lblVersion->text(), u"ﾊﾞｰｼﾞｮﾝ 3.0.17"_s);
                QCOMPARE(ui.lblDescription->text(), description);
                QCOMPARE(ui.Label2->text(), QString::fromUtf8(build::kAuthorPage));
                QCOMPARE(ui.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 255));
                QVERIFY(about->isModal() && ui.cmdOK->isDefault());
                QCOMPARE(about->size(), QSize(382, 214));
                QCOMPARE(about->minimumSize(), about->maximumSize());
                if (!byKeyboard) {
                    QTest::mouseClick(ui.Label2, Qt::LeftButton);
                    QVERIFY(about->isVisible());
                    QTest::keyClick(about, Qt::Key_Escape); // as OK does
                    QVERIFY(!about->isVisible());
                    return;
                }
                // OK has the focus; the address, reached by Tab, shows it has it too.
                QVERIFY(QTest::qWaitForWindowActive(about));
                QCOMPARE(QApplication::focusWidget(), ui.cmdOK);
                QTest::keyClick(ui.cmdOK, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), ui.Label2);
                QVERIFY(ui.Label2->font().underline());
                QTest::keyClick(ui.Label2, Qt::Key_Return);
                QTest::keyClick(ui.Label2, Qt::Key_Space);
                QVERIFY(about->isVisible());
                QTest::keyClick(ui.Label2, Qt::Key_Tab);
                QVERIFY(!ui.Label2->font().underline());
                QTest::keyClick(ui.cmdOK, Qt::Key_Return);
                QCOMPARE(about->result(), int(QDialog::Accepted));
            });
            w->ui().About->trigger();
        }
        const QUrl address(QString::fromUtf8(build::kAuthorPage));
        QCOMPARE(w.openedUrls(), (QList<QUrl>{address, address, address}));
    }
};

TINTARA_TEST_MAIN(AboutWindowTest)
#include "tst_about.moc"
