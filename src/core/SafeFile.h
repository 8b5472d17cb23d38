// Writes a whole file so that the file it replaces is never damaged: the bytes go to a
// temporary file in the target's directory, which takes the target's place only once
// it is complete. A failed write leaves the old file as it was and no temporary file.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrilo {

// The low-level write, as ::write. Tests replace it to simulate a full disk.
using WriteFunction = ssize_t (*)(int fd, const void* data, std::size_t size);

class SafeFileWriter {
 public:
  // Prepares to replace `path`. Throws EFCreateError naming `path` when the file cannot
  // be created there (missing directory, path under a regular file, a read-only file or
  // directory, a directory of that name). A target that exists and is not a regular
  // file (a device, a pipe) is written in place.
  explicit SafeFileWriter(const std::string& path, WriteFunction write = nullptr);
  ~SafeFileWriter();  // discards everything unless committed
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Appends bytes; throws EWriteError when they cannot be written.
  void Write(std::string_view data);

  // Writes what is buffered, syncs it and puts the file in place. Throws EWriteError
  // when the bytes cannot be written, EFCreateError when the file cannot take the
  // target's place.
  void Commit();

 private:
  void Flush();
  void WriteAll(const char* data, std::size_t size);
  void Discard();

  std::string path_;       // as the caller named it, for messages
  std::string target_;     // the file that is replaced (links followed)
  std::string temporary_;  // empty when writing in place
  WriteFunction write_;
  int fd_ = -1;
  std::string buffer_;
  bool committed_ = false;
};

}  // namespace tavrilo
