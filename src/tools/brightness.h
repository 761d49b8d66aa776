#pragma once

#include "color/rgb.h"

#include <optional>

namespace tintara {

// One brightness step: 51 in web-safe mode, 10 otherwise.
int brightnessStep(bool webSafe);

// The colour one step lighter or darker on all three channels at once, or nothing when any
// channel would leave 0..255. Nothing is clamped or snapped, so an accepted step keeps the
// differences between the channels.
std::optional<Rgb> steppedBrightness(const Rgb& color, bool lighter, bool webSafe);

} // namespace tintara
