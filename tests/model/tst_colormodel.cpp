#include "model/colorhistory.h"
#include "model/colormodel.h"
#include "support/testmain.h"

#include <QRandomGenerator>
#include <QSignalSpy>

using namespace tintara;

namespace {

using Changes = ColorModel::Changes;

// A model in the given modes with the given colours, set from code.
struct Start
{
    Channels channels{0, 0, 0, 255, 255, 255};
    bool web216 = false;
    bool automatic = false;
};

void prepare(ColorModel& model, const Start& start)
{
    for (int i = 0; i < kChannelCount; ++i)
        model.setChannel(i, start.channels[i]);
    model.setAutomaticText(start.automatic);
    // Switched on from code, without the rounding of the switch.
    if (start.web216) {
        const Channels kept = model.channels();
        model.setWeb216(true);
        for (int i = 0; i < kChannelCount; ++i)
            model.setChannel(i, kept[i]);
    }
}

} // namespace

class ColorModelTest : public QObject
{
    Q_OBJECT
private slots:
    void eachOperationAppliesTheRulesOfTheModes()
    {
        const Channels grey{100, 100, 100, 200, 100, 128};
        const struct
        {
            const char* what;
            Start start;
            std::function<void(ColorModel&)> action;
            Channels expected;
        } cases[] = {
            {"web-safe movement rounds to the nearest multiple of 51",
             {grey, true},
             [](ColorModel& m) { m.moveChannel(0, 25); },
             {0, 100, 100, 200, 100, 128}},
            {"26 rounds up", {grey, true}, [](ColorModel& m) { m.moveChannel(1, 26); },
             {100, 51, 100, 200, 100, 128}},
            {"229 rounds down", {grey, true}, [](ColorModel& m) { m.moveChannel(2, 229); },
             {100, 100, 204, 200, 100, 128}},
            {"230 rounds up", {grey, true}, [](ColorModel& m) { m.moveChannel(5, 230); },
             {100, 100, 100, 200, 100, 255}},
            {"automatic: a background channel of 128 gives 255",
             {grey, false, true},
             [](ColorModel& m) { m.moveChannel(3, 128); },
             {255, 255, 255, 128, 100, 128}},
            {"129 gives 0, the other channels untouched",
             {grey, false, true},
             [](ColorModel& m) { m.moveChannel(5, 129); },
             {0, 255, 0, 200, 100, 129}},
            {"web-safe and automatic: 140 rounds to 153, its text channel 0",
             {grey, true, true},
             [](ColorModel& m) { m.moveChannel(4, 140); },
             {0, 0, 255, 200, 153, 128}},
            {"without the automatic colour the text stays",
             {grey},
             [](ColorModel& m) { m.moveChannel(3, 0); },
             {100, 100, 100, 0, 100, 128}},
            {"a value set from code: no rule", {grey, true, true},
             [](ColorModel& m) { m.setChannel(3, 1); }, {0, 255, 255, 1, 100, 128}},
            {"a typed code is rounded, with no automatic rule",
             {grey, true, true},
             [](ColorModel& m) { m.typeColor(Side::Background, {0x19, 0x7F, 0x80}); },
             {0, 255, 255, 0, 102, 153}},
            {"a set: the text, then the background, each as typed; no colour, no change",
             {grey, true},
             [](ColorModel& m) { m.chooseSet(Rgb{26, 0, 255}, std::nullopt); },
             {51, 0, 255, 200, 100, 128}},
            {"brightness: all three or none, not rounded",
             {grey, true},
             [](ColorModel& m) {
                 m.stepBrightness(Side::Text, true);
                 m.stepBrightness(Side::Background, true);
             },
             {151, 151, 151, 251, 151, 179}},
            {"full colour brightness steps by 10", {grey},
             [](ColorModel& m) { m.stepBrightness(Side::Background, false); },
             {100, 100, 100, 190, 90, 118}},
            {"off a bar's end the channel stays, the rounding still applies",
             {grey, true},
             [](ColorModel& m) { m.pickOnBar(Side::Text, 1, 306); },
             {100, 102, 100, 200, 100, 128}},
            {"off a bar's rows nothing happens", {grey, true},
             [](ColorModel& m) { m.pickOnBar(Side::Background, 3, 51); }, grey},
            {"a picked background decides the automatic text",
             {grey, false, true},
             [](ColorModel& m) { m.pickOnBar(Side::Background, 2, 255); },
             {0, 255, 0, 200, 100, 255}},
            {"switching web-safe on rounds all six in order, the automatic text after",
             {{25, 26, 127, 128, 229, 230}, false, true},
             [](ColorModel& m) { m.setWeb216(true); },
             {0, 0, 0, 153, 204, 255}},
            {"switching off leaves the values", {{25, 26, 127, 128, 229, 230}, true},
             [](ColorModel& m) { m.setWeb216(false); }, {25, 26, 127, 128, 229, 230}},
            {"the automatic text colour comes back as it was, also in web-safe mode",
             {{12, 34, 56, 200, 100, 128}, true},
             [](ColorModel& m) {
                 m.setAutomaticText(true);
                 m.moveChannel(3, 0);
                 m.setAutomaticText(false);
             },
             {12, 34, 56, 0, 100, 128}},
            {"a colour from the screen goes as the sliders take it",
             {grey, true, true},
             [](ColorModel& m) { m.takeFromScreen(Side::Background, {0x19, 0x7F, 0x80}); },
             {255, 255, 0, 0, 102, 153}},
            {"a restored state is exact", {grey, true, true},
             [](ColorModel& m) { m.restore({{1, 2, 3, 4, 5, 6}}); }, {1, 2, 3, 4, 5, 6}},
        };
        for (const auto& c : cases) {
            ColorModel model;
            prepare(model, c.start);
            c.action(model);
            QVERIFY2(model.channels() == c.expected, c.what);
        }
    }

