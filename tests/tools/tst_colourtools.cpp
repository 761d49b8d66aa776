#include "support/fakes.h"
#include "tools/autoforeground.h"
#include "tools/backgroundpicture.h"
#include "tools/brightness.h"

#include <QMimeData>

using namespace tintara;
using namespace tintara::test;

namespace {

// The picture state: 'A' no picture, 'B' picture shown, 'C' picture loaded and the colour shown,
// each with its menu marks and the background controls shown or hidden to match; '?' otherwise.
// In every state the automatic colour's marks agree with its check box: the menu mark, and while
// it is on the foreground sliders locked (but shown) and the foreground bar hidden.
char stateOf(const TestWindow& w)
{
    const TintaraUi& ui = w->ui();
    const bool automatic = ui.FAutoCK->isChecked();
    bool marks = ui.fauto->isChecked() == automatic && ui.ForeBar->isVisible() == !automatic;
    int shown = ui.BackBar->isVisible() + ui.FAutoCK->isVisible();
    for (int i = 0; i < 3; ++i) {
        marks = marks && ui.Slider1[i]->isEnabled() == !automatic && ui.Slider1[i]->isVisible();
        shown += ui.Slider1[i + 3]->isVisible();
    }
    const bool loaded = !w->backPicture().isNull();
    const bool solid = w->solidBack();
    if (!marks || ui.bmpbg->isEnabled() != loaded || ui.bmpbg->isChecked() == solid ||
        shown != (solid ? 5 : 0) || (automatic && !solid))
        return '?';
    return !loaded ? 'A' : solid ? 'C' : 'B';
}

} // namespace

class ColourToolsTest : public QObject
{
    Q_OBJECT
private slots:
    void brightnessStepIsAllOrNothingWithoutClampingOrSnapping()
    {
        // Exactly to the bounds, and not a step beyond them.
        const std::tuple<Rgb, bool, bool, std::optional<Rgb>> steps[] = {
            {{245, 245, 245}, true, false, Rgb{255, 255, 255}},
            {{10, 10, 10}, false, false, Rgb{0, 0, 0}},
            {{204, 153, 0}, true, true, Rgb{255, 204, 51}},
            {{205, 0, 0}, true, true, std::nullopt},
            {{204, 153, 0}, false, true, std::nullopt}};
        for (const auto& [colour, lighter, webSafe, result] : steps)
            QCOMPARE(steppedBrightness(colour, lighter, webSafe), result);
        QCOMPARE(automaticForeground(128), 255);
        QCOMPARE(automaticForeground(129), 0);
    }

    void picturesAreNamedAfterTheLastSeparatorOfTheSystemAndReadByTheirContent()
    {
#ifdef Q_OS_WIN
        const std::pair<const char*, const char*> names[] = {{"C:\\pics\\tile.bmp", "tile.bmp"},
                                                             {"C:\\pics\\", ""},
                                                             { "C:\\a/b\\c d.png",
                                                               "c d.png" }};
#else
        const std::pair<const char*, const char*> names[] = {
            {"/home/u/tile.bmp", "tile.bmp"},
            {"/home/u/", ""},
            {"/a/sky\\blue.bmp", "sky\\blue.bmp"},
            {"C:\\pics\\tile.bmp", "C:\\pics\\tile.bmp"}};
#endif
        for (const auto& [path, name] : names)
            QCOMPARE(extractFileName(QString::fromLatin1(path)), QString::fromLatin1(name));
        QCOMPARE(extractFileName(u"tile.bmp"_s), u"tile.bmp"_s);

        // A picture is read by its content, not by its name.
        QTemporaryDir dir;
        const QImage pattern = patternPicture(7, 5);
        QCOMPARE(readPicture(savePicture(dir, u"png.bmp"_s, pattern, "png"))
                     .convertToFormat(QImage::Format_RGB32),
                 pattern);
    }

