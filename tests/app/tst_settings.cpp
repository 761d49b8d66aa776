#include "app/settingvalues.h"
#include "platform/channelslider.h"
#include "support/fakes.h"
#include "support/testregistry.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>

using namespace tintara;
using namespace tintara::test;

namespace {

QStringList colorListWrites(const MemorySettingsStore& store)
{
    return store.writes.filter(QStringLiteral("ColorList/"));
}

// Whether SIGTERM is caught by the process, as read from /proc.
bool catchesTerminate(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    }
    return false;
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void storedTextsConvertOrFallBackAndNumbersAreWrittenPlainly()
    {
        using namespace settings;
        QCOMPARE(toChannel(" 12.5 ", 0), 12);
        QCOMPARE(toChannel("1e2", 0), 100);
        for (const char* bad : {"", "abc", "12abc", "256", "-1", "nan", "0x10", "1,5"})
            QCOMPARE(toChannel(QString::fromLatin1(bad), 7), 7);
        QCOMPARE(toCheckValue("2", 0), 0);
        QCOMPARE(toTruth("FALSE", true), false);
        QCOMPARE(toTruth("-2", false), true);
        QCOMPARE(toTruth("yes", false), false);
        for (const char* bad : {"top", "-inf", "1e30"})
            QCOMPARE(toPosition(QString::fromLatin1(bad), 5), 5.0f);

        QCOMPARE(fromNumber(1500.0f), QStringLiteral("1500"));
        QCOMPARE(fromNumber(-16777216.0f), QStringLiteral("-16777216"));
        QCOMPARE(fromNumber(12.5f), QStringLiteral("12.5"));
        for (const float v : {1309.0909f, -0.1f, 1.0f / 3.0f})
            QCOMPARE(toPosition(fromNumber(v), 0), v);
    }

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

    void fewerSetsEndEarlierAndLeaveTheOlderKeysUnread()
    {
        QMap<QString, QString> stored;
        for (int i = 0; i < 5; ++i)
            stored.insert(QStringLiteral("ColorList/No.%1").arg(i),
                          QStringLiteral("Set%1,#000000,#FFFFFF").arg(i));
        TestWindow w(stored);
        w->selectColorSet(3);
        w->DelList_Click();
        w->selectColorSet(1);
        w->DelList_Click();
        w->close();
        QCOMPARE(colorListWrites(w.store()),
                 (QStringList{"ColorList/No.0=Set0,#000000,#FFFFFF",
                              "ColorList/No.1=Set2,#000000,#FFFFFF",
                              "ColorList/No.2=Set4,#000000,#FFFFFF", "ColorList/No.3="}));
        QCOMPARE(w.store().values.value("ColorList/No.4"), QStringLiteral("Set4,#000000,#FFFFFF"));

        TestWindow next(w.store().values);
        QCOMPARE(next->colorSetNames(), (QStringList{"Set0", "Set2", "Set4"}));
    }

    void storedSwitchesAreAppliedAndWrittenBack()
    {
        TestWindow w({{"pass/w216", "False"}, {"param/fauto", "1"}, {"color/br", "100"}});
        QVERIFY(!w->web216Mode());
        QCOMPARE(w->windowTitle(), QStringLiteral("Tintara : Full Color Mode"));
        QCOMPARE(w->ui().Slider1[0]->pageStep(), 16);
        QVERIFY(w->ui().FAutoCK->isChecked());
        QCOMPARE(w->BC(0), 100);
        // The automatic text colour replaces the stored one at start-up.
        QCOMPARE(w->FC(0), 255);
        QCOMPARE(w->FC(1), 0);
        QCOMPARE(w->FC(2), 0);
        w->close();
        QVERIFY(w.store().writes.contains("color/fr=255"));
        QVERIFY(w.store().writes.contains("pass/w216=False"));
        QVERIFY(w.store().writes.contains("param/fauto=1"));

        // While the picture background hides the check box, the switch kept aside is written.
        TestWindow picture;
        picture->ui().FAutoCK->setChecked(true);
        picture->SetBackgroundMode(false);
        QVERIFY(!picture->ui().FAutoCK->isChecked());
        picture->close();
        QVERIFY(picture.store().writes.contains("param/fauto=1"));
    }

