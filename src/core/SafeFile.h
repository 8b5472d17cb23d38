// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a whole file: a save, a copy, a settings write.
//
// Where it can, the writer replaces the file atomically: the bytes go to a temporary
// file in the target's directory, which takes the target's place by rename only once it
// is complete and synced, so that a failure or a kill at any moment leaves the old file
// whole. The temporary file is unnamed (O_TMPFILE) where the file system can make one:
// it gets a name only for the instant between linkat and rename, so a killed writer
// leaves nothing behind. Elsewhere it is named ".tavrilo-<pid>-<8 letters>.tmp", and
// every write, as it starts, removes from the directory those that a killed writer left
// (their process is gone, or they have not changed for ten minutes); the program removes
// those of its settings folder as it starts (CleanSettingsFolder, core/Locations.h).
//
// The file is written in place instead wherever a replacement would refuse or lose
// something:
// - the directory refuses new entries while the file itself may be written;
// - the file has other hard links, which must see the new text;
// - the new file cannot be given the old one's owner, group, mode and extended
//   attributes (POSIX ACLs are one of these), e.g. a group the user is not in.
// Written in place, the file is touched only at Commit, once the whole new text is known,
// and only behind a backup: its old text and the new one are first kept in a backup
// (".tavrilo-<pid>-<8 letters>.bak" beside it, or in the user's settings folder when its
// folder refuses new files, core/Backup.h), room for the new text is reserved (a full disk
// fails before the old text is touched), the new text is written and flushed, and the
// backup removed. Where no backup can be written, the save is refused (FileError
// "NoBackup") and the file not touched. A failure puts the old text back. A kill leaves
// the backup: FindInterruptedSaves finds it, and the user chooses to restore the old text
// or keep the file as it is; the old text is never put back over a file that holds
// anything but what the killed save wrote.
//
// Symbolic links are followed, dangling ones too: the link stays a link, and the file it
// names is written (created when missing). A target that exists and is not a regular
// file (a directory, a FIFO, a socket, a device) is refused at once, and nothing opened
// here ever waits for a reader or a writer.
//
// The system calls are those of core/Platform.h (FileSave).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Platform.h"

namespace tavrilo {

// The low-level write, as ::write. Tests replace it to simulate a full disk.
using WriteFunction = platform::WriteFunction;

class SafeFileWriter {
 public:
  // Prepares to write `path`. Throws FileError naming `path` and the reason when the file
  // cannot be created or written there: a missing directory, a path under a regular file,
  // a name too long, a loop of links, a file the user may not write, a directory of that
  // name, or anything else that is not a regular file.
  explicit SafeFileWriter(const std::string& path, WriteFunction write = nullptr);
  // Discards everything unless committed: the old file stays as it was.
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Appends bytes; throws FileError (a full disk...) when they cannot be written.
  void Write(std::string_view data);

  // Writes what is buffered, syncs it and puts the file in place. Throws FileError when
  // the bytes cannot be written, the file cannot take the target's place or, written in
  // place, it can have no backup ("NoBackup"). Either way the old file is whole.
  void Commit();

  // Whether the file is written in place rather than replaced.
  bool InPlace() const { return save_.InPlace(); }

 private:
  std::string path_;  // as the caller named it, for messages
  platform::FileSave save_;
  bool committed_ = false;
};

// A save in place that was killed part way and left its file torn: the start of the new
// text over the old one. Its backup holds the old text.
struct InterruptedSave {
  std::string file;    // the torn file (absolute, links followed)
  std::string backup;  // the backup that holds its old text
};

// The interrupted saves of the files of `folder` (with `anyFile`, of files anywhere: the
// settings folder keeps the backups of files whose folder refuses new files) whose file
// still holds only what the killed save wrote. The backups of the other killed saves are
// removed: their file was not touched yet, was written whole, is gone, or changed since
// (another file under its name, another size or text): a backup is never put back over a
// file that changed after the save. Backups that cannot be read are left alone.
std::vector<InterruptedSave> FindInterruptedSaves(const std::string& folder, bool anyFile = false);

// The interrupted save of the file `path` (links followed), as FindInterruptedSaves finds
// it in the file's folder and in the settings folder; std::nullopt when there is none.
std::optional<InterruptedSave> FindInterruptedSave(const std::string& path);

// Puts back the old text of an interrupted save's file, as a save does, then removes the
// backup. Only when the file still holds only what the killed save wrote: returns false
// (and removes the backup) when it changed since. Throws FileError when it cannot be
// written.
bool RestoreInterruptedSave(const InterruptedSave& save);

// Keeps the file of an interrupted save as it is: the backup is removed.
void KeepAfterInterruptedSave(const InterruptedSave& save);

}  // namespace tavrilo
