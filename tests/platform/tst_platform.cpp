#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "platform/twips.h"
#include "support/testregistry.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace tintara;

class PlatformTest : public QObject
{
    Q_OBJECT
private slots:
    void designTwipsMapToWholePixels()
    {
        QCOMPARE(twipsRect(4920, 555, 4965, 3900, 15), QRect(328, 37, 331, 260));
        QCOMPARE(twipsRect(0, 0, 10035, 4620, 15).size(), QSize(669, 308));
        // Controls that touch in twips touch on screen at any scale.
        const QRect left = twipsRect(100, 0, 1007, 10, 12);
        const QRect right = twipsRect(1107, 0, 500, 10, 12);
        QCOMPARE(left.right() + 1, right.left());
    }

    void codeSetValuesReportChangeButNotScroll()
    {
        ChannelSlider slider;
        QSignalSpy changed(&slider, &ChannelSlider::changed);
        QSignalSpy scrolled(&slider, &ChannelSlider::scrolled);
        slider.setValue(100);
        slider.setValue(100);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(scrolled.count(), 0);
    }

    void userKeysScrollAfterTheValueIsInPlace()
    {
        ChannelSlider slider;
        slider.setPageStep(51);
        slider.show();
        QVERIFY(QTest::qWaitForWindowExposed(&slider));
        slider.setFocus();
        QList<int> seen;
        connect(&slider, &ChannelSlider::scrolled, this, [&] { seen << slider.value(); });
        QTest::keyClick(&slider, Qt::Key_Right);
        QTest::keyClick(&slider, Qt::Key_PageUp);
        QTest::keyClick(&slider, Qt::Key_End);
        QCOMPARE(seen, (QList<int>{1, 52, 255}));
    }

    void userDragScrollsOncePerMovement()
    {
        ChannelSlider slider;
        slider.resize(300, 40);
        slider.show();
        QVERIFY(QTest::qWaitForWindowExposed(&slider));
        QSignalSpy scrolled(&slider, &ChannelSlider::scrolled);
        QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(280, 20));
        QVERIFY(scrolled.count() >= 1);
        QVERIFY(slider.value() > 0);
    }

    void canvasKeepsItsDrawingAtDeviceResolution()
    {
        Canvas canvas;
        canvas.resize(40, 30);
        canvas.buffer().fill(Qt::red);
        QCOMPARE(canvas.buffer().deviceIndependentSize(), QSizeF(40, 30));
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        const QImage shown = canvas.grab().toImage();
        QCOMPARE(shown.pixel(20, 15), qRgb(255, 0, 0));
        // A resize keeps what was drawn.
        canvas.resize(50, 30);
        QCOMPARE(canvas.buffer().pixel(10, 10), qRgb(255, 0, 0));
    }
};

TINTARA_TEST(PlatformTest)
#include "tst_platform.moc"
