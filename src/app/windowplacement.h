#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace tintara {

// A window's title bar can be reached while at least this much of its frame's top edge, in
// pixels, lies on one screen.
inline constexpr int kReachableTitleWidth = 100;
inline constexpr int kReachableTitleHeight = 20;

bool titleBarReachable(const QRect& frame, const QList<QRect>& screens);

// Where the frame's top-left goes for the whole frame to lie on the screen nearest to that
// corner, moved as little as it can be; a frame larger than the screen keeps its top-left corner
// on it. The frame stays where it is when there is no screen.
QPoint placedWholeOnNearestScreen(const QRect& frame, const QList<QRect>& screens);

} // namespace tintara
