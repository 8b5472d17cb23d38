#include "core/SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <limits>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "core/Errors.h"
#include "core/Paths.h"

namespace tavrilo {

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;
constexpr int kNameAttempts = 100;
constexpr int kMaxLinks = 40;  // as the system's own limit on a chain of links
constexpr std::string_view kTemporaryPrefix = ".tavrilo-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kRandomLength = 8;
constexpr std::time_t kAbandonedAfterSeconds = 10 * 60;

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

std::string TemporaryName() {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name(kTemporaryPrefix);
  name += std::to_string(::getpid());
  name += '-';
  for (std::size_t i = 0; i < kRandomLength; ++i)
    name += kLetters[generator() % (sizeof kLetters - 1)];
  name += kTemporarySuffix;
  return name;
}

bool IsRandomPart(std::string_view text) {
  return text.size() == kRandomLength && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
         });
}

// For a name of this program's temporary files, the process that wrote it: 0 when the
// name does not tell (".tavrilo-<8 letters>.tmp", as earlier versions named them), or
// the number in ".tavrilo-<pid>-<8 letters>.tmp". std::nullopt for any other name.
std::optional<long long> WriterOfTemporary(std::string_view name) {
  if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) return std::nullopt;
  name.remove_prefix(kTemporaryPrefix.size());
  name.remove_suffix(kTemporarySuffix.size());
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

// Removes from `directory` the temporary files of this program that no write in
// progress can own: their process has ended, or they have not changed for ten minutes.
void RemoveAbandonedTemporaries(const std::string& directory) {
  const int directoryFd =
      ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directoryFd < 0) return;
  DIR* listing = ::fdopendir(directoryFd);
  if (listing == nullptr) {
    ::close(directoryFd);
    return;
  }
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(listing)) {
    const std::optional<long long> writer = WriterOfTemporary(entry->d_name);
    struct stat info {};
    if (!writer || ::fstatat(directoryFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode)) {
      continue;
    }
    if (now - info.st_mtime >= kAbandonedAfterSeconds || HasEnded(*writer)) {
      (void)::unlinkat(directoryFd, entry->d_name, 0);
    }
  }
  ::closedir(listing);
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

std::string DescriptorPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace

SafeFileWriter::SafeFileWriter(const std::string& path, WriteFunction write)
    : path_(path), write_(write != nullptr ? write : ::write) {
  std::optional<std::string> target = FollowLinks(path);
  if (!target) throw EFCreateError(path_);
  target_ = std::move(*target);

  struct stat info {};
  const bool exists = ::stat(target_.c_str(), &info) == 0;
  // A path the system refuses outright (a name too long, a regular file on the way) must
  // fail here, before any byte is written.
  if (!exists && errno != ENOENT) throw EFCreateError(path_);
  if (exists &&
      (!S_ISREG(info.st_mode) || ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)) {
    throw EFCreateError(path_);
  }
  if (!exists || info.st_nlink == 1) OpenReplacement(exists ? &info : nullptr);
  if (fd_ < 0) OpenInPlace();
  buffer_.reserve(kBufferSize);
}

SafeFileWriter::~SafeFileWriter() {
  if (!committed_) Discard();
}

void SafeFileWriter::OpenReplacement(const struct stat* old) {
  const std::string directory = DirectoryPart(target_);
#ifdef O_TMPFILE
  fd_ = ::open(directory.empty() ? "." : directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd_ >= 0) {
    // The file is put in place through its name under /proc; without /proc, a named one.
    struct stat self {};
    unnamed_ = ::stat(DescriptorPath(fd_).c_str(), &self) == 0;
    if (!unnamed_) Discard();
  } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
    return;  // the directory refuses a new file
  }
#endif
  for (int attempt = 0; fd_ < 0 && attempt < kNameAttempts; ++attempt) {
    temporary_ = directory + TemporaryName();
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    temporary_.clear();
    return;
  }
  if (old != nullptr && !TakeMetadata(fd_, target_, *old)) Discard();
}

void SafeFileWriter::OpenInPlace() {
  // O_NONBLOCK: should a FIFO have taken the file's place meanwhile, no wait for a reader.
  fd_ = ::open(target_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    Discard();
    throw EFCreateError(path_);
  }
  inPlace_ = true;
}

void SafeFileWriter::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  unnamed_ = false;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

void SafeFileWriter::WriteAll(const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = write_(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw EWriteError();
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void SafeFileWriter::Flush() {
  if (inPlace_ && !emptied_) {
    if (::ftruncate(fd_, 0) != 0) throw EWriteError();
    emptied_ = true;
  }
  WriteAll(buffer_.data(), buffer_.size());
  buffer_.clear();
}

void SafeFileWriter::Write(std::string_view data) {
  if (buffer_.size() + data.size() > kBufferSize) {
    Flush();
    if (data.size() >= kBufferSize) {
      WriteAll(data.data(), data.size());
      return;
    }
  }
  buffer_.append(data);
}

void SafeFileWriter::PutInPlace() {
  if (unnamed_) {
    // The file gets a name only now, and takes the target's place right after.
    const std::string self = DescriptorPath(fd_);
    const std::string directory = DirectoryPart(target_);
    for (int attempt = 0; temporary_.empty(); ++attempt) {
      std::string name = directory + TemporaryName();
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        temporary_ = std::move(name);
      } else if (errno != EEXIST || attempt + 1 >= kNameAttempts) {
        throw EFCreateError(path_);
      }
    }
  }
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) throw EFCreateError(path_);
  temporary_.clear();
}

void SafeFileWriter::Commit() {
  Flush();
  if (::fdatasync(fd_) != 0 && errno != EINVAL) throw EWriteError();
  if (!inPlace_) PutInPlace();
  committed_ = true;
  if (::close(std::exchange(fd_, -1)) != 0) throw EWriteError();
  RemoveAbandonedTemporaries(DirectoryPart(target_));
}

}  // namespace tavrilo
