#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "support/fakes.h"
#include "support/testregistry.h"
#include "testpictures.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

using namespace tintara;
using namespace tintara::test;

namespace {

using Channels = std::array<int, 6>;

enum class State { NoPicture, PictureShown, ColourShown, Inconsistent };

// The picture states: A (no picture), B (picture shown) and C (picture loaded, colour shown).
State stateOf(const TestWindow& w)
{
    const TintaraUi& ui = w->ui();
    const bool shown = ui.Slider1[3]->isVisible() && ui.Slider1[4]->isVisible() &&
                       ui.Slider1[5]->isVisible() && ui.BackBar->isVisible() &&
                       ui.FAutoCK->isVisible();
    const bool hidden = !ui.Slider1[3]->isVisible() && !ui.Slider1[4]->isVisible() &&
                        !ui.Slider1[5]->isVisible() && !ui.BackBar->isVisible() &&
                        !ui.FAutoCK->isVisible();
    const bool loaded = !w->backPicture().isNull();
    if (!loaded && w->solidBack() && !ui.bmpbg->isEnabled() && !ui.bmpbg->isChecked() && shown)
        return State::NoPicture;
    if (loaded && !w->solidBack() && ui.bmpbg->isEnabled() && ui.bmpbg->isChecked() && hidden &&
        !ui.FAutoCK->isChecked())
        return State::PictureShown;
    if (loaded && w->solidBack() && ui.bmpbg->isEnabled() && !ui.bmpbg->isChecked() && shown)
        return State::ColourShown;
    return State::Inconsistent;
}

void doubleClick(Canvas* box)
{
    QTest::mouseDClick(box, Qt::LeftButton, {}, QPoint(20, 20));
}

// As a real drag does: the drag enters first, and Qt hands the drop only to a widget that
// welcomed the drag. Gives whether it was welcomed.
bool dropData(Canvas* box, const QMimeData& data)
{
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(box, &enter);
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &drop);
    return enter.isAccepted();
}

void dropFiles(Canvas* box, const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    QMimeData data;
    data.setUrls(urls);
    dropData(box, data);
}

void loadThroughDialog(const TestWindow& w, const QString& path)
{
    w.files().openAnswers << path;
    w->ui().LoadBGPic->trigger();
}

void typeCode(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

// Compares the preview with the picture tiled from the top-left corner, leaving out the pixels
// of the sample text (those that change with the text colour). Gives the number of mismatches,
// or -1 when too little of the box could be compared.
int tileMismatches(const TestWindow& w, const QImage& picture)
{
    QLineEdit* code = w->ui().ColorCode[0];
    const QImage first = w->ui().Picture1->buffer().copy();
    typeCode(code, code->text() == QStringLiteral("#FF00FF") ? QStringLiteral("#00FF00")
                                                             : QStringLiteral("#FF00FF"));
    const QImage second = w->ui().Picture1->buffer();
    int compared = 0;
    int mismatches = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            if (first.pixel(x, y) != second.pixel(x, y))
                continue;
            ++compared;
            mismatches +=
                first.pixel(x, y) != picture.pixel(x % picture.width(), y % picture.height());
        }
    }
    return compared < first.width() * first.height() * 8 / 10 ? -1 : mismatches;
}

} // namespace

class BackgroundPictureTest : public QObject
{
    Q_OBJECT
private slots:
    void pictureAndColourSwitchByDoubleClickAndMenu()
    {
        QTemporaryDir dir;
        const QImage tile = patternPicture(7, 5);
        TestWindow w;
        const TintaraUi& ui = w->ui();
        w.setChannels({0, 0, 0, 51, 102, 153});
        QVERIFY(ui.Picture1->acceptDrops());
        doubleClick(ui.Picture1); // no picture yet: only a redraw
        QCOMPARE(stateOf(w), State::NoPicture);
        QCOMPARE(ui.Picture1->buffer().pixel(1, 1), qRgb(51, 102, 153));

        loadThroughDialog(w, QString()); // cancelled
        QCOMPARE(stateOf(w), State::NoPicture);
        const QStringList filters = w.files().openRequests.value(0).nameFilters;
        QVERIFY(filters.value(0).startsWith(QStringLiteral("画像ファイル (*.bmp *.png")));
        QCOMPARE(filters.value(1), QStringLiteral("すべてのファイル (*)"));

        loadThroughDialog(w, savePicture(dir, QStringLiteral("tile.bmp"), tile));
        QCOMPARE(stateOf(w), State::PictureShown);
        QCOMPARE(w->backFile(), QStringLiteral("tile.bmp"));
        QCOMPARE(w->tileWidth(), 105);
        QCOMPARE(w->tileHeight(), 75);
        QCOMPARE(ui.Picture1->buffer().pixel(1, 1), tile.pixel(1, 1));
        QVERIFY(ui.cval[3]->isVisible() && ui.Bright[2]->isVisible());
        QVERIFY(ui.ColorCode[1]->isVisible());

        doubleClick(ui.Picture1);
        QCOMPARE(stateOf(w), State::ColourShown);
        QCOMPARE(ui.Picture1->buffer().pixel(1, 1), qRgb(51, 102, 153));
        ui.bmpbg->trigger();
        QCOMPARE(stateOf(w), State::PictureShown);
        ui.bmpbg->trigger();
        QCOMPARE(stateOf(w), State::ColourShown);

        // A load while the colour shows goes straight to the new picture.
        dropFiles(ui.Picture1, {savePicture(dir, QStringLiteral("b.png"), tile, "png")});
        QCOMPARE(stateOf(w), State::PictureShown);
        QCOMPARE(w->backFile(), QStringLiteral("b.png"));
        QCOMPARE(w.channels(), (Channels{0, 0, 0, 51, 102, 153}));
    }

