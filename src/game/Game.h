// SPDX-License-Identifier: GPL-3.0-or-later
// The games Tavrilo writes for. They cut a script the same way, but differ in their
// limits and in how they name the keys of a keyboard.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace tavrilo::game {

enum class Game {
  kQuake2,  // Quake 2 3.20 and the ports that name a key by its position (Q2PRO...)
  kYamagi,  // Yamagi Quake II, which names a key by the character it types
};

// The limits of a game's console.
struct Limits {
  // The largest file exec takes (a bigger one is dropped whole): 8,191 bytes for Quake 2;
  // Yamagi Quake II adds a LF to the file in its buffer of 32,768 bytes, so 32,766.
  std::size_t execFile;
  // The bytes the game adds after a file it puts in its command buffer (Yamagi's LF).
  std::size_t appended;
  // The command buffer: exec inside a script stops the game when the file, what the game
  // adds after it and the text still waiting are more than this (8,192; Yamagi: 32,768).
  std::size_t buffer;
  std::size_t command;    // a command of this many characters or more is discarded or cut
  std::size_t forward;    // a command sent to the server of this many characters overflows
  std::size_t word;       // a word of this many characters or more is cut or lost
  std::size_t words;      // words past this many are dropped
  std::size_t aliasName;  // an alias name of this many characters or more is refused
  std::size_t chatLine;   // the line said, the player's name included, is cut here

  // exec inside a script: the file, what the game adds after it and the text still waiting
  // in the buffer must stay at or under the buffer, or the game stops with a fatal error.
  bool ExecFits(std::size_t file, std::size_t waiting) const {
    return file + appended + waiting <= buffer;
  }
};

inline constexpr std::size_t kNoLimit = ~std::size_t{0};

constexpr Limits LimitsOf(Game game) {
  switch (game) {
    case Game::kYamagi:
      return {32766, 1, 32768, 1024, kNoLimit, 1024, 80, 32, 150};
    case Game::kQuake2:
      break;
  }
  return {8191, 0, 8192, 1024, 1020, 128, 80, 32, 150};
}

// The bounds of the console model, beside the game's limits above: what the game does
// (a key press's words, the player's name) and how far the model follows
// texts that run each other (the game itself would run them for ever or stop with a
// fatal error).
struct Bounds {
  // The most characters a player's name takes in the line said (" NAME: TEXT").
  static constexpr std::size_t kLongestPlayerName = 15;
  // What a key press appends to a "+" binding's text in the buffer: " KEY TIME".
  static constexpr std::size_t kKeyAndTime = 14;
  // Texts running inside each other (files that run each other, aliases inside aliases)
  // are followed this deep.
  static constexpr std::size_t kFrameDepth = 32;
  // The alias texts followed for one command of the script or one key press.
  static constexpr std::size_t kAliasRunsPerCommand = 64;
  // The commands of the texts a script makes run (files, aliases) that are followed, for
  // the whole script: a list built to run them a million times is followed no further.
  static constexpr std::size_t kFollowedCommands = std::size_t{1} << 20;
  // The names aliases run that are kept to say "defined later" once the script has run.
  static constexpr std::size_t kLaterCallsKept = std::size_t{1} << 16;
  // Support files running each other are searched this deep for the aliases they define.
  static constexpr std::size_t kSupportNesting = 4;
  // The names exec looks up beside the checked file, each file read once: a list the game
  // runs holds a few exec lines, one built of a million names asks the folder no more.
  static constexpr std::size_t kNamesLookedUpBeside = 256;
};

// Whether `exec written` opens the file stored as `stored` in the game's folder: Quake 2
// runs on Windows, whose file system ignores letter case; Yamagi Quake II opens the name as
// written, or else in lower case (on a system whose file names keep their letter case).
bool OpensFileNamed(Game game, std::string_view written, std::string_view stored);

// The game's name in the settings file, and back (std::nullopt for an unknown name).
std::string_view SettingsNameOf(Game game);
std::optional<Game> GameFromSettingsName(std::string_view name);

}  // namespace tavrilo::game
