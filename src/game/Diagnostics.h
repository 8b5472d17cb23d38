// What the game makes of each line of a list that is saved as a script and run with exec:
// the findings of every entry (errors: the game does not run the line as shown; notes:
// worth knowing), and the size of the saved file against what exec takes.
//
// The diagnostics follow the list as it changes: an append costs the work of its own
// line, a removal or a reload one pass over the list, a change of game one new check.
// After each change TakeChanges tells which rows may now show something else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/StringList.h"
#include "core/Text.h"
#include "game/Game.h"

namespace tavrilo::game {

enum class Severity : std::uint8_t { kNone, kNote, kError };

struct Finding {
  Severity severity = Severity::kNone;
  Text text;  // a "Check.*" text of the caption files

  bool operator==(const Finding&) const = default;
};

// The support files a list may run with exec: the name exec gives -> the file's bytes.
using SupportFiles = std::map<std::string, std::string, std::less<>>;

// What ends an entry in the saved file. The window's lists are saved with CR LF; a file
// read from disk may end its lines with LF alone, and its last line with nothing.
enum class LineEnd : std::uint8_t { kCrLf, kLf, kNone };

// Which rows may show something else since the last call, and whether the size changed.
struct DiagnosticChanges {
  int first = -1;  // the first and last changed row; -1 when none
  int last = -1;
  bool size = false;

  bool Empty() const { return first < 0 && !size; }
};

class ListDiagnostics {
 public:
  // Diagnoses `entries`, which the caller owns and changes, telling this object after
  // each change. `headerSize`: the bytes saved before the first entry.
  ListDiagnostics(const StringList& entries, Game game, SupportFiles supportFiles,
                  std::size_t headerSize = 0);
  ~ListDiagnostics();
  ListDiagnostics(const ListDiagnostics&) = delete;
  ListDiagnostics& operator=(const ListDiagnostics&) = delete;

  // The list's last entry was just appended.
  void Appended(LineEnd end = LineEnd::kCrLf);
  // The entry at `index` was just removed.
  void Removed(int index);
  // The list was emptied or replaced (new list, load): every entry is checked again,
  // each saved with CR LF.
  void Reset();
  // Another game: every entry is checked again.
  void SetGame(Game game);
  Game GetGame() const;
  // The bytes saved before the first entry (the header, or nothing after a save).
  void SetHeaderSize(std::size_t bytes);

  // The worst finding of an entry, and all of them (errors first).
  Severity WorstOf(int index) const;
  std::vector<Finding> FindingsOf(int index) const;

  // The size the saved file will have, and the most that exec takes (8,191 bytes for
  // Quake 2, 32,767 for Yamagi Quake II).
  std::size_t SavedSize() const;
  std::size_t Limit() const;
  bool OverLimit() const { return SavedSize() > Limit(); }
  // "2 140 / 8 191 bytes" (Check.Budget).
  Text SizeText() const;
  // The first entry that ends past the limit; -1 when the file fits.
  int FirstEntryOverLimit() const;

  // The rows that changed since the last call (all rows after a reset, a removal or a
  // change of game), then forgets them.
  DiagnosticChanges TakeChanges();

 private:
  class State;
  std::unique_ptr<State> state_;
};

// Whether exec takes a file of `savedSize` bytes: a bigger one is ignored whole.
bool IsOverExecLimit(std::size_t savedSize, Game game);
// The text saying that the game will ignore a saved file of `savedSize` bytes and how to
// split it (Check.FileTooBig).
Text OverLimitText(std::size_t savedSize, Game game);

// A number with its digits grouped by threes with a no-break space (Windows-1252 0xA0),
// which reads the same in French and English: "8 191".
std::string GroupDigits(std::size_t number);

}  // namespace tavrilo::game
