// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/MacroDocument.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/Errors.h"
#include "core/LineReader.h"
#include "core/Paths.h"
#include "install/FilesBeside.h"

namespace tavrilo::macros {

namespace {
constexpr std::string_view kLineEnd = "\r\n";
}  // namespace

MacroDocument::MacroDocument() {
  Check();
}

MacroDocument::MacroDocument(std::size_t maxEntries) : list_(maxEntries), maxEntries_(maxEntries) {
  Check();
}

void MacroDocument::Check() {
  // The old findings go first: a long list does not hold two sets of them at once.
  findings_ = {};
  findings_ = checker_ ? checker_(list_, buffer_.Text().size(), BesideFiles())
                       : game::CheckList(list_, buffer_.Text().size(), game_, {}, BesideFiles());
}

void MacroDocument::SetChecker(ListChecker checker) {
  checker_ = std::move(checker);
  CheckAgain();
}

void MacroDocument::CheckAgain() {
  Check();
  Tell(DocumentChange::Kind::kFindings, -1, true);
}

game::FilesBeside MacroDocument::BesideFiles() const {
  return folder_ ? install::FilesBesideIn(*folder_) : game::FilesBeside{};
}

void MacroDocument::Tell(DocumentChange::Kind kind, int row, bool done, int to) {
  if (listener_) listener_(DocumentChange{kind, row, done, to});
}

void MacroDocument::SetGame(game::Game game) {
  game_ = game;
  Check();
  Tell(DocumentChange::Kind::kFindings, -1, true);
}

void MacroDocument::ResetHeader() {
  ResetOutputBuffer(buffer_);
  Check();
  Tell(DocumentChange::Kind::kFindings, -1, true);
}

bool MacroDocument::Save(const PathPrompt& askPath, WriteFunction write) {
  // An emptied list is saved: the question about unsaved changes must be able to end.
  if (list_.Empty() && !modified_) return false;
  const std::optional<std::string> path = askPath();
  if (!path) return false;
  WriteTo(*path, write);
  return true;
}

void MacroDocument::WriteTo(const std::string& path, WriteFunction write) {
  // The entries are streamed straight from the list: a long list is never copied. The
  // output buffer is emptied only once the new file stands complete in its place, so a
  // failed save can simply be repeated, and the old file stays as it was.
  SafeFileWriter file(path, write);
  file.Write(buffer_.Text());
  for (int i = 0; i < list_.Count(); ++i) {
    file.Write(list_.At(i));
    file.Write(kLineEnd);
  }
  file.Commit();
  modified_ = false;
  // The next save starts without the header; exec finds the files beside the new file.
  std::optional<std::string> folder = DirectoryPart(path);
  const bool moved = folder != folder_;
  folder_ = std::move(folder);
  if (!buffer_.Empty() || moved) {
    buffer_.Clear();
    Check();
    Tell(DocumentChange::Kind::kFindings, -1, true);
  }
}

LoadedFile MacroDocument::ReadFile(const std::string& path) {
  // Read into a list of its own, which takes the list's place only once the whole file
  // is in: a file that cannot be read costs the player nothing. The findings are let go
  // while it is read (a long list does not hold two lists and its findings at once), and
  // made again afterwards.
  LoadedFile loaded{StringList(maxEntries_), false};
  findings_ = {};
  try {
    LineReader file(path);
    ReadLines(file, loaded.lines);
    loaded.moreAfterEndMark = file.MoreAfterEndMark();
  } catch (...) {
    Check();
    throw;
  }
  Check();
  return loaded;
}

void MacroDocument::Exchange(StringList& entries, OutputBuffer& buffer,
                             std::optional<std::string> folder) {
  folder_ = std::move(folder);
  Exchange(entries, buffer);
}

void MacroDocument::Exchange(StringList& entries, OutputBuffer& buffer) {
  Tell(DocumentChange::Kind::kReset, -1, false);
  findings_ = {};  // the old findings go before the new list is checked
  std::swap(static_cast<StringList&>(list_), entries);  // the list's tool-tip stays
  list_.SetItemIndex(-1);
  entries.SetItemIndex(-1);
  std::swap(buffer_, buffer);
  Check();
  Tell(DocumentChange::Kind::kReset, -1, true);
}

bool MacroDocument::Load(const PathPrompt& askPath) {
  const std::optional<std::string> path = askPath();
  if (!path) return false;
  LoadedFile loaded = ReadFile(*path);
  OutputBuffer buffer = buffer_;  // the output buffer is not touched
  Exchange(loaded.lines, buffer, DirectoryPart(*path));
  loaded.lines.Clear();  // the old entries go now
  modified_ = false;
  return true;
}

void MacroDocument::NewList() {
  Tell(DocumentChange::Kind::kReset, -1, false);
  list_.Clear();
  ResetOutputBuffer(buffer_);
  modified_ = false;
  folder_.reset();
  Check();
  Tell(DocumentChange::Kind::kReset, -1, true);
}

void MacroDocument::Append(std::string_view line) {
  // A full list refuses (its own ListIndexError) before anyone is told of a new row.
  if (static_cast<std::size_t>(list_.Count()) >= maxEntries_) list_.Add(line);
  const int row = list_.Count();
  Tell(DocumentChange::Kind::kInsert, row, false);
  list_.Add(line);
  modified_ = true;
  Check();
  Tell(DocumentChange::Kind::kInsert, row, true);
}

void MacroDocument::Insert(int row, std::string_view line) {
  if (row < 0 || row > list_.Count()) throw ListIndexError::IndexOutOfBounds(row);
  // A full list refuses (its own ListIndexError) before anyone is told of a new row.
  if (static_cast<std::size_t>(list_.Count()) >= maxEntries_) list_.Add(line);
  Tell(DocumentChange::Kind::kInsert, row, false);
  list_.Insert(row, line);
  modified_ = true;
  Check();
  Tell(DocumentChange::Kind::kInsert, row, true);
}

void MacroDocument::Remove(int row) {
  list_.At(row);  // outside the list: ListIndexError before anyone is told
  Tell(DocumentChange::Kind::kRemove, row, false);
  list_.Delete(row);
  modified_ = true;
  Check();
  Tell(DocumentChange::Kind::kRemove, row, true);
}

void MacroDocument::Replace(int row, std::string_view line) {
  list_.Replace(row, line);
  modified_ = true;
  Check();
  Tell(DocumentChange::Kind::kEdit, row, true);
}

void MacroDocument::Move(int from, int to) {
  list_.At(from);  // either outside the list: ListIndexError before anyone is told
  list_.At(to);
  Tell(DocumentChange::Kind::kMove, from, false, to);
  list_.Move(from, to);
  modified_ = true;
  Check();
  Tell(DocumentChange::Kind::kMove, from, true, to);
}

int MacroDocument::DeleteSelected() {
  const int row = list_.ItemIndex();
  if (row < 0) return -1;
  Tell(DocumentChange::Kind::kRemove, row, false);
  list_.Delete(row);
  modified_ = true;
  Check();
  Tell(DocumentChange::Kind::kRemove, row, true);
  return row;
}

}  // namespace tavrilo::macros
