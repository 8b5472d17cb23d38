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
  buffer_.Clear();
  modified_ = false;
  return true;
}

bool MacroDocument::Load(const PathPrompt& askPath) {
  const std::optional<std::string> path = askPath();
  if (!path) return false;

  // Read into a list of its own, which takes the list's place only once the whole file
  // is in: a file that cannot be read costs the player nothing.
  StringList loaded(maxEntries_);
  LineReader file(*path);
  ReadLines(file, loaded);
  static_cast<StringList&>(list_) = std::move(loaded);  // the list's tool-tip stays
  modified_ = false;
  return true;
}

void MacroDocument::NewList() {
  list_.Clear();
  ResetOutputBuffer(buffer_);
  modified_ = false;
}

void MacroDocument::Append(std::string_view line) {
  list_.Add(line);
  modified_ = true;
}

int MacroDocument::DeleteSelected() {
  const int row = list_.ItemIndex();
  if (row < 0) return -1;
  list_.Delete(row);
  modified_ = true;
  return row;
}

}  // namespace tavrilo::macros
