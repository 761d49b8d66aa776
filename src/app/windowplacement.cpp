#include "app/windowplacement.h"

#include <algorithm>
#include <limits>

namespace tintara {

namespace {

// How far a point lies outside a rectangle, squared; 0 inside it.
qint64 distanceSquared(QPoint point, const QRect& rect)
{
    const qint64 dx =
        std::max({qint64(rect.left()) - point.x(), qint64(0), qint64(point.x()) - rect.right()});
    const qint64 dy =
        std::max({qint64(rect.top()) - point.y(), qint64(0), qint64(point.y()) - rect.bottom()});
    return dx * dx + dy * dy;
}

int keptWithin(int start, int length, int areaStart, int areaLength)
{
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

} // namespace

bool titleBarReachable(const QRect& frame, const QList<QRect>& screens)
{
    const QRect edge(frame.topLeft(), QSize(frame.width(), kReachableTitleHeight));
    return std::any_of(screens.cbegin(), screens.cend(), [&edge](const QRect& screen) {
        const QRect shown = edge.intersected(screen);
        return shown.width() >= kReachableTitleWidth && shown.height() >= kReachableTitleHeight;
    });
}

QPoint placedWholeOnNearestScreen(const QRect& frame, const QList<QRect>& screens)
{
    const QRect* nearest = nullptr;
    qint64 nearestDistance = std::numeric_limits<qint64>::max();
    for (const QRect& screen : screens) {
        const qint64 distance = distanceSquared(frame.topLeft(), screen);
        if (distance < nearestDistance) {
            nearest = &screen;
            nearestDistance = distance;
        }
    }
    if (!nearest)
        return frame.topLeft();
    return {keptWithin(frame.left(), frame.width(), nearest->left(), nearest->width()),
            keptWithin(frame.top(), frame.height(), nearest->top(), nearest->height())};
}

} // namespace tintara
