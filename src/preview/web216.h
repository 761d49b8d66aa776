#pragma once

#include "color/rgb.h"

namespace tintara {

// The nearest multiple of 51: 0..25 -> 0, 26..76 -> 51, ..., 230..255 -> 255.
int roundToWebSafe(int value);

} // namespace tintara
