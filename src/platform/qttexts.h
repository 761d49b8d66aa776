#pragma once

namespace tintara {

// Qt's own texts (file dialog buttons, message box buttons, overwrite questions) in Japanese, to
// match the rest of the user interface whatever the system language. Does nothing where Qt's
// Japanese translation is not installed.
void useJapaneseQtTexts();

} // namespace tintara
