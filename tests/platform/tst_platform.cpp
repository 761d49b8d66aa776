#include "platform/qttexts.h"
#include "support/fakes.h"

#include <QFileDialog>
#include <QSignalSpy>
#include <csignal>

using namespace tintara;
using namespace tintara::test;

class PlatformTest : public QObject
{
    Q_OBJECT
private slots:
    void designTwipsMapToWholePixels()
    {
        QCOMPARE(TwipsScale(15).rect(4920, 555, 4965, 3900), QRect(328, 37, 331, 260));
        // The far edge is converted rather than the size, so neighbours that touch in twips touch
        // on screen at any scale.
        QCOMPARE(TwipsScale(12).rect(7, 7, 7, 7), QRect(1, 1, 0, 0));
        QCOMPARE(TwipsScale(12).toPixelsAtLeast(36), 3);
        QCOMPARE(TwipsScale(12).toPixelsAtLeast(37), 4);
    }

    void sliderReportsEveryChangeButScrollsOnlyForTheUserOnceTheValueIsInPlace()
    {
        ChannelSlider slider;
        slider.setPageStep(51);
        slider.resize(300, 40);
        slider.show();
        QVERIFY(QTest::qWaitForWindowExposed(&slider));
        QSignalSpy changed(&slider, &ChannelSlider::changed);
        QList<int> scrolled;
        connect(&slider, &ChannelSlider::scrolled, this, [&] { scrolled << slider.value(); });
        slider.setValue(100);
        slider.setValue(100);
        QVERIFY(changed.count() == 1 && scrolled.isEmpty());

        slider.setValue(0);
        slider.setFocus();
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_PageUp, Qt::Key_End})
            QTest::keyClick(&slider, key);
        QCOMPARE(scrolled, (QList<int>{1, 52, 255}));
        slider.setValue(0);
        QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(280, 20));
        QVERIFY(scrolled.size() > 3 && scrolled.last() > 0);
    }

    void terminationSignalsReachTheListenerThroughTheEventLoop()
    {
        struct sigaction before = {};
        ::sigaction(SIGINT, nullptr, &before);
        {
            TerminationSignals first;
            QSignalSpy firstHeard(&first, &TerminationSignals::requested);
            TerminationSignals second;
            QSignalSpy secondHeard(&second, &TerminationSignals::requested);
            std::raise(SIGINT);
            QCOMPARE(firstHeard.count(), 0); // never from inside the handler
            QTRY_COMPARE(firstHeard.count(), 1);
            QCOMPARE(firstHeard.at(0).at(0).toInt(), SIGINT);
            std::raise(SIGHUP);
            QTRY_COMPARE(firstHeard.count(), 2);
            QCOMPARE(secondHeard.count(), 0);
        }
        struct sigaction after = {};
        ::sigaction(SIGINT, nullptr, &after);
        QVERIFY(after.sa_handler == before.sa_handler);
    }

    void saveDialogRefusesAFolderThatDoesNotExist()
    {
        QTemporaryDir folder;
        const SaveFileRequest request{u"tintara.htm"_s, {u"HTMLﾌｧｲﾙ (*.htm)"_s}, u"htm"_s};
        useJapaneseQtTexts();
        MessageBoxCatcher messages;
        onModal<QFileDialog>([&](QFileDialog* dialog) {
            QCOMPARE(dialog->nameFilters(), request.nameFilters);
            dialog->selectFile(folder.filePath(u"missing/page"_s));
            QMetaObject::invokeMethod(dialog, "accept");
            QVERIFY(dialog->isVisible() && messages.texts.size() == 1);
            QCOMPARE(dialog->labelText(QFileDialog::Reject),
                     u"キャンセル"_s); // Qt's own, in Japanese
            dialog->selectFile(folder.filePath(u"page"_s));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QCOMPARE(DialogFileChooser().chooseSaveFile(nullptr, request),
                 folder.filePath(u"page.htm"_s));
    }
};

TINTARA_TEST_MAIN(PlatformTest)
#include "tst_platform.moc"
