#include "sets/colorset.h"
#include "sets/frmsavecolor.h"
#include "support/fakes.h"

#include <QClipboard>

using namespace tintara;
using namespace tintara::test;

namespace {

// Web-safe colours, so that choosing a set in web-safe mode applies them unchanged.
const QMap<QString, QString> kThreeSets{{"ColorList/No.0", "Sea,#000099,#FFFFFF"},
                                        {"ColorList/No.1", "Forest,#FFFFFF,#336633"},
                                        {"ColorList/No.2", "Sky,#003366,#99CCFF"}};

} // namespace

class ColorSetsTest : public QObject
{
    Q_OBJECT
private slots:
    void choosingASetAppliesItAsItIsEvenWhenChosenAgain()
    {
        TestWindow w(kThreeSets);
        const TintaraUi& ui = w->ui();
        QCOMPARE(ui.ColorCmbo->currentIndex(), -1);

        // The automatic rule does not run: the set's text colour is applied as it is.
        ui.FAutoCK->setChecked(true);
        ui.ColorCmbo->setFocus();
        QTest::keyClick(ui.ColorCmbo, Qt::Key_Down);
        QCOMPARE(w.channels(), (Channels{0, 0, 153, 255, 255, 255}));
        // The background box showed the set's background already; the preview still has the
        // new text colour.
        QVERIFY(countPixels(ui.Picture1->buffer(), qRgb(0, 0, 153)) > 100);
        // Choosing the chosen set again brings its colours back.
        ui.ColorCode[1]->setText(u"#000000"_s);
        emit ui.ColorCmbo->activated(0);
        QCOMPARE(w.channels(), (Channels{0, 0, 153, 255, 255, 255}));
    }

    void deletingInTheMiddleKeepsEachNameWithItsColoursAndEndsTheStoredListEarlier()
    {
        QMap<QString, QString> stored;
        for (int i = 0; i < 5; ++i)
            stored.insert(u"ColorList/No.%1"_s.arg(i), u"S%1,#00000%1,#FFFFFF"_s.arg(i));
        // Beyond the end of the list: never read, never overwritten by a shorter list.
        stored.insert(u"ColorList/No.6"_s, u"Ghost,#000000,#FFFFFF"_s);
        TestWindow w(stored);
        const TintaraUi& ui = w->ui();
        ui.DelList->click(); // nothing chosen
        QCOMPARE(ui.ColorCmbo->count(), 5);
        w->selectColorSet(3);
        ui.DelList->click();
        w->selectColorSet(1);
        const Channels chosen = w.channels();
        ui.DelList->click();
        QCOMPARE(ui.ColorCmbo->currentIndex(), -1);
        QCOMPARE(w.channels(), chosen);
        w->close();
        // Each deletion is stored at once: No.3 ends the list, and No.4, which ended it after the
        // first deletion, stays in the store unread.
        QStringList list;
        for (int i = 0; i < 7; ++i)
            list << w.store().values.value(u"ColorList/No.%1"_s.arg(i));
        QCOMPARE(list, (QStringList{"S0,#000000,#FFFFFF", "S2,#000002,#FFFFFF",
                                    "S4,#000004,#FFFFFF", "", "", "", "Ghost,#000000,#FFFFFF"}));
        QCOMPARE(TestWindow(w.store().values)->colorSetNames(), (QStringList{"S0", "S2", "S4"}));
    }

