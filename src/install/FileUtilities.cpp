// SPDX-License-Identifier: GPL-3.0-or-later
// File utilities: CopyFileTo, IsDirectory and FileModificationDate.
#include "install/FileUtilities.h"

#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

#include "core/Errors.h"
#include "core/FileError.h"
#include "core/Paths.h"
#ifdef _WIN32
#include "core/PlatformWindows.h"
#endif

namespace tavrilo {

namespace {

// `path` made absolute against the current directory and folded lexically ("." and ".."
// removed, repeated separators joined). A path ending with a separator keeps it.
std::string AbsolutePath(const std::string& path) {
  namespace fs = std::filesystem;
#ifdef _WIN32
  // Through the wide-character name: a narrow one would go through the system's code
  // page, which need not be Windows-1252.
  fs::path result(platform::windows::WideFromAnsi(path));
#else
  fs::path result(path);
#endif
  if (!result.is_absolute()) {
    std::error_code error;
    const fs::path current = fs::current_path(error);
    if (!error) result = current / result;
  }
#ifdef _WIN32
  return platform::windows::AnsiFromWide(result.lexically_normal().wstring()).value_or(path);
#else
  return result.lexically_normal().string();
#endif
}

// The destination file of a copy: the absolute destination, or, when that is a directory
// (existing, or written with a trailing separator), the source's file name inside it.
std::string DestinationFile(const std::string& source, const std::string& destination) {
  std::string file = AbsolutePath(destination);
  const bool endsWithSeparator = !file.empty() && file.back() == kPathSeparator;
  if (endsWithSeparator || IsDirectory(file)) {
    if (!endsWithSeparator) file += kPathSeparator;
    file += FileNamePart(source);
  }
  return file;
}

}  // namespace

void CopyFileTo(const std::string& source, const std::string& destination, WriteFunction write,
                ReadFunction read) {
  const std::string target = DestinationFile(source, destination);
  // Declared in this order so that they are released in the reverse one: the
  // destination first, then the source, then the buffer.
  const auto buffer = std::make_unique<char[]>(kCopyBufferSize);
  // Only a regular file can be the source, opened without ever waiting on a FIFO.
  platform::InputFile input;
  if (const platform::ErrorCode error = input.Open(source)) throw FileError(error, source);
  SafeFileWriter output(target, write);

  std::size_t n;
  do {
    platform::ErrorCode error = platform::kNoError;
    const std::ptrdiff_t got = input.Read(buffer.get(), kCopyBufferSize, error, read);
    if (got < 0) throw FileError(error, source);
    n = static_cast<std::size_t>(got);
    if (n > 0) output.Write(std::string_view(buffer.get(), n));
  } while (n == kCopyBufferSize);
  output.Commit();
}

bool IsDirectory(const std::string& fileName) {
  const std::optional<platform::FileStatus> status = platform::Status(fileName);
  return status && status->kind == platform::FileKind::kDirectory;
}

std::optional<FileDateTime> FileModificationDate(const std::string& fileName) {
  const std::optional<platform::FileStatus> status = platform::Status(fileName);
  if (!status) return std::nullopt;

  // Milliseconds are dropped with the sub-second part; the two-second step is taken on
  // the local clock, whose offset from UTC need not be a whole number of minutes.
  FileDateTime local = platform::ToLocalDateTime(status->modified);
  if (local.second % 2 != 0) local = platform::ToLocalDateTime(status->modified - 1);
  return local;
}

}  // namespace tavrilo
