#include "about/frmabout.h"
#include "output/showhtml.h"
#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "sets/frmsavecolor.h"
#include "support/fakes.h"
#include "support/modal.h"
#include "support/testregistry.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSizeGrip>
#include <QTest>

using namespace tintara;
using namespace tintara::test;

namespace {

struct Named
{
    QWidget* widget = nullptr;
    QString name;
};

// What a screen reader meets in a window: every visible widget of ours in the accessibility tree.
// Plain containers and the inner parts Qt's compound widgets draw for themselves (the text box's
// scroll bars and viewport, the status bar's grip) are left out.
void collectNamed(QAccessibleInterface* node, QList<Named>& found)
{
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (!child || child->state().invisible)
            continue;
        auto* widget = qobject_cast<QWidget*>(child->object());
        const bool internal = !widget || widget->metaObject() == &QWidget::staticMetaObject ||
                              qobject_cast<QScrollBar*>(widget) || qobject_cast<QSizeGrip*>(widget);
        if (!internal)
            found.append({widget, child->text(QAccessible::Name)});
        collectNamed(child, found);
    }
}

QList<Named> namedControls(QWidget* window)
{
    QList<Named> found;
    collectNamed(QAccessible::queryAccessibleInterface(window), found);
    return found;
}

// Two widgets may share a name when one names the other (a label and its buddy), when one is a
// part of the other (an editable combo box and its line edit), or when the window draws them as
// one thing.
bool mayShareName(QWidget* a, QWidget* b, const QList<QWidget*>& drawnAsOne)
{
    const auto* labelA = qobject_cast<QLabel*>(a);
    const auto* labelB = qobject_cast<QLabel*>(b);
    if ((labelA && labelA->buddy() == b) || (labelB && labelB->buddy() == a))
        return true;
    if (a->isAncestorOf(b) || b->isAncestorOf(a))
        return true;
    return drawnAsOne.contains(a) && drawnAsOne.contains(b);
}

void verifyNamesPresentAndDistinct(QWidget* window, const QList<QWidget*>& drawnAsOne = {})
{
    const QList<Named> controls = namedControls(window);
    QVERIFY(!controls.isEmpty());
    for (const Named& control : controls) {
        QVERIFY2(!control.name.trimmed().isEmpty(),
                 qPrintable(QStringLiteral("an unnamed %1 in %2")
                                .arg(QLatin1String(control.widget->metaObject()->className()),
                                     window->windowTitle())));
    }
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            if (controls[i].name != controls[j].name)
                continue;
            QVERIFY2(mayShareName(controls[i].widget, controls[j].widget, drawnAsOne),
                     qPrintable(QStringLiteral("two controls named \"%1\"").arg(controls[i].name)));
        }
    }
}

QString nameOf(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// Presses Tab (or Shift+Tab) where the focus is, as the keyboard does.
QWidget* tabFromFocus(bool backwards = false)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return nullptr;
    QTest::keyClick(focus, backwards ? Qt::Key_Backtab : Qt::Key_Tab);
    return QApplication::focusWidget();
}

void verifyTabCycle(const QList<QWidget*>& order)
{
    QTRY_COMPARE(QApplication::focusWidget(), order.first());
    for (qsizetype i = 1; i <= order.size(); ++i)
        QCOMPARE(tabFromFocus(), order[i % order.size()]);
    QCOMPARE(tabFromFocus(true), order.last());
}