    void storedListTakesThisWindowsChangesInItsOwnOrder()
    {
        // The store's list, which another window may have changed, and this window's changes.
        const QList<ColorSetEntry> stored{{"A", "1"}, {"B", "2"}, {"A", "3"}};
        const auto saved = [](const char* name, const char* pair) {
            return ColorSetChange{false, {name, pair}};
        };
        const auto deleted = [](const char* name, const char* pair) {
            return ColorSetChange{true, {name, pair}};
        };
        // Adding at the end and deleting a set both lists have are the two windows' test's.
        const std::pair<QList<ColorSetChange>, QStringList> cases[] = {
            {{saved("A", "9")}, {"A9", "B2", "A3"}},
            {{deleted("A", "3")}, {"A1", "B2"}},
            {{deleted("B", "7")}, {"A1", "A3"}}, // its colours changed in the other window
            {{saved("D", "1"), deleted("D", "1")}, {"A1", "B2", "A3"}}};
        for (const auto& [changes, result] : cases) {
            QStringList merged;
            for (const ColorSetEntry& set : mergedColorSets(stored, changes))
                merged << set.name + set.pair;
            QCOMPARE(merged, result);
        }
    }

    void savingReplacesAnExistingNameInPlaceOrAppendsANewOneAndChoosesIt()
    {
        TestWindow w(kThreeSets);
        w.setChannels({51, 102, 153, 0, 0, 0});
        // A half-typed code shows whether choosing the saved set writes the codes back.
        w->ui().ColorCode[0]->setText(u"#12"_s);
        onModal<frmSaveColor>([](frmSaveColor* dialog) {
            QCOMPARE(dialog->ui().ColorName->count(), 3);
            QCOMPARE(dialog->ui().ColorName->currentText(), QString());
            dialog->ui().ColorName->setCurrentIndex(1);
            dialog->ui().SaveBtn->click();
        });
        w->ui().SaveColor->trigger();
        QCOMPARE(w->colorSetNames(), (QStringList{"Sea", "Forest", "Sky"}));
        QCOMPARE(w->ui().ColorCmbo->itemData(1).toString(), u"#336699,#000000"_s);
        QCOMPARE(w->ui().ColorCmbo->currentIndex(), 1);
        QCOMPARE(w->ui().ColorCode[0]->text(), u"#336699"_s);

        // Typed names are taken letter for letter, never completed into existing ones.
        for (const QString& name : {u"sea"_s, u"Sk"_s, u"  "_s}) {
            onModal<frmSaveColor>([&](frmSaveColor* dialog) {
                QTest::keyClicks(dialog->ui().ColorName->lineEdit(), name);
                QTest::keyClick(dialog->ui().ColorName->lineEdit(), Qt::Key_Return);
            });
            w->ui().AddBtn->click();
        }
        QCOMPARE(w->colorSetNames(), (QStringList{"Sea", "Forest", "Sky", "sea", "Sk", "  "}));
        QCOMPARE(w->ui().ColorCmbo->count(), 6);
        QCOMPARE(w->ui().ColorCmbo->currentIndex(), 5);

        // An empty name, or one with a comma or a pasted tab, line break or NUL, keeps the dialog
        // open, saying why; cancelling saves nothing.
        onModal<frmSaveColor>([](frmSaveColor* dialog) {
            const SaveColorUi& ui = dialog->ui();
            ui.SaveBtn->click();
            QVERIFY(dialog->isVisible() && ui.Refusal->isHidden());
            for (const QString& name :
                 {u"Sea, deep"_s, u"Sea\tdeep"_s, u"Sea\ndeep"_s, u"Sea"_s + QChar(0)}) {
                ui.ColorName->clearEditText();
                QGuiApplication::clipboard()->setText(name);
                QTest::keySequence(ui.ColorName->lineEdit(), QKeySequence::Paste);
                QTest::keyClick(ui.ColorName->lineEdit(), Qt::Key_Return);
                QVERIFY2(dialog->isVisible() && !ui.Refusal->isHidden(), qPrintable(name));
            }
            QTest::keyClick(ui.ColorName->lineEdit(), Qt::Key_Backspace);
            QVERIFY(ui.Refusal->isHidden());
            ui.CanBtn->click();
            QVERIFY(!dialog->isVisible());
        });
        w->ui().AddBtn->click();
        QCOMPARE(w->ui().ColorCmbo->count(), 6);
    }
};

TINTARA_TEST_MAIN(ColorSetsTest)
#include "tst_colorsets.moc"
