// SPDX-License-Identifier: GPL-3.0-or-later
// The platform layer on Linux: POSIX calls, plus what Linux adds (O_TMPFILE, /proc,
// extended attributes, fallocate).
#include <dirent.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <new>
#include <optional>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Backup.h"
#include "core/Paths.h"
#include "core/Platform.h"

namespace tavrilo::platform {

namespace {

std::string WithSeparator(std::string folder) {
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

const char* FolderName(const std::string& folder) {
  return folder.empty() ? "." : folder.c_str();
}

bool ParentIsDirectory(const std::string& path) {
  const std::string::size_type slash = path.find_last_of(kPathSeparator);
  std::string parent;
  if (slash == std::string::npos) {
    parent = ".";
  } else if (slash == 0) {
    parent = "/";
  } else {
    parent = path.substr(0, slash);
  }
  struct stat info {};
  return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

FileStatus StatusFrom(const struct stat& info) {
  FileStatus status;
  status.kind = S_ISREG(info.st_mode)   ? FileKind::kRegular
                : S_ISDIR(info.st_mode) ? FileKind::kDirectory
                                        : FileKind::kOther;
  status.size = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
  status.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec);
  status.symbolicLink = S_ISLNK(info.st_mode);
  status.device = static_cast<std::uint64_t>(info.st_dev);
  status.index = static_cast<std::uint64_t>(info.st_ino);
  status.links = static_cast<std::uint64_t>(info.st_nlink);
  return status;
}

// An open descriptor, closed when the object goes.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() { Reset(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

}  // namespace

// ---- errors ----------------------------------------------------------------------------

int TableCodeFor(ErrorCode error, const std::string& path) {
  switch (error) {
    case kNotRegularFile:
      return 5;
    case ENOENT:
      return ParentIsDirectory(path) ? 2 : 3;
    case ENOTDIR:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return 5;
    case ENOSPC:
    case EDQUOT:
      return 101;
    default:
      return 0;
  }
}

bool IsNotFound(ErrorCode error) {
  return error == ENOENT || error == ENOTDIR;
}

Text ReasonOf(ErrorCode error) {
  const auto key = [&]() -> const char* {
    switch (error) {
      case kNotRegularFile:
        return "Reason.NotRegularFile";
      case kFileTooBig:
        return "Reason.TooBig";
      case kOutOfMemory:
        return "Reason.OutOfMemory";
      case ENOENT:
        return "Reason.NotFound";
      case ENOTDIR:
        return "Reason.NotADirectory";
      case EISDIR:
        return "Reason.IsADirectory";
      case EACCES:
      case EPERM:
        return "Reason.PermissionDenied";
      case ENAMETOOLONG:
        return "Reason.NameTooLong";
      case ELOOP:
        return "Reason.LinkLoop";
      case EIO:
        return "Reason.InputOutput";
      case EMFILE:
      case ENFILE:
        return "Reason.TooManyOpenFiles";
      case ENOSPC:
      case EDQUOT:
        return "Reason.DiskFull";
      case EROFS:
        return "Reason.ReadOnly";
      case ENXIO:
        return "Reason.NoDevice";
      default:
        return nullptr;
    }
  }();
  if (key != nullptr) return Text{key, {}};
  return Text{"Reason.System", {error > 0 ? std::strerror(error) : std::to_string(error)}};
}

Reason ClassifyError(ErrorCode error, const std::string& path) {
  switch (error) {
    case ENOENT:
      return ParentIsDirectory(path) ? Reason::kNotFound : Reason::kFolderNotFound;
    case ENOTDIR:
      return Reason::kFolderNotFound;
    case EMFILE:
    case ENFILE:
      return Reason::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
      return Reason::kAccessDenied;
    case EROFS:
      return Reason::kReadOnly;
    case ENOSPC:
    case EDQUOT:
      return Reason::kDiskFull;
    case ENAMETOOLONG:
      return Reason::kNameTooLong;
    case ELOOP:
      return Reason::kLinkLoop;
    case EISDIR:
      return Reason::kIsDirectory;
    case EIO:
      return Reason::kInputOutput;
    default:
      return Reason::kOther;
  }
}

std::string SystemMessage(ErrorCode error) {
  const char* words = error > 0 ? std::strerror(error) : nullptr;
  return words != nullptr ? std::string(words) : std::string();
}

// ---- low-level reads and writes ------------------------------------------------------------

std::ptrdiff_t SystemRead(int fd, void* data, std::size_t size) {
  return ::read(fd, data, size);
}

std::ptrdiff_t SystemWrite(int fd, const void* data, std::size_t size) {
  return ::write(fd, data, size);
}

// ---- reading ----------------------------------------------------------------------------------

InputFile::~InputFile() {
  Close();
}

namespace {

// Keeps `fd` as the descriptor of a file open for reading when it is a regular file or,
// with `streams`, a stream; otherwise closes it and returns why.
ErrorCode Adopt(int fd, bool readStreams, int& fdOut, std::uint64_t& sizeOut) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  const bool stream =
      readStreams && (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode) || S_ISSOCK(info.st_mode));
  if (!S_ISREG(info.st_mode) && !stream) {
    ::close(fd);
    return readStreams && S_ISDIR(info.st_mode) ? EISDIR : kNotRegularFile;
  }
  fdOut = fd;
  sizeOut = !stream && info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
  return kNoError;
}

}  // namespace

