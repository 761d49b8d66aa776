#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "support/fakes.h"
#include "support/input.h"
#include "support/testregistry.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace tintara;
using namespace tintara::test;

namespace {

using Channels = std::array<int, 6>;

void pressKeyOn(ChannelSlider* slider, Qt::Key key)
{
    slider->setFocus();
    QTest::keyClick(slider, key);
}

void typeCode(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

void switchToFullColour(const TestWindow& w)
{
    if (w->web216Mode())
        w->ui().w216->trigger();
    QVERIFY(!w->web216Mode());
}

int pixelsOfColour(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void firstStartIsBlackOnWhiteInWebSafeMode()
    {
        TestWindow w;
        const TintaraUi& ui = w->ui();
        QCOMPARE(w->windowTitle(), QStringLiteral("Tintara : Web216 Mode"));
        QVERIFY(w->web216Mode());
        QVERIFY(ui.w216->isChecked());
        QCOMPARE(w.channels(), (Channels{0, 0, 0, 255, 255, 255}));
        const QString labels[6] = {"0", "0", "0", "255", "255", "255"};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(ui.cval[i]->text(), labels[i]);
            QCOMPARE(ui.Slider1[i]->pageStep(), 51);
            QCOMPARE(ui.Slider1[i]->singleStep(), 1);
        }
        QCOMPARE(ui.ColorCode[0]->text(), QStringLiteral("#000000"));
        QCOMPARE(ui.ColorCode[1]->text(), QStringLiteral("#FFFFFF"));
        QVERIFY(!ui.FAutoCK->isChecked());
        QVERIFY(!ui.fauto->isChecked());
        QCOMPARE(ui.ColorCmbo->count(), 0);
        QCOMPARE(ui.ColorCmbo->currentIndex(), -1);
        QVERIFY(!ui.bmpbg->isEnabled());
        QVERIFY(!ui.bmpbg->isChecked());
        QCOMPARE(ui.Picture1->buffer().pixel(2, 2), qRgb(255, 255, 255));
        QCOMPARE(w->twipsPerPixel(), 15.0f);
    }

    void controlsSitAtTheirDesignPlaces()
    {
        TestWindow w;
        const TintaraUi& ui = w->ui();
        QCOMPARE(w->centralWidget()->size(), QSize(669, 308));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(ui.Picture1->geometry(), QRect(0, 0, 318, 263));
        QCOMPARE(ui.Frame1->geometry(), QRect(328, 37, 331, 260));
        QCOMPARE(ui.ForeBar->geometry(), QRect(60, 62, 256, 60));
        QCOMPARE(ui.BackBar->geometry(), QRect(63, 192, 256, 60));
        QCOMPARE(ui.Slider1[2]->geometry(), QRect(223, 24, 100, 40));
        QCOMPARE(ui.ColorCode[1]->geometry(), QRect(139, 278, 67, 18));
        QCOMPARE(ui.AddBtn->text(), QStringLiteral("ADD"));
        QCOMPARE(ui.DelList->text(), QStringLiteral("DEL"));
        QCOMPARE(ui.HTMLBtn->text(), QStringLiteral("HTML"));
        QCOMPARE(ui.FAutoCK->text(), QStringLiteral("前景色自動"));
        QCOMPARE(ui.Bright[0]->text(), QStringLiteral("▲"));
        QCOMPARE(ui.Bright[3]->text(), QStringLiteral("▼"));
        QCOMPARE(ui.Label2[4]->text(), QStringLiteral("緑"));
        QCOMPARE(ui.lbl[3]->text(), QStringLiteral("背"));

        const QList<QAction*> items = ui.func->actions();
        const QStringList captions{"背景ビットマップ読み込み",
                                   "ビットマップ背景",
                                   "Web216",
                                   "前景色自動",
                                   "前景色コピー",
                                   "背景色コピー",
                                   "HTML生成",
                                   "色保存..."};
        const QStringList shortcuts{"Ctrl+O", "Ctrl+X", "Ctrl+W", "Ctrl+Q",
                                    "Ctrl+F", "Ctrl+B", "Ctrl+H", ""};
        QCOMPARE(items.size(), 8);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(items[i]->text(), captions[i]);
            QCOMPARE(items[i]->shortcut().toString(), shortcuts[i]);
        }
        QCOMPARE(ui.func->title(), QStringLiteral("機能"));
        const QList<QAction*> bar = w->menuBar()->actions();
        QCOMPARE(bar.size(), 2);
        QCOMPARE(bar[1], ui.About);
        QCOMPARE(ui.About->text(), QStringLiteral("情報"));
        QVERIFY(!ui.About->menu());
    }

    void valuesSetByCodeOnlyUpdateTheirLabels()
    {
        TestWindow w;
        const TintaraUi& ui = w->ui();
        ui.FAutoCK->setChecked(true);
        const Channels before = w.channels();
        ui.Slider1[3]->setValue(140);
        QCOMPARE(ui.cval[3]->text(), QStringLiteral("140"));
        QCOMPARE(ui.Slider1[3]->value(), 140);                        // not rounded
        QCOMPARE(w->FC(0), before[0]);                                // no automatic text colour
        QCOMPARE(ui.ColorCode[1]->text(), QStringLiteral("#FFFFFF")); // no redraw
    }

