#pragma once

#include <QString>

namespace tintara {

// Replaces the clipboard's text with the given plain text.
void copyPlainText(const QString& text);

} // namespace tintara