ErrorCode InputFile::Open(const std::string& path, Streams streams) {
  Close();
  const bool readStreams = streams == Streams::kRead;
  // O_NONBLOCK: opening a FIFO that has no writer must not wait for one, unless streams
  // are read (then it waits, as cat does).
  const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | (readStreams ? 0 : O_NONBLOCK);
  int fd;
  do {
    fd = ::open(path.c_str(), flags);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    const int error = errno;
    // A socket cannot be opened at all (ENXIO), nor a device without its driver: what
    // the name is decides the reason, not the call that failed.
    struct stat info {};
    if (!readStreams && ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
      return kNotRegularFile;
    return error;
  }
  return Adopt(fd, readStreams, fd_, size_);
}

ErrorCode InputFile::OpenStandardInput() {
  Close();
  const int fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return errno;
  return Adopt(fd, true, fd_, size_);
}

std::ptrdiff_t InputFile::Read(void* data, std::size_t size, ErrorCode& error, ReadFunction read) {
  if (read == nullptr) read = SystemRead;
  for (;;) {
    const std::ptrdiff_t n = read(fd_, data, size);
    if (n >= 0) return n;
    if (errno != EINTR) {
      error = errno;
      return -1;
    }
  }
}

ErrorCode InputFile::Seek(std::uint64_t offset) {
  if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return EINVAL;
  if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) return errno;
  return kNoError;
}

void InputFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
}

// ---- status and folders ------------------------------------------------------------------------

LocalDateTime ToLocalDateTime(std::int64_t secondsSinceEpoch) {
  const auto time = static_cast<std::time_t>(secondsSinceEpoch);
  struct tm local {};
  LocalDateTime result;
  if (::localtime_r(&time, &local) == nullptr) return result;
  result.year = local.tm_year + 1900;
  result.month = local.tm_mon + 1;
  result.day = local.tm_mday;
  result.hour = local.tm_hour;
  result.minute = local.tm_min;
  result.second = local.tm_sec;
  return result;
}

std::optional<FileStatus> Status(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return StatusFrom(info);
}

std::optional<FileStatus> LinkStatus(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
  return StatusFrom(info);
}

std::optional<std::string> ResolvedPath(const std::string& path) {
  if (path.empty()) return std::nullopt;
  const bool folder = path.back() == kPathSeparator;
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) != nullptr) {
    std::string result = resolved;
    return folder ? WithSeparator(result) : result;
  }
  if (errno != ENOENT || folder) return std::nullopt;
  // Only the last component may be missing.
  const std::string directory = DirectoryPart(path);
  if (::realpath(FolderName(directory), resolved) == nullptr) return std::nullopt;
  return WithSeparator(resolved) + FileNamePart(path);
}

