// SPDX-License-Identifier: GPL-3.0-or-later
// The player's own game as the window shows it: the state the player's start-up files
// leave (read from the game's folders, never written), the list checked on that state, the
// keyboard drawn from both, and the lines of the list a search keeps.
//
// The window reads it again when the chosen game, the game folder (the Q2Path setting),
// the support files or one of the player's files (Configuration().folders) change, and
// checks the list again after each change of the list and after each Read.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/StringList.h"
#include "game/Check.h"
#include "game/ConsoleSession.h"
#include "game/Game.h"
#include "game/GameState.h"
#include "game/KeyboardState.h"
#include "install/PlayerConfig.h"
#include "macros/MacroDocument.h"

namespace tavrilo::macros {

class PlayerGame {
 public:
  // An empty game of Quake 2, no file read, an empty list checked.
  PlayerGame();

  // Reads the start-up files of `game` under `gamePath` (the game's folder, ending with a
  // separator; empty: no folder is known and the game starts empty) and, for Yamagi Quake
  // II, in `userFolder` (the one the game uses when not given), and runs them in their
  // order on a new console that knows `support`. The list's findings are those of an
  // empty list until CheckList.
  void Read(game::Game game, const std::string& gamePath, const game::SupportFiles& support,
            const std::optional<std::string>& userFolder = {});

  game::Game Game() const { return game_; }
  // The files read (their bytes let go once run), the files not read with their reason
  // (for the status line), the folders looked in.
  const install::PlayerConfiguration& Configuration() const { return configuration_; }
  // What the player's files leave in the game.
  const game::GameState& Before() const { return before_; }

  // Checks a list (its entries and the bytes of its header) on what the player's files
  // leave: their aliases and cvars are known, a line that changes one of their bindings is
  // noted (replaces-own-binding). exec runs the files `beside` finds: those beside the
  // document's file.
  void CheckList(const StringList& entries, std::size_t headerBytes,
                 const game::FilesBeside& beside = {});
  void CheckList(const MacroDocument& document) {
    CheckList(document.List(), document.Buffer().Text().size(), document.BesideFiles());
  }
  const game::CheckResult& Findings() const { return findings_; }
  // Checks a list as CheckList does and hands its findings over, keeping only what the
  // game holds after it (a long list's findings are not held twice): Keys then takes the
  // findings from the caller.
  game::CheckResult TakeCheckedList(const StringList& entries, std::size_t headerBytes,
                                    const game::FilesBeside& beside = {});
  std::vector<game::KeyCap> Keys(game::Layout layout, const game::CheckResult& findings) const;
  // What the game holds once the list has run.
  const game::GameState& After() const { return after_; }

  // The keys of the keyboard view in `layout`, with what each does before and after the
  // list checked last.
  std::vector<game::KeyCap> Keys(game::Layout layout) const;

  // The lines of `entries` that a search for `needle` keeps (all for an empty one), and
  // the findings of those lines.
  std::vector<int> Search(const StringList& entries, std::string_view needle) const;
  std::vector<game::Finding> FindingsOf(std::span<const int> kept) const;

 private:
  game::Game game_ = game::Game::kQuake2;
  install::PlayerConfiguration configuration_;
  std::optional<game::ConsoleSession> session_;
  game::GameState before_;
  game::CheckResult findings_;
  game::GameState after_;
};

}  // namespace tavrilo::macros
