// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/WholeFile.h"

#include <new>
#include <optional>
#include <stdexcept>

#include "core/ErrorText.h"
#include "core/Errors.h"
#include "core/FileError.h"
#include "core/Platform.h"
#include "core/Text.h"

namespace tavrilo {

namespace {

int ReadOpenFile(platform::InputFile& file, std::string& bytes, std::uint64_t maxSize) {
  if (file.Size() > maxSize) return platform::kFileTooBig;
  bytes.reserve(static_cast<std::size_t>(file.Size()));
  char chunk[64 * 1024];
  for (;;) {
    platform::ErrorCode error = platform::kNoError;
    const std::ptrdiff_t n = file.Read(chunk, sizeof chunk, error);
    if (n < 0) return error;
    if (n == 0) return platform::kNoError;
    // A file that grows while it is read stops at the bound.
    if (static_cast<std::uint64_t>(n) > maxSize - bytes.size()) return platform::kFileTooBig;
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
}

int ReadAll(platform::InputFile& file, std::string& bytes, std::uint64_t maxSize) {
  int error;
  try {
    error = ReadOpenFile(file, bytes, maxSize);
  } catch (const std::bad_alloc&) {
    error = platform::kOutOfMemory;
  } catch (const std::length_error&) {
    error = platform::kOutOfMemory;
  }
  if (error != platform::kNoError) std::string().swap(bytes);
  return error;
}

}  // namespace

int ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t maxSize,
                  platform::Streams streams) {
  bytes.clear();
  platform::InputFile file;
  if (const platform::ErrorCode error = file.Open(path, streams)) return error;
  return ReadAll(file, bytes, maxSize);
}

int ReadStandardInput(std::string& bytes, std::uint64_t maxSize) {
  bytes.clear();
  platform::InputFile file;
  if (const platform::ErrorCode error = file.OpenStandardInput()) return error;
  return ReadAll(file, bytes, maxSize);
}

bool IsTooBig(int error) {
  return error == platform::kFileTooBig || error == platform::kOutOfMemory;
}

void ThrowReadError(int error, const std::string& path) {
  throw FileError(error, path);
}

Text ReadFailureText(int error, const std::string& path) {
  if (error == platform::kNotRegularFile) {
    const std::optional<platform::FileStatus> status = platform::Status(path);
    const bool directory = status && status->kind == platform::FileKind::kDirectory;
    return Text{directory ? "Cli.IsDirectory" : "Cli.NotRegularFile", {}};
  }
  if (IsTooBig(error)) return Text{"File.TooBig", {path}};
  return TextOfError(InOutErrorFor(error, path));
}

}  // namespace tavrilo
