// SPDX-License-Identifier: GPL-3.0-or-later
// How the game's console reads a text: its lines, where a line's commands end, what
// becomes of a command that is too long or whose quotes do not pair up, its words, the raw
// text after its first word, $ cvar references and "//" comments. Both games read a
// command the same way; only their limits differ (Game.h). What the game then does with
// the command is the interpreter's (game/Interpreter.h).
//
// - A script is cut into lines at LF only; a CR before it is one more blank to the
//   tokenizer, but it counts in the length of the line's last command.
// - A line is cut into commands at each ";" outside double quotes.
// - Words are separated by blanks: every byte up to the space, and, outside double quotes,
//   every byte above 127 (the tokenizer reads a signed char). "..." is one word without
//   its quotes. "//" at the start of a word comments out the rest of the command.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/StringList.h"
#include "game/Game.h"

namespace tavrilo::game {

// A line of a text as the console gets it: its bytes without the CR and LF that end it.
struct Line {
  std::string_view text;
  bool cr = false;  // a CR before the LF (part of the line's last command)
  bool lf = false;
  std::size_t Size() const { return text.size() + (cr ? 1 : 0) + (lf ? 1 : 0); }
};

// The lines of a text, one after the other: a file's bytes cut at LF, the entries of a
// list (each saved with CR LF), or one line on its own. Nothing is copied; a copy of a
// cursor reads the same lines again from where it stands.
class LineCursor {
 public:
  static LineCursor OfBytes(std::string_view bytes);
  static LineCursor OfList(const StringList& list);
  static LineCursor OfLine(Line line);

  // The next line into `line`; false after the last.
  bool Next(Line& line);

 private:
  std::string_view bytes_;
  const StringList* list_ = nullptr;
  int index_ = 0;
  Line single_;
  bool hasSingle_ = false;
};

// Whether the tokenizer takes `c` for a blank outside double quotes.
constexpr bool IsBlank(char c) {
  return static_cast<signed char>(c) <= ' ';
}

// `text` without the blanks at either end, by the tokenizer's rule (bytes above 127
// included), as the console trims the raw text after a command's name.
std::string_view TrimBlanks(std::string_view text);

// Calls `each(command, begin, end)` for the commands of `line`: `begin` is the offset of
// the command in `line`, `end` the offset just past its ";" (the line's size for the last).
template <typename Each>
void ForEachCommand(std::string_view line, Each&& each) {
  if (line.find(';') == std::string_view::npos) {  // most lines hold one command
    each(line, 0, line.size());
    return;
  }
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ';' && !quoted) {
      each(line.substr(start, i - start), start, i + 1);
      start = i + 1;
    }
  }
  each(line.substr(start), start, line.size());
}

// The number of commands of `line`.
std::size_t CountCommands(std::string_view line);

// Whether the game discards `command` for its double quotes (an odd number of them).
bool HasUnmatchedQuote(std::string_view command);

// What becomes of a command of `length` bytes (its CR included when the line ends with one):
// Quake 2 discards a command of 1,024 characters or more; Yamagi Quake II cuts it to 1,023.
enum class CommandFate { kRuns, kDiscarded, kCut };
CommandFate FateOfCommand(Game game, std::size_t length);

// One word of a command as the tokenizer reads it.
struct Word {
  std::string_view written;  // the word's characters in the command, without its quotes
  std::string_view kept;     // what the game keeps of it
  std::size_t offset = 0;    // where it begins in the command (its opening quote)
  bool quoted = false;
  bool cut = false;  // the word reached the word limit: the game loses part or all of it
};

struct Words {
  std::vector<Word> words;  // at most the game's 80: the rest are dropped
  std::size_t dropped = 0;  // words past the 80th
  // The raw text after the first word, trimmed of blanks (TrimBlanks): what the commands
  // that read their arguments raw (say, use...) get, quotes included.
  std::string_view args;
  // Where a "//" comment begins in the command (its size when there is none).
  std::size_t commentAt = 0;

  bool Empty() const { return words.empty(); }
  std::size_t Count() const { return words.size(); }
  std::string_view operator[](std::size_t i) const { return words[i].kept; }
  // The words from `first` on, joined by one blank, as bind and alias store them.
  std::string Joined(std::size_t first) const;
};

// The words of `command` for `game`, into `out` (its storage reused).
void ReadWords(std::string_view command, Game game, Words& out);

// A $ reference outside double quotes: "$", the blanks after it, and the next word (quoted
// or not), which names the cvar whose value takes the reference's place.
struct CvarReference {
  std::size_t begin = 0;  // the "$"
  std::size_t end = 0;    // past the name
  std::string_view name;  // empty for a "$" with nothing after it
};
// Calls `each(reference)` for each $ reference of `command`, in order.
template <typename Each>
void ForEachCvarReference(std::string_view command, Each&& each) {
  if (command.find('$') == std::string_view::npos) return;
  bool quoted = false;
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (command[i] == '"') {
      quoted = !quoted;
      continue;
    }
    if (quoted || command[i] != '$') continue;
    CvarReference reference;
    reference.begin = i;
    std::size_t j = i + 1;
    while (j < command.size() && IsBlank(command[j]))
      ++j;
    if (j < command.size() && command[j] == '"') {
      const std::size_t close = command.find('"', j + 1);
      const std::size_t end = close == std::string_view::npos ? command.size() : close;
      reference.name = command.substr(j + 1, end - j - 1);
      reference.end = std::min(end + 1, command.size());
    } else {
      std::size_t end = j;
      while (end < command.size() && !IsBlank(command[end]))
        ++end;
      reference.name = command.substr(j, end - j);
      reference.end = end;
    }
    each(reference);
    i = reference.end > 0 ? reference.end - 1 : i;
  }
}

// The raw text after a command's first word, as written.
std::string_view AfterFirstWord(std::string_view command, const Words& words);

// Calls `each(words)` with the words of each command of `text` the console runs (not one
// it discards for its quotes), read into `words`.
template <typename Each>
void ForEachCommandRun(std::string_view text, Game game, Words& words, Each&& each) {
  ForEachCommand(text, [&](std::string_view command, std::size_t, std::size_t) {
    if (HasUnmatchedQuote(command)) return;
    ReadWords(command, game, words);
    each(words);
  });
}

// The first run of bytes above 127 outside double quotes and before any comment (a
// character of Windows-1252 or of UTF-8), which splits a word the player probably wrote
// as one; empty when there is none. A no-break space (Windows-1252 or UTF-8) and a UTF-8
// byte order mark are blanks the player meant as such.
std::string_view HighByteOutsideQuotes(std::string_view command);

}  // namespace tavrilo::game
