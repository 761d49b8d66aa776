#pragma once

#include <QString>

namespace tintara {

// Replaces the clipboard's text with the given plain text.
void copyPlainText(const QString& text);
// The clipboard's plain text, empty when it holds none.
QString clipboardText();

} // namespace tintara
