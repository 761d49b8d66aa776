#pragma once

#include <functional>

class QObject;
class QWindow;

namespace tintara {

// Runs action once, when the window is first exposed on the screen: the earliest moment a window
// manager that frames windows has said where the frame is. Nothing runs once context is gone.
void onFirstExposure(QWindow* window, QObject* context, std::function<void()> action);

} // namespace tintara