    void brightnessStepsMoveAllThreeOrNothingAndNeverRunTheAutomaticRule()
    {
        TestWindow w(kFullColour);
        const TintaraUi& ui = w->ui();
        w.setChannels({100, 150, 200, 5, 200, 200});
        QImage backBar = ui.BackBar->buffer().copy();
        ui.Bright[0]->click();
        QCOMPARE(w.channels(), (Channels{110, 160, 210, 5, 200, 200}));
        QCOMPARE(ui.ColorCode[0]->text(), u"#6EA0D2"_s);
        QCOMPARE(ui.ForeBar->buffer().pixel(110, 5), kWhite);
        QCOMPARE(ui.BackBar->buffer(), backBar);

        // Refused steps redraw nothing, so a value set from code stays unseen.
        ui.Slider1[0]->setValue(250);
        const QImage preview = ui.Picture1->buffer().copy();
        const QImage foreBar = ui.ForeBar->buffer().copy();
        ui.Bright[0]->click();
        ui.Bright[3]->click();
        QCOMPARE(w.channels(), (Channels{250, 160, 210, 5, 200, 200}));
        QCOMPARE(ui.Picture1->buffer(), preview);
        QCOMPARE(ui.ForeBar->buffer(), foreBar);
        QCOMPARE(ui.BackBar->buffer(), backBar);

        w.setChannels({12, 34, 56, 120, 120, 120});
        ui.FAutoCK->setChecked(true);
        ui.Bright[2]->click(); // 130 would give black text if the rule ran
        QCOMPARE(w.channels(), (Channels{255, 255, 255, 130, 130, 130}));
        QCOMPARE(ui.BackBar->buffer().pixel(130, 5), kWhite);
    }

    void switchingTheAutomaticColourOffShowsTheRestoredTextColourRoundedAsTyped()
    {
        // In web-safe mode the restored colour is rounded as a typed code is, and its bar, hidden
        // while the colour was automatic, shows it with its marks.
        TestWindow w(kFullColour);
        const TintaraUi& ui = w->ui();
        typeInto(ui.ColorCode[0], u"#0C2238"_s);
        ui.FAutoCK->click();
        ui.w216->trigger();
        ui.FAutoCK->click();
        QCOMPARE(w.channels(), (Channels{0, 51, 51, 255, 255, 255}));
        QCOMPARE(ui.ForeBar->buffer().pixel(200, 10), qRgb(204, 51, 51));
        QCOMPARE(ui.ForeBar->buffer().pixel(0, 10), kWhite);

        // Also when the restored colour is the automatic one it replaces: black on white, with
        // the hidden bar drawn meanwhile for red text on a cyan background.
        TestWindow black(kFullColour);
        const TintaraUi& b = black->ui();
        b.FAutoCK->click();
        b.Slider1[3]->setFocus();
        QTest::keyClick(b.Slider1[3], Qt::Key_Home);
        b.w216->trigger();
        b.w216->trigger();
        QTest::keyClick(b.Slider1[3], Qt::Key_End);
        b.FAutoCK->click();
        QCOMPARE(b.ForeBar->buffer().pixel(200, 30), qRgb(0, 200, 0));
    }

    void pictureAndColourSwitchByDoubleClickAndMenuWithTheAutomaticColourKeptAside()
    {
        QTemporaryDir dir;
        const QImage tile = patternPicture(7, 5);
        const QString a = savePicture(dir, "a.bmp", tile);
        // In full colour, where the text colour kept aside comes back unrounded.
        TestWindow w(kFullColour);
        const TintaraUi& ui = w->ui();
        w.setChannels({12, 34, 56, 204, 102, 153});
        ui.FAutoCK->setChecked(true);
        // No picture yet: only a redraw.
        QTest::mouseDClick(ui.Picture1, Qt::LeftButton, {}, {20, 20});
        QCOMPARE(stateOf(w), 'A');
        w.files().openAnswers << QString(); // cancelled
        ui.LoadBGPic->trigger();
        QCOMPARE(stateOf(w), 'A');
        // Pictures first, then every file.
        const QStringList filters = w.files().openRequests.last().nameFilters;
        QCOMPARE(filters.size(), 2);
        QVERIFY(filters[0].startsWith(u"画像ファイル ("_s) && filters[0].contains(u"*.bmp"_s));
        QCOMPARE(filters[1], u"すべてのファイル (*)"_s);

        w.files().openAnswers << a;
        ui.LoadBGPic->trigger();
        QCOMPARE(stateOf(w), 'B');
        QCOMPARE(w->backFile(), u"a.bmp"_s);
        QCOMPARE(ui.Picture1->buffer().pixel(1, 1), tile.pixel(1, 1));
        QCOMPARE(w.channels(), (Channels{12, 34, 56, 204, 102, 153}));
        QVERIFY(ui.cval[3]->isVisible() && ui.Bright[2]->isVisible() &&
                ui.ColorCode[1]->isVisible());

        // The hidden background still answers its buttons and its code box.
        ui.Bright[3]->click();
        typeInto(ui.ColorCode[1], u"#00FF33"_s);
        QCOMPARE(w.channels(), (Channels{12, 34, 56, 0, 255, 51}));

        // Back to the colour: automatic again, keeping the foreground of the moment aside.
        ui.Slider1[0]->setValue(77);
        QTest::mouseDClick(ui.Picture1, Qt::LeftButton, {}, {20, 20});
        QCOMPARE(stateOf(w), 'C');
        QVERIFY(ui.FAutoCK->isChecked());
        QCOMPARE(ui.Picture1->buffer().pixel(1, 1), qRgb(0, 255, 51));
        QCOMPARE(w.channels(), (Channels{255, 0, 255, 0, 255, 51}));
        ui.bmpbg->trigger();
        QCOMPARE(stateOf(w), 'B');
        ui.bmpbg->trigger();
        QCOMPARE(stateOf(w), 'C');

        // A second picture while the first shows records the box as it was forced, off.
        QTest::mouseDClick(ui.Picture1, Qt::LeftButton, {}, {20, 20});
        dropFiles(ui.Picture1, {savePicture(dir, "b.png", tile, "png")});
        QCOMPARE(w->backFile(), u"b.png"_s);
        QTest::mouseDClick(ui.Picture1, Qt::LeftButton, {}, {20, 20});
        QVERIFY(!ui.FAutoCK->isChecked());
        QCOMPARE(w.channels(), (Channels{77, 34, 56, 0, 255, 51}));

        // A load while the colour shows goes straight to the new picture; the menu item still
        // works the hidden box.
        dropFiles(ui.Picture1, {a});
        QCOMPARE(stateOf(w), 'B');
        ui.fauto->trigger();
        QVERIFY(ui.FAutoCK->isChecked() && !ui.FAutoCK->isVisible());
        QCOMPARE(w.channels(), (Channels{255, 0, 255, 0, 255, 51}));
    }

