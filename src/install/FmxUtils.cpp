// CopyFileTo, FileHasAttributes and FileModificationDate. ShellOpen lives with the
// windows (FmxShellOpen.cpp), since it needs the desktop.
#include "install/FmxUtils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

#include "core/Errors.h"
#include "core/Paths.h"

namespace tavrilo {

namespace {

// An open file descriptor, closed when the object goes.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int Get() const { return fd_; }

 private:
  int fd_;
};

// `path` made absolute against the current directory and folded lexically ("." and ".."
// removed, repeated separators joined). A path ending with a separator keeps it.
std::string AbsolutePath(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path result(path);
  if (!result.is_absolute()) {
    std::error_code error;
    const fs::path current = fs::current_path(error);
    if (!error) result = current / result;
  }
  return result.lexically_normal().string();
}

// The destination file of a copy: the absolute destination, or, when that is a directory
// (existing, or written with a trailing separator), the source's file name inside it.
std::string DestinationFile(const std::string& source, const std::string& destination) {
  std::string file = AbsolutePath(destination);
  const bool endsWithSeparator = !file.empty() && file.back() == kPathSeparator;
  if (endsWithSeparator || FileHasAttributes(file, kFaDirectory)) {
    if (!endsWithSeparator) file += kPathSeparator;
    file += FileNamePart(source);
  }
  return file;
}

// Opens `source` for reading; anything but a regular file, or any failure, throws
// EFOpenError. O_NONBLOCK: a FIFO without a writer is refused, not waited for.
int OpenSource(const std::string& source) {
  int fd;
  do {
    fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) throw EFOpenError(source);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    throw EFOpenError(source);
  }
  return fd;
}

// One read of up to `size` bytes, retried only when interrupted before reading anything.
std::size_t ReadOnce(ReadFunction read, int fd, char* data, std::size_t size) {
  for (;;) {
    const ssize_t n = read(fd, data, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) throw EReadError();
  }
}

}  // namespace

void CopyFileTo(const std::string& source, const std::string& destination, WriteFunction write,
                ReadFunction read) {
  const std::string target = DestinationFile(source, destination);
  // Declared in this order so that they are released in the reverse one: the
  // destination first, then the source, then the buffer.
  const auto buffer = std::make_unique<char[]>(kCopyBufferSize);
  const FileDescriptor input(OpenSource(source));
  SafeFileWriter output(target, write);

  if (read == nullptr) read = ::read;
  std::size_t n;
  do {
    n = ReadOnce(read, input.Get(), buffer.get(), kCopyBufferSize);
    if (n > 0) output.Write(std::string_view(buffer.get(), n));
  } while (n == kCopyBufferSize);
  output.Commit();
}

bool FileHasAttributes(const std::string& fileName, std::uint16_t mask) {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0) return false;

  const std::uint32_t word = S_ISDIR(info.st_mode) ? kFaDirectory : 0;
  const std::uint32_t wanted = mask;
  return (word & wanted) == wanted;
}

std::optional<QDateTime> FileModificationDate(const std::string& fileName) {
  // The file's own status rather than QFileInfo: names are taken byte for byte, and
  // QFileInfo would first decode them as UTF-8.
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0) return std::nullopt;

  // Milliseconds are dropped with the sub-second part; the two-second step is taken on
  // the local clock, whose offset from UTC need not be a whole number of minutes.
  QDateTime local = QDateTime::fromSecsSinceEpoch(info.st_mtim.tv_sec, Qt::LocalTime);
  if (local.time().second() % 2 != 0) local = local.addSecs(-1);
  return local;
}

}  // namespace tavrilo
