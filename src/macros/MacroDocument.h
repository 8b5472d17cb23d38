// SPDX-License-Identifier: GPL-3.0-or-later
// The macro list the player edits, with everything that decides what the game makes of
// it: the output buffer (the header saved before the first entry), the chosen game, the
// check of the list (the game's, or one the owner sets), and the findings of the whole
// list. Every change goes
// through this object, which checks the list again and then tells its listener, so that
// whoever shows the list never sees a row before its findings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
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
// saved or put back, a check again) is told once, done.
struct DocumentChange {
  enum class Kind : std::uint8_t {
    kInsert,    // a line is inserted at `row`
    kRemove,    // `row` is removed
    kReset,     // the whole list is replaced (load, new list)
    kFindings,  // the rows stay; their findings and the saved size may differ
    kEdit,      // the text of `row` is replaced
    kMove,      // the line at `row` moves to `to`, the lines between one place towards `row`
  };
  Kind kind = Kind::kFindings;
  int row = -1;
  bool done = true;
  int to = -1;  // kMove: where the line goes
};

// What a load found at the end of the file.
struct LoadedFile {
  StringList lines;
  // The file holds bytes after a 0x1A byte, where the reading stopped (the game reads on,
  // taking the 0x1A for a blank): the list holds only the lines before it.
  bool moreAfterEndMark = false;
};

class MacroDocument {
 public:
  using Listener = std::function<void(const DocumentChange&)>;

  MacroDocument();
  // A document whose list takes at most `maxEntries` entries.
  explicit MacroDocument(std::size_t maxEntries);

  // The one who shows the document; told of every change (see DocumentChange).
  void SetListener(Listener listener) { listener_ = std::move(listener); }
  // What checks the list (its entries, the bytes of its header and the files beside its
  // file) in place of the game's check of a list alone: the check on the state the player's
  // own files leave. Null: the game's check. The list is checked again at once.
  using ListChecker =
      std::function<game::CheckResult(const StringList&, std::size_t, const game::FilesBeside&)>;
  void SetChecker(ListChecker checker);
  // Checks the list again (what the checker knows changed) and tells the listener.
  void CheckAgain();

  // The list is read here; it changes only through the operations below (the selection
  // and the tool-tip are the list's own).
  MacroList& List() { return list_; }
  const MacroList& List() const { return list_; }
  const OutputBuffer& Buffer() const { return buffer_; }

  // What the chosen game makes of the list as it would be saved now.
  const game::CheckResult& Findings() const { return findings_; }
  game::Game Game() const { return game_; }
  void SetGame(game::Game game);
  // The files exec finds beside the list's file, read anew at each check; none when the
  // list has no file.
  game::FilesBeside BesideFiles() const;

  // The header comment goes into the output buffer (start-up).
  void ResetHeader();

  // Save: with an empty list that has not changed since it was saved, loaded or started
  // anew, nothing happens and `askPath` is not called. Otherwise (an emptied list too)
  // the chosen file receives the output buffer's text, then every entry, each line ended by
  // CR LF; then the output buffer is emptied. Cancelled: nothing changes. The file is
  // written by SafeFileWriter (replaced whole where it can be, else written in place; its
  // owner, group, mode, extended attributes and links kept; anything but a regular file
  // refused). A failure (FileCreateError, FileWriteError) leaves the output buffer as it was,
  // and a replaced file as it was. Returns whether a file was written.
  bool Save(const PathPrompt& askPath, WriteFunction write = nullptr);
  // The writing part of Save, to `path`, whatever the list holds.
  void WriteTo(const std::string& path, WriteFunction write = nullptr);

  // Load: cancelled, nothing changes. Otherwise every line of the chosen file becomes an
  // entry, in place of the list's entries, and nothing is selected. The file is read whole
  // before the list changes: an error (InputOutputError when it cannot be opened or read,
  // TextError "File.LineTooLong" for a line longer than kMaxLineLength, ListIndexError when
  // the list cannot take its lines) leaves the list and its selection as they were. The
  // output buffer is not touched. Returns whether a file was chosen.
  bool Load(const PathPrompt& askPath);
  // The reading part of Load: the lines of `path`, in a list of their own, the document
  // unchanged (its findings are let go while the file is read and made again after, so
  // that a long list is not held twice with its findings). Fails as Load does.
  LoadedFile ReadFile(const std::string& path);
  // The list's entries and the output buffer change places with `entries` and `buffer`
  // (load, new list, and the undo of either); nothing is selected. Told as a reset.
  void Exchange(StringList& entries, OutputBuffer& buffer);
  // The same, the list's folder becoming `folder` (see folder_), checked once in it.
  void Exchange(StringList& entries, OutputBuffer& buffer, std::optional<std::string> folder);

  // New list: the list is emptied and the header comment put back.
  void NewList();

  // Appends an entry (ListIndexError when the list is full: nothing changes).
  void Append(std::string_view line);
  // Removes the selected entry; nothing selected, nothing happens. Returns the row
  // removed, or -1.
  int DeleteSelected();

  // The changes of one line (the editor's steps and their undo): each fails like the
  // list's own operation of the name, with nothing changed and nobody told. `Insert` and
  // `Move` remove the selection, `Replace` keeps it.
  void Insert(int row, std::string_view line);
  void Remove(int row);
  void Replace(int row, std::string_view line);
  void Move(int from, int to);

  // Whether the list changed since it was last saved, loaded or started anew: closing it
  // now would lose work.
  bool Modified() const { return modified_; }

 private:
  void Check();
  void Tell(DocumentChange::Kind kind, int row, bool done, int to = -1);

  MacroList list_;
  OutputBuffer buffer_;
  std::size_t maxEntries_ = StringList::kMaxCount;
  bool modified_ = false;
  game::Game game_ = game::Game::kQuake2;
  // The folder of the list's file (ending with a separator, "" for the current folder),
  // where exec finds the files it runs beside the list, read anew at each check;
  // std::nullopt: the list has no file. Load, WriteTo, Exchange and NewList set it.
  std::optional<std::string> folder_;
  game::CheckResult findings_;
  Listener listener_;
  ListChecker checker_;
};

}  // namespace tavrilo::macros
