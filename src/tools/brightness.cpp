#include "tools/brightness.h"

#include <algorithm>

namespace tintara {

int brightnessStep(bool webSafe)
{
    return webSafe ? kWebSafeStep : 10;
}

std::optional<Rgb> steppedBrightness(const Rgb& color, bool lighter, bool webSafe)
{
    const int step = brightnessStep(webSafe);
    const bool fits = std::all_of(color.begin(), color.end(), [&](int channel) {
        return lighter ? channel <= kChannelMax - step : channel >= step;
    });
    if (!fits)
        return std::nullopt;
    Rgb stepped = color;
    for (int& channel : stepped)
        channel += lighter ? step : -step;
    return stepped;
}

} // namespace tintara
