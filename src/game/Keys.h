// The game's key names, per game: which names its bind takes, which keys never run their
// binding, and one spelling per key. Which name a key of the keyboard, a mouse button or
// the wheel gets is in game/Keyboard.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "game/Game.h"

namespace tavrilo::game {

// Whether `game`'s bind takes `name`: one printable ASCII character, or a name of the
// game's key table in any letter case.
bool IsKeyName(Game game, std::string_view name);

// For a name the game does not take, the table name the player most likely meant
// ("ESC" gives "ESCAPE"); std::nullopt when there is none.
std::optional<std::string> SuggestKeyName(Game game, std::string_view name);

// Why a binding of a key name the game takes never runs.
enum class DeadKey {
  kNone,             // it runs
  kUpperCaseLetter,  // letters arrive in lower case
  kNoKeyProducesIt,  // no key of the keyboard has this name ("+", "~")
  kConsoleKey,       // the key always opens the console
  kMenuKey,          // the key always opens the menu (ESCAPE)
};
DeadKey DeadKeyOf(Game game, std::string_view name);

// One spelling per key, so that two bindings of the same key compare equal: table names
// in upper case, "SEMICOLON" and ";" the same key.
std::string KeyIdentity(std::string_view name);

}  // namespace tavrilo::game
