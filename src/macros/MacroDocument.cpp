#include "macros/MacroDocument.h"

#include <sys/mman.h>

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

// Asks the system to back [data, data + bytes) with large pages where it can. Filling
// a million entries one small page after the other costs more than reading the whole
// file, each first touch of a page being a trip into the kernel. Only a hint: the
// contents are not affected, and a system without large pages ignores it.
void AdviseLargePages([[maybe_unused]] const void* data, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t begin = (start + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t end = (start + bytes) & ~(kLargePage - 1);
  if (end > begin) (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

}  // namespace

// Room for the entries of a file of that size, so that a long file is not copied from
// one ever larger list to the next while it loads. The room is generous: the part that
// no entry uses is never touched, so it costs address space, not memory. Only a hint:
// a list that cannot get the room grows as it goes.
void MacroDocument::ReserveForFile(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return;
  try {
    list_.Reserve(static_cast<std::size_t>(
        std::min<std::uintmax_t>(size / kShortLine + 1, StringList::kMaxCount)));
  } catch (const std::exception&) {
    return;
  }
  const std::vector<std::string>& entries = list_.Items();
  AdviseLargePages(entries.data(), entries.capacity() * sizeof(std::string));
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
  for (const std::string& entry : list_.Items()) {
    file.Write(entry);
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
