#include "app/settingvalues.h"
#include "app/windowplacement.h"
#include "sets/frmsavecolor.h"
#include "support/fakes.h"

#include <QScreen>
#include <QTimer>
#include <csignal>

using namespace tintara;
using namespace tintara::test;

namespace {

void saveSetAs(Tintara& window, const QString& name)
{
    onModal<frmSaveColor>([&name](frmSaveColor* dialog) {
        QTest::keyClicks(dialog->ui().ColorName->lineEdit(), name);
        QTest::keyClick(dialog->ui().ColorName->lineEdit(), Qt::Key_Return);
    });
    window.ui().AddBtn->click();
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void closingWritesEveryValueInItsOrderEndingTheSetsWithAnEmptyKey()
    {
        TestWindow w({{"window/Top", "900"}, {"window/Left", "1500"}});
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
        QTemporaryDir dir;
        dropFiles(w->ui().Picture1, {savePicture(dir, u"tile.bmp"_s, patternPicture(2, 2))});
        QVERIFY(!w->ui().FAutoCK->isChecked());
        w->close();
        QVERIFY(w.store().writes.contains("param/fauto=1"));
    }

    void positionIsTheClientAreaInTwipsKeptWhileItsTitleBarCanBeReached()
    {
        // On the 800 x 800 screen, 100 pixels of the title bar are enough; far off, the window
        // comes back whole into the nearest corner.
        TestWindow edge({{"window/Top", "1500"}, {"window/Left", "10500"}});
        QCOMPARE(edge->geometry().topLeft(), QPoint(700, 100));
        TestWindow topOnly({{"window/Top", "1500"}});
        QCOMPARE(topOnly->geometry().top(), 100);
        TestWindow far({{"window/Top", "999999"}, {"window/Left", "999999"}});
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(far->frameGeometry().bottomRight(), screen.bottomRight());

        // Closed maximised or minimised, the window keeps the place it had before.
        for (const Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
            TestWindow m({{"window/Top", "1350"}, {"window/Left", "1800"}});
            m->setWindowState(state);
            QTest::qWait(20);
            m->close();
            QCOMPARE(m.store().writes.mid(0, 2),
                     (QStringList{"window/Top=1350", "window/Left=1800"}));
        }
    }

    void storedTextsReadAsValuesOrGiveTheFallback()
    {
        // F: the fallback. A channel is 0..255, a check value 0 or 1, a truth a word or a number,
        // a position finite and within 2^24 either way.
        constexpr int F = -7;
        const struct
        {
            const char* text;
            int channel, check, truth;
            float position;
        } cases[] = {{" 51.4 ", 51, F, 1, 51.4f},
                     {"0.5", 0, 0, 1, 0.5f},
                     {"1", 1, 1, 1, 1},
                     {"2", 2, F, 1, 2},
                     {"0", 0, 0, 0, 0},
                     {"fALSE", F, F, 0, F},
                     {"True", F, F, 1, F},
                     {"256", F, F, 1, 256},
                     {"-1", F, F, 1, -1},
                     {"inf", F, F, F, F},
                     {"16777216", F, F, 1, 16777216},
                     {"-16777217", F, F, 1, F},
                     {"abc", F, F, F, F}};
        for (const auto& c : cases) {
            const QString text = QString::fromUtf8(c.text);
            QCOMPARE(settings::toChannel(text, F), c.channel);
            QCOMPARE(settings::toCheckValue(text, F), c.check);
            for (const bool fallback : {false, true})
                QCOMPARE(settings::toTruth(text, fallback), c.truth == F ? fallback : c.truth == 1);
            QCOMPARE(settings::toPosition(text, F), c.position);
        }
        QCOMPARE(settings::fromNumber(16777216.0f), u"16777216"_s);
        QCOMPARE(settings::fromNumber(-12.5f), u"-12.5"_s);
        QCOMPARE(settings::fromNumber(0.1f), u"0.1"_s);
    }

    void placeIsKeptWhileTheTitleBarCanBeReachedElseMovedWholeOntoTheNearestScreen()
    {
        const QList<QRect> one{{0, 0, 800, 600}};
        const QList<QRect> two{{0, 0, 800, 600}, {800, 0, 1024, 768}};
        const QSize frame(671, 331);
        const struct
        {
            QList<QRect> screens;
            QRect at;
            QPoint placed;
        } cases[] = {{one, {{-150, 100}, frame}, {-150, 100}}, // 521 pixels of the title bar shown
                     {one, {{700, 100}, frame}, {700, 100}},   // 100 shown
                     {one, {{701, 100}, frame}, {129, 100}},   // 99: moved no further than needed
                     {one, {{10, 580}, frame}, {10, 580}},     // 20 rows shown
                     {one, {{10, 581}, frame}, {10, 269}},
                     {one, {{10, -1}, frame}, {10, 0}},
                     {one, {{-50, -50}, QSize(900, 700)}, {0, 0}}, // larger than the screen
                     {two, {{999999, 999999}, frame}, {1153, 437}},
                     {two, {{-5000, 300}, frame}, {0, 269}},
                     {two, {{-100, 700}, frame}, {0, 269}},
                     {{}, {{-5000, 300}, frame}, {-5000, 300}}};
        for (const auto& c : cases) {
            const QPoint placed = titleBarReachable(c.at, c.screens)
                                      ? c.at.topLeft()
                                      : placedWholeOnNearestScreen(c.at, c.screens);
            QCOMPARE(placed, c.placed);
        }
    }

    void terminationSignalCancelsAnOpenDialogAndClosesTheWindow()
    {
        TestWindow w;
        bool dialogUp = false;
        QTimer::singleShot(0, [&dialogUp, &w] {
            dialogUp = QApplication::activeModalWidget() != nullptr;
            emit w.termination().requested(SIGHUP);
        });
        w->ui().SaveColor->trigger();
        QVERIFY(dialogUp);
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(w->colorSetNames(), QStringList());
        QCOMPARE(w.store().commits, 1);
    }

    void setsOfTwoWindowsOverOneFileAreAllKeptWhicheverClosesFirst()
    {
        for (const bool firstClosesFirst : {true, false}) {
            const SettingsFolder config;
            QVERIFY(writeFile(config.file(), "[ColorList]\nNo.0=\"Old,#000000,#FFFFFF\"\n"));
            const auto first = startProgram();
            // The second reaches the file through a linked folder, so that it shares nothing of
            // what this process has read of it, as another copy of the program would.
            const QString linked = config.path() + u"-linked"_s;
            QVERIFY(QFile::link(config.path(), linked));
            const SettingsFolder other(linked);
            const auto second = startProgram();
            saveSetAs(*first, u"FromA"_s);
            saveSetAs(*second, u"FromB"_s);
            second->selectColorSet(0);
            second->ui().DelList->click();
            // Written as soon as they change, before any window closes; the end marker of the
            // longer list before stays.
            QCOMPARE(readFile(config.file()), "[ColorList]\nNo.0=\"FromA,#000000,#FFFFFF\"\n"
                                              "No.1=\"FromB,#000000,#FFFFFF\"\nNo.2=\nNo.3=\n");
            (firstClosesFirst ? first : second)->close();
            (firstClosesFirst ? second : first)->close();
            QCOMPARE(startProgram()->colorSetNames(), (QStringList{"FromA", "FromB"}));
            QFile::remove(linked);
        }
    }

    void aSetDeletedElsewhereIsNotWrittenBack()
    {
        const SettingsFolder config;
        const auto w = startProgram();
        w->saveColorSet(u"A"_s, u"#000000,#FFFFFF"_s);
        QVERIFY(writeFile(config.file(), "[ColorList]\nNo.0=\n"));
        w->saveColorSet(u"B"_s, u"#000000,#FFFFFF"_s);
        QCOMPARE(readFile(config.file()), "[ColorList]\nNo.0=\"B,#000000,#FFFFFF\"\nNo.1=\n");
    }

    void everythingSurvivesARestartInThePlainTextFile()
    {
        SettingsFolder config;
        QVERIFY(writeFile(config.file(), "[ColorList]\nNo.3=\"Old,#000000,#FFFFFF\"\n"));
        {
            const auto first = startProgram();
            first->ui().w216->trigger();
            first->saveColorSet(u"Sea"_s, u"#000080,#FEDCBA"_s);
            // A name the file format would otherwise read as a value of another kind.
            first->saveColorSet(u"@夜 空; \"q\" \\"_s, u"#FFFF00,#000000"_s);
            first->selectColorSet(0);
            first->ui().ColorCode[0]->setText(u"#123456"_s);
            first->setGeometry(QRect(QPoint(150, 70), first->size()));
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
        QCOMPARE(second->ui().ColorCmbo->itemData(1).toString(), u"#FFFF00,#000000"_s);
        QCOMPARE(channelsOf(*second), (Channels{0x12, 0x34, 0x56, 0xFE, 0xDC, 0xBA}));
        QCOMPARE(second->geometry().topLeft(), QPoint(150, 70));
        second->close();
        QCOMPARE(readFile(config.file()), written);
    }
};

TINTARA_TEST_MAIN(SettingsTest)
#include "tst_settings.moc"
