// SPDX-License-Identifier: GPL-3.0-or-later
// Test helpers for the shipped data and support files: the byte rules of the shipped
// text files, and a small console that runs scripts through the engine's reader of
// lines, commands and words, keeping aliases, bindings and cvars, so that a test can
// press an alias and see what reaches the game. What the game does with a line is the
// engine's (game/); this console only remembers and replays.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/Console.h"
#include "game/Keys.h"
#include "game/Names.h"

namespace tavrilo::testing {

// ---------------------------------------------------------------------------------------
// The shipped text files: Windows-1252 bytes, CR LF after every line, no byte-order
// mark, no 0x1A.

// The faults of a shipped text file's bytes; empty when the file is sound.
inline std::vector<std::string> TextFileFaults(std::string_view bytes) {
  std::vector<std::string> faults;
  auto at = [&](std::size_t offset) {
    std::size_t line =
        1 + static_cast<std::size_t>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
    return " (line " + std::to_string(line) + ", offset " + std::to_string(offset) + ")";
  };
  if (bytes.empty()) {
    faults.push_back("the file is empty");
    return faults;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) faults.push_back("a UTF-8 byte-order mark");
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == 0x1A) {
      faults.push_back("the end-of-file mark 0x1A" + at(i));
    } else if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) {
      faults.push_back("byte " + std::to_string(byte) + " is not a Windows-1252 character" + at(i));
    } else if (byte == '\r') {
      if (i + 1 >= bytes.size() || bytes[i + 1] != '\n') faults.push_back("a lone CR" + at(i));
    } else if (byte == '\n') {
      if (i == 0 || bytes[i - 1] != '\r') faults.push_back("a lone LF" + at(i));
    } else if (byte < 0x20 || byte == 0x7F) {
      faults.push_back("control byte " + std::to_string(byte) + at(i));
    } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < bytes.size() &&
               static_cast<unsigned char>(bytes[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(bytes[i + 1]) <= 0xBF) {
      faults.push_back("a UTF-8 sequence where Windows-1252 was expected" + at(i));
    }
  }
  if (!bytes.ends_with("\r\n")) faults.push_back("the last line does not end with CR LF");
  return faults;
}

// The lines of a shipped text file, without their CR LF.
inline std::vector<std::string> ShippedLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The support files, in the order the game's data directory receives them.
// Key names of both games, each a different key: one per line of a list to compose.
inline std::vector<std::string> DistinctKeys() {
  std::vector<std::string> keys;
  for (char c : std::string("abcdefghijklmnopqrstuvwxyz0123456789"))
    keys.emplace_back(1, c);
  for (int i = 1; i <= 12; ++i)
    keys.push_back("F" + std::to_string(i));
  for (const char* name :
       {"KP_HOME",    "KP_UPARROW",   "KP_PGUP",  "KP_LEFTARROW", "KP_5",      "KP_RIGHTARROW",
        "KP_END",     "KP_DOWNARROW", "KP_PGDN",  "KP_ENTER",     "KP_INS",    "KP_DEL",
        "KP_SLASH",   "KP_MINUS",     "KP_PLUS",  "UPARROW",      "DOWNARROW", "LEFTARROW",
        "RIGHTARROW", "INS",          "DEL",      "PGDN",         "PGUP",      "HOME",
        "END",        "TAB",          "ENTER",    "SPACE",        "BACKSPACE", "MOUSE1",
        "MOUSE2",     "MOUSE3",       "MWHEELUP", "MWHEELDOWN",   "PAUSE",     "SHIFT",
        "CTRL",       "ALT"})
    keys.emplace_back(name);
  return keys;
}

inline constexpr std::string_view kSupportFileNames[] = {"Alias.cfg", "GlVid.cfg", "ModBinding.cfg",
                                                         "NormBinding.cfg", "NormVid.cfg"};

// ---------------------------------------------------------------------------------------
// A small console for Quake 2: runs scripts, keeping aliases, bindings and cvars, and logs
// what reached the game: every command other than alias, bind, unbind, set, exec, echo
// and wait (its words joined with blanks), a cvar change as "name value", and a line
// that the game would not run as "!" followed by the reason.
class ScriptConsole {
 public:
  // Gives the text of a file that exec names, or std::nullopt when there is none.
  using FileSource = std::function<std::optional<std::string>(const std::string& name)>;

