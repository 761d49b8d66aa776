#include "platform/twips.h"
#include "support/fakes.h"

using namespace tintara;
using namespace tintara::test;

// Runs where a logical pixel is not one device pixel of 15 twips: at twice the density
// (QT_SCALE_FACTOR=2) and at 120 DPI unscaled (12 twips a pixel); their CTest entries set that
// up. The window keeps its design in twips, and the bars fill their boxes and are picked over
// their whole width, drawn at device resolution rather than enlarged.
class HighDpiTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(qApp->devicePixelRatio() != 1.0 || TestWindow()->twips() != TwipsScale(),
                 "run this test at another density, as its CTest entries do");
    }

    void windowKeepsItsDesignAndTheBarsFillAndPickTheirWholeBoxes()
    {
        TestWindow w;
        const TwipsScale t = w->twips();
        QCOMPARE(w->centralWidget()->size(), t.rect(0, 0, 10035, 4620).size());
        const qreal dpr = w->devicePixelRatioF();
        QCOMPARE(w->ui().Picture1->buffer().size(), w->ui().Picture1->size() * dpr);

        // Every device pixel of the background bar over white is painted: its strips run
        // through colours that keep two channels at 255, never the window's grey.
        Canvas* bar = w->ui().BackBar;
        const QRgb unpainted = bar->palette().color(QPalette::Window).rgb();
        QCOMPARE(countPixels(bar->buffer(), unpainted), 0);

        // The red strip's six web-safe cells end where the box's sixths do, in device pixels of
        // the window as shown.
        const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), w->size() * dpr);
        const QPoint origin = bar->mapTo(w.get(), QPoint(0, 0)) * dpr;
        const qreal cell = bar->width() * dpr / 6;
        for (int k = 1; k < 6; ++k) {
            const int edge = qRound(k * cell);
            QCOMPARE(QColor(shot.pixel(origin + QPoint(edge - 1, 2))),
                     QColor(qRgb((k - 1) * 51, 255, 255)));
            QCOMPARE(QColor(shot.pixel(origin + QPoint(edge, 2))), QColor(qRgb(k * 51, 255, 255)));
        }

        // In full colour, the last pixel picks 255 and the middle one 128.
        w->ui().w216->trigger();
        const QPoint last(bar->width() - 1, bar->height() - 1);
        sendMouse(bar, QEvent::MouseButtonPress, last);
        QCOMPARE(w.channels(), (Channels{0, 0, 0, 255, 255, 255}));
        sendMouse(bar, QEvent::MouseMove, {bar->width() / 2, last.y()});
        QCOMPARE(w.channels(), (Channels{0, 0, 0, 255, 255, 128}));
    }

    void statusLineIsReadWholeOnMoreLinesWhereOneIsNotEnough()
    {
        TestWindow w(kFullColor);
        const QTemporaryDir dir;
        QCOMPARE(showLongestStatusLine(w, dir), QString());
        QCOMPARE(w->centralWidget()->size(), w->twips().rect(0, 0, 10035, 4620).size());
    }
};

TINTARA_TEST_MAIN(HighDpiTest)
#include "tst_highdpi.moc"