    void positionIsKeptInTwipsAndAPlaceOffTheDesktopIsBroughtBack()
    {
        TestWindow w({{"window/Top", "1500"}, {"window/Left", "3000"}});
        QCOMPARE(w->pos(), QPoint(200, 100));
        w->close();
        QVERIFY(w.store().writes.contains("window/Top=1500"));
        QVERIFY(w.store().writes.contains("window/Left=3000"));

        TestWindow far({{"window/Top", "-90000"}, {"window/Left", "9000000"}});
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY2(screen.contains(QRect(far->pos(), QSize(120, 40))),
                 qPrintable(QStringLiteral("placed at %1,%2").arg(far->x()).arg(far->y())));
    }

    void minimisedOrMaximisedWindowStoresItsRestoredPlace()
    {
        for (const Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
            TestWindow w;
            w->move(120, 90);
            w->setWindowState(state);
            QTest::qWait(20);
            w->close();
            QVERIFY(w.store().writes.contains("window/Top=1350"));
            QVERIFY(w.store().writes.contains("window/Left=1800"));
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
            Tintara first;
            first.Form_Load();
            QVERIFY(QTest::qWaitForWindowExposed(&first));
            first.ui().w216->trigger();
            first.appendColorSet(QStringLiteral("Sea"), QStringLiteral("#000080,#FEDCBA"));
            first.appendColorSet(QStringLiteral("夜 空"), QStringLiteral("#FFFF00,#000000"));
            first.selectColorSet(0);
            first.ui().ColorCode[0]->setText(QStringLiteral("#123456"));
            first.move(150, 70);
            first.close();
            QCOMPARE(first.settingsProblem(), QString());
        }
        const QByteArray written = readFile(config.file());
        QCOMPARE(written, QByteArray("[ColorList]\n"
                                     "No.0=\"Sea,#000080,#FEDCBA\"\n"
                                     "No.1=\"\xE5\xA4\x9C \xE7\xA9\xBA,#FFFF00,#000000\"\n"
                                     "No.2=\n"
                                     "No.3=\"Old,#000000,#FFFFFF\"\n"
                                     "\n"
                                     "[color]\n"
                                     "bb=186\nbg=220\nbr=254\nfb=86\nfg=52\nfr=18\n"
                                     "\n"
                                     "[param]\nfauto=0\n"
                                     "\n"
                                     "[pass]\nw216=False\n"
                                     "\n"
                                     "[window]\nLeft=2250\nTop=1050\n"));

        Tintara second;
        second.Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QVERIFY(!second.web216Mode());
        QCOMPARE(second.colorSetNames(), (QStringList{"Sea", "夜 空"}));
        QCOMPARE(second.ui().ColorList, (QStringList{"#000080,#FEDCBA", "#FFFF00,#000000"}));
        QCOMPARE(second.ui().ColorCmbo->currentIndex(), -1);
        QCOMPARE(second.FC(0), 0x12);
        QCOMPARE(second.FC(2), 0x56);
        QCOMPARE(second.BC(0), 0xFE);
        QCOMPARE(second.BC(2), 0xBA);
        QCOMPARE(second.pos(), QPoint(150, 70));
        second.close();
        QCOMPARE(readFile(config.file()), written);
    }

    void terminatedProgramWritesItsSettingsFile()
    {
        QTemporaryDir config;
        const QString file = config.filePath(QStringLiteral("Tintara/Tintara.conf"));
        QVERIFY(writeFile(file,
                          "[color]\nfr=51\n[pass]\nw216=False\n[ColorList]\n"
                          "No.0=\"Sea,#000080,#FFFFFF\"\nNo.1=\nNo.4=\"Old,#000000,#FFFFFF\"\n"));
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(TINTARA_PROGRAM), QStringList());
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(catchesTerminate(program.processId()), 20000);
        program.terminate();
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);

        QSettings written(file, QSettings::IniFormat);
        QCOMPARE(written.value("color/fr").toString(), QStringLiteral("51"));
        QCOMPARE(written.value("color/bb").toString(), QStringLiteral("255"));
        QCOMPARE(written.value("pass/w216").toString(), QStringLiteral("False"));
        QCOMPARE(written.value("ColorList/No.0").toString(), QStringLiteral("Sea,#000080,#FFFFFF"));
        QCOMPARE(written.value("ColorList/No.1").toString(), QString());
        QCOMPARE(written.value("ColorList/No.4").toString(), QStringLiteral("Old,#000000,#FFFFFF"));
        QVERIFY(written.contains("window/Top"));
        QVERIFY(written.contains("param/fauto"));
    }
};

TINTARA_TEST(SettingsTest)
#include "tst_settings.moc"
