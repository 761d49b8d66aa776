#include "platform/webaddress.h"

#include <QDesktopServices>
#include <QUrl>

namespace tintara {

bool openWebAddress(const QUrl& address)
{
    return address.isValid() && QDesktopServices::openUrl(address);
}

} // namespace tintara
