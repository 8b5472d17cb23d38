// SPDX-License-Identifier: GPL-3.0-or-later
// The error of a file that cannot be read or written: it names the file and the system's
// reason, as a text of the caption files, so that the window and the command line show it
// in the user's language.
#pragma once

#include <string>

#include "core/Text.h"

namespace tavrilo {

// The text for `error` (an error of core/Platform.h: the system's number or one of its
// negative reasons) met on `path`: key "FileError.<reason>", values {path, the system's
// number, the system's own words}. Every pattern of the caption files reads
// "<the file's name>: <the reason>" ("Macros.cfg: disk full"), so that a message can be
// printed as it is or after the program's name. The reasons: NotFound, FolderNotFound,
// TooManyOpenFiles, AccessDenied, ReadOnly (a read-only file system), DiskFull,
// NameTooLong, LinkLoop, IsDirectory, NotRegularFile (a FIFO, a device, a socket),
// TooBig (over the 64 MiB of a whole file), OutOfMemory, NoBackup (a file written in
// place whose old text could be kept nowhere), InputOutput (the medium failed), and
// System for any other: "system error %2 (%3)".
Text FileErrorText(int error, const std::string& path);

// A file that cannot be read or written: FileErrorText as the message.
class FileError : public TextError {
 public:
  FileError(int error, const std::string& path);
  int SystemError() const { return error_; }
  const std::string& Path() const { return GetText().args.front(); }

 private:
  int error_;
};

}  // namespace tavrilo
