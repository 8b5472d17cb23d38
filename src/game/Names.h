// SPDX-License-Identifier: GPL-3.0-or-later
// The names each game registers, read from the lists kept in src/game/names/ (made from
// the games' public source): commands of the program, commands of the renderer in use,
// commands sent to the server, cvars of the program, of a renderer and of the game module
// with what setting them does, key names, and the game module's items. The console finds
// commands and aliases without regard to letter case, but cvars only as registered.
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

// A cvar as the chosen game registers it, found by its name exactly (the console compares
// cvar names with strcmp: `FOV 30` sets no cvar), and what setting it does.
struct CvarInfo {
  bool program = false;     // registered by the program
  bool gameModule = false;  // registered by the game module while a game runs
  std::string renderers;    // registered by these renderers while one is loaded ("gl soft")
  // Setting it prints "NAME is write protected." and changes nothing.
  bool writeProtected = false;
  // Set while a game runs, it takes the new value only when the next game starts.
  bool latched = false;
  // Yamagi Quake II: an old name it still takes, which sets this cvar and prints "cvar OLD
  // is deprecated, use NEW instead"; empty for a name of its own.
  std::string renamedTo;

  bool Registered() const { return program || gameModule || !renderers.empty(); }
};

// The cvar named exactly `name` in `game` (a registered name or an old name the game
// still takes); nullptr for none.
const CvarInfo* FindCvar(Game game, std::string_view name);
// How `game` spells the cvar `name` names in any letter case ("fov" for "FOV"); empty for
// a name that is no cvar in any letter case.
std::string_view CvarSpelling(Game game, std::string_view name);

// An item of the game module (the same in both games), as use, drop and give find it by
// its name without regard to letter case: "Item is not usable." or "Item is not dropable."
// for one that cannot be used or dropped.
struct Item {
  std::string name;  // as the game spells it ("Rocket Launcher")
  bool usable = false;
  bool droppable = false;
};

// The item named `name` in any letter case; nullptr for none ("unknown item").
const Item* FindItem(std::string_view name);
// Every item, in the order of the game module's table.
const std::vector<Item>& AllItems();

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