    void dropTakesTheFirstLocalFile()
    {
        QTemporaryDir dir;
        const QString a = savePicture(dir, QStringLiteral("a.bmp"), patternPicture(4, 4));
        const QString b = savePicture(dir, QStringLiteral("b.bmp"), patternPicture(9, 9));
        const QString c = savePicture(dir, QStringLiteral("c.bmp"), patternPicture(2, 2));
        TestWindow w;
        Canvas* box = w->ui().Picture1;

        dropFiles(box, {a, b, c});
        QCOMPARE(w->backFile(), QStringLiteral("a.bmp"));
        QCOMPARE(w->tileWidth(), 60);
        dropFiles(box, {dir.filePath(QStringLiteral("gone.bmp")), b}); // the first decides
        QCOMPARE(w->backFile(), QStringLiteral("a.bmp"));
        QMimeData mixed;
        mixed.setUrls(
            {QUrl(QStringLiteral("https://www.example.org/a.bmp")), QUrl::fromLocalFile(c)});
        QVERIFY(dropData(box, mixed));
        QCOMPARE(w->backFile(), QStringLiteral("c.bmp"));
    }

    void automaticColourIsParkedWhileThePictureShows()
    {
        QTemporaryDir dir;
        const QString a = savePicture(dir, QStringLiteral("a.bmp"), patternPicture(4, 4));
        const QString b = savePicture(dir, QStringLiteral("b.bmp"), patternPicture(5, 5));
        TestWindow w;
        const TintaraUi& ui = w->ui();
        w.setChannels({12, 34, 56, 204, 102, 153});
        ui.FAutoCK->setChecked(true);

        loadThroughDialog(w, a);
        QCOMPARE(stateOf(w), State::PictureShown);
        QCOMPARE(w.channels(), (Channels{12, 34, 56, 204, 102, 153}));
        QVERIFY(!ui.fauto->isChecked() && ui.Slider1[0]->isEnabled() && ui.ForeBar->isVisible());

        // The hidden background still answers its buttons and its code box.
        ui.Bright[3]->click();
        typeCode(ui.ColorCode[1], QStringLiteral("#00FF33"));
        QCOMPARE(w.channels(), (Channels{12, 34, 56, 0, 255, 51}));

        // Back to the colour: on again, saving the foreground of the moment.
        ui.Slider1[0]->setValue(77);
        doubleClick(ui.Picture1);
        QCOMPARE(stateOf(w), State::ColourShown);
        QVERIFY(ui.FAutoCK->isChecked() && ui.fauto->isChecked());
        QCOMPARE(w.channels(), (Channels{255, 0, 255, 0, 255, 51}));

        // A second picture while the first shows records the box as it was forced, off.
        doubleClick(ui.Picture1);
        dropFiles(ui.Picture1, {b});
        doubleClick(ui.Picture1);
        QVERIFY(!ui.FAutoCK->isChecked() && !ui.fauto->isChecked());
        QCOMPARE(w.channels(), (Channels{77, 34, 56, 0, 255, 51}));

        // The menu item still works the hidden box while the picture shows.
        doubleClick(ui.Picture1);
        ui.fauto->trigger();
        QVERIFY(ui.FAutoCK->isChecked() && !ui.FAutoCK->isVisible());
        QCOMPARE(w.channels(), (Channels{255, 0, 255, 0, 255, 51}));
    }

    void previewTilesThePictureFromTheTopLeftCorner()
    {
        QTemporaryDir dir;
        TestWindow w;
        const QImage small = patternPicture(7, 5);
        dropFiles(w->ui().Picture1, {savePicture(dir, QStringLiteral("small.bmp"), small)});
        QCOMPARE(tileMismatches(w, small), 0);

        // Larger than the box: one copy at the corner, clipped.
        const QImage large = patternPicture(400, 300);
        dropFiles(w->ui().Picture1, {savePicture(dir, QStringLiteral("large.bmp"), large)});
        QCOMPARE(w->tileWidth(), 6000);
        QCOMPARE(tileMismatches(w, large), 0);

        const QImage dot = patternPicture(1, 1);
        dropFiles(w->ui().Picture1, {savePicture(dir, QStringLiteral("dot.bmp"), dot)});
        QCOMPARE(w->tileHeight(), 15);
        QCOMPARE(tileMismatches(w, dot), 0);
    }
};

TINTARA_TEST(BackgroundPictureTest)
#include "tst_backgroundpicture.moc"
