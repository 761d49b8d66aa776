#include "check/contrast.h"
#include "preview/colorcode.h"
#include "sets/colorset.h"
#include "sets/contrasttable.h"
#include "sets/contrasttablewindow.h"
#include "sets/frmsavecolor.h"
#include "support/fakes.h"

#include <QAccessible>
#include <QClipboard>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTableView>

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
        // Another set is one step, both of its colours.
        QTest::keyClick(ui.ColorCmbo, Qt::Key_Down);
        QCOMPARE(w.channels(), (Channels{255, 255, 255, 51, 102, 51}));
        w->historyUi().undo->trigger();
        QCOMPARE(w.channels(), (Channels{0, 0, 153, 255, 255, 255}));
        QTest::keyClick(ui.ColorCmbo, Qt::Key_Up);
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

    void contrastTableListsEachColorOnceInTheOrderItFirstAppears()
    {
        // A code that is no colour leaves out only itself; codes are read as typed ones are.
        const Rgb black{0, 0, 0}, white{255, 255, 255}, navy{0, 0, 128};
        QCOMPARE(tableColors({u"#12345,#000080"_s, u"#000000"_s, u"#12ZZ56,#FFF,#000"_s, u","_s},
                             white, black),
                 (QList<Rgb>{navy, {18, 0, 86}, white, black}));
        QCOMPARE(tableColors({}, navy, navy), QList<Rgb>{navy});
        QCOMPARE(tableAsTabSeparated({black, white}), u"\t#000000\t#FFFFFF\n"
                                                      "#000000\t\t21.00\n#FFFFFF\t21.00\t\n"_s);
        QCOMPARE(tableAsMarkdown({black, white}), u"| | #000000 | #FFFFFF |\n|---|---|---|\n"
                                                  "| #000000 | | 21.00 AA○ AAA○ |\n"
                                                  "| #FFFFFF | 21.00 AA○ AAA○ | |\n"_s);
    }

    void copiedContrastTablesGiveEveryPairsRatioRoundedDownAndItsVerdicts()
    {
        for (quint32 seed = 1; seed <= 200; ++seed) {
            QRandomGenerator random(seed);
            // Few distinct colours, so that most of them repeat.
            const auto color = [&] {
                return Rgb{random.bounded(3) * 119, random.bounded(2) * 255, random.bounded(256)};
            };
            QList<Rgb> sequence;
            const auto code = [&] {
                if (random.bounded(8) == 0)
                    return u"#12"_s;
                sequence << color();
                return colorCode(sequence.last());
            };
            QStringList pairs;
            for (int i = random.bounded(12); i > 0; --i) {
                const QString first = code();
                pairs << first + u',' + code();
            }
            const Rgb text = color(), back = color();
            sequence << text << back;
            const QList<Rgb> colors = tableColors(pairs, text, back);
            for (qsizetype i = 0; i < colors.size(); ++i)
                QVERIFY(i == 0 || sequence.indexOf(colors[i - 1]) < sequence.indexOf(colors[i]));
            for (const Rgb& seen : sequence)
                QCOMPARE(colors.count(seen), 1);

            const QStringList tsv = tableAsTabSeparated(colors).split(u'\n');
            const QStringList markdown = tableAsMarkdown(colors).split(u'\n');
            QCOMPARE(tsv.size(), colors.size() + 2);
            QCOMPARE(markdown.size(), colors.size() + 3);
            QCOMPARE(tsv.last(), QString());
            QCOMPARE(markdown.last(), QString());
            QCOMPARE(markdown[1], u"|---"_s.repeated(colors.size() + 1) + u'|');
            QStringList header{QString()};
            for (const Rgb& c : colors)
                header << colorCode(c);
            QCOMPARE(tsv[0].split(u'\t'), header);
            for (qsizetype row = 0; row < colors.size(); ++row) {
                const QStringList cells = tsv[row + 1].split(u'\t');
                const QStringList marked = markdown[row + 2].split(u'|');
                QCOMPARE(cells.size(), colors.size() + 1);
                QCOMPARE(marked.size(), colors.size() + 3);
                QCOMPARE(cells[0], header[row + 1]);
                QCOMPARE(marked[1], u' ' + header[row + 1] + u' ');
                for (qsizetype column = 0; column < colors.size(); ++column) {
                    const double ratio = contrastRatio(colors[row], colors[column]);
                    const QString mark[2] = {u"×"_s, u"○"_s};
                    const QString cell = cells[column + 1];
                    QCOMPARE(cell.isEmpty() ? cell : cell + u":1"_s,
                             row == column ? QString() : ratioText(ratio));
                    QCOMPARE(marked[column + 2].trimmed(),
                             cell.isEmpty() ? cell
                                            : cell + u" AA"_s + mark[ratio >= 4.5] + u" AAA"_s +
                                                  mark[ratio >= 7]);
                }
            }
        }
    }

    void contrastTableAppliesCopiesAndNamesItsCellsAndFollowsTheColors()
    {
        QWidget owner;
        ContrastTableWindow table(&owner);
        const Rgb gray{0x77, 0x77, 0x77}, white{255, 255, 255}, navy{0, 0, 128};
        table.setColors({gray, white, navy});
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QCOMPARE(table.windowTitle(), u"色セットのコントラスト表"_s);
        QTableView* grid = table.ui().grid;
        // As a mouse sends it: a click, then the second press as a double click.
        const auto doubleClick = [grid](int row, int column) {
            const QPoint at = grid->visualRect(grid->model()->index(row, column)).center();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
        };
        // A cell shows its ratio in the row's colour on the column's, or only its colour on the
        // diagonal.
        const QImage shown = grid->viewport()->grab().toImage();
        const auto area = [&](int row, int column) {
            const QRectF rect = grid->visualRect(grid->model()->index(row, column));
            const qreal ratio = shown.devicePixelRatio();
            return shown.copy(QRectF(rect.topLeft() * ratio, rect.size() * ratio).toRect());
        };
        const QImage grayOnWhite = area(0, 1), diagonal = area(2, 2);
        QVERIFY(countPixels(grayOnWhite, kWhite) > countPixels(grayOnWhite, qRgb(119, 119, 119)));
        QVERIFY(countPixels(grayOnWhite, qRgb(119, 119, 119)) > 0);
        QCOMPARE(countPixels(diagonal, qRgb(0, 0, 128)), diagonal.width() * diagonal.height());
        QSignalSpy chosen(&table, &ContrastTableWindow::pairChosen);
        const auto lastChosen = [&chosen] {
            return std::pair(chosen.last()[0].value<Rgb>(), chosen.last()[1].value<Rgb>());
        };
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        // Down the diagonal, where text and background are one colour, nothing is applied.
        for (const auto key : {Qt::Key_Enter, Qt::Key_Right, Qt::Key_Return, Qt::Key_Down,
                               Qt::Key_Return, Qt::Key_Down, Qt::Key_Enter})
            QTest::keyClick(grid, key);
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(chosen.first()[0].value<Rgb>(), gray);
        QCOMPARE(lastChosen(), std::pair(navy, white));
        doubleClick(1, 2);
        QCOMPARE(lastChosen(), std::pair(white, navy));
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 2));

        table.setApplyAvailable(false);
        QTest::keyClick(grid, Qt::Key_Return);
        doubleClick(0, 2);
        QCOMPARE(chosen.size(), 3);
        QCOMPARE(table.ui().note->text(), u"文字色が自動のため、組み合わせを適用できません"_s);
        table.setApplyAvailable(true);
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(lastChosen(), std::pair(gray, navy));

        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), tableAsTabSeparated(table.colors()));
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), tableAsMarkdown(table.colors()));

        QAccessibleTableInterface* cells =
            QAccessible::queryAccessibleInterface(grid)->tableInterface();
        const std::tuple<int, int, QString> names[] = {
            {0, 1,
             u"文字色 #777777、背景色 #FFFFFF、コントラスト比 4.47:1、AA 不合格、AAA 不合格"_s},
            {1, 2, u"文字色 #FFFFFF、背景色 #000080、コントラスト比 16.00:1、AA 合格、AAA 合格"_s},
            {2, 2, u"文字色 #000080、背景色 #000080、同じ色"_s}};
        for (const auto& [row, column, name] : names)
            QCOMPARE(cells->cellAt(row, column)->text(QAccessible::Name), name);
        QAccessibleTableCellInterface* named = cells->cellAt(0, 1)->tableCellInterface();
        // Qt hands the header cells over unregistered, for the caller to dispose of.
        const auto headerName = [](const QList<QAccessibleInterface*>& header) {
            const QString name = header.value(0)->text(QAccessible::Name);
            for (QAccessibleInterface* cell : header)
                if (!QAccessible::uniqueId(cell))
                    QAccessible::deleteAccessibleInterface(
                        QAccessible::registerAccessibleInterface(cell));
            return name;
        };
        QCOMPARE(headerName(named->rowHeaderCells()), u"文字色 #777777"_s);
        QCOMPARE(headerName(named->columnHeaderCells()), u"背景色 #FFFFFF"_s);

        // The current cell follows its pair, or keeps its place when the pair is gone.
        const Rgb black{0, 0, 0};
        table.setColors({navy, black, gray});
        QCOMPARE(grid->currentIndex(), grid->model()->index(2, 0));
        table.setColors({white, black});
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 0));
        QTest::keyClick(grid, Qt::Key_Enter);
        QCOMPARE(lastChosen(), std::pair(black, white));

        // A table too large to hold as text is not copied.
        QList<Rgb> many;
        for (int i = 0; i <= 1000; ++i)
            many << Rgb{i % 256, i / 256, 0};
        table.setColors(many.mid(1));
        QVERIFY(table.ui().copyTable->isEnabled());
        table.setColors(many);
        QVERIFY(!table.ui().copyTable->isEnabled() && !table.ui().copyTableAction->isEnabled());
        QVERIFY(table.ui().note->text().contains(u"コピーできません"_s));
    }

    void theWindowsTableFollowsItsSetsAndColorsAndAppliesAPairAsOneStep()
    {
        TestWindow w(
            {{u"ColorList/No.0"_s, u"Sea,#000099,#FFFFFF"_s}, {u"pass/w216"_s, u"False"_s}});
        QTest::keyClick(w->ui().ColorCode[0], Qt::Key_G, Qt::ControlModifier);
        auto* table = w->findChild<ContrastTableWindow*>();
        QVERIFY(table && table->isVisible());
        const Rgb navy{0, 0, 0x99}, white{255, 255, 255}, dark{0x12, 0x34, 0x56};
        QCOMPARE(table->colors(), (QList<Rgb>{navy, white, {0, 0, 0}}));
        w.setChannels({0x12, 0x34, 0x56, 255, 255, 255});
        w->saveColorSet(u"Moss"_s, u"#336633,#FFFFCC"_s);
        QCOMPARE(table->colors(),
                 (QList<Rgb>{navy, white, {0x33, 0x66, 0x33}, {255, 255, 0xCC}, dark}));
        emit table->pairChosen(white, navy);
        QCOMPARE(w.channels(), (Channels{255, 255, 255, 0, 0, 0x99}));
        w->historyUi().undo->trigger();
        QCOMPARE(table->colors().last(), dark);
        w->ui().FAutoCK->setChecked(true);
        QVERIFY(!table->applyAvailable());
    }
};

TINTARA_TEST_MAIN(ColorSetsTest)
#include "tst_colorsets.moc"
