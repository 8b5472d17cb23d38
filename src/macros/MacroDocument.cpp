#include "macros/MacroDocument.h"

#include <optional>
#include <string>
#include <string_view>

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
  return true;
}

bool MacroDocument::Load(const PathPrompt& askPath) {
  const std::optional<std::string> path = askPath();
  if (!path) return false;

  list_.Clear();  // before the file is opened: a file that cannot be read leaves no list
  LineReader file(*path);
  ReadLines(file, list_);
  return true;
}

void MacroDocument::NewList() {
  list_.Clear();
  ResetOutputBuffer(buffer_);
}

}  // namespace tavrilo::macros
