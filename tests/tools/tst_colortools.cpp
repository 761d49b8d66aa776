#include "support/fakes.h"
#include "tools/autoforeground.h"
#include "tools/brightness.h"

#include <QMimeData>

using namespace tintara;
using namespace tintara::test;


class ColorToolsTest : public QObject
{
    Q_OBJECT
private slots:
    void brightnessStepsAllThreeOrNoneAndTheAutomaticColorTurnsAbove128()
    {
        // 10 in full colour, 51 web-safe: exactly to the bounds, and not a step beyond them.
        // clang-format off
        const std::tuple<Rgb, bool, bool, std::optional<Rgb>> steps[] = {
            {{245, 245, 245}, true, false, Rgb{255, 255, 255}}, {{0, 0, 246}, true, false, std::nullopt},
            {{10, 10, 10}, false, false, Rgb{0, 0, 0}}, {{255, 255, 9}, false, false, std::nullopt},
            {{204, 153, 0}, true, true, Rgb{255, 204, 51}}};
        // clang-format on
        for (const auto& [color, lighter, webSafe, result] : steps)
            QCOMPARE(steppedBrightness(color, lighter, webSafe), result);
        QVERIFY(automaticForeground(128) == 255 && automaticForeground(129) == 0);
    }

    void brightnessButtonsStepTheirColorAndRedrawItsBar()
    {
        TestWindow w(kFullColor);
        const TintaraUi& ui = w->ui();
        w.setChannels({100, 150, 200, 110, 200, 200});
        for (const int button : {0, 0, 1, 3})
            ui.Bright[button]->click();
        QCOMPARE(w.channels(), (Channels{110, 160, 210, 100, 190, 190}));
        QCOMPARE(ui.ColorCode[0]->text(), u"#6EA0D2"_s);
        QCOMPARE(ui.ForeBar->buffer().pixel(110, 5), kWhite);
        QCOMPARE(ui.BackBar->buffer().pixel(100, 5), kWhite);
    }

    void picturesComeByMenuOrDropAndSwitchWithTheColorKeepingTheAutomaticColorAside()
    {
        QTemporaryDir dir;
        QImage small = patternPicture(7, 5).convertToFormat(QImage::Format_ARGB32);
        small.setPixel(0, 0, qRgba(0, 0, 0, 0)); // shows the box's own colour
        const QImage large = patternPicture(400, 300);
        const QString a = savePicture(dir, "a.bmp", small, "png"); // read by its content
        const QString b = savePicture(dir, "b.bmp", large);
        TestWindow w(kFullColor);
        const TintaraUi& ui = w->ui();
        Canvas* preview = ui.Picture1;
        const auto doubleClick = [&] { QTest::mouseDClick(preview, Qt::LeftButton); };
        w.setChannels({12, 34, 56, 204, 102, 153});
        ui.FAutoCK->setChecked(true);
        doubleClick();
        QVERIFY(!w->model().pictureShown() && !ui.bmpbg->isEnabled());
        w.files().openAnswers << b;
        ui.LoadBGPic->trigger();
        QVERIFY(w->model().pictureShown() && !w->model().automaticText());
        QCOMPARE(preview->buffer().pixel(29, 11), large.pixel(29, 11)); // one copy, clipped
        const QStringList filters = w.files().openRequests.last().nameFilters;
        QVERIFY(filters.value(0).startsWith(u"画像ファイル (*.bmp *.png"_s));
        QCOMPARE(filters.mid(1), QStringList{u"すべてのファイル (*)"_s});

        // Back to the colour: automatic again, keeping the text colour of the moment aside.
        ui.Slider1[0]->setValue(77);
        doubleClick();
        QVERIFY(!w->model().pictureShown() && w->model().automaticText());
        QCOMPARE(w.channels(), (Channels{0, 255, 0, 204, 102, 153}));
        ui.bmpbg->trigger();
        QCOMPARE(ui.ForeBar->buffer().pixel(77, 5), kWhite); // the restored text colour
        // A picture dropped while one shows keeps the box aside as it was forced, off. The first
        // local file dropped is taken and tiled from the corner, clear of the sample text.
        dropFiles(preview, {a, b});
        QCOMPARE(QSize(w->tileWidth(), w->tileHeight()), QSize(105, 75));
        QCOMPARE(preview->buffer().pixel(8, 6), small.pixel(1, 1));
        QCOMPARE(preview->buffer().pixel(3, 70), small.pixel(3, 0));
        QCOMPARE(preview->buffer().pixel(0, 0), preview->palette().color(QPalette::Window).rgb());
        doubleClick();
        QCOMPARE(w.channels(), (Channels{77, 34, 56, 204, 102, 153}));
        QCOMPARE(preview->buffer().pixel(1, 1), qRgb(204, 102, 153));

        // One dropped while the colour shows is shown at once, but never taken as a move: the
        // source would delete the file. The menu item still works the hidden box.
        QMimeData mixed;
        mixed.setUrls({QUrl(u"https://www.example.org/a.bmp"_s), QUrl::fromLocalFile(b)});
        QCOMPARE(dropOn(preview, mixed, Qt::MoveAction), Qt::IgnoreAction);
        QVERIFY(!w->model().pictureShown());
        const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
        QCOMPARE(dropOn(preview, mixed, copyOrMove, Qt::ShiftModifier), Qt::CopyAction);
        QVERIFY(w->model().pictureShown());
        ui.fauto->trigger();
        QVERIFY(ui.FAutoCK->isChecked() && !ui.FAutoCK->isVisible());
        QCOMPARE(w.channels(), (Channels{0, 255, 0, 204, 102, 153}));
        dropFiles(preview, {dir.filePath("gone.bmp"), a}); // the first local file decides
        QVERIFY(w->checkUi().status->toolTip().endsWith(u"(gone.bmp): ファイルがありません"_s));

        // Ctrl+X switches the picture from a code box too, and cuts nothing there.
        QLineEdit* code = ui.ColorCode[1];
        code->setFocus();
        code->selectAll();
        QTest::keyClick(code, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(!w->model().pictureShown());
        QCOMPARE(code->text(), u"#CC6699"_s);
    }
};

TINTARA_TEST_MAIN(ColorToolsTest)
#include "tst_colortools.moc"
