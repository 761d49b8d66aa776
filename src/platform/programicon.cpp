#include "platform/programicon.h"

#include <QImage>
#include <QPixmap>
#include <QString>
#include <utility>

namespace tintara {

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        // The pixmap takes over the decoded image: adding the file would copy every size.
        QImage image(QStringLiteral(":/icons/tintara-%1.png").arg(size));
        icon.addPixmap(QPixmap::fromImage(std::move(image)));
    }
    return icon;
}

} // namespace tintara