    void thePictureKeepsTheAutomaticSwitchAside()
    {
        ColorModel model;
        prepare(model, {{12, 34, 56, 200, 100, 128}, false, true});
        model.setPictureShown(true); // nothing loaded: nothing happens
        QVERIFY(!model.pictureShown() && model.automaticText());
        model.loadPicture();
        QVERIFY(model.pictureShown() && !model.automaticText() && model.automaticKeptAside());
        QCOMPARE(model.text(), (Rgb{12, 34, 56}));
        // A second picture while one shows takes the switch as it is then: off.
        model.loadPicture();
        QVERIFY(!model.automaticKeptAside());
        model.setPictureShown(false);
        QVERIFY(!model.automaticText());
        // Back to the colour from a picture shown with the switch on: on again, the text colour
        // of that moment kept aside.
        model.setPictureShown(true);
        model.setAutomaticText(true);
        model.setPictureShown(true);
        model.setChannel(0, 77);
        model.setPictureShown(false);
        QVERIFY(model.automaticText());
        QCOMPARE(model.text(), (Rgb{0, 255, 255}));
        model.setAutomaticText(false);
        QCOMPARE(model.text(), (Rgb{77, 34, 56}));
    }

    void everyOperationAnnouncesOnceWhatItChanged()
    {
        const Changes colors = ColorModel::Colors;
        const struct
        {
            std::function<void(ColorModel&)> action;
            Changes expected; // within what is announced
            Changes absent;
        } cases[] = {
            {[](ColorModel& m) { m.moveChannel(0, 9); }, colors,
             ColorModel::TextBar | ColorModel::BackBar},
            {[](ColorModel& m) { m.setChannel(0, 9); }, ColorModel::Value, colors},
            {[](ColorModel& m) { m.typeColor(Side::Text, {1, 2, 3}); },
             colors | ColorModel::TextBar, ColorModel::BackBar},
            {[](ColorModel& m) { m.chooseSet(std::nullopt, Rgb{1, 2, 3}); },
             colors | ColorModel::BackBar, ColorModel::TextBar},
            {[](ColorModel& m) { m.stepBrightness(Side::Background, false); },
             colors | ColorModel::BackBar, ColorModel::TextBar},
            {[](ColorModel& m) { m.setWeb216(true); },
             colors | ColorModel::TextBar | ColorModel::BackBar | ColorModel::Web216, {}},
            {[](ColorModel& m) { m.setAutomaticText(true); }, colors | ColorModel::Automatic,
             ColorModel::TextBar},
            {[](ColorModel& m) { m.takeFromScreen(Side::Text, {1, 2, 3}); },
             colors | ColorModel::TextBar, ColorModel::BackBar},
            {[](ColorModel& m) { m.loadPicture(); }, colors | ColorModel::Picture, {}},
            {[](ColorModel& m) { m.setVision(Vision::Tritanopia); }, ColorModel::Vision, colors},
            {[](ColorModel& m) { m.setAaaTarget(true); }, ColorModel::Target, colors},
        };
        for (const auto& c : cases) {
            ColorModel model;
            QSignalSpy spy(&model, &ColorModel::changed);
            c.action(model);
            QCOMPARE(spy.size(), 1);
            const auto what = spy.at(0).at(0).value<Changes>();
            QVERIFY((what & c.expected) == c.expected && !(what & c.absent));
        }
        // An operation that changes nothing says nothing.
        ColorModel model;
        QSignalSpy spy(&model, &ColorModel::changed);
        model.stepBrightness(Side::Background, true);
        model.setAutomaticText(false);
        model.setPictureShown(true);
        QCOMPARE(spy.size(), 0);
    }

