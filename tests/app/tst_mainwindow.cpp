#include "about/frmabout.h"
#include "check/verdict.h"
#include "output/showhtml.h"
#include "preview/colorcode.h"
#include "sets/frmsavecolor.h"
#include "support/fakes.h"

#include <QAccessible>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSizeGrip>
#include <QStyleOptionSlider>

using namespace tintara;
using namespace tintara::test;

namespace {

// What a screen reader and the keyboard meet in a window: every control named, Tab (and
// Shift+Tab) going round the tab stops, and the program's icon.
void verifyWindow(QWidget* window, const QList<QWidget*>& tabs)
{
    // Plain containers and the inner parts of Qt's compound widgets (scroll bars, grips) aside.
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->isVisible() && widget->metaObject() != &QWidget::staticMetaObject &&
            !qobject_cast<QScrollBar*>(widget) && !qobject_cast<QSizeGrip*>(widget)) {
            const QString name =
                QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
            QVERIFY2(!name.trimmed().isEmpty(), widget->metaObject()->className());
        }
    }
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTRY_COMPARE(QApplication::focusWidget(), tabs.first());
    for (qsizetype i = 1; i <= tabs.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), tabs[i % tabs.size()]);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), tabs.last());

    const auto argb = [](const QPixmap& icon) {
        return icon.toImage().convertToFormat(QImage::Format_ARGB32);
    };
    QCOMPARE(argb(window->windowIcon().pixmap(32, 32)), argb(QPixmap(u":/icons/tintara-32.png"_s)));
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void firstStartIsBlackOnWhiteInWebSafeModeWithTheDesignSizeAndMenu()
    {
        TestWindow w;
        const TintaraUi& ui = w->ui();
        QCOMPARE(w->windowTitle(), u"Tintara : Web216 Mode"_s);
        QCOMPARE(ui.cval[5]->text(), u"255"_s);
        QCOMPARE(ui.ColorCode[0]->text(), u"#000000"_s);
        QCOMPARE(ui.ColorCode[1]->text(), u"#FFFFFF"_s);
        QCOMPARE(ui.Picture1->buffer().pixel(2, 2), kWhite);
        QVERIFY(ui.w216->isChecked() && !ui.FAutoCK->isChecked() && !ui.fauto->isChecked());
        QVERIFY(!ui.bmpbg->isEnabled() && !ui.bmpbg->isChecked());

        QCOMPARE(w->centralWidget()->size(), QSize(669, 308));
        QCOMPARE(w->minimumSize(), w->maximumSize());

        QStringList menu;
        for (const QAction* item : ui.func->actions())
            menu << item->text() + QLatin1Char(' ') + item->shortcut().toString();
        QCOMPARE(menu, (QStringList{"背景ビットマップ読み込み Ctrl+O", "ビットマップ背景 Ctrl+X",
                                    "Web216 Ctrl+W", "前景色自動 Ctrl+Q", "前景色コピー Ctrl+F",
                                    "背景色コピー Ctrl+B", "HTML生成 Ctrl+H", "色保存... "}));
        QCOMPARE(ui.func->title(), u"機能"_s);
        QCOMPARE(w->menuBar()->actions(),
                 (QList<QAction*>{ui.func->menuAction(), w->historyUi().menu->menuAction(),
                                  w->checkUi().menu->menuAction(), ui.About}));
        QCOMPARE(ui.About->text(), u"情報"_s);
    }

    void barsPickTheValueUnderThePointerAndAreRedrawnOnRelease()
    {
        TestWindow w(kFullColor);
        const TintaraUi& ui = w->ui();
        Canvas* fore = ui.ForeBar;
        // Pixel 127 is 1905 twips, 128 is 1920: the value is the twips over 15, rounded down.
        for (const auto& [x, value] : {std::pair(127, 127), {128, 128}}) {
            sendMouse(ui.BackBar, QEvent::MouseButtonPress, {x, 30});
            sendMouse(ui.BackBar, QEvent::MouseButtonRelease, {x, 30});
            QCOMPARE(w->BC(1), value);
        }
        sendMouse(fore, QEvent::MouseButtonPress, {10, 5});
        sendMouse(fore, QEvent::MouseMove, {100, 5});
        // Off its ends and below the bar nothing is picked, nor by a move without the button.
        sendMouse(fore, QEvent::MouseMove, {-5, 5});
        sendMouse(fore, QEvent::MouseMove, {150, 70});
        sendMouse(fore, QEvent::MouseMove, {150, 5}, Qt::NoButton);
        QCOMPARE(w.channels(), (Channels{100, 0, 0, 255, 128, 255}));
        // The bar shows its mark where the drag began until the button is released.
        QVERIFY(fore->buffer().pixel(0, 5) == kWhite && fore->buffer().pixel(100, 5) != kWhite);
        sendMouse(fore, QEvent::MouseButtonRelease, {150, 70});
        QCOMPARE(fore->buffer().pixel(100, 5), kWhite);
        // Web-safe: six cells across.
        ui.w216->trigger();
        for (const auto& [x, value] : {std::pair(42, 0), {43, 51}, {213, 204}, {214, 255}}) {
            sendMouse(ui.BackBar, QEvent::MouseButtonPress, {x, 50});
            QCOMPARE(w->BC(2), value);
        }
    }

    void typedCodesApplyWhenCompleteAndRedrawOnlyTheirOwnBar()
    {
        TestWindow w(kFullColor);
        const TintaraUi& ui = w->ui();
        const QImage backBar = ui.BackBar->buffer().copy();
        typeInto(ui.ColorCode[0], u"#00ff8"_s);
        QCOMPARE(w.channels(), kFirstStart);
        QTest::keyClicks(ui.ColorCode[0], u"0"_s);
        QCOMPARE(w.channels(), (Channels{0, 255, 128, 255, 255, 255}));
        QCOMPARE(ui.ColorCode[0]->text(), u"#00FF80"_s);
        QCOMPARE(ui.ForeBar->buffer().pixel(128, 45), kWhite);
        QCOMPARE(ui.BackBar->buffer(), backBar);
        // A box that shows the code already is left alone, and so is the cursor in it.
        ui.ColorCode[0]->setCursorPosition(3);
        QTest::keyClick(ui.ColorCode[0], Qt::Key_Delete);
        QTest::keyClicks(ui.ColorCode[0], u"F"_s);
        QCOMPARE(ui.ColorCode[0]->cursorPosition(), 4);
        // On the screen too, not only in the drawing.
        typeInto(ui.ColorCode[1], u"#006699"_s);
        const QPoint corner = ui.Picture1->mapTo(w.get(), QPoint(1, 1));
        QTRY_COMPARE(w->screen()->grabWindow(w->winId()).toImage().pixel(corner),
                     qRgb(0, 102, 153));
    }

    void undoAndRedoTakeADragOrARunOfKeysAsOneStepFromAnywhere()
    {
        TestWindow w(kFullColor);
        const TintaraUi& ui = w->ui();
        QLineEdit* text = ui.ColorCode[0];
        const auto undo = [&](int times = 1) {
            while (times--)
                QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
        };
        // With nothing to undo the keys still leave the box's own editing alone.
        typeInto(text, u"#12"_s);
        undo();
        QCOMPARE(text->text(), u"#12"_s);
        // A drag on a bar (a right click in it changes nothing) and a drag of a slider's thumb,
        // press to release, are a step each, and so is a run of keys on one slider.
        sendMouse(ui.BackBar, QEvent::MouseButtonPress, {10, 5});
        sendMouse(ui.BackBar, QEvent::MouseMove, {50, 5});
        sendMouse(ui.BackBar, QEvent::MouseButtonPress, {50, 5}, Qt::RightButton);
        sendMouse(ui.BackBar, QEvent::MouseButtonRelease, {50, 5}, Qt::RightButton);
        sendMouse(ui.BackBar, QEvent::MouseMove, {60, 5});
        sendMouse(ui.BackBar, QEvent::MouseButtonRelease, {60, 5});
        ChannelSlider* slider = ui.Slider1[5];
        QStyleOptionSlider thumb;
        thumb.initFrom(slider);
        thumb.maximum = kChannelMax;
        thumb.sliderPosition = thumb.sliderValue = slider->value();
        const QPoint at = slider->style()
                              ->subControlRect(QStyle::CC_Slider, &thumb, QStyle::SC_SliderHandle)
                              .center();
        QTest::mousePress(slider, Qt::LeftButton, {}, at);
        QTest::mouseMove(slider, at - QPoint(20, 0));
        QTest::mouseMove(slider, at - QPoint(40, 0));
        const int dragged = w->BC(2); // the colour follows the thumb before it is let go
        QVERIFY(dragged < 255 && ui.cval[5]->text() == QString::number(dragged));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, at - QPoint(40, 0));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(ui.Slider1[4], Qt::Key_Left);
        undo();
        QCOMPARE(w.channels(), (Channels{0, 0, 0, 60, 255, dragged}));
        undo();
        QCOMPARE(w.channels(), (Channels{0, 0, 0, 60, 255, 255}));
        QTest::keyClick(text, Qt::Key_Y, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.channels(), (Channels{0, 0, 0, 60, 252, dragged}));
        undo(3);
        QCOMPARE(w.channels(), kFirstStart);
        QVERIFY(!w->historyUi().undo->isEnabled());
        // A press whose release never came (a dialog took it) does not stop the recording.
        sendMouse(ui.BackBar, QEvent::MouseButtonPress, {30, 5});
        QTest::keyClick(ui.Slider1[4], Qt::Key_Left);
        undo();
        QCOMPARE(w.channels(), kFirstStart);
    }

    void everyControlShowsTheModelAndUndoThenRedoReturnsToTheColorsShown()
    {
        // Any sequence of actions, switches of mode included: every control shows the model, and
        // Ctrl+Z then Ctrl+Y gives back the colours shown before Ctrl+Z.
        QTemporaryDir dir;
        const QString tile = savePicture(dir, u"tile.bmp"_s, patternPicture(3, 2));
        for (quint32 seed = 1; seed <= 10; ++seed) {
            TestWindow w(seed % 2 ? kFullColor : QMap<QString, QString>{});
            const TintaraUi& ui = w->ui();
            QAction* undo = w->historyUi().undo;
            QAction* redo = w->historyUi().redo;
            if (seed % 3 == 0)
                dropFiles(ui.Picture1, {tile});
            QRandomGenerator random(seed);
            const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown};
            QStringList trace;
            for (int action = 0; action < 80; ++action) {
                const int kind = random.bounded(13);
                trace << QString::number(kind) + u":"_s + ui.ColorCode[0]->text() +
                             ui.ColorCode[1]->text() + (undo->isEnabled() ? u"u"_s : u""_s) +
                             (redo->isEnabled() ? u"r"_s : u""_s);
                switch (kind) {
                case 0:
                    QTest::keyClick(ui.Slider1[random.bounded(6)], keys[random.bounded(4)]);
                    break;
                case 9:
                    w->checkUi().aaa->trigger();
                    break;
                case 10:
                    (random.bounded(2) ? w->checkUi().fitText : w->checkUi().fitBack)->trigger();
                    break;
                case 11:
                    w->historyUi().swap->trigger();
                    break;
                case 1:
                    ui.w216->trigger();
                    break;
                case 2:
                    ui.fauto->trigger();
                    break;
                case 3:
                    ui.Bright[random.bounded(4)]->click();
                    break;
                case 4:
                    typeInto(ui.ColorCode[random.bounded(2)],
                             u"#%1"_s.arg(random.bounded(1 << 24), 6, 16, QLatin1Char('0')));
                    break;
                case 5: {
                    Canvas* bar = random.bounded(2) ? ui.ForeBar : ui.BackBar;
                    const QPoint at(random.bounded(256), random.bounded(60));
                    sendMouse(bar, QEvent::MouseButtonPress, at);
                    sendMouse(bar, QEvent::MouseButtonRelease, at);
                    break;
                }
                case 6:
                    ui.Picture1->doubleClicked();
                    break;
                case 7:
                    (random.bounded(2) ? undo : redo)->trigger();
                    break;
                default:
                    if (!undo->isEnabled())
                        break;
                    const Channels shown = w.channels();
                    undo->trigger();
                    redo->trigger();
                    QVERIFY2(w.channels() == shown, qPrintable(trace.join(u" "_s)));
                }
                // Every control shows the model, and the verdict is the formula's for it.
                const ColorModel& model = w->model();
                for (int i = 0; i < kChannelCount; ++i) {
                    QCOMPARE(ui.Slider1[i]->value(), model.channel(i));
                    QCOMPARE(ui.cval[i]->text(), QString::number(model.channel(i)));
                }
                QCOMPARE(ui.ColorCode[0]->text(), colorCode(model.text()));
                QCOMPARE(ui.ColorCode[1]->text(), colorCode(model.background()));
                if (!model.pictureShown()) {
                    const Rgb b = model.background();
                    QCOMPARE(ui.Picture1->buffer().pixel(1, 1), qRgb(b[0], b[1], b[2]));
                    QVERIFY(w->checkUi().status->toolTip().startsWith(
                        statusParts(verdictOnColor(model.text(), b), model.aaaTarget())
                            .join(u"　"_s)));
                }
                QCOMPARE(ui.FAutoCK->isChecked(), model.automaticText());
                QCOMPARE(ui.w216->isChecked(), model.web216());
                QCOMPARE(ui.Slider1[3]->pageStep(), model.web216() ? 51 : 16);
                QVERIFY(ui.ForeBar->isVisible() != model.automaticText() &&
                        ui.Slider1[0]->isEnabled() != model.automaticText());
                QVERIFY(ui.BackBar->isVisible() != model.pictureShown() &&
                        ui.Slider1[5]->isVisible() != model.pictureShown());
                QCOMPARE(w->windowTitle(), model.web216() ? u"Tintara : Web216 Mode"_s
                                                          : u"Tintara : Full Color Mode"_s);
            }
        }
        // Web-safe mode switched on rounds the colours as one step, and off again changes none.
        TestWindow w(kFullColor);
        w.setChannels({0x12, 0x34, 0x56, 0xFE, 0xDC, 0xBA});
        w->ui().w216->trigger();
        w->ui().w216->trigger();
        w->historyUi().undo->trigger();
        QCOMPARE(w.channels(), (Channels{0x12, 0x34, 0x56, 0xFE, 0xDC, 0xBA}));
        w->historyUi().redo->trigger();
        QCOMPARE(w.channels(), (Channels{0x00, 0x33, 0x66, 0xFF, 0xCC, 0xCC}));
    }

    void everyWindowNamesEveryControlTabsInReadingOrderAndCarriesTheIcon()
    {
        TestWindow w;
        const TintaraUi& ui = w->ui();
        // The bars and the preview are left to the mouse: the sliders do what they do.
        verifyWindow(w.get(), {ui.Slider1[0], ui.Slider1[1], ui.Slider1[2], ui.Bright[0],
                               ui.Bright[1], ui.Slider1[3], ui.Slider1[4], ui.Slider1[5],
                               ui.Bright[2], ui.Bright[3], ui.ColorCode[0], ui.ColorCode[1],
                               ui.HTMLBtn, ui.FAutoCK, ui.ColorCmbo, ui.AddBtn, ui.DelList});
        // A value label tells its channel and follows its value.
        w.setChannels({0, 51, 0, 102, 255, 255});
        QCOMPARE(QAccessible::queryAccessibleInterface(ui.cval[3])->text(QAccessible::Name),
                 u"背景 赤の値 102"_s);

        int checked = 0;
        onModal<frmAbout>([&](frmAbout* about) {
            // OK keeps the focus, so Enter still closes the window.
            verifyWindow(about, {about->ui().cmdOK, about->ui().Label2});
            ++checked;
        });
        ui.About->trigger();
        onModal<ShowHTML>([&](ShowHTML* viewer) {
            verifyWindow(viewer,
                         {viewer->ui().Text1, viewer->ui().Command1, viewer->ui().Command2});
            ++checked;
        });
        ui.HTMLBtn->click();
        onModal<frmSaveColor>([&](frmSaveColor* dialog) {
            verifyWindow(dialog,
                         {dialog->ui().ColorName, dialog->ui().SaveBtn, dialog->ui().CanBtn});
            ++checked;
        });
        ui.AddBtn->click();
        QCOMPARE(checked, 3);
    }
};

TINTARA_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
