#pragma once

#include <array>

namespace tintara {

// A colour as its red, green and blue channels, each 0..kChannelMax.
using Rgb = std::array<int, 3>;

inline constexpr int kChannelMax = 255;
// The channels of the 216 web-safe colours are the multiples of this step.
inline constexpr int kWebSafeStep = 51;

} // namespace tintara
