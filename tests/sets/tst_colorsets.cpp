#include "platform/canvas.h"
#include "sets/colorset.h"
#include "sets/frmsavecolor.h"
#include "support/fakes.h"
#include "support/testregistry.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace tintara;
using namespace tintara::test;

namespace {

using Channels = std::array<int, 6>;

// Web-safe colours, so that choosing a set in web-safe mode applies them unchanged.
const QMap<QString, QString> kThreeSets{{"ColorList/No.0", "Sea,#000099,#FFFFFF"},
                                        {"ColorList/No.1", "Forest,#FFFFFF,#336633"},
                                        {"ColorList/No.2", "Sky,#003366,#99CCFF"}};

// Opens the save dialog by open, lets act work on it, and says whether it was still open after
// that (it is then cancelled).
bool withSaveDialog(const std::function<void()>& open,
                    const std::function<void(frmSaveColor&)>& act)
{
    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<frmSaveColor*>(QApplication::activeModalWidget())) {
            act(*dialog);
            stillOpen = dialog->isVisible();
            if (stillOpen)
                dialog->reject();
        }
    });
    open();
    return stillOpen;
}

void typeName(frmSaveColor& dialog, const QString& name, Qt::Key end = Qt::Key_unknown)
{
    QLineEdit* edit = dialog.ui().ColorName->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, name);
    if (end != Qt::Key_unknown)
        QTest::keyClick(edit, end);
}

} // namespace

class ColorSetsTest : public QObject
{
    Q_OBJECT
private slots:
    void entriesAndPairsSplitAtTheirFirstComma()
    {
        const auto entry = parseColorSetEntry(QStringLiteral("a,b,#000000,#FFFFFF"));
        QVERIFY(entry);
        QCOMPARE(entry->name, QStringLiteral("a"));
        QCOMPARE(entry->pair, QStringLiteral("b,#000000,#FFFFFF"));
        QVERIFY(!parseColorSetEntry(QStringLiteral("Sea #000080 #FFFFFF")));
        QCOMPARE(colorPair({255, 128, 0}, {10, 0, 171}), QStringLiteral("#FF8000,#0A00AB"));
        QCOMPARE(findSetName({"Sea", "sea ", "Sea"}, QStringLiteral("sea ")), 1);
        QCOMPARE(findSetName({"Sea"}, QStringLiteral("sea")), -1);
    }

    void storedSetsAreListedUpToTheFirstEmptyOneAndChoosingOneAppliesIt()
    {
        TestWindow w({{"ColorList/No.0", "Sea,#000099,#FFFFFF"},
                      {"ColorList/No.1", "no comma here"},
                      {"ColorList/No.2", "Sky,#003366,#99CCFF"},
                      {"ColorList/No.3", ""},
                      {"ColorList/No.4", "Late,#000000,#FFFFFF"}});
        const TintaraUi& ui = w->ui();
        QCOMPARE(w->colorSetNames(), (QStringList{"Sea", "Sky"}));
        QCOMPARE(ui.ColorList, (QStringList{"#000099,#FFFFFF", "#003366,#99CCFF"}));
        QCOMPARE(ui.ColorCmbo->currentIndex(), -1);

        ui.ColorCmbo->setFocus();
        QTest::keyClick(ui.ColorCmbo, Qt::Key_Down);
        QCOMPARE(ui.ColorCode[0]->text(), QStringLiteral("#000099"));
        QCOMPARE(w.channels(), (Channels{0, 0, 153, 255, 255, 255}));
        // The background box showed the set's background already; the preview still has the
        // new text colour.
        const QImage& preview = ui.Picture1->buffer();
        int textPixels = 0;
        for (int y = 0; y < preview.height(); ++y)
            for (int x = 0; x < preview.width(); ++x)
                textPixels += preview.pixel(x, y) == qRgb(0, 0, 153);
        QVERIFY(textPixels > 100);
        // Choosing the chosen set again brings its colours back.
        ui.ColorCode[1]->setText(QStringLiteral("#000000"));
        emit ui.ColorCmbo->activated(0);
        QCOMPARE(w.channels(), (Channels{0, 0, 153, 255, 255, 255}));
    }

