// Reading a whole file at once, for the files the program reads whole (settings, caption
// files, support files, files to check).
#pragma once

#include <string>

namespace tavrilo {

// Reads the whole of `path`, byte for byte, into `bytes`. Returns 0, or the system's
// error number when the file cannot be read (ENOENT for a missing file). A path that is
// not a regular file (a FIFO, a device, a directory) is refused at once with EACCES,
// never waited on: a FIFO without a writer would block, a device may never end.
int ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace tavrilo
