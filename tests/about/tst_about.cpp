#include "about/frmabout.h"
#include "support/fakes.h"

using namespace tintara;
using namespace tintara::test;

class AboutWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void showsItsTextsAndOpensTheAddressByMouseOrKeyboard()
    {
        TestWindow w;
        onModal<frmAbout>([&](frmAbout* about) {
            const FrmAboutUi& ui = about->ui();
            QCOMPARE(
                (QStringList{about->windowTitle(), ui.lblTitle->text(), ui.lblVersion->text(),
                             ui.lblDescription->text(), ui.Label2->text()}),
                (QStringList{u"Tintaraのﾊﾞｰｼﾞｮﾝ情報"_s, u"Tintara for Linux"_s, u"ﾊﾞｰｼﾞｮﾝ 3.0.17"_s,
                             u"作者：\r\n    Example Author（author@example.org）\r\n"
                             "    Copyright (C) Example Author. Freeware."_s,
                             u"https://www.example.org/author/"_s}));
            QCOMPARE(ui.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            QVERIFY(about->isModal() && ui.cmdOK->isDefault());
            QCOMPARE(about->minimumSize(), QSize(382, 214));
            QCOMPARE(about->maximumSize(), about->minimumSize());
            // The address, reached by Tab, shows that it has the focus.
            QTRY_COMPARE(QApplication::focusWidget(), ui.cmdOK);
            QTest::keyClick(ui.cmdOK, Qt::Key_Tab);
            QVERIFY(ui.Label2->font().underline());
            QTest::keyClick(ui.Label2, Qt::Key_Return);
            QTest::keyClick(ui.Label2, Qt::Key_Space);
            QTest::keyClick(ui.Label2, Qt::Key_Tab);
            QVERIFY(!ui.Label2->font().underline());
            QTest::mouseClick(ui.Label2, Qt::LeftButton);
            // A press on the address that is let go elsewhere opens nothing.
            QTest::mousePress(ui.Label2, Qt::LeftButton);
            QTest::mouseRelease(ui.Label2, Qt::LeftButton, {}, QPoint(-5, -5));
            QTest::keyClick(ui.cmdOK, Qt::Key_Return);
            QCOMPARE(about->result(), int(QDialog::Accepted));
        });
        w->ui().About->trigger();
        QCOMPARE(w.openedUrls(), QList<QUrl>(3, QUrl(u"https://www.example.org/author/"_s)));
    }
};

TINTARA_TEST_MAIN(AboutWindowTest)
#include "tst_about.moc"
