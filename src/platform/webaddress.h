#pragma once

#include <functional>

class QUrl;

namespace tintara {

// Opens a web address in the desktop's browser; false when nothing could open it.
using WebAddressOpener = std::function<bool(const QUrl&)>;

bool openWebAddress(const QUrl& address);

} // namespace tintara
