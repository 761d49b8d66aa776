#include "model/colorhistory.h"
#include "model/colormodel.h"
#include "support/testmain.h"

#include <QRandomGenerator>
#include <QSignalSpy>

using namespace tintara;

namespace {

using Changes = ColorModel::Changes;
using Action = std::function<void(ColorModel&)>;
constexpr Side kText = Side::Text;
constexpr Side kBack = Side::Background;

// A model in the given modes holding the given colours, set from code: where the text colour is
// automatic, it is the background's.
void prepare(ColorModel& model, const Channels& channels, bool web216, bool automatic)
{
    for (int i = 0; i < kChannelCount; ++i)
        model.setChannel(i, channels[i]);
    model.setAutomaticText(automatic);
    const Channels now = model.channels();
    model.setWeb216(web216);
    for (int i = 0; i < kChannelCount; ++i) // without the rounding of the switch
        model.setChannel(i, now[i]);
}

} // namespace

class ColorModelTest : public QObject
{
    Q_OBJECT
private slots:
    void eachOperationAppliesTheRulesOfTheModes()
    {
        // Text (0, 255, 255) where the automatic colour is on: the background is 200, 100, 128.
        const Channels grey{100, 100, 100, 200, 100, 128};
        const Channels ramp{25, 26, 127, 128, 229, 230};
        // clang-format off
        const struct { const char* what; Channels start; bool web, autoText; Action act; Channels expected; } cases[] = {
            {"web-safe: 25 rounds down", grey, true, false, [](ColorModel& m) { m.moveChannel(0, 25); }, {0, 100, 100, 200, 100, 128}},
            {"26 rounds up", grey, true, false, [](ColorModel& m) { m.moveChannel(1, 26); }, {100, 51, 100, 200, 100, 128}},
            {"229 down, 230 up", grey, true, false, [](ColorModel& m) { m.moveChannel(2, 229); m.moveChannel(5, 230); }, {100, 100, 204, 200, 100, 255}},
            {"automatic: 128 gives 255", grey, false, true, [](ColorModel& m) { m.moveChannel(3, 128); }, {255, 255, 255, 128, 100, 128}},
            {"129 gives 0, alone", grey, false, true, [](ColorModel& m) { m.moveChannel(5, 129); }, {0, 255, 0, 200, 100, 129}},
            {"both: 140 rounds to 153, its text 0", grey, true, true, [](ColorModel& m) { m.moveChannel(4, 140); }, {0, 0, 255, 200, 153, 128}},
            {"text moved: no rule for the background", grey, false, false, [](ColorModel& m) { m.moveChannel(0, 7); m.moveChannel(3, 0); }, {7, 100, 100, 0, 100, 128}},
            {"set from code: no rule", grey, true, true, [](ColorModel& m) { m.setChannel(3, 1); }, {0, 255, 255, 1, 100, 128}},
            {"typed: rounded, no automatic rule", grey, true, true, [](ColorModel& m) { m.typeColor(kBack, {0x19, 0x7F, 0x80}); }, {0, 255, 255, 0, 102, 153}},
            {"a set: each as typed, text first", grey, true, false, [](ColorModel& m) { m.chooseSet(Rgb{26, 0, 255}, std::nullopt); }, {51, 0, 255, 200, 100, 128}},
            {"swapped: rounded as a set", ramp, true, false, [](ColorModel& m) { m.swapColors(); }, {153, 204, 255, 0, 51, 102}},
            {"brightness: all three, not rounded", grey, true, false, [](ColorModel& m) { m.stepBrightness(kText, true); m.stepBrightness(kBack, true); }, {151, 151, 151, 251, 151, 179}},
            {"or none", {250, 100, 100, 5, 200, 200}, false, false, [](ColorModel& m) { m.stepBrightness(kText, true); m.stepBrightness(kBack, false); }, {250, 100, 100, 5, 200, 200}},
            {"full colour steps by 10", grey, false, false, [](ColorModel& m) { m.stepBrightness(kBack, false); }, {100, 100, 100, 190, 90, 118}},
            {"off a bar's end: kept, then rounded", grey, true, false, [](ColorModel& m) { m.pickOnBar(kText, 1, 306); m.pickOnBar(kText, 0, -1); }, {102, 102, 100, 200, 100, 128}},
            {"off its rows: nothing", grey, true, false, [](ColorModel& m) { m.pickOnBar(kBack, 3, 51); m.pickOnBar(kBack, -1, 51); }, grey},
            {"a picked background decides the text", grey, false, true, [](ColorModel& m) { m.pickOnBar(kBack, 2, 255); m.pickOnBar(kBack, 0, 0); }, {255, 255, 0, 0, 100, 255}},
            {"web-safe on: all six, text after", ramp, false, true, [](ColorModel& m) { m.setWeb216(true); }, {0, 0, 0, 153, 204, 255}},
            {"web-safe on, no automatic", ramp, false, false, [](ColorModel& m) { m.setWeb216(true); }, {0, 51, 102, 153, 204, 255}},
            {"off leaves the values", ramp, true, false, [](ColorModel& m) { m.setWeb216(false); }, ramp},
            {"automatic text comes back as it was", {12, 34, 56, 200, 100, 128}, true, false, [](ColorModel& m) { m.setAutomaticText(true); m.moveChannel(3, 0); m.setAutomaticText(false); }, {12, 34, 56, 0, 100, 128}},
            {"from the screen as the sliders take it", grey, true, true, [](ColorModel& m) { m.takeFromScreen(kBack, {0x19, 0x7F, 0x80}); }, {255, 255, 0, 0, 102, 153}},
            {"restored exactly", grey, true, true, [](ColorModel& m) { m.restore({{1, 2, 3, 4, 5, 6}}); }, {1, 2, 3, 4, 5, 6}},
        };
        // clang-format on
        for (const auto& c : cases) {
            ColorModel model;
            prepare(model, c.start, c.web, c.autoText);
            c.act(model);
            QVERIFY2(model.channels() == c.expected, c.what);
        }
    }

