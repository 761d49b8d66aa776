#pragma once

namespace tintara {

// The automatic text colour of one channel: the far end of the scale from the background's
// channel of the same primary. Each primary is decided on its own; 128 still counts as dark.
constexpr int automaticForeground(int background)
{
    return background > 128 ? 0 : 255;
}

} // namespace tintara
