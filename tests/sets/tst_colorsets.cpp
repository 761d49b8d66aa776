#include "sets/colorset.h"
#include "sets/frmsavecolor.h"
#include "support/fakes.h"

using namespace tintara;
using namespace tintara::test;

class ColorSetsTest : public QObject
{
    Q_OBJECT
private slots:
    void storedListTakesThisWindowsChangesInTheirOrderAndNamesThatWouldBreakItAreRefused()
    {
        // The store's list, which another window may have changed, and this window's changes.
        const QList<ColorSetEntry> stored{{"A", "1"}, {"B", "2"}, {"A", "3"}};
        const std::pair<QList<ColorSetChange>, QStringList> cases[] = {
            {{{false, {"A", "9"}}}, {"A9", "B2", "A3"}},
            {{{false, {"a", "5"}}}, {"A1", "B2", "A3", "a5"}},
            {{{true, {"A", "3"}}}, {"A1", "B2"}},
            {{{true, {"A", "7"}}}, {"B2", "A3"}}, // its colours changed in the other window
            {{{false, {"D", "1"}}, {true, {"D", "1"}}}, {"A1", "B2", "A3"}}};
        for (const auto& [changes, result] : cases) {
            QStringList merged;
            for (const ColorSetEntry& set : mergedColorSets(stored, changes))
                merged << set.name + set.pair;
            QCOMPARE(merged, result);
        }
        // A comma would split the stored entry; a list has no room for control characters.
        const std::pair<QString, bool> names[] = {
            {u"Sea, deep"_s, true}, {u"Sea\tdeep"_s, true}, {u"Sea"_s + QChar(0), true},
            {u"Sea\u0085"_s, true}, {u"Sea\u2028"_s, true}, {u"Sea\u2029"_s, true},
            {u"  "_s, false},       {u"夜 空"_s, false}};
        for (const auto& [name, refused] : names)
            QVERIFY2(setNameRefusal(name).isEmpty() != refused, qPrintable(name));
    }

    void setsAreChosenAsTheyAreSavedUnderAListedOrTypedNameAndDeletedLeavingNoneChosen()
    {
        // Web-safe colours, so that choosing a set in web-safe mode applies them unchanged.
        TestWindow w({{"ColorList/No.0", "Sea,#000099,#FFFFFF"},
                      {"ColorList/No.1", "Forest,#FFFFFF,#336633"},
                      {"ColorList/No.2", "Sky,#003366,#99CCFF"}});
        const TintaraUi& ui = w->ui();
        // The automatic rule does not run, and the preview shows the set's text colour though
        // the background box showed the set's background already. Chosen again, a set's colours
        // come back.
        ui.FAutoCK->setChecked(true);
        ui.ColorCmbo->setFocus();
        QTest::keyClick(ui.ColorCmbo, Qt::Key_Down);
        QCOMPARE(w.channels(), (Channels{0, 0, 153, 255, 255, 255}));
        QVERIFY(countPixels(ui.Picture1->buffer(), qRgb(0, 0, 153)) > 100);
        ui.ColorCode[1]->setText(u"#000000"_s);
        emit ui.ColorCmbo->activated(0);
        QCOMPARE(w.channels(), (Channels{0, 0, 153, 255, 255, 255}));

        w.setChannels({51, 102, 153, 0, 0, 0});
        // A half-typed code shows that choosing the saved set writes the codes back.
        ui.ColorCode[0]->setText(u"#12"_s);
        onModal<frmSaveColor>([](frmSaveColor* dialog) {
            dialog->ui().ColorName->setCurrentIndex(1);
            dialog->ui().SaveBtn->click();
        });
        ui.SaveColor->trigger();
        QCOMPARE(ui.ColorCmbo->itemData(1).toString(), u"#336699,#000000"_s);
        QCOMPARE(ui.ColorCmbo->currentIndex(), 1);
        QCOMPARE(ui.ColorCode[0]->text(), u"#336699"_s);
        ui.DelList->click();
        QCOMPARE(ui.ColorCmbo->currentIndex(), -1);
        QCOMPARE(ui.ColorCmbo->itemData(1).toString(), u"#003366,#99CCFF"_s);

        // Typed names are taken letter for letter, never completed into listed ones; the first
        // set's own name replaces it. A refused one keeps the dialog open, saying why until it is
        // edited; an empty one keeps it open silently.
        for (const QString& name : {u"sea"_s, u"a,b"_s, u"Sk"_s, QString(), u"  "_s, u"Sea"_s}) {
            onModal<frmSaveColor>([&](frmSaveColor* dialog) {
                const SaveColorUi& d = dialog->ui();
                const bool refused = name.contains(u',');
                QTest::keyClicks(d.ColorName->lineEdit(), name);
                QTest::keyClick(d.ColorName->lineEdit(), Qt::Key_Return);
                QCOMPARE(d.Refusal->isVisible(), refused);
                QTest::keyClick(d.ColorName->lineEdit(), Qt::Key_Backspace);
                QVERIFY(d.Refusal->isHidden());
                QCOMPARE(dialog->isVisible(), refused || name.isEmpty());
                if (dialog->isVisible())
                    d.CanBtn->click();
                QVERIFY(!dialog->isVisible());
            });
            ui.AddBtn->click();
        }
        const QStringList names{"Sea", "Sky", "sea", "Sk", "  "};
        QCOMPARE(w->colorSetNames(), names);
        QCOMPARE(TestWindow(w.store().values)->colorSetNames(), names); // stored at once
    }
};

TINTARA_TEST_MAIN(ColorSetsTest)
#include "tst_colorsets.moc"
