// The key field: the keys offered as printed on a French (AZERTY) keyboard, and their
// translation into the names the game gives the same key positions (US layout).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tavrilo::macros {

// The 88 entries of the key field, in list order. "\xF9" is u-grave, "\xB2" superscript two.
extern const std::array<std::string_view, 88> kKeyList;

// The game's key token for the text of the key field: the first of twelve rows equal to
// the whole text (byte for byte, case-sensitive, no trimming) gives it; any other text,
// the empty text included, is its own token.
std::string TranslateKey(std::string_view fieldText);

}  // namespace tavrilo::macros
