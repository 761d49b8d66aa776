#pragma once

namespace tintara {

inline constexpr int kWebSafeStep = 51;

// The nearest multiple of 51: 0..25 -> 0, 26..76 -> 51, ..., 230..255 -> 255.
int roundToWebSafe(int value);

} // namespace tintara