std::optional<std::string> ReadLink(const std::string& path) {
  char target[PATH_MAX];
  const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
  if (length <= 0 || static_cast<std::size_t>(length) == sizeof target) return std::nullopt;
  return std::string(target, static_cast<std::size_t>(length));
}

std::optional<std::vector<DirectoryEntry>> ListDirectory(const std::string& folder) {
  DIR* listing = ::opendir(FolderName(folder));
  if (listing == nullptr) return std::nullopt;
  const std::string prefix = folder.empty() ? std::string() : WithSeparator(folder);
  std::vector<DirectoryEntry> entries;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    struct stat info {};
    const std::string full = prefix + std::string(name);
    entries.push_back(
        {std::string(name), ::stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode)});
  }
  ::closedir(listing);
  return entries;
}

bool CreateDirectories(const std::string& folder) {
  std::string path;
  for (std::size_t i = 0; i <= folder.size(); ++i) {
    if (i < folder.size() && folder[i] != kPathSeparator) continue;
    path = folder.substr(0, i);
    if (path.empty()) continue;
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  struct stat info {};
  return ::stat(FolderName(folder), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsWritableDirectory(const std::string& folder) {
  return ::access(FolderName(folder), W_OK) == 0;
}

bool IsWritableFile(const std::string& path) {
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// ---- the safe save -----------------------------------------------------------------------

namespace {

constexpr std::size_t kSaveBufferSize = 256 * 1024;
constexpr int kNameAttempts = 100;
constexpr int kMaxLinks = 40;  // as the system's own limit on a chain of links
constexpr std::string_view kTemporaryPrefix = ".tavrilo-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::string_view kBackupSuffix = ".bak";
constexpr std::size_t kRandomLength = 8;
constexpr std::time_t kAbandonedAfterSeconds = 10 * 60;
constexpr std::string_view kSettingsFolderName = "tavrilo/";

// The file that `path` names: symbolic links followed one after the other, down to a
// file that may not exist yet (the target of a dangling link). std::nullopt for a chain
// too long to be anything but a loop.
std::optional<std::string> FollowLinks(std::string path) {
  for (int links = 0; links < kMaxLinks; ++links) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof target) return std::nullopt;
    const std::string_view text(target, static_cast<std::size_t>(length));
    path = text.front() == kPathSeparator ? std::string(text)
                                          : DirectoryPart(path) + std::string(text);
  }
  return std::nullopt;
}

// A name of this program's temporary files (suffix ".tmp") or backups (".bak"):
// ".tavrilo-<pid>-<8 letters><suffix>".
std::string WorkFileName(std::string_view suffix) {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name(kTemporaryPrefix);
  name += std::to_string(::getpid());
  name += '-';
  for (std::size_t i = 0; i < kRandomLength; ++i)
    name += kLetters[generator() % (sizeof kLetters - 1)];
  name += suffix;
  return name;
}

bool IsRandomPart(std::string_view text) {
  return text.size() == kRandomLength && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
         });
}

// For a name of this program's work files with `suffix`, the process that wrote it: 0
// when the name does not tell (".tavrilo-<8 letters>.tmp", as earlier versions named
// temporary files), or the number in ".tavrilo-<pid>-<8 letters><suffix>".
// std::nullopt for any other name.
std::optional<long long> WriterOf(std::string_view name, std::string_view suffix) {
  if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(suffix)) return std::nullopt;
  name.remove_prefix(kTemporaryPrefix.size());
  name.remove_suffix(suffix.size());
  if (IsRandomPart(name)) return 0;
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash > 10 || !IsRandomPart(name.substr(dash + 1))) return std::nullopt;
  long long pid = 0;
  for (char c : name.substr(0, dash)) {
    if (c < '0' || c > '9') return std::nullopt;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

// Whether process `pid` of this system has ended (0: not known).
bool HasEnded(long long pid) {
  if (pid <= 0) return false;
  if (pid > std::numeric_limits<pid_t>::max()) return true;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Writes all of `data` to `fd` through `write`; kNoError or the error.
ErrorCode WriteAll(WriteFunction write, int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const std::ptrdiff_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return kNoError;
}

// The whole content of the open file `fd` from its start; false when it cannot be read.
bool ReadAllFrom(int fd, std::string& bytes) {
  bytes.clear();
  char chunk[64 * 1024];
  for (off_t offset = 0;;) {
    const ssize_t n = ::pread(fd, chunk, sizeof chunk, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.append(chunk, static_cast<std::size_t>(n));
    offset += n;
  }
}

// Makes the open file `fd` hold exactly `bytes`, written in place through `write`.
ErrorCode RewriteInPlace(WriteFunction write, int fd, std::string_view bytes) {
  if (::lseek(fd, 0, SEEK_SET) != 0) return errno;
  if (const ErrorCode error = WriteAll(write, fd, bytes.data(), bytes.size())) return error;
  if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return errno;
  if (::fdatasync(fd) != 0 && errno != EINVAL) return errno;
  return kNoError;
}

std::string DescriptorPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

// The result of a list or get call of the extended-attribute interface, which first
// asks for the size; std::nullopt when it fails. A file system without extended
// attributes gives the empty text.
template <typename Call>
std::optional<std::string> AttributeCall(Call call) {
  for (;;) {
    const ssize_t size = call(nullptr, 0);
    if (size < 0) return errno == ENOTSUP ? std::optional<std::string>("") : std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    const ssize_t n = call(bytes.data(), bytes.size());
    if (n < 0 && errno == ERANGE) continue;  // it grew meanwhile
    if (n < 0) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(n));
    return bytes;
  }
}

std::vector<std::string> SplitNames(const std::string& list) {
  std::vector<std::string> names;
  for (std::size_t start = 0; start < list.size();) {
    const std::size_t end = std::min(list.find('\0', start), list.size());
    if (end > start) names.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

// Gives file `to` exactly the extended attributes of file `from` (POSIX ACLs included).
bool CopyExtendedAttributes(const std::string& from, int to) {
  const std::optional<std::string> wanted = AttributeCall(
      [&](char* names, std::size_t size) { return ::listxattr(from.c_str(), names, size); });
  const std::optional<std::string> present =
      AttributeCall([&](char* names, std::size_t size) { return ::flistxattr(to, names, size); });
  if (!wanted || !present) return false;
  const std::vector<std::string> wantedNames = SplitNames(*wanted);
  for (const std::string& name : SplitNames(*present)) {
    if (std::find(wantedNames.begin(), wantedNames.end(), name) == wantedNames.end() &&
        ::fremovexattr(to, name.c_str()) != 0) {
      return false;
    }
  }
  for (const std::string& name : wantedNames) {
    const std::optional<std::string> value = AttributeCall([&](char* bytes, std::size_t size) {
      return ::getxattr(from.c_str(), name.c_str(), bytes, size);
    });
    if (!value) return false;
    const std::optional<std::string> current = AttributeCall(
        [&](char* bytes, std::size_t size) { return ::fgetxattr(to, name.c_str(), bytes, size); });
    if (current == value) continue;  // inherited, or set by the system
    if (::fsetxattr(to, name.c_str(), value->data(), value->size(), 0) != 0) return false;
  }
  return true;
}

// Gives the new file `fd` the owner, group, mode and extended attributes of `target`,
// whose status is `old`. False when one of them cannot be given.
bool TakeMetadata(int fd, const std::string& target, const struct stat& old) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return false;
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
      ::fchown(fd, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  // The mode last: a change of owner may clear the set-user-ID and set-group-ID bits.
  if (!CopyExtendedAttributes(target, fd) || ::fchmod(fd, old.st_mode & 07777) != 0 ||
      ::fstat(fd, &now) != 0) {
    return false;
  }
  return now.st_uid == old.st_uid && now.st_gid == old.st_gid &&
         (now.st_mode & 07777) == (old.st_mode & 07777);
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path.front() == kPathSeparator) return path;
  char current[PATH_MAX];
  if (::getcwd(current, sizeof current) == nullptr) return path;
  return WithSeparator(current) + path;
}

}  // namespace

struct FileSave::State {
  std::string target;     // the file that is written (links followed), absolute
  std::string temporary;  // the named temporary file, while it has a name
  std::string backup;     // the backup of a file written in place, while it exists
  WriteFunction write = SystemWrite;
  int fd = -1;
  bool unnamed = false;     // fd is an unnamed temporary file
  bool inPlace = false;     // fd is the target itself
  bool unreadable = false;  // the target, written in place, cannot be read back
  std::string buffer;       // the new bytes not written yet (all of them, in place)

  ~State() { Discard(); }

  void Discard() {
    if (fd >= 0) ::close(fd);
    fd = -1;
    unnamed = false;
    if (!temporary.empty()) ::unlink(temporary.c_str());
    temporary.clear();
  }

  void OpenReplacement(const struct stat* old);
  ErrorCode OpenInPlace();
  ErrorCode PutInPlace();
  ErrorCode MakeBackup(std::string_view old);
  ErrorCode CommitInPlace();
};

void FileSave::State::OpenReplacement(const struct stat* old) {
  const std::string directory = DirectoryPart(target);
#ifdef O_TMPFILE
  fd = ::open(FolderName(directory), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd >= 0) {
    // The file is put in place through its name under /proc; without /proc, a named one.
    struct stat self {};
    unnamed = ::stat(DescriptorPath(fd).c_str(), &self) == 0;
    if (!unnamed) Discard();
  } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
    return;  // the directory refuses a new file
  }
#endif
  for (int attempt = 0; fd < 0 && attempt < kNameAttempts; ++attempt) {
    temporary = directory + WorkFileName(kTemporarySuffix);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    temporary.clear();
    return;
  }
  if (old != nullptr && !TakeMetadata(fd, target, *old)) Discard();
}

ErrorCode FileSave::State::OpenInPlace() {
  // O_NONBLOCK: should a FIFO have taken the file's place meanwhile, no wait for a reader.
  // Read and write: the old text is read back for its backup.
  fd = ::open(target.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (fd < 0 && errno == EACCES) {
    // A file the user may write but not read: its old text cannot be kept.
    fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    unreadable = fd >= 0;
  }
  if (fd < 0) return errno;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    Discard();
    return kNotRegularFile;
  }
  inPlace = true;
  return kNoError;
}

ErrorCode FileSave::State::PutInPlace() {
  if (unnamed) {
    // The file gets a name only now, and takes the target's place right after.
    const std::string self = DescriptorPath(fd);
    const std::string directory = DirectoryPart(target);
    for (int attempt = 0; temporary.empty(); ++attempt) {
      std::string name = directory + WorkFileName(kTemporarySuffix);
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        temporary = std::move(name);
      } else if (errno != EEXIST || attempt + 1 >= kNameAttempts) {
        return errno;
      }
    }
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) return errno;
  temporary.clear();
  return kNoError;
}

