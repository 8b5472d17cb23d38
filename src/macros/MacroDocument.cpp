#include "macros/MacroDocument.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "datafiles/LineReader.h"

namespace tavrilo::macros {

namespace {
constexpr std::string_view kLineEnd = "\r\n";

// Binding lines are rarely shorter than this, terminator included.
constexpr std::uintmax_t kShortLine = 16;
}  // namespace

// Room for the entries of a file of that size, so that a long file is not copied from
// one ever larger block to the next while it loads. The room for the positions is
// generous: the part that no entry uses is never touched, so it costs address space,
// not memory.
void MacroDocument::ReserveForFile(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > SIZE_MAX) return;
  list_.Reserve(static_cast<std::size_t>(
                    std::min<std::uintmax_t>(size / kShortLine + 1, StringList::kMaxCount)),
                static_cast<std::size_t>(size));
}

bool MacroDocument::Save(const PathPrompt& askPath, datafiles::WriteFunction write) {
  if (list_.Empty()) return false;
  const std::optional<std::string> path = askPath();
  if (!path) return false;

  // The entries are streamed straight from the list: a long list is never copied. The
  // output buffer is emptied only once the new file stands complete in its place, so a
  // failed save can simply be repeated, and the old file stays as it was.
  datafiles::SafeFileWriter file(*path, write);
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
  datafiles::LineReader file(*path);
  ReserveForFile(*path);
  // One line buffer serves every line; each entry is then a copy of exactly its size.
  std::string line;
  while (!file.AtEnd()) {
    file.ReadLine(line);
    list_.Add(line);
  }
  file.Close();
  return true;
}

void MacroDocument::NewList() {
  list_.Clear();
  ResetOutputBuffer(buffer_);
}

}  // namespace tavrilo::macros
