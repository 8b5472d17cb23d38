// SPDX-License-Identifier: GPL-3.0-or-later
// File utilities: copying a file, whether a name is a directory, a file's modification date.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/Platform.h"
#include "core/SafeFile.h"

namespace tavrilo {

// The low-level read, as ::read. Tests replace it to simulate a failing disk.
using ReadFunction = platform::ReadFunction;

// The size of the buffer CopyFileTo obtains for each call.
inline constexpr std::size_t kCopyBufferSize = 8192;

// Copies the bytes of `source` to `destination`, a file or a directory (which then
// receives the file under the source's name).
//
// The destination is made absolute against the current directory (lexically: "." and
// ".." are folded, links are not followed). When it names an existing directory, or
// ends with a separator whether or not such a directory exists, the file name part of
// `source` is appended after one separator. Then the source is opened (only a regular
// file can be, without ever waiting on a FIFO), the destination is created, and the bytes
// are carried kCopyBufferSize at a time: one read per round, repeated while a read fills
// the whole buffer.
//
// Every failure throws FileError (core/FileError.h), which names the file and the
// system's reason: the source as passed when it cannot be opened or read, the destination
// as formed when it cannot be created or written. The destination is written by
// SafeFileWriter: where it can be
// replaced, a failure or a kill leaves the file being replaced as it was and no
// temporary file; otherwise it is written in place. A new file gets ordinary
// permissions (an existing one keeps its owner, group, mode and extended attributes),
// never those of the source. `write` and `read` replace the system calls, for tests;
// nullptr means ::write and ::read.
void CopyFileTo(const std::string& source, const std::string& destination,
                WriteFunction write = nullptr, ReadFunction read = nullptr);

// Whether `fileName` names a directory (links followed). A name that cannot be examined
// (missing, under a regular file, too long) is not one: CopyFileTo therefore treats a
// missing directory as a file name, unless the destination ends with a separator: a
// missing data directory "Baseq2/" still gives "Cannot create file .../Baseq2/Alias.cfg".
bool IsDirectory(const std::string& fileName);

// A local date and time (year, month, day, hour, minute, second).
using FileDateTime = platform::LocalDateTime;

// The local date and time of the last write of `fileName`, with the two-second
// resolution of a packed file date: the local seconds rounded down to an even number,
// the milliseconds dropped. std::nullopt when the file does not exist or cannot be
// examined. Dates outside the packed format's years 1980 to 2107 are returned as they
// are (1970 stays 1970, 2150 stays 2150), not clamped or wrapped.
std::optional<FileDateTime> FileModificationDate(const std::string& fileName);

}  // namespace tavrilo