    void deletingKeepsTheOtherSetsWithTheirOwnColoursAndChangesNoColour()
    {
        TestWindow w(kThreeSets);
        const TintaraUi& ui = w->ui();
        ui.DelList->click(); // nothing chosen
        QCOMPARE(ui.ColorCmbo->count(), 3);
        w->selectColorSet(1);
        const Channels forest = w.channels();
        ui.DelList->click();
        QCOMPARE(w->colorSetNames(), (QStringList{"Sea", "Sky"}));
        QCOMPARE(ui.ColorList, (QStringList{"#000099,#FFFFFF", "#003366,#99CCFF"}));
        QCOMPARE(ui.ColorCmbo->currentIndex(), -1);
        QCOMPARE(w.channels(), forest);
        w->selectColorSet(1);
        QCOMPARE(w.channels(), (Channels{0, 51, 102, 153, 204, 255}));
        ui.DelList->click();
        w->selectColorSet(0);
        ui.DelList->click();
        QVERIFY(ui.ColorList.isEmpty());
        QCOMPARE(ui.ColorCmbo->count(), 0);
    }

    void savingAddsANewNameLastOrReplacesAnExistingOneInPlaceAndChoosesIt()
    {
        TestWindow w(kThreeSets);
        w->selectColorSet(1);
        w.setChannels({51, 102, 153, 0, 0, 0});
        // A half-typed code shows whether choosing the saved set writes the codes back.
        w->ui().ColorCode[0]->setText(QStringLiteral("#12"));
        withSaveDialog([&] { w->ui().SaveColor->trigger(); },
                       [](frmSaveColor& dialog) {
                           QCOMPARE(dialog.windowTitle(), QStringLiteral("色の保存"));
                           QCOMPARE(dialog.size(), QSize(312, 127));
                           QCOMPARE(dialog.ui().SaveBtn->geometry(), QRect(74, 84, 81, 33));
                           QCOMPARE(dialog.ui().ColorName->count(), 3);
                           QCOMPARE(dialog.ui().ColorName->currentText(), QString());
                           dialog.ui().ColorName->setCurrentIndex(1);
                           dialog.ui().SaveBtn->click();
                       });
        QCOMPARE(w->colorSetNames(), (QStringList{"Sea", "Forest", "Sky"}));
        QCOMPARE(w->ui().ColorList.at(1), QStringLiteral("#336699,#000000"));
        QCOMPARE(w->ui().ColorCmbo->currentIndex(), 1);
        QCOMPARE(w->ui().ColorCode[0]->text(), QStringLiteral("#336699"));

        // Typed names are never completed into existing ones.
        withSaveDialog([&] { w->ui().AddBtn->click(); },
                       [](frmSaveColor& dialog) { typeName(dialog, "sea", Qt::Key_Return); });
        withSaveDialog([&] { w->ui().AddBtn->click(); },
                       [](frmSaveColor& dialog) { typeName(dialog, "Sk", Qt::Key_Return); });
        withSaveDialog([&] { w->ui().AddBtn->click(); },
                       [](frmSaveColor& dialog) { typeName(dialog, "  ", Qt::Key_Return); });
        QCOMPARE(w->colorSetNames(), (QStringList{"Sea", "Forest", "Sky", "sea", "Sk", "  "}));
        QCOMPARE(w->ui().ColorList.size(), 6);
        QCOMPARE(w->ui().ColorCmbo->currentIndex(), 5);

        QVERIFY(!withSaveDialog([&] { w->ui().AddBtn->click(); },
                                [](frmSaveColor& dialog) { dialog.ui().CanBtn->click(); }));
        QCOMPARE(w->ui().ColorList.size(), 6);
    }

    void emptyNamesAndNamesWithACommaKeepTheDialogOpen()
    {
        TestWindow w(kThreeSets);
        const bool open =
            withSaveDialog([&] { w->ui().AddBtn->click(); },
                           [&](frmSaveColor& dialog) {
                               const SaveColorUi& ui = dialog.ui();
                               ui.SaveBtn->click();
                               QVERIFY(dialog.isVisible());
                               QVERIFY(ui.Refusal->isHidden());
                               typeName(dialog, QStringLiteral("Sea, deep"), Qt::Key_Return);
                               QVERIFY(dialog.isVisible());
                               QVERIFY(!ui.Refusal->isHidden());
                               QTest::keyClick(ui.ColorName->lineEdit(), Qt::Key_Backspace);
                               QVERIFY(ui.Refusal->isHidden());
                           });
        QVERIFY(open);
        QCOMPARE(w->ui().ColorList.size(), 3);
    }
};

TINTARA_TEST(ColorSetsTest)
#include "tst_colorsets.moc"