QImage iconAt32(const QIcon& icon)
{
    return icon.pixmap(QSize(32, 32), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The 32 pixel drawing of the icon as a pixmap holds it.
QImage programIconAt32()
{
    const QImage png(QStringLiteral(":/icons/tintara-32.png"));
    return QPixmap::fromImage(png).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT
private slots:
    void mainWindowControlsHaveTheirOwnJapaneseNames()
    {
        TestWindow w;
        const TintaraUi& ui = w->ui();
        verifyNamesPresentAndDistinct(w.get());

        QCOMPARE(nameOf(ui.Slider1[0]), QStringLiteral("前景 赤"));
        QCOMPARE(nameOf(ui.Slider1[4]), QStringLiteral("背景 緑"));
        QCOMPARE(nameOf(ui.Slider1[5]), QStringLiteral("背景 青"));
        QCOMPARE(nameOf(ui.ColorCode[0]), QStringLiteral("前景色コード"));
        QCOMPARE(nameOf(ui.ColorCode[1]), QStringLiteral("背景色コード"));
        QCOMPARE(nameOf(ui.ForeBar), QStringLiteral("前景色バー"));
        QCOMPARE(nameOf(ui.BackBar), QStringLiteral("背景色バー"));
        QCOMPARE(nameOf(ui.Picture1), QStringLiteral("プレビュー"));
        QCOMPARE(nameOf(ui.Bright[0]), QStringLiteral("前景を明るく"));
        QCOMPARE(nameOf(ui.Bright[3]), QStringLiteral("背景を暗く"));
        QCOMPARE(nameOf(ui.AddBtn), QStringLiteral("色セットを追加"));
        QCOMPARE(nameOf(ui.DelList), QStringLiteral("色セットを削除"));
        QCOMPARE(nameOf(ui.ColorCmbo), QStringLiteral("色セット"));
        QCOMPARE(ui.lbl[2]->buddy(), ui.ColorCode[0]);
        QCOMPARE(ui.Label2[5]->buddy(), ui.Slider1[5]);
    }

    void valueLabelsTellTheirChannelAndFollowItsValue()
    {
        TestWindow w;
        const TintaraUi& ui = w->ui();
        QCOMPARE(nameOf(ui.cval[0]), QStringLiteral("前景 赤の値 0"));
        QCOMPARE(nameOf(ui.cval[3]), QStringLiteral("背景 赤の値 255"));
        w.setChannels({0, 51, 0, 102, 255, 255});
        QCOMPARE(nameOf(ui.cval[1]), QStringLiteral("前景 緑の値 51"));
        QCOMPARE(nameOf(ui.cval[3]), QStringLiteral("背景 赤の値 102"));
        QCOMPARE(ui.cval[3]->text(), QStringLiteral("102"));
    }

    void dialogsNameEveryControl()
    {
        TestWindow w;
        onModal<frmAbout>([](frmAbout* about) {
            verifyNamesPresentAndDistinct(about, {about->ui().Line1[0], about->ui().Line1[1]});
            QCOMPARE(nameOf(about->ui().Label2), QStringLiteral("作者のウェブページ"));
            QCOMPARE(nameOf(about->ui().picIcon), QStringLiteral("Tintaraのアイコン"));
        });
        w->ui().About->trigger();

        onModal<ShowHTML>([](ShowHTML* viewer) {
            verifyNamesPresentAndDistinct(viewer);
            QCOMPARE(nameOf(viewer->ui().Text1), QStringLiteral("HTML文書"));
            QCOMPARE(nameOf(viewer->ui().Command2), QStringLiteral("HTMLを保存"));
        });
        w->ui().HTMLBtn->click();

        onModal<frmSaveColor>([](frmSaveColor* dialog) {
            verifyNamesPresentAndDistinct(dialog);
            QCOMPARE(nameOf(dialog->ui().ColorName), QStringLiteral("色セットの名前"));
            QCOMPARE(nameOf(dialog->ui().ColorName->lineEdit()), QStringLiteral("色セットの名前"));
        });
        w->ui().AddBtn->click();
    }

    void tabWalksTheMainWindowInReadingOrderStartingAtTheFirstSlider()
    {
        TestWindow w;
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const TintaraUi& ui = w->ui();
        const QList<QWidget*> order = {
            ui.Slider1[0],   ui.Slider1[1],   ui.Slider1[2], ui.Bright[0], ui.Bright[1],
            ui.Slider1[3],   ui.Slider1[4],   ui.Slider1[5], ui.Bright[2], ui.Bright[3],
            ui.ColorCode[0], ui.ColorCode[1], ui.HTMLBtn,    ui.FAutoCK,   ui.ColorCmbo,
            ui.AddBtn,       ui.DelList};
        verifyTabCycle(order);
        // The bars and the preview are left to the mouse: the sliders do what they do.
        QCOMPARE(ui.ForeBar->focusPolicy(), Qt::NoFocus);
        QCOMPARE(ui.Picture1->focusPolicy(), Qt::NoFocus);
    }

    void dialogsTabThroughTheirControls()
    {
        TestWindow w;
        bool checked = false;
        onModal<frmSaveColor>([&](frmSaveColor* dialog) {
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            const SaveColorUi& ui = dialog->ui();
            verifyTabCycle({ui.ColorName, ui.SaveBtn, ui.CanBtn});
            checked = true;
        });
        w->ui().AddBtn->click();
        QVERIFY(checked);

        checked = false;
        onModal<ShowHTML>([&](ShowHTML* viewer) {
            QVERIFY(QTest::qWaitForWindowActive(viewer));
            const ShowHTMLUi& ui = viewer->ui();
            verifyTabCycle({ui.Text1, ui.Command1, ui.Command2});
            checked = true;
        });
        w->ui().HTMLBtn->click();
        QVERIFY(checked);

        checked = false;
        onModal<frmAbout>([&](frmAbout* about) {
            QVERIFY(QTest::qWaitForWindowActive(about));
            // OK keeps the focus it has always had, so Enter still closes the window.
            verifyTabCycle({about->ui().cmdOK, about->ui().Label2});
            checked = true;
        });
        w->ui().About->trigger();
        QVERIFY(checked);
    }

    void aboutOpensFromTheMenuBarByKeyboard()
    {
        TestWindow w;
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QMenuBar* bar = w->menuBar();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Alt);
        QCOMPARE(bar->activeAction(), w->ui().func->menuAction());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(bar->activeAction(), w->ui().About);

        bool opened = false;
        onModal<frmAbout>([&](frmAbout*) { opened = true; });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(opened);
    }

    void everyWindowCarriesTheProgramsIcon()
    {
        TestWindow w;
        const QImage expected = programIconAt32();
        QVERIFY(!expected.isNull());
        QCOMPARE(iconAt32(w->windowIcon()), expected);

        int windows = 0;
        const auto carriesIcon = [&](QWidget* dialog) {
            QCOMPARE(iconAt32(dialog->windowIcon()), expected);
            ++windows;
        };
        onModal<frmAbout>([&](frmAbout* about) {
            carriesIcon(about);
            QCOMPARE(about->ui().picIcon->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                     expected);
        });
        w->ui().About->trigger();
        onModal<ShowHTML>(carriesIcon);
        w->ui().HTMLBtn->click();
        onModal<frmSaveColor>(carriesIcon);
        w->ui().AddBtn->click();
        QCOMPARE(windows, 3);
    }
};

TINTARA_TEST(AccessibilityTest)

#include "tst_accessibility.moc"
