// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's one interface to the operating system: reading and saving files, their
// status, folders, the errors behind the messages of the error table, and the places of
// the program, the user's home and the user's settings.
//
// PlatformPosix.cpp implements it for Linux (and POSIX systems with /proc), and
// PlatformWindows.cpp for Windows. No other file of the engine includes a system header
// (unistd.h, fcntl.h, sys/..., dirent.h, windows.h): everything the engine needs from the
// system goes through here.
//
// Paths are the program's own texts, byte for byte: on POSIX the bytes are the name; on
// Windows they are Windows-1252 texts that the implementation converts to wide names.
// Folders returned here end with the separator (kPathSeparator of core/Paths.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Text.h"

namespace tavrilo::platform {

// ---- errors ----------------------------------------------------------------------

// The outcome of a call: kNoError, a positive number that is the system's own error
// (errno on POSIX, GetLastError on Windows), or one of the negative reasons below.
using ErrorCode = int;
inline constexpr ErrorCode kNoError = 0;
// The path names a directory, a FIFO, a socket or a device where a regular file is read
// or written. Refused at once, never waited on.
inline constexpr ErrorCode kNotRegularFile = -1;
// A file to be read whole is larger than the bound given, or grew past it while read.
inline constexpr ErrorCode kFileTooBig = -2;
// The memory for a file's bytes could not be had.
inline constexpr ErrorCode kOutOfMemory = -3;

// A file written in place whose old text could be kept in no backup: not written.
inline constexpr ErrorCode kNoBackup = -4;

// What a system error says about a file, as the messages tell it (core/FileError.h).
enum class Reason {
  kNotFound,          // the file does not exist
  kFolderNotFound,    // a folder on its way does not exist (or is a file)
  kTooManyOpenFiles,  // the process or the system has too many files open
  kAccessDenied,      // the user may not
  kReadOnly,          // the file system is read-only
  kDiskFull,          // no room left (a quota too)
  kNameTooLong,       // a name longer than the file system takes
  kLinkLoop,          // too many links on the way
  kIsDirectory,       // a directory where a file is read or written
  kInputOutput,       // the medium failed
  kOther,             // anything else: the system's number and words
};

// The reason of the system's error `error` (a positive number) met on `path`: on POSIX
// ENOENT is kNotFound when the parent of `path` is a directory, else kFolderNotFound.
Reason ClassifyError(ErrorCode error, const std::string& path);

// The system's own words for its error `error` (strerror, FormatMessage); empty when it
// has none.
std::string SystemMessage(ErrorCode error);

// The code of the error table (core/Errors.h) for `error` met on `path`: 2 for a
// missing file, 3 for a missing folder on the way (on POSIX both are ENOENT: told apart
// by looking at the parent of `path`), 4 for too many open files, 5 for access refused
// (kNotRegularFile too), 101 for a full disk; 0 when the table has no entry, and the
// message is then "I/O error N" with N the system's number.
int TableCodeFor(ErrorCode error, const std::string& path);

// Whether `error` says that the file or a folder on its way does not exist.
bool IsNotFound(ErrorCode error);

// The system's reason for `error`, as a text of the caption files: "Reason.NotFound",
// "Reason.PermissionDenied"... for the reasons they translate, otherwise "Reason.System"
// whose value is the system's own message ("Operation not supported"), in English.
Text ReasonOf(ErrorCode error);

// ---- low-level reads and writes (test seams) ----------------------------------------

// A read or a write on a descriptor of the C runtime, as ::read and ::write (on Windows
// the CRT's _read and _write on a descriptor of _wopen): the number of bytes, or -1 with
// errno set. Tests replace them to simulate a failing or full disk.
using ReadFunction = std::ptrdiff_t (*)(int fd, void* data, std::size_t size);
using WriteFunction = std::ptrdiff_t (*)(int fd, const void* data, std::size_t size);

std::ptrdiff_t SystemRead(int fd, void* data, std::size_t size);
std::ptrdiff_t SystemWrite(int fd, const void* data, std::size_t size);

// ---- reading --------------------------------------------------------------------------

// What InputFile::Open takes besides a regular file.
enum class Streams {
  kRefused,  // a FIFO, a device, a socket or a directory: kNotRegularFile, at once
  // A pipe, a FIFO or a character device (a terminal, /dev/stdin, a process substitution)
  // too, read to its end like standard input (opening a FIFO waits for its writer, as
  // cat does); a directory is the system's own error (EISDIR), and any other kind
  // (a block device) kNotRegularFile.
  kRead,
};

// A regular file open for reading. Opening never waits: a FIFO without a writer, a
// device, a socket or a directory is refused at once with kNotRegularFile (unless
// `streams` reads them).
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens `path`; kNoError or the reason it cannot be read.
  ErrorCode Open(const std::string& path, Streams streams = Streams::kRefused);
  // Opens the program's standard input (a copy of its descriptor), as Open with
  // Streams::kRead opens a path.
  ErrorCode OpenStandardInput();
  bool IsOpen() const { return fd_ >= 0; }
  // The file's size when it was opened (0 for a stream).
  std::uint64_t Size() const { return size_; }

