// SPDX-License-Identifier: GPL-3.0-or-later
// What the game does with a script: it is run the way the chosen game's console runs it
// (the command buffer and exec with its nesting, lines, commands, words and their limits,
// $ expansion, comments, bind, unbind, unbindall, alias, cvars, the order in which a name
// runs, what a key press and its release run, what the game module does with say, use,
// drop and give), and every difference between what a line says and what the game ends
// up doing is a finding of that line.
//
// The whole script is checked at once: a list the game can run holds at most 32,766
// bytes, and a list of a million lines is still checked in well under a second.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/StringList.h"
#include "core/Text.h"
#include "game/Game.h"
#include "game/RuleBook.h"

namespace tavrilo::game {

// One finding of a line. Its values are kept by the result it belongs to (ArgsOf), so
// that a list of a million findings stays small.
struct Finding {
  int line = 0;                // the line of the script, from 0
  int column = -1;             // the byte of the line where it starts, from 0; -1: the whole line
  std::uint32_t argsAt = 0;    // its values in the result's packed values
  std::uint16_t argsSize = 0;  // (a few words of one command: far under 64 KiB)
  Code code = Code::kCount;
  Severity severity = Severity::kNone;
};

// The values of many findings, each value followed by '\0', in blocks of at most 1 MiB, so
// that a long list of them grows without being moved whole.
class PackedValues {
 public:
  // Appends `values`; returns where they start and sets `size`.
  std::uint32_t Append(std::initializer_list<std::string_view> values, std::uint16_t& size);
  // Drops the values appended last, which start at `at`.
  void DropFrom(std::uint32_t at) { blocks_.back().resize(at % kBlock); }
  std::string_view View(std::uint32_t at, std::uint16_t size) const {
    if (size == 0) return {};
    return std::string_view(blocks_[at / kBlock]).substr(at % kBlock, size);
  }

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 20;
  std::vector<std::string> blocks_;
};

// The support files a script may run with exec: the name they are installed under
// (Alias.cfg...) -> the file's bytes.
using SupportFiles = std::map<std::string, std::string, std::less<>>;

// A file of the checked file's folder, as exec opens it there: its name as it is stored,
// and its bytes.
struct FileBeside {
  std::string name;
  std::string bytes;
};
// The file that `exec written` opens in the checked file's folder, found as `game` finds a
// name there and read whole (core/WholeFile.h bounds it); std::nullopt when there is none
// or it cannot be read. The check reads no file itself: whoever knows the folder gives it
// this (install/FilesBeside.h); an empty one: nothing stands beside the checked text.
using FilesBeside = std::function<std::optional<FileBeside>(Game game, std::string_view written)>;

// The findings of a script.
class CheckResult {
 public:
  // Every finding, by line; within a line, errors first.
  const std::vector<Finding>& Findings() const { return findings_; }
  std::span<const Finding> FindingsOf(int line) const;
  Severity WorstOf(int line) const;
  int Errors() const { return errors_; }
  int Notes() const { return notes_; }

  // The values of a finding's text, in order; packed, each followed by '\0'.
  std::vector<std::string> ArgsOf(const Finding& finding) const;
  std::string_view PackedArgsOf(const Finding& finding) const {
    return args_.View(finding.argsAt, finding.argsSize);
  }
  // The text of a finding ("Check.<Name>" with its values), for the caption files.
  Text TextOf(const Finding& finding) const;

  // The bytes exec reads (the whole file, up to a NUL byte), and the most it takes:
  // 8,191 for Quake 2, 32,766 for Yamagi Quake II.
  std::size_t Size() const { return size_; }
  std::size_t Limit() const { return limit_; }
  bool TooBig() const { return size_ > limit_; }
  // "2 140 / 8 191 bytes" (Check.Budget).
  Text SizeText() const;

  // The same findings, with the same values, and the same size.
  bool operator==(const CheckResult& other) const;

 private:
  friend class FindingCollector;
  std::vector<Finding> findings_;
  PackedValues args_;  // the values of every finding
  int errors_ = 0;
  int notes_ = 0;
  std::size_t size_ = 0;
  std::size_t limit_ = 0;
};

// A script as read from a file: lines end at LF (a CR before it belongs to the line's
// bytes as the game reads them). exec runs the support files, else the file `beside` finds
// in the script's folder, which is followed like a support file: its size counts beside
// the waiting text, and what it binds, defines and sets counts; what its own lines say is
// that file's (checked on its own), what running it leads to is said on the exec line. A
// file that is already running (one that runs itself, files that run each other) is not
// followed again.
CheckResult CheckScript(std::string_view bytes, Game game, const SupportFiles& support,
                        const FilesBeside& beside = {});

// A list saved as a script: `headerBytes` bytes of comment lines, then every entry
// followed by CR LF. Line i of the findings is entry i.
CheckResult CheckList(const StringList& entries, std::size_t headerBytes, Game game,
                      const SupportFiles& support, const FilesBeside& beside = {});

// The findings of one line on its own, saved with CR LF: what the line itself makes the
// game do (no name is looked up among aliases, no other line is known).
CheckResult CheckLine(std::string_view line, Game game);

// A number with its digits grouped by threes with kDigitGroupMark (core/Text.h), the
// no-break space that French writes; shown in English, the mark becomes a comma
// (FormatText): "8 191", "8,191".
std::string GroupDigits(std::size_t number);

}  // namespace tavrilo::game
