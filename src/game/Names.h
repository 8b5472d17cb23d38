// SPDX-License-Identifier: GPL-3.0-or-later
// The names each game registers, read from the lists kept in src/game/names/ (made from
// the games' public source): commands of the program, commands of the renderer in use,
// commands sent to the server, cvars of the program, of a renderer and of the game module,
// and key names. The console compares names without regard to letter case.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "game/Game.h"

namespace tavrilo::game {

// The commands whose work the console model follows, by what they do.
enum class Role : std::uint8_t {
  kNone,
  kBind,
  kUnbind,
  kUnbindAll,
  kAlias,
  kExec,
  kWait,
  kSet,
  kCmd,  // forwards its text to the server
  kSay,
  kSayTeam,
  kUse,
  kDrop,
  kGive,
};

// Who registers a name; a name may be in several sections ("cycleweap" in Yamagi Quake
// II is a command of the program that the server runs).
struct NameInfo {
  bool command = false;          // a command of the program
  bool rendererCommand = false;  // a command of the renderer in use
  bool serverCommand = false;    // not known to the client: the game module runs it
  bool cvar = false;             // a cvar of the program
  bool gameCvar = false;         // a cvar of the game module, while a game runs
  std::string renderers;         // the renderers that register it as a cvar ("gl soft")
  Role role = Role::kNone;

  // Runs as a command before any alias of the name.
  bool IsCommand() const { return command || rendererCommand; }
  bool IsCvar() const { return cvar || gameCvar || !renderers.empty(); }
};

// Hashes std::string and std::string_view alike, so that a set or map of names is looked
// up without a copy of the name.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
  }
};

// What `game` registers under `name` (any letter case); nullptr for a name it does not know.
const NameInfo* FindName(Game game, std::string_view name);
// The same for a name already in lower case.
const NameInfo* FindFoldedName(Game game, std::string_view lower);

// Every name of a section of the game's list: "command", "server-command", "cvar",
// "renderer-cvar", "game-cvar"... (for tests and for the help of the check).
std::vector<std::string> NamesOfSection(Game game, std::string_view section);

// The names of the game's key table, as listed (any letter case is the same key).
const std::vector<std::string>& KeyTableNames(Game game);

// The pickup name of an item, as use, drop and give take it (any letter case), and
// whether `use` can use it (armour and health cannot).
bool IsItem(std::string_view name);
bool IsUsableItem(std::string_view name);

// Letter case folded as the console folds it (ASCII only).
constexpr char LowerByte(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string LowerCase(std::string_view text);

// A name folded to lower case as the console compares names, on the stack for a short one.
class Folded {
 public:
  explicit Folded(std::string_view name) {
    if (name.size() > sizeof buffer_) {
      long_ = LowerCase(name);
      view_ = long_;
      return;
    }
    for (std::size_t i = 0; i < name.size(); ++i)
      buffer_[i] = LowerByte(name[i]);
    view_ = std::string_view(buffer_, name.size());
  }
  Folded(const Folded&) = delete;
  Folded& operator=(const Folded&) = delete;
  std::string_view View() const { return view_; }
  operator std::string_view() const { return view_; }

 private:
  char buffer_[48];
  std::string long_;
  std::string_view view_;
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tavrilo::game
