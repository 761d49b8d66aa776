#include "app/settingvalues.h"
#include "app/windowplacement.h"
#include "support/fakes.h"

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
        TestWindow w({{"window/Top", "900"}, {"window/Left", "1500"}});
        w->close();
        QCOMPARE(w.store().writes,
                 (QStringList{"window/Top=900", "window/Left=1500", "param/fauto=0",
                              "pass/w216=True", "color/fr=0", "color/fg=0", "color/fb=0",
                              "color/br=255", "color/bg=255", "color/bb=255", "ColorList/No.0="}));
        QCOMPARE(w.store().commits, 1);
    }

    void storedAutomaticColorReplacesTheTextColorAndIsWrittenBackEvenUnderAPicture()
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
        // On the 800 x 800 screen, 100 pixels of the title bar are enough.
        TestWindow edge({{"window/Top", "1500"}, {"window/Left", "10500"}});
        QCOMPARE(edge->geometry().topLeft(), QPoint(700, 100));
        TestWindow topOnly({{"window/Top", "1500"}});
        QCOMPARE(topOnly->geometry().top(), 100);

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

    void placeIsNotWrittenWhereThePlatformCannotTellIt()
    {
        TintaraServices services;
        services.settings = std::make_unique<MemorySettingsStore>();
        const auto& store = static_cast<MemorySettingsStore&>(*services.settings);
        services.windowPositionKnown = false;
        Tintara window(std::move(services));
        window.Form_Load();
        window.close();
        QCOMPARE(store.writes.filter("window/"), QStringList());
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
                     {"255", 255, F, 1, 255},
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

    void setsChangedElsewhereAreKeptAndNamesSurviveTheFile()
    {
        // Another copy of the program deletes the set, then this one saves one and closes.
        const SettingsFolder config;
        const auto w = startProgram();
        w->saveColorSet(u"A"_s, u"#000000,#FFFFFF"_s);
        QVERIFY(writeFile(config.file(), "[ColorList]\nNo.0=\n"));
        // A name the file format would otherwise read as a value of another kind.
        const QString name = u"@夜 空; \"q\" \\"_s;
        w->saveColorSet(name, u"#000000,#FFFFFF"_s);
        w->close();
        QVERIFY(readFile(config.file())
                    .startsWith("[ColorList]\nNo.0=\"@@\xE5\xA4\x9C \xE7\xA9\xBA; \\\"q\\\" "
                                "\\\\,#000000,#FFFFFF\"\nNo.1=\n\n"));
        QCOMPARE(startProgram()->colorSetNames(), QStringList{name});
    }
};

TINTARA_TEST_MAIN(SettingsTest)
#include "tst_settings.moc"
