// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a whole file at once, for the files the program reads whole (settings, caption
// files, support files, files to check).
#pragma once

#include <cstdint>
#include <string>

#include "core/Platform.h"
#include "core/Text.h"

namespace tavrilo {

// The most a file read whole may hold: 64 MiB. No settings, caption, support or
// key-binding file comes near it (the game itself discards lines of 1,024 bytes or more);
// a larger file is refused before a byte of it is read, so that a huge or endless file
// never takes the memory.
inline constexpr std::uint64_t kMaxWholeFileSize = std::uint64_t{64} << 20;

// Reads the whole of `path`, byte for byte, into `bytes`. Returns 0, or the reason it
// cannot be read, as an error of core/Platform.h: a missing file, a path that is not a
// regular file (platform::kNotRegularFile: a FIFO, a device, a socket or a directory,
// refused at once, never waited on), a file larger than `maxSize` or one that grows past
// it while read (platform::kFileTooBig), memory that cannot be had
// (platform::kOutOfMemory), a read error. On failure `bytes` is empty. With
// platform::Streams::kRead a pipe, a FIFO or a character device is read too, within the
// same bound.
int ReadWholeFile(const std::string& path, std::string& bytes,
                  std::uint64_t maxSize = kMaxWholeFileSize,
                  platform::Streams streams = platform::Streams::kRefused);

// The same for the program's standard input, a stream or a file, from where it stands.
int ReadStandardInput(std::string& bytes, std::uint64_t maxSize = kMaxWholeFileSize);

// Whether `error` of ReadWholeFile says the file is too big to be read whole (over the
// bound, or over what memory holds).
bool IsTooBig(int error);

// The error to show for `error` of ReadWholeFile on `path`: FileError, which names the
// file and the reason ("FileError.TooBig" for a file too big to be read whole). Throws it.
[[noreturn]] void ThrowReadError(int error, const std::string& path);

// Why `path` could not be read, for `error` of ReadWholeFile, as a text of the caption
// files: a folder or anything but a regular file, a file too big to be read whole
// ("File.TooBig"), or the message of the error table for the system's error.
Text ReadFailureText(int error, const std::string& path);

}  // namespace tavrilo