    void dropTakesTheFirstLocalFile()
    {
        QTemporaryDir dir;
        const QString a = savePicture(dir, "a.bmp", patternPicture(4, 4));
        const QString b = savePicture(dir, "b.bmp", patternPicture(9, 9));
        const QString c = savePicture(dir, "c.bmp", patternPicture(2, 2));
        TestWindow w;
        dropFiles(w->ui().Picture1, {a, b, c});
        QCOMPARE(w->backFile(), u"a.bmp"_s);
        QCOMPARE(w->tileWidth(), 60);
        dropFiles(w->ui().Picture1, {dir.filePath("gone.bmp"), b}); // the first decides
        QCOMPARE(w->backFile(), u"a.bmp"_s);
        QMimeData mixed;
        mixed.setUrls({QUrl(u"https://www.example.org/a.bmp"_s), QUrl::fromLocalFile(c)});
        QCOMPARE(dropOn(w->ui().Picture1, mixed), Qt::CopyAction);
        QCOMPARE(w->backFile(), u"c.bmp"_s);

        // Never taken as a move: the source would delete the user's picture.
        QMimeData moved;
        moved.setUrls({QUrl::fromLocalFile(a)});
        const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
        QCOMPARE(dropOn(w->ui().Picture1, moved, copyOrMove, Qt::ShiftModifier), Qt::CopyAction);
        QCOMPARE(w->backFile(), u"a.bmp"_s);
        QCOMPARE(dropOn(w->ui().Picture1, mixed, Qt::MoveAction), Qt::IgnoreAction);
        QCOMPARE(w->backFile(), u"a.bmp"_s);
    }

    void previewTilesThePictureFromTheTopLeftCorner()
    {
        QTemporaryDir dir;
        TestWindow w;
        // Small, larger than the box (one copy at the corner, clipped), and a single pixel; the
        // corner compared lies clear of the sample text.
        for (const QSize size : {QSize(7, 5), QSize(400, 300), QSize(1, 1)}) {
            const QImage picture = patternPicture(size.width(), size.height());
            dropFiles(w->ui().Picture1, {savePicture(dir, u"tile.bmp"_s, picture)});
            QCOMPARE(QSize(w->tileWidth(), w->tileHeight()), size * 15);
            const QImage& preview = w->ui().Picture1->buffer();
            for (int y = 0; y < 12; ++y) {
                for (int x = 0; x < 30; ++x)
                    QCOMPARE(preview.pixel(x, y),
                             picture.pixel(x % size.width(), y % size.height()));
            }
        }
    }
};

TINTARA_TEST_MAIN(ColourToolsTest)
#include "tst_colourtools.moc"
