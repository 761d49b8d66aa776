#include "preview/web216.h"

#include <cmath>

namespace tintara {

int roundToWebSafe(int value)
{
    return static_cast<int>(std::floor((value + 25) / double(kWebSafeStep))) * kWebSafeStep;
}

} // namespace tintara
