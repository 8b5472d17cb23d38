// SPDX-License-Identifier: GPL-3.0-or-later
// The rules that judge one command of the script's own text on its own: what the console
// makes of its length, quotes and words, of a key name, an alias name, a file name, a cvar
// setting, and what the game module does with a command sent to the server. The findings
// that depend on what ran before (a binding lost, an alias defined later, a file that does
// not fit beside the waiting text) are the interpreter's (game/Interpreter.h).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "game/Check.h"
#include "game/CommandReader.h"
#include "game/Findings.h"
#include "game/Keys.h"
#include "game/Names.h"

namespace tavrilo::game {

// One command about to run, with what its findings need.
struct Command {
  std::string_view text;   // as it runs: cut, $ expanded
  std::string_view rest;   // the text after its ";" on the same line
  bool cr = false;         // a CR follows it (the last command of a line ended by CR LF)
  bool highBytes = false;  // `text` holds a byte above 127
  bool expanded = false;   // `text` is a copy with its $ references replaced
  int line = 0;
  int column = -1;
};

// What a command says, at its place in the script; nothing when its text is not the
// script's own (a support file, or an alias text run again afterwards).
class Say {
 public:
  Say(FindingCollector* sink, const Command& command)
      : sink_(sink), line_(command.line), column_(command.column) {}
  void operator()(Code code, std::initializer_list<std::string_view> args = {}) const {
    if (sink_ != nullptr) sink_->Add(line_, column_, code, args);
  }

 private:
  FindingCollector* sink_;
  int line_;
  int column_;
};

// A file as exec finds it: its bytes up to a NUL, and their number (a file too big for exec
// may keep no bytes).
struct SupportFile {
  std::string name;
  std::string_view bytes;
  std::size_t size = 0;
};

// The start of a text for a message: at most `length` bytes, then an ellipsis.
std::string Excerpt(std::string_view text, std::size_t length = 40);
bool HasNonBlank(std::string_view text);
// What `name` does as a command the console model follows (kNone: nothing of its own).
Role RoleOf(Game game, std::string_view name);

// A command too long (discarded or cut) or with unmatched quotes: the text the game runs,
// or nothing.
std::optional<std::string_view> JudgeLength(const Say& say, Game game, std::string_view text,
                                            std::size_t length);
// What the console does to the words (too many, cut or lost, split at a byte above 127,
// a comment that the ";" ends); `raw` for a command that reads its text raw.
void JudgeWords(const Say& say, Game game, const Command& command, const Words& words, bool raw);
// An empty command whose "//" the ";" ends.
void JudgeEmpty(const Say& say, const Command& command, const Words& words);
// What the game module does with the raw text of a command sent to the server: chat
// (say, say_team) and items (use, drop, give).
void JudgeServerCommand(const Say& say, Game game, const Command& command, std::string_view name,
                        Role role, std::string_view raw);
// bind: the verdict on its key when the game binds it to a text, or nothing.
std::optional<KeyVerdict> JudgeBind(const Say& say, Game game, const Words& words);
// unbind: whether the game removes a binding.
bool JudgeUnbind(const Say& say, Game game, const Words& words);
// alias: whether the game defines the alias.
bool JudgeAlias(const Say& say, Game game, const Words& words, const NameInfo* info);
// set NAME VALUE, and NAME VALUE for a cvar (`made`: made by set, not the game's).
void JudgeSet(const Say& say, Game game, const Words& words);
void JudgeCvar(const Say& say, std::string_view name, const Words& words, const CvarInfo* cvar,
               bool made);
// exec: the file the name finds among `files`, or nothing.
const SupportFile* JudgeExec(const Say& say, Game game, const Words& words,
                             const SupportFile* found);

}  // namespace tavrilo::game