    void thePictureKeepsTheAutomaticSwitchAside()
    {
        ColorModel model;
        prepare(model, {12, 34, 56, 200, 100, 128}, false, true);
        model.setPictureShown(true); // nothing loaded: nothing happens
        QVERIFY(!model.pictureShown() && model.automaticText());
        model.loadPicture();
        QVERIFY(model.pictureShown() && !model.automaticText() && model.automaticKeptAside());
        QCOMPARE(model.text(), (Rgb{12, 34, 56}));
        // A second picture while one shows takes the switch as it is then: off.
        model.loadPicture();
        model.setPictureShown(false);
        QVERIFY(!model.automaticText());
        // Switched on while the picture shows, it is kept aside at the next switch to a picture
        // and comes back with the colour, taking the text colour of that moment aside.
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
        const Changes colors = ColorModel::Colors, text = ColorModel::TextBar,
                      back = ColorModel::BackBar;
        // clang-format off
        const struct { Action act; Changes expected, absent; } cases[] = {
            {[](ColorModel& m) { m.moveChannel(0, 9); }, colors, text | back},
            {[](ColorModel& m) { m.setChannel(0, 9); }, ColorModel::Value, colors},
            {[](ColorModel& m) { m.typeColor(kText, {1, 2, 3}); }, colors | text, back},
            {[](ColorModel& m) { m.chooseSet(std::nullopt, Rgb{1, 2, 3}); }, colors | back, text},
            {[](ColorModel& m) { m.stepBrightness(kBack, false); }, colors | back, text},
            {[](ColorModel& m) { m.setWeb216(true); }, colors | text | back | ColorModel::Web216, {}},
            {[](ColorModel& m) { m.setAutomaticText(true); }, colors | ColorModel::Automatic, text},
            {[](ColorModel& m) { m.takeFromScreen(kText, {1, 2, 3}); }, colors | text, back},
            {[](ColorModel& m) { m.loadPicture(); }, colors | ColorModel::Picture, {}},
            {[](ColorModel& m) { m.restore({{1, 2, 3, 4, 5, 6}}); }, colors | text | back, {}},
            {[](ColorModel& m) { m.setVision(Vision::Tritanopia); }, ColorModel::Vision, colors},
            {[](ColorModel& m) { m.setAaaTarget(true); }, ColorModel::Target, colors},
            // What changes nothing says nothing.
            {[](ColorModel& m) { m.stepBrightness(kBack, true); m.setAutomaticText(false); m.setPictureShown(true); }, {}, {}},
        };
        // clang-format on
        for (const auto& c : cases) {
            ColorModel model;
            QSignalSpy spy(&model, &ColorModel::changed);
            c.act(model);
            QCOMPARE(spy.size(), c.expected ? 1 : 0);
            const auto what = spy.isEmpty() ? Changes() : spy.at(0).at(0).value<Changes>();
            QVERIFY((what & c.expected) == c.expected && !(what & c.absent));
        }
    }

    void randomActionsKeepTheRulesAndUndoThenRedoReturnsExactly()
    {
        for (quint32 seed = 1; seed <= 40; ++seed) {
            QRandomGenerator random(seed);
            ColorModel model;
            ColorHistory history;
            history.reset(model.state());
            const auto any = [&random] {
                return Rgb{random.bounded(256), random.bounded(256), random.bounded(256)};
            };
            for (int step = 0; step < 300; ++step) {
                const Side side = random.bounded(2) ? kText : kBack;
                const int index = random.bounded(kChannelCount);
                int run = 0;
                switch (random.bounded(12)) {
                case 0:
                    model.moveChannel(index, random.bounded(256));
                    run = index + 1;
                    // A user's movement leaves a web-safe value, and the automatic text follows.
                    QVERIFY(!model.web216() || model.channel(index) % kWebSafeStep == 0);
                    if (model.automaticText() && index >= kBackFirst)
                        QCOMPARE(model.channel(index - kBackFirst),
                                 model.channel(index) > 128 ? 0 : 255);
                    break;
                case 1:
                    model.typeColor(side, any());
                    break;
                case 2:
                    model.chooseSet(any(), any());
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
                    random.bounded(3) ? model.setPictureShown(!model.pictureShown())
                                      : model.loadPicture();
                    break;
                case 8:
                    model.takeFromScreen(side, any());
                    break;
                case 9:
                    if (const auto state = random.bounded(2) ? history.undo() : history.redo())
                        model.restore(*state);
                    continue;
                case 10:
                    model.swapColors();
                    break;
                default:
                    if (const auto state = history.undo()) {
                        const ColorState shown = model.state();
                        model.restore(*state);
                        model.restore(*history.redo());
                        QVERIFY(model.state() == shown);
                    }
                    continue;
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
        for (const auto& [value, run] : {std::pair(1, 1), {2, 1}, {3, 2}, {4, 2}, {3, 2}, {3, 0}})
            history.record(set(value), run);
        history.endRun();
        history.record(set(2), 2);
        history.record(set(3), 2);
        QCOMPARE(history.undo()->channels[0], 2);
        QCOMPARE(history.undo()->channels[0], 0);
        QVERIFY(!history.undo() && history.canRedo());
        QCOMPARE(history.redo()->channels[0], 2);
        // A new step drops what could be redone; the oldest go past the limit.
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
