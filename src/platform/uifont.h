#pragma once

namespace tintara {

// Puts a Japanese face behind the platform's default user-interface font, so kana and kanji take
// Japanese glyph forms whatever the system locale, and are never drawn as empty boxes.
void useJapaneseUiFont();

} // namespace tintara
