#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "support/fakes.h"
#include "support/testregistry.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tintara;
using namespace tintara::test;

namespace {

using Channels = std::array<int, 6>;

void switchToFullColour(const TestWindow& w)
{
    if (w->web216Mode())
        w->ui().w216->trigger();
}

// On: foreground sliders disabled but shown, foreground bar hidden, box and menu mark set.
bool automaticColourOn(const TestWindow& w)
{
    const TintaraUi& ui = w->ui();
    const bool locked = !ui.Slider1[0]->isEnabled() && !ui.Slider1[1]->isEnabled() &&
                        !ui.Slider1[2]->isEnabled() && ui.Slider1[0]->isVisible();
    return locked && !ui.ForeBar->isVisible() && ui.FAutoCK->isChecked() && ui.fauto->isChecked();
}

bool automaticColourOff(const TestWindow& w)
{
    const TintaraUi& ui = w->ui();
    const bool free =
        ui.Slider1[0]->isEnabled() && ui.Slider1[1]->isEnabled() && ui.Slider1[2]->isEnabled();
    return free && ui.ForeBar->isVisible() && !ui.FAutoCK->isChecked() && !ui.fauto->isChecked();
}

} // namespace

class ColourToolsTest : public QObject
{
    Q_OBJECT
private slots:
    void automaticColourLocksTheForegroundAndGivesItBack()
    {
        TestWindow w;
        switchToFullColour(w);
        const TintaraUi& ui = w->ui();
        w.setChannels({12, 34, 56, 200, 100, 128});
        QVERIFY(automaticColourOff(w));

        ui.fauto->trigger();
        QVERIFY(automaticColourOn(w));
        QCOMPARE(w.channels(), (Channels{0, 255, 255, 200, 100, 128}));
        QCOMPARE(ui.cval[0]->text(), QStringLiteral("0"));
        QCOMPARE(ui.ColorCode[0]->text(), QStringLiteral("#00FFFF"));

        // Moving a background slider changes only its own pair.
        ui.Slider1[5]->setValue(120);
        ui.Slider1[5]->setFocus();
        QTest::keyClick(ui.Slider1[5], Qt::Key_PageUp);
        QCOMPARE(w.channels(), (Channels{0, 255, 0, 200, 100, 136}));

        ui.fauto->trigger();
        QVERIFY(automaticColourOff(w));
        QCOMPARE(w.channels(), (Channels{12, 34, 56, 200, 100, 136}));
        QCOMPARE(ui.ColorCode[0]->text(), QStringLiteral("#0C2238"));

        // The box drives the menu mark too; values already automatic are saved as they are.
        w.setChannels({255, 255, 255, 0, 0, 0});
        ui.FAutoCK->click();
        QVERIFY(automaticColourOn(w));
        ui.FAutoCK->click();
        QVERIFY(automaticColourOff(w));
        QCOMPARE(w.channels(), (Channels{255, 255, 255, 0, 0, 0}));
    }

    void brightnessButtonsStepTheirColourAndRedrawIt()
    {
        TestWindow w;
        switchToFullColour(w);
        const TintaraUi& ui = w->ui();
        w.setChannels({100, 150, 200, 5, 200, 200});
        const QImage backBar = ui.BackBar->buffer().copy();
        ui.Bright[0]->click();
        QCOMPARE(w.channels(), (Channels{110, 160, 210, 5, 200, 200}));
        QCOMPARE(ui.cval[2]->text(), QStringLiteral("210"));
        QCOMPARE(ui.ColorCode[0]->text(), QStringLiteral("#6EA0D2"));
        QCOMPARE(ui.ForeBar->buffer().pixel(110, 5), qRgb(255, 255, 255)); // the mark
        QCOMPARE(ui.BackBar->buffer(), backBar);

        ui.Bright[2]->click();
        QCOMPARE(w.channels(), (Channels{110, 160, 210, 15, 210, 210}));
        QCOMPARE(ui.BackBar->buffer().pixel(15, 5), qRgb(255, 255, 255));
        QCOMPARE(ui.Picture1->buffer().pixel(1, 1), qRgb(15, 210, 210));
    }

    void refusedBrightnessStepChangesAndRedrawsNothing()
    {
        TestWindow w;
        switchToFullColour(w);
        const TintaraUi& ui = w->ui();
        // Set by code, so nothing shows these values yet: any redraw would.
        w.setChannels({250, 100, 100, 5, 200, 200});
        const QImage preview = ui.Picture1->buffer().copy();
        const QImage foreBar = ui.ForeBar->buffer().copy();
        const QImage backBar = ui.BackBar->buffer().copy();
        ui.Bright[0]->click();
        ui.Bright[3]->click();
        QCOMPARE(w.channels(), (Channels{250, 100, 100, 5, 200, 200}));
        QCOMPARE(ui.Picture1->buffer(), preview);
        QCOMPARE(ui.ForeBar->buffer(), foreBar);
        QCOMPARE(ui.BackBar->buffer(), backBar);
    }

    void webSafeBrightnessStepsBy51AndIsNotRounded()
    {
        TestWindow w;
        const TintaraUi& ui = w->ui();
        w.setChannels({100, 100, 100, 255, 255, 204});
        ui.Bright[2]->click();
        ui.Bright[0]->click();
        QCOMPARE(w.channels(), (Channels{151, 151, 151, 255, 255, 204}));
        QCOMPARE(ui.ColorCode[0]->text(), QStringLiteral("#979797"));
        QCOMPARE(ui.cval[1]->text(), QStringLiteral("151"));
        ui.Bright[0]->click();
        ui.Bright[0]->click();
        ui.Bright[0]->click();
        QCOMPARE(w->FC(0), 253);
    }

    void brightnessStepsNeverRunTheAutomaticRule()
    {
        TestWindow w;
        switchToFullColour(w);
        const TintaraUi& ui = w->ui();
        w.setChannels({12, 34, 56, 120, 120, 120});
        ui.FAutoCK->setChecked(true);
        ui.Bright[2]->click(); // 130 would give black text if the rule ran
        QCOMPARE(w.channels(), (Channels{255, 255, 255, 130, 130, 130}));
        ui.Bright[1]->click(); // the locked foreground still answers its own buttons
        QCOMPARE(w.channels(), (Channels{245, 245, 245, 130, 130, 130}));
        ui.FAutoCK->setChecked(false);
        QCOMPARE(w.channels(), (Channels{12, 34, 56, 130, 130, 130}));
    }
};

TINTARA_TEST(ColourToolsTest)
#include "tst_colourtools.moc"
