// How the game's console reads a script: lines, commands, words, cvar expansion, and the
// three commands that shape what a script leaves behind (bind, alias, exec). Both games
// cut a script the same way; only the limits differ (LimitsOf).
//
// - A script is cut into lines at LF only; a CR before it is one more blank to the
//   tokenizer, but it counts in the length of the line's last command.
// - A line is cut into commands at each ";" outside double quotes.
// - A command with an odd number of double quotes is discarded whole.
// - Words are separated by blanks: every byte up to the space, and, outside double quotes,
//   every byte above 127 (the tokenizer reads a signed char). "..." is one word without
//   its quotes. "//" at the start of a word comments out the rest of the command.
// - A word of `Limits::word` characters or more does not survive: a quoted one keeps its
//   first characters, an unquoted one vanishes.
// - `$name` outside double quotes is replaced by the cvar's value when the command runs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "game/Game.h"

namespace tavrilo::game {

// The lines of `script`, cut at LF. A script that ends with LF has no empty last line.
std::vector<std::string_view> LinesOf(std::string_view script);

// The commands of one line, cut at each ";" outside double quotes. An empty line is one
// empty command.
std::vector<std::string_view> CommandsOf(std::string_view line);

// Calls `each(command, end)` for the commands of `line`, `end` being the offset in
// `line` just past the command's ";" (or the line's size for the last one).
template <typename Each>
void ForEachCommand(std::string_view line, Each&& each) {
  if (line.find(';') == std::string_view::npos) {
    each(line, line.size());
    return;
  }
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ';' && !quoted) {
      each(line.substr(start, i - start), i + 1);
      start = i + 1;
    }
  }
  each(line.substr(start), line.size());
}

// Whether the game discards `command` for its double quotes (an odd number of them).
bool HasUnmatchedQuote(std::string_view command);

// One pass over a command's bytes: its quotes, and whether it holds a byte above 127.
struct CommandBytes {
  bool unmatchedQuote = false;
  bool highByte = false;
};
CommandBytes ScanCommand(std::string_view command);

// Whether the tokenizer takes `c` for a blank outside double quotes.
constexpr bool IsBlank(char c) {
  return static_cast<signed char>(c) <= ' ';
}

// One word of a command as the tokenizer reads it.
struct Word {
  std::string_view written;  // the word's characters in the command, without its quotes
  std::string_view kept;     // what the game keeps of it
  bool quoted = false;
  bool cut = false;  // the word reached the word limit: the game loses part or all of it
};

struct Words {
  std::vector<Word> words;
  // The raw text after the first word, without trailing blanks: what the commands that
  // read their arguments raw (say, use...) get, quotes included.
  std::string_view args;
  // Where a "//" comment begins in the command (its size when there is none).
  std::size_t commentAt = 0;

  bool Empty() const { return words.empty(); }
  std::size_t Count() const { return words.size(); }
  std::string_view operator[](std::size_t i) const { return words[i].kept; }
};

// The words of `command` with the word limit `wordLimit`. The second form reuses `out`.
Words WordsOf(std::string_view command, std::size_t wordLimit);
void WordsOf(std::string_view command, std::size_t wordLimit, Words& out);

// The cvar names that the game expands in `command`: each `$name` outside double quotes
// before any comment, `name` running to the next blank.
std::vector<std::string_view> CvarReferencesOf(std::string_view command);

// The first byte above 127 outside double quotes and before any comment, which splits a
// word the player probably wrote as one; '\0' when there is none.
char HighByteOutsideQuotes(std::string_view command);

// What bind, alias and exec do with their words.
enum class CommandKind {
  kEmpty,   // no word: nothing runs
  kBind,    // bind KEY TEXT...: TEXT runs each time KEY goes down
  kUnbind,  // unbind KEY
  kAlias,   // alias NAME TEXT...: NAME runs TEXT
  kExec,    // exec FILE: the file's text runs in place of this command
  kOther,   // any other command, alias or cvar
};

struct ConsoleCommand {
  CommandKind kind = CommandKind::kEmpty;
  std::string_view name;    // the first word as the game keeps it
  std::string_view target;  // bind, unbind: the key; alias: the name; exec: the file
  bool hasTarget = false;
  // bind, alias: the text the game stores, the words after the target joined by one
  // blank; hasText only when there is at least one such word.
  std::string_view text;
  bool hasText = false;
};

// Reads the command of `words` (the letter case of the command name does not matter).
// `text` points into the command or, when several words are joined, into `storage`.
ConsoleCommand ReadCommand(const Words& words, std::string& storage);

// What becomes of a command of `length` bytes that the file follows with a CR when
// `crAfter` (the CR counts as one more character): Quake 2 discards a command of 1,024
// characters or more; Yamagi Quake II cuts it to 1,023, which loses nothing when only
// the CR goes.
enum class CommandFate { kRuns, kDiscarded, kCut };
CommandFate FateOfCommand(Game game, std::size_t length, bool crAfter);

// Letter-case folding as the console compares command and alias names (ASCII only).
std::string LowerCase(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tavrilo::game
