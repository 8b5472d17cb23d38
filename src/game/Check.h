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

namespace tavrilo::game {

// Error: the game stops, drops the file, discards, cuts or changes the line, never runs a
// binding, binds another key, loses a binding, or runs something the line does not say.
// Note: the line runs as written (or does nothing while its key does what it says
// anyway), and something is worth knowing.
enum class Severity : std::uint8_t { kNone, kNote, kError };

// The kinds of finding. Each has a stable name for scripts ("unmatched-quote", CodeName)
// and a text of the caption files ("Check.UnmatchedQuote", TextOf).
enum class Code : std::uint8_t {
  // a command as the console reads it
  kCommandDiscarded,  // Quake 2: 1,024 characters or more (its CR included)
  kCommandCut,        // Yamagi Quake II: cut to its first 1,023 characters
  kUnmatchedQuote,    // an odd number of double quotes: discarded
  kTooManyWords,      // words past the 80th are dropped
  kWordCut,           // a quoted word of 128 characters or more (Quake 2)
  kWordLost,          // an unquoted word of 128 characters or more vanishes (Quake 2)
  kHighByteSplits,    // a byte above 127 outside quotes is a blank to the game
  kCommentRunsOn,     // "//" ends at the ";": what follows runs
  kCvarEmpty,         // $name of no cvar: replaced by nothing
  // what the game module does with a command sent to the server
  kChatCvar,        // $name in a chat text: the cvar's value is said
  kChatSemicolon,   // the chat text ends at ";": the rest runs as commands
  kChatTrimmed,     // a byte above 127 at either end of the chat text is lost
  kChatQuotes,      // a chat text that begins with a quote loses its first and last characters
  kChatTooLong,     // the line said is cut at 150 characters whatever the name
  kChatMayBeCut,    // ... with a long player name
  kChatEmpty,       // say without text says nothing
  kQuotedItem,      // use/drop/give read the item's name with its quotes
  kUnknownItem,     // no item of that name
  kItemNotUsable,   // armour and health cannot be used
  kForwardTooLong,  // Quake 2: a forwarded command of 1,020 characters or more
  // names
  kCvarExtraWords,     // a cvar takes its first word only
  kCvarReadOnly,       // version, dedicated, basedir refuse a new value
  kRendererCvar,       // exists only while its renderer is loaded
  kGameCvar,           // exists only while a game runs
  kUnknownName,        // neither command, alias nor cvar: said as chat
  kAliasNeedsExec,     // an alias of a support file that the script does not run
  kAliasDefinedLater,  // an alias run before the line that defines it
  kCommandHidesAlias,  // a name that is the game's command, also defined as an alias
  kAliasHidden,        // an alias named like a command of the game never runs
  kAliasNameTooLong,   // 32 characters or more
  kAliasLoop,          // an alias that runs itself stops after 16 rounds
  kAliasHidesCvar,     // an alias named like a cvar runs instead of setting it
  // bind and unbind
  kBindUsage,        // bind or unbind without a key
  kBindShows,        // bind KEY without a command shows the binding
  kNotKeyName,       // not a key name: nothing is bound
  kNotKeyNameMeant,  // ... and the game calls that key otherwise
  kKeyHighByte,      // a key of a byte above 127: memory corruption
  kUpperCaseKey,     // Quake 2: letters arrive in lower case
  kNoSuchKey,        // no key of the keyboard produces this name in the game
  kHardwiredKey,     // the console or menu key: its binding never runs
  kHardwiredJob,     // ... bound to what it does anyway
  kSemicolonKey,     // Quake 2 writes a binding of ";" to config.cfg so that it is lost
  kOverridden,       // a later line binds the key again
  kUnbound,          // a later line removes the binding
  kButtonChain,      // a "+" binding of more than one command
  kButtonRelease,    // the release of a "+" binding runs an unknown "-" name
  kButtonHeld,       // a "+" command of a binding that does not begin with "+": never released
  // exec and the file
  kExecUsage,           // exec with no file or more than one word
  kExecUnknownFile,     // a file Tavrilo does not know: not followed
  kExecFatal,           // the file does not fit beside the waiting text: the game stops
  kExecFatalNested,     // ... a file run by a support file this line runs
  kExecDropped,         // the file run is too big for exec: dropped whole
  kExecLetterCase,      // Yamagi Quake II on Linux does not find the file by this name
  kFileTooBig,          // the script is too big for exec: dropped whole
  kNulByte,             // the game stops reading at a NUL byte
  kLoneCarriageReturn,  // a CR inside a line: the game cuts lines at LF only
  kNoFinalLineEnd,      // Quake 2 joins the last line to the text that follows
  kCount
};

Severity SeverityOf(Code code);
// "unmatched-quote": stable, for scripts and editors.
std::string_view CodeName(Code code);

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
  friend class Console;
  std::vector<Finding> findings_;
  PackedValues args_;  // the values of every finding
  int errors_ = 0;
  int notes_ = 0;
  std::size_t size_ = 0;
  std::size_t limit_ = 0;
};

// A script as read from a file: lines end at LF (a CR before it belongs to the line's
// bytes as the game reads them).
CheckResult CheckScript(std::string_view bytes, Game game, const SupportFiles& support);

// A list saved as a script: `headerBytes` bytes of comment lines, then every entry
// followed by CR LF. Line i of the findings is entry i.
CheckResult CheckList(const StringList& entries, std::size_t headerBytes, Game game,
                      const SupportFiles& support);

// The findings of one line on its own, saved with CR LF: what the line itself makes the
// game do (no name is looked up among aliases, no other line is known).
CheckResult CheckLine(std::string_view line, Game game);

// A number with its digits grouped by threes with a no-break space (Windows-1252 0xA0),
// which reads the same in French and English: "8 191".
std::string GroupDigits(std::size_t number);

}  // namespace tavrilo::game
