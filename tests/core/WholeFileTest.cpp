// SPDX-License-Identifier: GPL-3.0-or-later
// Files read whole, and the bound on what the readers take: a file bigger than any the
// program needs is refused before it is read, and one that grows while read stops.
#include "core/WholeFile.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/Errors.h"
#include "core/FileError.h"
#include "core/LineReader.h"
#include "core/Platform.h"
#include "core/Text.h"

namespace tavrilo {
namespace {

using testing::MessageOf;
using testing::TempDir;
using testing::WriteFile;

// A file of `size` bytes that takes no room on the disk.
void MakeSparseFile(const std::string& path, std::uintmax_t size) {
  WriteFile(path, "");
  std::filesystem::resize_file(path, size);
}

#ifndef _WIN32
// A listening Unix socket at `path`, closed when the object goes.
class ScopedSocket {
 public:
  explicit ScopedSocket(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
      throw std::runtime_error("cannot make a socket at " + path);
  }
  ~ScopedSocket() { ::close(fd_); }
  ScopedSocket(const ScopedSocket&) = delete;
  ScopedSocket& operator=(const ScopedSocket&) = delete;

 private:
  int fd_;
};
#endif

TEST(ReadWholeFile, ReadsEveryByteUpToTheBound) {
  TempDir dir;
  const std::string bytes = std::string("a\0b\r\n\x1A\xFF", 7) + std::string(100000, 'z');
  WriteFile(dir / "f.cfg", bytes);
  std::string read;
  EXPECT_EQ(ReadWholeFile(dir / "f.cfg", read, bytes.size()), 0);
  EXPECT_EQ(read, bytes);
  EXPECT_EQ(ReadWholeFile(dir / "f.cfg", read, bytes.size() - 1), platform::kFileTooBig);
  EXPECT_TRUE(read.empty());
}

// A sparse file of 64 GiB: refused from its size alone, so nothing is allocated (an
// attempt would end in kOutOfMemory, or the test in a crash).
TEST(ReadWholeFile, AFileOverTheBoundIsRefusedBeforeItIsRead) {
  TempDir dir;
  MakeSparseFile(dir / "big.cfg", std::uintmax_t{64} << 30);
  MakeSparseFile(dir / "just-over.cfg", kMaxWholeFileSize + 1);
  for (const std::string name : {"big.cfg", "just-over.cfg"}) {
    std::string read;
    EXPECT_EQ(ReadWholeFile(dir / name, read), platform::kFileTooBig) << name;
    EXPECT_EQ(read.capacity(), std::string().capacity()) << name;
    EXPECT_EQ(MessageOf<FileError>([&] { LineReader reader(dir / name); }),
              FallbackText(FileErrorText(platform::kFileTooBig, dir / name)));
  }
}

// /proc files say they are empty and then give their text: the same as a file that grows
// while it is read. The bound is met while reading, not at the open.
TEST(ReadWholeFile, AFileThatGrowsWhileReadStopsAtTheBound) {
#ifdef _WIN32
  GTEST_SKIP() << "/proc files: Linux only";
#else
  std::string read;
  ASSERT_EQ(ReadWholeFile("/proc/self/maps", read), 0);
  ASSERT_GT(read.size(), 64u);
  EXPECT_EQ(ReadWholeFile("/proc/self/maps", read, 64), platform::kFileTooBig);
  EXPECT_TRUE(read.empty());
#endif
}

TEST(ReadWholeFile, TheErrorsAreThoseOfTheLineReader) {
  TempDir dir;
  WriteFile(dir / "plain", "x");
  std::vector<std::string> paths = {dir / "missing", dir / "gone/missing", dir / "plain/under",
                                    dir.Path()};
#ifdef _WIN32
  paths.push_back("NUL");  // a device
#else
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  const ScopedSocket socket(dir / "socket");
  ::alarm(10);  // a blocking open ends the test program
  for (const char* name : {"fifo", "socket"})
    paths.push_back(dir / name);
  paths.push_back("/dev/zero");
  paths.push_back("/proc/self/mem");
#endif
  for (const std::string& path : paths) {
    std::string read;
    const int error = ReadWholeFile(path, read);
    ASSERT_NE(error, 0) << path;
    std::string fromReader;
    try {
      LineReader reader(path);
      reader.AtEnd();
    } catch (const Error& e) {
      fromReader = e.what();
    }
    EXPECT_EQ(MessageOf<Error>([&] { ThrowReadError(error, path); }), fromReader) << path;
  }
#ifndef _WIN32
  ::alarm(0);
  // A socket is no regular file: refused as the reader promises, not with the system's
  // "no such device" of an open that cannot work.
  std::string read;
  EXPECT_EQ(ReadWholeFile(dir / "socket", read), platform::kNotRegularFile);
  EXPECT_EQ(MessageOf<FileError>([&] { LineReader reader(dir / "socket"); }),
            FallbackText(FileErrorText(platform::kNotRegularFile, dir / "socket")));
#endif
}

}  // namespace
}  // namespace tavrilo
