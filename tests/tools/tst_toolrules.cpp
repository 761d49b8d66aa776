#include "tools/autoforeground.h"
#include "tools/backgroundpicture.h"
#include "tools/brightness.h"

#include "support/testregistry.h"
#include "testpictures.h"

#include <QImageReader>
#include <QTest>

using namespace tintara;
using namespace tintara::test;

class ToolRulesTest : public QObject
{
    Q_OBJECT
private slots:
    void brightnessStepIsAllOrNothingWithoutClampingOrSnapping()
    {
        struct Case
        {
            Rgb colour;
            bool lighter;
            bool webSafe;
            std::optional<Rgb> result;
        };
        const Case cases[] = {
            {{100, 150, 200}, true, false, Rgb{110, 160, 210}},
            {{100, 150, 200}, false, false, Rgb{90, 140, 190}},
            {{250, 100, 100}, true, false, std::nullopt},
            {{250, 100, 100}, false, false, Rgb{240, 90, 90}},
            {{5, 200, 200}, false, false, std::nullopt},
            {{245, 245, 245}, true, false, Rgb{255, 255, 255}},
            {{0, 0, 0}, false, false, std::nullopt},
            {{204, 153, 0}, true, true, Rgb{255, 204, 51}},
            {{204, 153, 0}, false, true, std::nullopt},
            {{255, 255, 204}, true, true, std::nullopt},
            {{100, 100, 100}, true, true, Rgb{151, 151, 151}},
            {{205, 0, 0}, true, true, std::nullopt},
        };
        for (const Case& c : cases)
            QCOMPARE(steppedBrightness(c.colour, c.lighter, c.webSafe), c.result);
    }

    void automaticForegroundCountsUpTo128AsDark()
    {
        QCOMPARE(automaticForeground(0), 255);
        QCOMPARE(automaticForeground(128), 255);
        QCOMPARE(automaticForeground(129), 0);
        QCOMPARE(automaticForeground(255), 0);
    }

    void fileNameFollowsTheLastSeparatorOfEitherKind()
    {
        QCOMPARE(extractFileName(QStringLiteral("C:\\pics\\tile.bmp")), QStringLiteral("tile.bmp"));
        QCOMPARE(extractFileName(QStringLiteral("tile.bmp")), QStringLiteral("tile.bmp"));
        QCOMPARE(extractFileName(QStringLiteral("C:\\pics\\")), QString());
        QCOMPARE(extractFileName(QStringLiteral("C:/pics/tile.bmp")), QStringLiteral("tile.bmp"));
        QCOMPARE(extractFileName(QStringLiteral("/home/u/tile.bmp")), QStringLiteral("tile.bmp"));
        QCOMPARE(extractFileName(QStringLiteral("C:\\a/b\\c d.png")), QStringLiteral("c d.png"));
    }

    void openDialogOffersOnlyReadableFormatsBeforeAllFiles()
    {
        QCOMPARE(pictureNameFilters({"png", "bmp", "xpm", "ico"}),
                 (QStringList{QStringLiteral("画像ファイル (*.bmp *.png *.ico)"),
                              QStringLiteral("すべてのファイル (*)")}));
    }

    void picturesLoadByContentNotByName()
    {
        QTemporaryDir dir;
        const QImage pattern = patternPicture(7, 5);
        QCOMPARE(readPicture(savePicture(dir, QStringLiteral("t.bmp"), pattern))
                     .convertToFormat(QImage::Format_RGB32),
                 pattern);
        QCOMPARE(readPicture(savePicture(dir, QStringLiteral("png.bmp"), pattern, "png"))
                     .convertToFormat(QImage::Format_RGB32),
                 pattern);
        for (const char* format : {"jpg", "ico"}) {
            if (QImageReader::supportedImageFormats().contains(format))
                QCOMPARE(
                    readPicture(savePicture(dir, QStringLiteral("t.") + format, pattern, format))
                        .size(),
                    QSize(7, 5));
        }
    }
};

TINTARA_TEST(ToolRulesTest)
#include "tst_toolrules.moc"