  // Reads up to `size` bytes through `read` (nullptr: SystemRead): the number read, 0 at
  // the end of the file, or -1 with `error` set. A read interrupted before it read
  // anything is retried.
  std::ptrdiff_t Read(void* data, std::size_t size, ErrorCode& error, ReadFunction read = nullptr);

  // Moves to byte `offset` from the start, where the next Read begins; kNoError or why not.
  ErrorCode Seek(std::uint64_t offset);

  void Close();

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

// ---- status and folders ------------------------------------------------------------------

// A local date and time (the clock the user sees), to the second.
struct LocalDateTime {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;

  bool operator==(const LocalDateTime&) const = default;
};

// The local date and time of `secondsSinceEpoch` (UTC seconds since 1970-01-01).
LocalDateTime ToLocalDateTime(std::int64_t secondsSinceEpoch);

enum class FileKind { kRegular, kDirectory, kOther };

struct FileStatus {
  FileKind kind = FileKind::kOther;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // UTC seconds since 1970-01-01 of the last write
  bool symbolicLink = false;  // the name itself is a link (only from LinkStatus)
  // The file's identity on this system: its device (volume) and its number there (inode,
  // file index). Another file under the same name has another identity.
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  std::uint64_t links = 1;  // the number of names (hard links) of the file
};

// The status of what `path` names, links followed; std::nullopt when it cannot be
// examined (missing, a regular file on the way, a name too long...).
std::optional<FileStatus> Status(const std::string& path);
// The same without following a last link: `symbolicLink` tells whether `path` is one.
std::optional<FileStatus> LinkStatus(const std::string& path);

// `path` as the system opens it: absolute, every link and "." and ".." resolved, as far
// as it exists; a missing last component is kept as it is written ("/a/link/new.cfg" is
// "<target of link>/new.cfg"); std::nullopt when a folder on the way does not exist or
// cannot be resolved (a loop of links). A trailing separator is kept.
std::optional<std::string> ResolvedPath(const std::string& path);

// The text of the symbolic link `path` (what it points to, as written in it);
// std::nullopt when `path` is not a link or cannot be read.
std::optional<std::string> ReadLink(const std::string& path);

struct DirectoryEntry {
  std::string name;
  bool directory = false;  // links followed
};

// The entries of `folder` ("" is the current folder), without "." and "..", in the
// system's order; std::nullopt when it cannot be listed.
std::optional<std::vector<DirectoryEntry>> ListDirectory(const std::string& folder);

// Creates `folder` and the missing folders above it; false when it cannot.
bool CreateDirectories(const std::string& folder);

// Whether the user may create and change files in `folder`.
bool IsWritableDirectory(const std::string& folder);

// Whether the user may write the existing file `path`.
bool IsWritableFile(const std::string& path);

// ---- the safe save -----------------------------------------------------------------------

// The save of one whole file, as SafeFileWriter (core/SafeFile.h) describes it: the new
// bytes replace the old file atomically through a temporary file in its folder, or, where
// a replacement would lose something (hard links, owner, group, mode, ACLs, extended
// attributes, a folder that refuses new files), are written in place behind a backup of
// the old text that a kill cannot lose. Links are followed, dangling ones created.
class FileSave {
 public:
  FileSave();
  // Discards everything not committed: the old file stays as it was.
  ~FileSave();
  FileSave(const FileSave&) = delete;
  FileSave& operator=(const FileSave&) = delete;

