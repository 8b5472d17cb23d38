// Writes a whole file: a save, a copy, a settings write.
//
// Where it can, the writer replaces the file atomically: the bytes go to a temporary
// file in the target's directory, which takes the target's place by rename only once it
// is complete and synced, so that a failure or a kill at any moment leaves the old file
// whole. The temporary file is unnamed (O_TMPFILE) where the file system can make one:
// it gets a name only for the instant between linkat and rename, so a killed writer
// leaves nothing behind. Elsewhere it is named ".tavrilo-<pid>-<8 letters>.tmp", and
// every completed write removes from the directory those that a killed writer left
// (their process is gone, or they have not changed for ten minutes).
//
// The file is written in place instead (emptied, then written, as the most trusted
// editors do) wherever a replacement would refuse or lose something:
// - the directory refuses new entries while the file itself may be written;
// - the file has other hard links, which must see the new text;
// - the new file cannot be given the old one's owner, group, mode and extended
//   attributes (POSIX ACLs are one of these), e.g. a group the user is not in.
// A failure while writing in place leaves what was written, as for any such editor.
//
// Symbolic links are followed, dangling ones too: the link stays a link, and the file it
// names is written (created when missing). A target that exists and is not a regular
// file (a directory, a FIFO, a socket, a device) is refused at once, and nothing opened
// here ever waits for a reader or a writer.
//
// QSaveFile is not used: it has the atomic replace and a direct-write fallback, but it
// replaces a hard-linked file (splitting the link) and gives the new file neither the old
// one's group nor its ACLs or other extended attributes, so the choice between the two
// ways cannot be made from what a replacement would lose; and it takes paths as QString,
// while this program keeps file names as the bytes the user gave.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrilo {

// The low-level write, as ::write. Tests replace it to simulate a full disk.
using WriteFunction = ssize_t (*)(int fd, const void* data, std::size_t size);

class SafeFileWriter {
 public:
  // Prepares to write `path`. Throws EFCreateError naming `path` when the file cannot be
  // created or written there: a missing directory, a path under a regular file, a name
  // too long, a loop of links, a file the user may not write, a directory of that name,
  // or anything else that is not a regular file.
  explicit SafeFileWriter(const std::string& path, WriteFunction write = nullptr);
  // Discards everything unless committed. A file written in place is touched only when
  // more than 256 KiB are buffered, or at Commit; after that it keeps what was written.
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Appends bytes; throws EWriteError when they cannot be written.
  void Write(std::string_view data);

  // Writes what is buffered, syncs it and puts the file in place. Throws EWriteError
  // when the bytes cannot be written, EFCreateError when the file cannot take the
  // target's place.
  void Commit();

 private:
  void OpenReplacement(const struct ::stat* old);
  void OpenInPlace();
  void PutInPlace();
  void Flush();
  void WriteAll(const char* data, std::size_t size);
  void Discard();

  std::string path_;       // as the caller named it, for messages
  std::string target_;     // the file that is written (links followed)
  std::string temporary_;  // the named temporary file, while it has a name
  WriteFunction write_;
  int fd_ = -1;
  bool unnamed_ = false;  // fd_ is an unnamed temporary file
  bool inPlace_ = false;  // fd_ is the target itself
  bool emptied_ = false;  // the target written in place has been emptied
  std::string buffer_;
  bool committed_ = false;
};

}  // namespace tavrilo