// Keeps the old text `old` in a backup, with the new text and what identifies the file
// (core/Backup.h): beside the file, or, when its folder refuses new files, in the user's
// settings folder. Written through the save's own write, so that a full disk stops the
// save here, before the file is touched. Where no backup can be made at all, the save is
// refused (kNoBackup): a file written in place is never without one.
ErrorCode FileSave::State::MakeBackup(std::string_view old) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return errno;
  std::string content;
  try {
    content = EncodeBackup(target, StatusFrom(info), old, buffer);
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
  std::vector<std::string> folders = {DirectoryPart(target)};
  const std::string settings = BackupFolder();
  if (settings != folders.front()) folders.push_back(settings);
  for (const std::string& folder : folders) {
    if (folder == settings && !CreateDirectories(folder)) continue;
    // Written under a temporary name and renamed once complete and synced: a backup is
    // never partial. A killed writer's temporary one is removed like any other.
    Descriptor file;
    std::string name;
    for (int attempt = 0; file.Get() < 0 && attempt < kNameAttempts; ++attempt) {
      name = folder + WorkFileName(kTemporarySuffix);
      file.Reset(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
      if (file.Get() < 0 && errno != EEXIST) break;
    }
    if (file.Get() < 0) continue;
    ErrorCode error = WriteAll(write, file.Get(), content.data(), content.size());
    if (error == kNoError && ::fsync(file.Get()) != 0 && errno != EINVAL) error = errno;
    if (error == kNoError) {
      std::string complete = name.substr(0, name.size() - kTemporarySuffix.size());
      complete += kBackupSuffix;
      if (::rename(name.c_str(), complete.c_str()) == 0) {
        backup = std::move(complete);
        return kNoError;
      }
      error = errno;
    }
    ::unlink(name.c_str());
    // A full disk is a full disk: another folder would only hide it.
    if (error == ENOSPC || error == EDQUOT) return error;
  }
  return kNoBackup;
}

ErrorCode FileSave::State::CommitInPlace() {
  // A file whose old text cannot be read back cannot have a backup.
  if (unreadable) return kNoBackup;
  std::string old;
  if (!ReadAllFrom(fd, old)) return errno;
  if (const ErrorCode error = MakeBackup(old)) return error;
  // Room for the new text first, so that a full disk fails before the old text is touched.
  if (buffer.size() > old.size() &&
      ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(buffer.size())) != 0 &&
      (errno == ENOSPC || errno == EDQUOT)) {
    const ErrorCode error = errno;
    ::unlink(backup.c_str());
    backup.clear();
    return error;
  }
  const ErrorCode error = RewriteInPlace(write, fd, buffer);
  if (error != kNoError) {
    // The old text back; the backup stays when even that fails, for the user to restore.
    if (RewriteInPlace(SystemWrite, fd, old) == kNoError) ::unlink(backup.c_str());
    backup.clear();
    return error;
  }
  ::unlink(backup.c_str());
  backup.clear();
  buffer.clear();
  return kNoError;
}

