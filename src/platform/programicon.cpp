#include "platform/programicon.h"

#include <QSize>
#include <QString>

namespace tintara {

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tintara-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace tintara
