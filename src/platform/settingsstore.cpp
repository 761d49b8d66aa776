#include "platform/settingsstore.h"

namespace tintara {

QString DefaultsOnlyStore::read(const QString&, const QString&, const QString&,
                                const QString& defaultValue)
{
    return defaultValue;
}

void DefaultsOnlyStore::write(const QString&, const QString&, const QString&, const QString&) {}

} // namespace tintara
