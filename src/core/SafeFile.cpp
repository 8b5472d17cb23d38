#include "core/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

#include "core/Errors.h"
#include "core/Paths.h"

namespace tavrilo {

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

// The file a path designates, following symbolic links; the path itself when it does
// not exist yet.
std::string ResolveTarget(const std::string& path) {
  char resolved[PATH_MAX];
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
      ::realpath(path.c_str(), resolved) != nullptr) {
    return resolved;
  }
  return path;
}

std::string RandomSuffix() {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string suffix;
  for (int i = 0; i < 8; ++i)
    suffix += kDigits[generator() % (sizeof kDigits - 1)];
  return suffix;
}

}  // namespace

SafeFileWriter::SafeFileWriter(const std::string& path, WriteFunction write)
    : path_(path), target_(ResolveTarget(path)), write_(write != nullptr ? write : ::write) {
  struct stat info {};
  const bool exists = ::stat(target_.c_str(), &info) == 0;
  // A path the system refuses outright (a name too long, a regular file on the way) must
  // fail here, before any byte is written, and not only when the file is put in place.
  if (!exists && errno != ENOENT) throw EFCreateError(path_);
  if (exists && S_ISDIR(info.st_mode)) throw EFCreateError(path_);
  if (exists && !S_ISREG(info.st_mode)) {
    fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0) throw EFCreateError(path_);
    buffer_.reserve(kBufferSize);
    return;
  }
  if (exists && ::access(target_.c_str(), W_OK) != 0) throw EFCreateError(path_);

  const std::string directory = DirectoryPart(target_);
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporary_ = directory + ".tavrilo-" + RandomSuffix() + ".tmp";
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    temporary_.clear();
    throw EFCreateError(path_);
  }
  if (exists) {
    // The new file keeps the permissions and, where allowed, the owner of the old one.
    (void)::fchmod(fd_, info.st_mode & 07777);
    if (::geteuid() == 0) (void)::fchown(fd_, info.st_uid, info.st_gid);
  }
  buffer_.reserve(kBufferSize);
}

SafeFileWriter::~SafeFileWriter() {
  if (!committed_) Discard();
}

void SafeFileWriter::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
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

void SafeFileWriter::Commit() {
  Flush();
  if (temporary_.empty()) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw EWriteError();
    committed_ = true;
    return;
  }
  if (::fdatasync(fd_) != 0 && errno != EINVAL) throw EWriteError();
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) throw EWriteError();
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) throw EFCreateError(path_);
  temporary_.clear();
  committed_ = true;
}

}  // namespace tavrilo
