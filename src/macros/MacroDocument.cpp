// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/MacroDocument.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/LineReader.h"

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
  findings_ = game::CheckList(list_, buffer_.Text().size(), game_, support_);
}

void MacroDocument::Tell(DocumentChange::Kind kind, int row, bool done) {
  if (listener_) listener_(DocumentChange{kind, row, done});
}

void MacroDocument::SetGame(game::Game game) {
  game_ = game;
  Check();
  Tell(DocumentChange::Kind::kFindings, -1, true);
}

void MacroDocument::SetSupportFiles(game::SupportFiles support) {
  support_ = std::move(support);
  Check();
  Tell(DocumentChange::Kind::kFindings, -1, true);
}

void MacroDocument::ResetHeader() {
  ResetOutputBuffer(buffer_);
  Check();
  Tell(DocumentChange::Kind::kFindings, -1, true);
}

bool MacroDocument::Save(const PathPrompt& askPath, WriteFunction write) {
  if (list_.Empty()) return false;
  const std::optional<std::string> path = askPath();
  if (!path) return false;

  // The entries are streamed straight from the list: a long list is never copied. The
  // output buffer is emptied only once the new file stands complete in its place, so a
  // failed save can simply be repeated, and the old file stays as it was.
  SafeFileWriter file(*path, write);
  file.Write(buffer_.Text());
  for (int i = 0; i < list_.Count(); ++i) {
    file.Write(list_.At(i));
    file.Write(kLineEnd);
  }
  file.Commit();
  modified_ = false;
  if (!buffer_.Empty()) {  // the next save starts without the header
    buffer_.Clear();
    Check();
    Tell(DocumentChange::Kind::kFindings, -1, true);
  }
  return true;
}

bool MacroDocument::Load(const PathPrompt& askPath) {
  const std::optional<std::string> path = askPath();
  if (!path) return false;

  // Read into a list of its own, which takes the list's place only once the whole file
  // is in: a file that cannot be read costs the player nothing. The findings are let go
  // while it is read (a long list does not hold two lists and its findings at once), and
  // made again if the read fails.
  StringList loaded(maxEntries_);
  findings_ = {};
  try {
    LineReader file(*path);
    ReadLines(file, loaded);
  } catch (...) {
    Check();
    throw;
  }
  Tell(DocumentChange::Kind::kReset, -1, false);
  static_cast<StringList&>(list_) = std::move(loaded);  // the list's tool-tip stays
  {
    // The moved-from list may hold the old entries' memory (a string's move assignment
    // can hand its own buffer over): it goes now, before the new list is checked.
    const StringList old = std::move(loaded);
  }
  modified_ = false;
  Check();
  Tell(DocumentChange::Kind::kReset, -1, true);
  return true;
}

void MacroDocument::NewList() {
  Tell(DocumentChange::Kind::kReset, -1, false);
  list_.Clear();
  ResetOutputBuffer(buffer_);
  modified_ = false;
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