  // Prepares the save of `path`, first cleaning its folder (CleanFolder). kNoError, or why
  // the file cannot be written there (the caller reports "Cannot create file").
  // `write` replaces SystemWrite for every byte of the new text (nullptr: SystemWrite).
  ErrorCode Begin(const std::string& path, WriteFunction write = nullptr);

  // Adds bytes to the new text; kNoError or the write's error (a full disk...). A file
  // written in place is not touched before Commit.
  ErrorCode Write(const char* data, std::size_t size);

  enum class Step { kDone, kWriteFailed, kPlaceFailed };
  // Writes the rest, syncs it and puts the file in place. On kWriteFailed and
  // kPlaceFailed, `error` tells why and the old file is whole.
  Step Commit(ErrorCode& error);

  // Whether the file is written in place (known after Begin).
  bool InPlace() const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// Makes `folder` ("" is the current folder) clean of the temporary files that killed
// saves left there: removes this program's temporary files whose writer has ended (or that
// have not changed for ten minutes). Failures are ignored. The backups of saves in place
// are left alone: core/SafeFile.h judges them (FindInterruptedSaves).
void CleanFolder(const std::string& folder);

// The backups (paths) that this user's saves in place left in `folder` ("" is the current
// folder) and whose writer has ended: ".tavrilo-<pid>-<8 letters>.bak", regular files.
std::vector<std::string> LeftBackups(const std::string& folder);

// The folder where a save in place keeps the backup of a file whose own folder refuses new
// files: the settings folder under UserConfigFolder().
std::string BackupFolder();

// Removes the file `path`; false when it cannot.
bool RemoveFile(const std::string& path);

// ---- places ---------------------------------------------------------------------------------

// The folder of the running executable.
std::string ApplicationDirectory();

// The user's home folder: $HOME when set, else the system's record of the user (the
// password database; %USERPROFILE% on Windows).
std::string HomeFolder();

// The folder where programs keep the user's own data: $XDG_DATA_HOME when it is an
// absolute path, else <home>.local/share/; on Windows the user's Documents folder.
std::string UserDataFolder();

// The user's configuration folder, under which the settings folder "tavrilo/" lives:
// $XDG_CONFIG_HOME when it is an absolute path, else <home>.config/ (on Windows
// %APPDATA%).
std::string UserConfigFolder();

// The width in columns of the terminal that standard output writes to; std::nullopt when
// it writes to no terminal (a file, a pipe) or the width is unknown.
std::optional<int> OutputTerminalColumns();

// ---- programs ----------------------------------------------------------------------------

// Runs the program `path` in place of this one, with `args` (its name first), the same
// standard streams and environment: on POSIX the process becomes that program (exec); on
// Windows this one waits for it and ends with its exit status. Returns only when it
// cannot be started, with the reason.
ErrorCode ReplaceProcess(const std::string& path, const std::vector<std::string>& args);

// ---- memory ----------------------------------------------------------------------

// Makes large blocks of memory (a long list, its findings) go back to the system as soon
// as they are freed, so that one long list loaded after another does not leave the memory
// of the first behind. Called once at start-up.
void ReleaseLargeBlocksAtOnce();

}  // namespace tavrilo::platform
