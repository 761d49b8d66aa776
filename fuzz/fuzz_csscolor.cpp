// Colours written in CSS, as a value or among declarations: every answer is a colour in range or
// a short reason, and a colour read back from its own rgb() form is the same colour.
#include "color/csscolor.h"
#include "fuzzcheck.h"

#include <algorithm>

using namespace tintara;

namespace {

void checkRead(const CssColorRead& read)
{
    FUZZ_CHECK(read.color.has_value() == read.problem.isEmpty());
    FUZZ_CHECK(read.problem.size() <= 40);
    if (!read.color)
        return;
    for (const int channel : read.color->rgb)
        FUZZ_CHECK(channel >= 0 && channel <= 255);
    FUZZ_CHECK(read.color->alpha >= 0 && read.color->alpha <= 1);
}

bool same(const CssColorRead& a, const CssColorRead& b)
{
    if (a.color.has_value() != b.color.has_value() || a.problem != b.problem)
        return false;
    return !a.color || (a.color->rgb == b.color->rgb && a.color->alpha == b.color->alpha &&
                        a.color->mapped == b.color->mapped);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fuzz::textOf(data, size);
    const CssColorRead value = readCssColor(text);
    checkRead(value);
    const CssColorRead fore = readCssColorFor(text, u"color");
    const CssColorRead back = readCssColorFor(text, u"background-color");
    checkRead(fore);
    checkRead(back);
    // Without a declaration the text is one value, whichever property asks.
    if (!text.contains(u':')) {
        FUZZ_CHECK(same(fore, value));
        FUZZ_CHECK(same(back, value));
    }
    if (!value.color)
        return 0;

    const CssColor& color = *value.color;
    const QString written = QStringLiteral("rgb(%1 %2 %3 / %4)")
                                .arg(color.rgb[0])
                                .arg(color.rgb[1])
                                .arg(color.rgb[2])
                                .arg(color.alpha, 0, 'g', 17);
    const CssColorRead again = readCssColor(written);
    FUZZ_CHECK(again.color && again.color->rgb == color.rgb && again.color->alpha == color.alpha &&
               !again.color->mapped);

    // Blending lands between the two colours, on each of them at the ends.
    const Rgb under{int(size % 256), int(size * 7 % 256), int(size * 13 % 256)};
    const Rgb blended = composited(color, under);
    for (int i = 0; i < 3; ++i) {
        FUZZ_CHECK(blended[i] >= std::min(color.rgb[i], under[i]) &&
                   blended[i] <= std::max(color.rgb[i], under[i]));
        if (color.alpha == 1)
            FUZZ_CHECK(blended[i] == color.rgb[i]);
        if (color.alpha == 0)
            FUZZ_CHECK(blended[i] == under[i]);
    }
    return 0;
}