    void keysOnAFocusedSliderApplyTheChannelRules()
    {
        TestWindow w;
        const TintaraUi& ui = w->ui();
        // A single step is rounded back to the same web-safe value; a page moves by 51.
        pressKeyOn(ui.Slider1[3], Qt::Key_Left);
        QCOMPARE(w->BC(0), 255);
        QCOMPARE(ui.cval[3]->text(), QStringLiteral("255"));
        pressKeyOn(ui.Slider1[3], Qt::Key_PageDown);
        QCOMPARE(w->BC(0), 204);
        QCOMPARE(ui.ColorCode[1]->text(), QStringLiteral("#CCFFFF"));
        QCOMPARE(ui.Picture1->buffer().pixel(2, 2), qRgb(204, 255, 255));
        QVERIFY(!w->updating());

        // Web-safe and automatic together: 140 rounds to 153, whose text colour is 0.
        ui.FAutoCK->setChecked(true);
        ui.Slider1[5]->setValue(139);
        pressKeyOn(ui.Slider1[5], Qt::Key_Right);
        QCOMPARE(w->BC(2), 153);
        QCOMPARE(w->FC(2), 0);
    }

    void automaticTextColourSplitsAt128()
    {
        TestWindow w;
        switchToFullColour(w);
        const TintaraUi& ui = w->ui();
        w.setChannels({12, 34, 56, 127, 200, 200});
        pressKeyOn(ui.Slider1[3], Qt::Key_Right); // automatic colour off: nothing follows
        QCOMPARE(w.channels(), (Channels{12, 34, 56, 128, 200, 200}));

        ui.FAutoCK->setChecked(true);
        ui.Slider1[3]->setValue(127);
        pressKeyOn(ui.Slider1[3], Qt::Key_Right);
        QCOMPARE(w->FC(0), 255);
        pressKeyOn(ui.Slider1[3], Qt::Key_Right);
        QCOMPARE(w->FC(0), 0);
        // Only the pair of the moved channel follows; a foreground slider never triggers it.
        QCOMPARE(w->BC(0), 129);
        const int green = w->FC(1);
        const int blue = w->FC(2);
        ui.Slider1[1]->setEnabled(true);
        pressKeyOn(ui.Slider1[1], Qt::Key_Right);
        QCOMPARE(w->FC(1), green + 1);
        QCOMPARE(w->FC(2), blue);
    }

    void switchingWebSafeOnRoundsAllSixInOrder()
    {
        TestWindow w;
        switchToFullColour(w);
        const TintaraUi& ui = w->ui();
        QCOMPARE(w->windowTitle(), QStringLiteral("Tintara : Full Color Mode"));
        QCOMPARE(ui.Slider1[0]->pageStep(), 16);
        w.setChannels({25, 26, 127, 128, 229, 230});

        QList<int> order;
        for (int i = 0; i < 6; ++i)
            connect(ui.Slider1[i], &ChannelSlider::changed, this, [&order, i] { order << i; });
        ui.w216->trigger();
        QCOMPARE(w.channels(), (Channels{0, 51, 102, 153, 204, 255}));
        QCOMPARE(order, (QList<int>{0, 1, 2, 3, 4, 5}));
        QVERIFY(ui.w216->isChecked());
        QCOMPARE(w->windowTitle(), QStringLiteral("Tintara : Web216 Mode"));
        QCOMPARE(ui.Slider1[4]->pageStep(), 51);
        QCOMPARE(ui.ColorCode[0]->text(), QStringLiteral("#003366"));

        // Off and on again: multiples of 51 stay where they are.
        ui.w216->trigger();
        ui.w216->trigger();
        QCOMPARE(w.channels(), (Channels{0, 51, 102, 153, 204, 255}));
    }

    void switchingWebSafeOnWithAutomaticColourDerivesTextFromRoundedBackground()
    {
        TestWindow w;
        switchToFullColour(w);
        w->ui().FAutoCK->setChecked(true);
        w.setChannels({12, 34, 56, 140, 100, 26});
        w->ui().w216->trigger();
        QCOMPARE(w.channels(), (Channels{0, 255, 255, 153, 102, 51}));
    }

    void barsPickTheValueUnderThePointer()
    {
        TestWindow w;
        switchToFullColour(w);
        Canvas* back = w->ui().BackBar;
        pressMouse(back, QPoint(127, 30));
        releaseMouse(back, QPoint(127, 30));
        QCOMPARE(w->BC(1), 127);
        pressMouse(back, QPoint(128, 30));
        releaseMouse(back, QPoint(128, 30));
        QCOMPARE(w->BC(1), 128);
        QCOMPARE(w->ui().ColorCode[1]->text(), QStringLiteral("#FF80FF"));

        w->ui().w216->trigger();
        const std::pair<int, int> cells[] = {{0, 0},     {42, 0},    {43, 51},
                                             {213, 204}, {214, 255}, {255, 255}};
        for (const auto& [x, value] : cells) {
            pressMouse(back, QPoint(x, 50));
            releaseMouse(back, QPoint(x, 50));
            QCOMPARE(w->BC(2), value);
        }
    }

