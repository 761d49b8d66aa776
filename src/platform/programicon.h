#pragma once

#include <QIcon>

namespace tintara {

// The program's own icon in every size it is drawn in, built into the program.
QIcon programIcon();

} // namespace tintara
