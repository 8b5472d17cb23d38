// SPDX-License-Identifier: GPL-3.0-or-later
// The key field: the keys offered as printed on a French (AZERTY) keyboard, and their
// translation into the names the chosen game gives the same keys.
#pragma once

#include <array>
#include <string_view>

#include "game/Game.h"
#include "game/Keyboard.h"

namespace tavrilo::macros {

// The 88 entries of the key field, in list order. "\xF9" is u-grave, "\xB2" superscript two.
extern const std::array<std::string_view, 88> kKeyList;

// The game's key name for the text of the key field, picked or typed: the AZERTY label
// equal to the whole text (byte for byte, case-sensitive, no trimming) gives the name
// `game` has for that key (game::KeyOfLabel), and any other text, the empty text
// included, is its own name; a key the game cannot bind, and an entry of the list the
// game has no key for, are refused with the reason.
game::KeyChoice TranslateKey(game::Game game, std::string_view fieldText);

}  // namespace tavrilo::macros