    void draggingOnABarMovesThePreviewAndRedrawsTheBarOnRelease()
    {
        TestWindow w;
        switchToFullColour(w);
        Canvas* fore = w->ui().ForeBar;
        pressMouse(fore, QPoint(10, 5));
        QCOMPARE(w->FC(0), 10);
        dragMouse(fore, QPoint(100, 5));
        QCOMPARE(w->FC(0), 100);
        QCOMPARE(w->ui().ColorCode[0]->text(), QStringLiteral("#640000"));
        // The bar still shows the state from before the drag until the button is released.
        QVERIFY(fore->buffer().pixel(100, 5) != qRgb(255, 255, 255));
        QCOMPARE(fore->buffer().pixel(0, 5), qRgb(255, 255, 255));
        // Below the bar nothing is picked; a move without the button picks nothing either.
        dragMouse(fore, QPoint(150, 70));
        dragMouse(fore, QPoint(150, 5), Qt::NoButton);
        QCOMPARE(w.channels(), (Channels{100, 0, 0, 255, 255, 255}));
        releaseMouse(fore, QPoint(150, 70));
        QCOMPARE(fore->buffer().pixel(100, 5), qRgb(255, 255, 255));
    }

    void otherButtonsPickNothingButTheirReleaseRedrawsTheBar()
    {
        TestWindow w;
        switchToFullColour(w);
        Canvas* back = w->ui().BackBar;
        w->ui().Slider1[3]->setValue(100);
        QCOMPARE(back->buffer().pixel(100, 5), qRgb(100, 255, 255));
        pressMouse(back, QPoint(20, 5), Qt::RightButton);
        QCOMPARE(w->BC(0), 100);
        releaseMouse(back, QPoint(20, 5), Qt::RightButton);
        QCOMPARE(back->buffer().pixel(100, 5), qRgb(255, 255, 255));
    }

    void typedCodeAppliesOnlyWhenComplete()
    {
        TestWindow w;
        switchToFullColour(w);
        QLineEdit* box = w->ui().ColorCode[0];
        const QImage backBarBefore = w->ui().BackBar->buffer().copy();
        typeCode(box, QStringLiteral("#00ff8"));
        QCOMPARE(w.channels(), (Channels{0, 0, 0, 255, 255, 255}));
        QCOMPARE(box->text(), QStringLiteral("#00ff8"));
        QTest::keyClicks(box, QStringLiteral("0"));
        QCOMPARE(w.channels(), (Channels{0, 255, 128, 255, 255, 255}));
        QCOMPARE(box->text(), QStringLiteral("#00FF80"));
        QCOMPARE(w->ui().ForeBar->buffer().pixel(128, 45), qRgb(255, 255, 255));
        QCOMPARE(w->ui().BackBar->buffer(), backBarBefore);

        typeCode(box, QStringLiteral("#00FF800"));
        QCOMPARE(w->FC(2), 128);
        typeCode(box, QStringLiteral("#12ZZ56"));
        QCOMPARE(w.channels(), (Channels{18, 0, 86, 255, 255, 255}));
    }

    void typedCodesAreRoundedInWebSafeModeAndDoNotDriveTheTextColour()
    {
        TestWindow w;
        w->ui().FAutoCK->setChecked(true);
        typeCode(w->ui().ColorCode[1], QStringLiteral("#197F80"));
        QCOMPARE(w->BC(0), 0);
        QCOMPARE(w->BC(1), 102);
        QCOMPARE(w->BC(2), 153);
        QCOMPARE(w->ui().ColorCode[1]->text(), QStringLiteral("#006699"));
        QCOMPARE(w->ui().cval[5]->text(), QStringLiteral("153"));
        QCOMPARE(w->ui().BackBar->buffer().pixel(128, 45), qRgb(255, 255, 255));
        typeCode(w->ui().ColorCode[1], QStringLiteral("#1A0000"));
        QCOMPARE(w->BC(0), 51);
    }

    void previewShowsTextInTheForegroundOverTheBackground()
    {
        TestWindow w;
        switchToFullColour(w);
        typeCode(w->ui().ColorCode[1], QStringLiteral("#204060"));
        typeCode(w->ui().ColorCode[0], QStringLiteral("#F0E0D0"));
        const QImage preview = w->ui().Picture1->buffer();
        QCOMPARE(preview.pixel(1, 1), qRgb(0x20, 0x40, 0x60));
        QCOMPARE(preview.pixel(preview.width() - 1, preview.height() - 1), qRgb(0x20, 0x40, 0x60));
        QVERIFY(pixelsOfColour(preview, qRgb(0xF0, 0xE0, 0xD0)) > 200);
        // The drawing is what the window shows, and it survives being hidden and shown.
        w->hide();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->ui().Picture1->grab().toImage().pixel(1, 1), qRgb(0x20, 0x40, 0x60));
    }
};

TINTARA_TEST(MainWindowTest)
#include "tst_mainwindow.moc"
