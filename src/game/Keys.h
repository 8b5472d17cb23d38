// SPDX-License-Identifier: GPL-3.0-or-later
// The game's key names, per game: which names its bind takes, which keys never run their
// binding, and one spelling per key. Which key of the keyboard has which name is in
// game/Keyboard.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "game/Game.h"

namespace tavrilo::game {

// What becomes of a binding of a key name.
enum class KeyVerdict {
  kRuns,        // a key of the keyboard has this name: its binding runs
  kNotKeyName,  // not a name of the game's table nor one character: nothing is bound
  kHighByte,    // one byte above 127: a negative key number, the game writes outside its table
  kUpperCase,   // Quake 2: letters arrive in lower case, this binding never runs
  kNoSuchKey,   // no key of the keyboard arrives under this name in the game
  kConsoleKey,  // the key always opens the console
  kMenuKey,     // ESCAPE: the key always opens the menu
};
KeyVerdict VerdictOf(Game game, std::string_view key);

// For a console or menu key, the command the key runs anyway ("toggleconsole",
// "togglemenu"); empty for any other key.
std::string_view HardwiredJobOf(Game game, std::string_view key);

// Whether `game` refuses to bind the key at all ("You can't bind the special key"):
// Yamagi Quake II's ESCAPE, ^, ` and ~. Quake 2 stores their bindings but never runs them.
bool RefusesToBind(Game game, std::string_view key);

// For a name the game does not take, the table name the player most likely meant
// ("ESC" gives "ESCAPE"); std::nullopt when there is none.
std::optional<std::string> SuggestKeyName(Game game, std::string_view name);

// One spelling per key, so that two bindings of the same key compare equal: table names
// in upper case, and the characters that are table keys by their name (" " is SPACE, a
// tab TAB, ";" SEMICOLON; in Yamagi Quake II also DOUBLEQUOTE, QUOTE, DOLLAR).
std::string KeyIdentity(Game game, std::string_view name);

}  // namespace tavrilo::game