    void randomActionsKeepTheRulesAndUndoRedoReturnsExactly()
    {
        for (quint32 seed = 1; seed <= 40; ++seed) {
            QRandomGenerator random(seed);
            ColorModel model;
            ColorHistory history;
            history.reset(model.state());
            const auto anyRgb = [&random] {
                return Rgb{int(random.bounded(256)), int(random.bounded(256)),
                           int(random.bounded(256))};
            };
            for (int step = 0; step < 300; ++step) {
                const Side side = random.bounded(2) ? Side::Text : Side::Background;
                const int index = random.bounded(kChannelCount);
                int run = 0;
                switch (random.bounded(12)) {
                case 0:
                    model.moveChannel(index, random.bounded(256));
                    run = index + 1;
                    // A user's movement leaves a web-safe value, and the automatic text follows.
                    if (model.web216())
                        QCOMPARE(model.channel(index) % kWebSafeStep, 0);
                    if (model.automaticText() && index >= kBackFirst)
                        QCOMPARE(model.channel(index - kBackFirst),
                                 model.channel(index) > 128 ? 0 : 255);
                    break;
                case 1:
                    model.typeColor(side, anyRgb());
                    break;
                case 2:
                    model.chooseSet(anyRgb(), anyRgb());
                    break;
                case 3:
                    model.stepBrightness(side, random.bounded(2));
                    break;
                case 4:
                    model.pickOnBar(side, random.bounded(-1, 4), random.bounded(-20, 320));
                    break;
                case 5:
                    model.setWeb216(!model.web216());
                    break;
                case 6:
                    model.setAutomaticText(!model.automaticText());
                    break;
                case 7:
                    if (random.bounded(3) == 0)
                        model.loadPicture();
                    else
                        model.setPictureShown(!model.pictureShown());
                    break;
                case 8:
                    model.takeFromScreen(side, anyRgb());
                    break;
                case 9:
                    if (const auto state = history.undo())
                        model.restore(*state);
                    continue;
                case 10:
                    if (const auto state = history.redo())
                        model.restore(*state);
                    continue;
                default: {
                    const ColorState shown = model.state();
                    if (const auto state = history.undo()) {
                        model.restore(*state);
                        model.restore(*history.redo());
                        QVERIFY(model.state() == shown);
                    }
                    continue;
                }
                }
                history.record(model.state(), run);
                for (const int value : model.channels())
                    QVERIFY(value >= 0 && value <= kChannelMax);
            }
        }
    }

    void historyStepsJoinRunsAndForgetTheOldest()
    {
        ColorHistory history;
        ColorState state;
        history.reset(state);
        const auto set = [&state](int v) {
            state.channels[0] = v;
            return state;
        };
        // Keys on one slider make one step; a run back to its start makes none.
        history.record(set(1), 1);
        history.record(set(2), 1);
        history.record(set(3), 2);
        history.record(set(4), 2);
        history.record(set(3), 2);
        history.record(set(3));
        history.endRun();
        history.record(set(2), 2);
        history.record(set(3), 2);
        QCOMPARE(history.undo()->channels[0], 2);
        QCOMPARE(history.undo()->channels[0], 0);
        QVERIFY(!history.undo() && history.canRedo());
        QCOMPARE(history.redo()->channels[0], 2);
        // A new step drops what could be redone.
        history.record(set(9));
        QVERIFY(!history.canRedo());
        for (int v = 10; v < 10 + int(ColorHistory::kStepsKept) + 5; ++v)
            history.record(set(v));
        int steps = 0;
        while (history.undo())
            ++steps;
        QCOMPARE(steps, int(ColorHistory::kStepsKept));
    }
};

TINTARA_TEST_MAIN(ColorModelTest)
#include "tst_colormodel.moc"
