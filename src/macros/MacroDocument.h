// SPDX-License-Identifier: GPL-3.0-or-later
// The macro list the player edits, with everything that decides what the game makes of
// it: the output buffer (the header saved before the first entry), the chosen game, the
// support files a line may run, and the findings of the whole list. Every change goes
// through this object, which checks the list again and then tells its listener, so that
// whoever shows the list never sees a row before its findings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/Paths.h"
#include "core/SafeFile.h"
#include "game/Check.h"
#include "game/Game.h"
#include "macros/MacroList.h"
#include "macros/OutputBuffer.h"

namespace tavrilo::macros {

// What changed in a document. A change of rows is told twice: before it happens
// (`done` false: the list is still as it was) and once it is done and the findings are
// up to date (`done` true). A change of the findings alone (another game, the header
// saved or put back, other support files) is told once, done.
struct DocumentChange {
  enum class Kind : std::uint8_t {
    kInsert,    // `row` is appended
    kRemove,    // `row` is removed
    kReset,     // the whole list is replaced (load, new list)
    kFindings,  // the rows stay; their findings and the saved size may differ
  };
  Kind kind = Kind::kFindings;
  int row = -1;
  bool done = true;
};

class MacroDocument {
 public:
  using Listener = std::function<void(const DocumentChange&)>;

  MacroDocument();
  // A document whose list takes at most `maxEntries` entries.
  explicit MacroDocument(std::size_t maxEntries);

  // The one who shows the document; told of every change (see DocumentChange).
  void SetListener(Listener listener) { listener_ = std::move(listener); }

  // The list is read here; it changes only through the operations below (the selection
  // and the tool-tip are the list's own).
  MacroList& List() { return list_; }
  const MacroList& List() const { return list_; }
  const OutputBuffer& Buffer() const { return buffer_; }

  // What the chosen game makes of the list as it would be saved now.
  const game::CheckResult& Findings() const { return findings_; }
  game::Game Game() const { return game_; }
  void SetGame(game::Game game);
  void SetSupportFiles(game::SupportFiles support);

  // The header comment goes into the output buffer (start-up).
  void ResetHeader();

  // Save: with an empty list nothing happens and `askPath` is not called. Otherwise the
  // chosen file receives the output buffer's text, then every entry, each line ended by
  // CR LF; then the output buffer is emptied. Cancelled: nothing changes. The file is
  // written by SafeFileWriter (replaced whole where it can be, else written in place; its
  // owner, group, mode, extended attributes and links kept; anything but a regular file
  // refused). A failure (FileCreateError, FileWriteError) leaves the output buffer as it was,
  // and a replaced file as it was. Returns whether a file was written.
  bool Save(const PathPrompt& askPath, WriteFunction write = nullptr);

  // Load: cancelled, nothing changes. Otherwise every line of the chosen file becomes an
  // entry, in place of the list's entries, and nothing is selected. The file is read whole
  // before the list changes: an error (InputOutputError when it cannot be opened or read,
  // TextError "File.LineTooLong" for a line longer than kMaxLineLength, ListIndexError when
  // the list cannot take its lines) leaves the list and its selection as they were. The
  // output buffer is not touched. Returns whether a file was chosen.
  bool Load(const PathPrompt& askPath);

  // New list: the list is emptied and the header comment put back.
  void NewList();

  // Appends an entry (ListIndexError when the list is full: nothing changes).
  void Append(std::string_view line);
  // Removes the selected entry; nothing selected, nothing happens. Returns the row
  // removed, or -1.
  int DeleteSelected();

  // Whether the list changed since it was last saved, loaded or started anew: closing it
  // now would lose work.
  bool Modified() const { return modified_; }

 private:
  void Check();
  void Tell(DocumentChange::Kind kind, int row, bool done);

  MacroList list_;
  OutputBuffer buffer_;
  std::size_t maxEntries_ = StringList::kMaxCount;
  bool modified_ = false;
  game::Game game_ = game::Game::kQuake2;
  game::SupportFiles support_;
  game::CheckResult findings_;
  Listener listener_;
};

}  // namespace tavrilo::macros
