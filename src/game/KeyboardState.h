// SPDX-License-Identifier: GPL-3.0-or-later
// The keys of the chosen game laid out as a keyboard (French AZERTY or US QWERTY, with
// the function keys, the arrows and the keypad) and a mouse (its buttons and wheel), each
// with what it does in the player's game before a list runs and after it: whether the
// list binds it, the player's configuration does, the list replaces the player's binding,
// the game keeps it for the console or the menu, the game never receives it, or it is
// free.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/Check.h"
#include "game/Game.h"
#include "game/GameState.h"
#include "game/Keyboard.h"

namespace tavrilo::game {

enum class KeyStatus : std::uint8_t {
  kFree,           // nothing binds it
  kPlayer,         // the player's configuration binds it; the list leaves it so
  kList,           // the list binds it (a key the player left free, or to the same text)
  kReplaces,       // the list replaces or removes the player's binding
  kReserved,       // the console or the menu key: no binding of it ever runs
  kNeverReceived,  // the chosen game never receives this key
};

// One key as drawn, in quarters of a key's width from the top left corner.
struct KeyCap {
  std::uint16_t code = 0;  // its position: a Linux input code; the mouse's from 0x110
  int x = 0, y = 0, width = 4, height = 4;
  std::string label;  // what is printed on it (Windows-1252)
  std::string name;   // the game's name for it; empty when the game never receives it
  KeyStatus status = KeyStatus::kFree;
  bool listError = false;            // the list's line that binds it has an error
  int listLine = -1;                 // that line, from 0; -1 when the list does not bind it
  std::optional<Definition> before;  // its binding in the player's game
  std::optional<Definition> after;   // its binding once the list has run
  std::string_view reservedJob;      // for a console or menu key: what it does anyway
};

// The keys of `layout` for `game`, in the order of reading (rows top to bottom, then the
// mouse), with their bindings in `before` (the player's configuration) and `after` (once
// the list has run; a binding whose origin is the list is the list's), and the findings
// of the list `list`.
std::vector<KeyCap> LayOutKeys(Game game, Layout layout, const GameState& before,
                               const GameState& after, const CheckResult& list);

// The key of `keys` at or nearest to a step from `from` in a direction (dx, dy of -1, 0
// or 1): for moving through the keys with the arrow keys. `from` itself when there is none.
std::size_t NeighbourKey(const std::vector<KeyCap>& keys, std::size_t from, int dx, int dy);

}  // namespace tavrilo::game
