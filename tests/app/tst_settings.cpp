#include "support/fakes.h"

#include <QScreen>
#include <QTimer>
#include <csignal>

using namespace tintara;
using namespace tintara::test;

class SettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void closingWritesEveryValueInItsOrderEndingTheSetsWithAnEmptyKey()
    {
        TestWindow w;
        w->move(100, 60);
        w->close();
        QCOMPARE(w.store().writes,
                 (QStringList{"window/Top=900", "window/Left=1500", "param/fauto=0",
                              "pass/w216=True", "color/fr=0", "color/fg=0", "color/fb=0",
                              "color/br=255", "color/bg=255", "color/bb=255", "ColorList/No.0="}));
        QCOMPARE(w.store().commits, 1);
    }

    void storedAutomaticColourReplacesTheTextColourAndIsWrittenBackEvenUnderAPicture()
    {
        TestWindow w(
            {{"pass/w216", "False"}, {"param/fauto", "1"}, {"color/fr", "9"}, {"color/br", "100"}});
        QVERIFY(w->ui().FAutoCK->isChecked());
        QCOMPARE(w.channels(), (Channels{255, 0, 0, 100, 255, 255}));
        // While the picture background hides the check box, the switch kept aside is written.
        w->SetBackgroundMode(false);
        QVERIFY(!w->ui().FAutoCK->isChecked());
        w->close();
        QVERIFY(w.store().writes.contains("param/fauto=1"));
    }

    void positionIsKeptInTwipsOnTheDesktopAndUnmaximised()
    {
        TestWindow w({{"window/Top", "1500"}, {"window/Left", "3000"}});
        QCOMPARE(w->pos(), QPoint(200, 100));

        TestWindow far({{"window/Top", "-90000"}, {"window/Left", "9000000"}});
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY2(screen.contains(QRect(far->pos(), QSize(120, 40))),
                 qPrintable(u"placed at %1,%2"_s.arg(far->x()).arg(far->y())));

        for (const Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
            TestWindow m;
            m->move(120, 90);
            m->setWindowState(state);
            QTest::qWait(20);
            m->close();
            QCOMPARE(m.store().writes.mid(0, 2),
                     (QStringList{"window/Top=1350", "window/Left=1800"}));
        }
    }

    void terminationSignalCancelsAnOpenDialogAndClosesTheWindow()
    {
        TestWindow w;
        bool dialogUp = false;
        QTimer::singleShot(0, [&dialogUp] {
            dialogUp = QApplication::activeModalWidget() != nullptr;
            std::raise(SIGHUP);
        });
        w->SaveColor_Click();
        QVERIFY(dialogUp);
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(w->colorSetNames(), QStringList());
        QCOMPARE(w.store().commits, 1);
    }

    void everythingSurvivesARestartInThePlainTextFile()
    {
        SettingsFolder config;
        QVERIFY(writeFile(config.file(), "[ColorList]\nNo.3=\"Old,#000000,#FFFFFF\"\n"));
        {
            const auto first = startProgram();
            first->ui().w216->trigger();
            first->appendColorSet(u"Sea"_s, u"#000080,#FEDCBA"_s);
            // A name the file format would otherwise read as a value of another kind.
            first->appendColorSet(u"@夜 空; \"q\" \\"_s, u"#FFFF00,#000000"_s);
            first->selectColorSet(0);
            first->ui().ColorCode[0]->setText(u"#123456"_s);
            first->move(150, 70);
            first->close();
        }
        const QByteArray written = readFile(config.file());
        QCOMPARE(written,
                 QByteArray("[ColorList]\n"
                            "No.0=\"Sea,#000080,#FEDCBA\"\n"
                            "No.1=\"@@\xE5\xA4\x9C \xE7\xA9\xBA; \\\"q\\\" \\\\,#FFFF00,#000000\"\n"
                            "No.2=\n"
                            "No.3=\"Old,#000000,#FFFFFF\"\n\n"
                            "[color]\nbb=186\nbg=220\nbr=254\nfb=86\nfg=52\nfr=18\n\n"
                            "[param]\nfauto=0\n\n"
                            "[pass]\nw216=False\n\n"
                            "[window]\nLeft=2250\nTop=1050\n"));

        const auto second = startProgram();
        QVERIFY(!second->web216Mode());
        QCOMPARE(second->colorSetNames(), (QStringList{"Sea", "@夜 空; \"q\" \\"}));
        QCOMPARE(second->ui().ColorList, (QStringList{"#000080,#FEDCBA", "#FFFF00,#000000"}));
        QCOMPARE(channelsOf(*second), (Channels{0x12, 0x34, 0x56, 0xFE, 0xDC, 0xBA}));
        QCOMPARE(second->pos(), QPoint(150, 70));
        second->close();
        QCOMPARE(readFile(config.file()), written);
    }
};

TINTARA_TEST(SettingsTest)
#include "tst_settings.moc"
