// The texts the settings file holds: stored numbers and switches, and colour-set entries.
#include "app/settingvalues.h"
#include "fuzzcheck.h"
#include "sets/colorset.h"

#include <cmath>
#include <cstring>

using namespace tintara;

namespace {

void checkValues(const QString& text)
{
    const int channel = settings::toChannel(text, -1);
    FUZZ_CHECK(channel == -1 || (channel >= 0 && channel <= 255));
    if (channel >= 0)
        FUZZ_CHECK(settings::toChannel(QString::number(channel), -1) == channel);
    const int check = settings::toCheckValue(text, -1);
    FUZZ_CHECK(check == -1 || check == 0 || check == 1);
    const bool truth = settings::toTruth(text, false);
    FUZZ_CHECK(settings::toTruth(settings::fromTruth(truth), !truth) == truth);

    const float position = settings::toPosition(text, qQNaN());
    if (!std::isnan(position)) {
        FUZZ_CHECK(std::isfinite(position) && std::fabs(position) <= settings::kPositionLimit);
        FUZZ_CHECK(settings::toPosition(settings::fromNumber(position), qQNaN()) == position);
    }
}

// What a run writes for a window coordinate, the next reads back, for every value it can hold.
void checkNumber(float value)
{
    const QString written = settings::fromNumber(value);
    FUZZ_CHECK(!written.contains(u'e') && !written.contains(u'E'));
    if (std::isfinite(value) && std::fabs(value) <= settings::kPositionLimit)
        FUZZ_CHECK(settings::toPosition(written, qQNaN()) == value || value == 0);
}

void checkEntry(const QString& entry)
{
    const std::optional<ColorSetEntry> set = parseColorSetEntry(entry);
    FUZZ_CHECK(set.has_value() == entry.contains(u','));
    if (!set)
        return;
    FUZZ_CHECK(!set->name.contains(u','));
    FUZZ_CHECK(colorSetEntry(set->name, set->pair) == entry);
    const std::optional<ColorSetEntry> again =
        parseColorSetEntry(colorSetEntry(set->name, set->pair));
    FUZZ_CHECK(again && again->name == set->name && again->pair == set->pair);

    // A name the dialog accepts comes back whole after a restart.
    if (setNameRefusal(entry).isEmpty()) {
        const std::optional<ColorSetEntry> stored =
            parseColorSetEntry(colorSetEntry(entry, set->pair));
        FUZZ_CHECK(stored && stored->name == entry && stored->pair == set->pair);
    }
    const QStringList names{set->name, set->pair};
    FUZZ_CHECK(findSetName(names, set->name) == 0);
}

void checkPair(const uint8_t* data)
{
    const Rgb fore{data[0], data[1], data[2]};
    const Rgb back{data[3], data[4], data[5]};
    const QString pair = colorPair(fore, back);
    FUZZ_CHECK(pair.size() == 15);
    const std::optional<CommaSplit> codes = splitAtFirstComma(pair);
    FUZZ_CHECK(codes && parseColorCode(codes->first) == fore &&
               parseColorCode(codes->rest) == back);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fuzz::textOf(data, size);
    checkValues(text);
    checkEntry(text);
    if (size >= sizeof(float)) {
        float value = 0;
        std::memcpy(&value, data, sizeof value);
        checkNumber(value);
    }
    if (size >= 6)
        checkPair(data);
    return 0;
}
