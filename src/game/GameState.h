// SPDX-License-Identifier: GPL-3.0-or-later
// What the game holds at a moment: the key map, the aliases and the cvars a script
// defined, each with the line that made it. The player's start-up files leave one such
// state; a list runs on top of it and leaves another.
#pragma once

#include <functional>
#include <map>
#include <string>

namespace tavrilo::game {

// The line that made something: of a file (its path), or of the list itself (`file`
// empty); `line` counts from 0.
struct Origin {
  std::string file;
  int line = -1;

  bool OfList() const { return file.empty(); }
  bool operator==(const Origin&) const = default;
};

// A key's binding, an alias or a cvar: its name as written, its text or value, its origin.
struct Definition {
  std::string name;
  std::string text;
  Origin origin;

  bool operator==(const Definition&) const = default;
};

struct GameState {
  // By key (KeyIdentity of game/Keys.h), by alias name in lower case (the console finds
  // aliases whatever their letter case), by cvar name as written (it finds cvars only so).
  std::map<std::string, Definition, std::less<>> bindings;
  std::map<std::string, Definition, std::less<>> aliases;
  std::map<std::string, Definition, std::less<>> cvars;

  bool operator==(const GameState&) const = default;
};

}  // namespace tavrilo::game