FileSave::FileSave() : state_(std::make_unique<State>()) {}

FileSave::~FileSave() = default;

bool FileSave::InPlace() const {
  return state_->inPlace;
}

ErrorCode FileSave::Begin(const std::string& path, WriteFunction write) {
  State& s = *state_;
  s.Discard();
  s.write = write != nullptr ? write : SystemWrite;
  std::optional<std::string> target = FollowLinks(path);
  if (!target) return ELOOP;
  s.target = AbsolutePath(*target);
  CleanFolder(DirectoryPart(s.target));

  struct stat info {};
  const bool exists = ::stat(s.target.c_str(), &info) == 0;
  // A path the system refuses outright (a name too long, a regular file on the way) must
  // fail here, before any byte is written.
  if (!exists && errno != ENOENT) return errno;
  if (exists && !S_ISREG(info.st_mode)) return kNotRegularFile;
  if (exists && !IsWritableFile(s.target)) return EACCES;
  if (!exists || info.st_nlink == 1) s.OpenReplacement(exists ? &info : nullptr);
  if (s.fd < 0) {
    if (const ErrorCode error = s.OpenInPlace()) return error;
  }
  try {
    s.buffer.reserve(kSaveBufferSize);
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
  return kNoError;
}

ErrorCode FileSave::Write(const char* data, std::size_t size) {
  State& s = *state_;
  if (s.fd < 0) return EBADF;
  try {
    if (s.inPlace || s.buffer.size() + size <= kSaveBufferSize) {
      s.buffer.append(data, size);
      return kNoError;
    }
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  } catch (const std::length_error&) {
    return kOutOfMemory;
  }
  if (const ErrorCode error = WriteAll(s.write, s.fd, s.buffer.data(), s.buffer.size())) {
    return error;
  }
  s.buffer.clear();
  if (size >= kSaveBufferSize) return WriteAll(s.write, s.fd, data, size);
  s.buffer.append(data, size);
  return kNoError;
}

FileSave::Step FileSave::Commit(ErrorCode& error) {
  State& s = *state_;
  if (s.fd < 0) {
    error = EBADF;
    return Step::kWriteFailed;
  }
  if (s.inPlace) {
    error = s.CommitInPlace();
    if (error != kNoError) return Step::kWriteFailed;
  } else {
    error = WriteAll(s.write, s.fd, s.buffer.data(), s.buffer.size());
    if (error == kNoError && ::fdatasync(s.fd) != 0 && errno != EINVAL) error = errno;
    if (error != kNoError) return Step::kWriteFailed;
    s.buffer.clear();
    error = s.PutInPlace();
    if (error != kNoError) return Step::kPlaceFailed;
  }
  const int fd = std::exchange(s.fd, -1);
  s.unnamed = false;
  if (::close(fd) != 0) {
    error = errno;
    return Step::kWriteFailed;
  }
  return Step::kDone;
}

void CleanFolder(const std::string& folder) {
  Descriptor folderFd(::open(FolderName(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folderFd.Get() < 0) return;
  DIR* listing = ::fdopendir(::dup(folderFd.Get()));
  if (listing == nullptr) return;
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(listing)) {
    const std::optional<long long> writer = WriterOf(entry->d_name, kTemporarySuffix);
    struct stat info {};
    if (!writer || ::fstatat(folderFd.Get(), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode)) {
      continue;
    }
    if (now - info.st_mtime >= kAbandonedAfterSeconds || HasEnded(*writer)) {
      (void)::unlinkat(folderFd.Get(), entry->d_name, 0);
    }
  }
  ::closedir(listing);
}

std::vector<std::string> LeftBackups(const std::string& folder) {
  std::vector<std::string> backups;
  DIR* listing = ::opendir(FolderName(folder));
  if (listing == nullptr) return backups;
  const std::string prefix = folder.empty() ? std::string() : WithSeparator(folder);
  while (const dirent* entry = ::readdir(listing)) {
    const std::optional<long long> writer = WriterOf(entry->d_name, kBackupSuffix);
    if (!writer || !HasEnded(*writer)) continue;
    const std::string path = prefix + entry->d_name;
    struct stat info {};
    // Only a backup of the user's own: one planted in a shared folder must not make this
    // program write another file.
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
      backups.push_back(path);
  }
  ::closedir(listing);
  return backups;
}

std::string BackupFolder() {
  return UserConfigFolder() + std::string(kSettingsFolderName);
}

bool RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

// ---- places ------------------------------------------------------------------------------

std::string ApplicationDirectory() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<std::size_t>(length) == sizeof path) {
    char current[PATH_MAX];
    if (::getcwd(current, sizeof current) == nullptr) return "./";
    return WithSeparator(current);
  }
  return DirectoryPart(std::string_view(path, static_cast<std::size_t>(length)));
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return WithSeparator(home);
  }
  std::vector<char> buffer(16 * 1024);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_dir != nullptr && *found->pw_dir != '\0') {
    return WithSeparator(found->pw_dir);
  }
  return "/";
}

std::string UserDataFolder() {
  // The XDG rules: a relative value is ignored.
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == kPathSeparator)
    return WithSeparator(data);
  return HomeFolder() + ".local/share/";
}

std::string UserConfigFolder() {
  // The XDG rules: a relative value is ignored.
  if (const char* config = std::getenv("XDG_CONFIG_HOME");
      config != nullptr && config[0] == kPathSeparator) {
    return WithSeparator(config);
  }
  return HomeFolder() + ".config/";
}

std::optional<int> OutputTerminalColumns() {
  struct winsize size {};
  if (::isatty(STDOUT_FILENO) == 0 || ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 ||
      size.ws_col == 0)
    return std::nullopt;
  return size.ws_col;
}

ErrorCode ReplaceProcess(const std::string& path, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  ::execv(path.c_str(), argv.data());
  return errno;
}

// ---- memory ----------------------------------------------------------------------

void ReleaseLargeBlocksAtOnce() {
#ifdef __GLIBC__
  // glibc takes blocks above this size straight from the system and gives them back when
  // freed; left alone, it raises the size after each such block is freed, and a long list's
  // blocks then stay in the process once freed.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

}  // namespace tavrilo::platform