  explicit ScriptConsole(FileSource files = nullptr) : files_(std::move(files)) {}

  void Run(std::string_view text) { Run(text, 0); }

  // What ran since the last call.
  std::vector<std::string> TakeLog() { return std::exchange(log_, {}); }

  std::optional<std::string> Cvar(const std::string& name) const {
    auto found = cvars_.find(name);
    if (found == cvars_.end()) return std::nullopt;
    return found->second;
  }
  // The text bound to `key` (any spelling of the key).
  std::optional<std::string> Binding(std::string_view key) const {
    auto found = bindings_.find(game::KeyIdentity(kGame, key));
    if (found == bindings_.end()) return std::nullopt;
    return found->second;
  }
  const std::map<std::string, std::string>& Bindings() const { return bindings_; }
  bool HasAlias(std::string_view name) const { return aliases_.contains(game::LowerCase(name)); }

 private:
  static constexpr int kAliasDepth = 16;  // an alias running itself stops here
  static constexpr game::Game kGame = game::Game::kQuake2;

  void Run(std::string_view text, int depth) {
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      start = end + 1;
      const bool cr = line.ends_with('\r');
      if (cr) line.remove_suffix(1);
      game::ForEachCommand(line, [&](std::string_view command, std::size_t, std::size_t stop) {
        const bool last = stop == line.size();
        const std::size_t length = command.size() + (cr && last ? 1 : 0);
        if (game::FateOfCommand(kGame, length) != game::CommandFate::kRuns) {
          log_.push_back("! line too long");
        } else if (game::HasUnmatchedQuote(command)) {
          log_.push_back("! unmatched quote: " + std::string(command));
        } else {
          Execute(command, depth);
        }
      });
    }
  }

  static std::string Joined(const game::Words& words) { return words.Joined(0); }

  void Execute(std::string_view text, int depth) {
    game::Words words;
    game::ReadWords(text, kGame, words);
    if (words.Empty()) return;
    const std::string name = game::LowerCase(words[0]);
    const std::string target = words.Count() >= 2 ? std::string(words[1]) : std::string();
    if (name == "alias") {
      if (words.Count() >= 2) aliases_[game::LowerCase(target)] = words.Joined(2);
      return;
    }
    if (name == "bind") {
      if (words.Count() >= 3) bindings_[game::KeyIdentity(kGame, target)] = words.Joined(2);
      return;
    }
    if (name == "unbind") {
      if (words.Count() >= 2) bindings_.erase(game::KeyIdentity(kGame, target));
      return;
    }
    if (name == "exec") {
      std::optional<std::string> file;
      if (words.Count() >= 2 && files_) file = files_(target);
      if (!file) {
        log_.push_back("! couldn't exec " + target);
      } else if (file->size() > game::LimitsOf(kGame).execFile) {
        log_.push_back("! Cbuf_AddText: overflow");
      } else {
        Run(*file, depth);
      }
      return;
    }
    const game::NameInfo* info = game::FindName(kGame, name);
    if (name == "set" && words.Count() >= 3) {
      SetCvar(std::string(words[1]), std::string(words[2]));
    } else if (name == "unbindall") {
      bindings_.clear();
      log_.push_back("unbindall");
    } else if (name == "echo" || name == "wait") {
      // nothing reaches the game
    } else if (info != nullptr && (info->IsCommand() || info->serverCommand)) {
      log_.push_back(Joined(words));
    } else if (auto alias = aliases_.find(name); alias != aliases_.end()) {
      if (depth >= kAliasDepth) {
        log_.push_back("! ALIAS_LOOP_COUNT");
      } else {
        Run(alias->second, depth + 1);
      }
    } else if (info != nullptr && info->IsCvar()) {
      if (words.Count() >= 2) SetCvar(std::string(words[0]), std::string(words[1]));
    } else {
      log_.push_back("! unknown command " + std::string(words[0]));
    }
  }

  void SetCvar(const std::string& name, const std::string& value) {
    cvars_[name] = value;
    log_.push_back(name + " " + value);
  }

  FileSource files_;
  std::map<std::string, std::string> aliases_;
  std::map<std::string, std::string> bindings_;
  std::map<std::string, std::string> cvars_;
  std::vector<std::string> log_;
};

}  // namespace tavrilo::testing
