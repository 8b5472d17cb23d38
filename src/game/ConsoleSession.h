// SPDX-License-Identifier: GPL-3.0-or-later
// A console that keeps what its texts leave behind (aliases, bindings, cvars) from one text
// to the next, as the game's does between a file run at start-up and a key pressed later:
// each text is run and checked as CheckScript does, on that state.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/StringList.h"
#include "game/Check.h"
#include "game/Game.h"
#include "game/GameState.h"

namespace tavrilo::game {

class ConsoleSession {
 public:
  ConsoleSession(Game game, SupportFiles files);
  ~ConsoleSession();
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;
  ConsoleSession(ConsoleSession&&) noexcept;

  struct Outcome {
    // What reached the game while the text ran, in order: each command of the program or
    // sent to the server, its words joined by a blank (not echo, nor the commands the
    // console does itself: alias, bind, unbind, exec, set, wait), "unbindall", and each
    // cvar given a value as "name value".
    std::vector<std::string> reached;
    CheckResult findings;  // the findings of the text, its lines from 0
  };
  // Runs `text` (lines cut at LF) on what the texts before it left. `source` names the
  // file it is (one of the player's start-up files) in the origins of what it makes; exec
  // runs the files `beside` finds (see CheckScript in game/Check.h).
  Outcome Run(std::string_view text, std::string_view source = {}, const FilesBeside& beside = {});

  // What the texts run so far left in the game: its key map, aliases and cvars, each
  // with the file and line that made it.
  GameState Current() const;

  // A list checked on what the texts run so far left (the session itself unchanged), as
  // CheckList does: a line that replaces a binding of theirs with another text is said
  // (replaces-own-binding); their aliases and cvars are known. With the state the list
  // leaves, its own lines the origin of what it makes. exec runs the files `beside` finds
  // (see CheckScript in game/Check.h).
  struct ListOutcome {
    CheckResult findings;
    GameState after;
  };
  ListOutcome CheckList(const StringList& entries, std::size_t headerBytes,
                        const FilesBeside& beside = {}) const;
  // A script as read from a file (lines cut at LF) checked the same way.
  ListOutcome CheckScript(std::string_view bytes, const FilesBeside& beside = {}) const;

  std::optional<std::string> Cvar(std::string_view name) const;
  // The text bound to `key` (any spelling of the key), and every binding by key.
  std::optional<std::string> Binding(std::string_view key) const;
  std::map<std::string, std::string> Bindings() const;
  bool HasAlias(std::string_view name) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tavrilo::game
