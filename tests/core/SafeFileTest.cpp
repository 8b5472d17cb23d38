// Whole-file replacement: the old file stays whole until the new one is complete.
#include "core/SafeFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>
#include <string>

#include "TestSupport.h"
#include "core/Errors.h"

namespace tavrilo::datafiles {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

std::set<std::string> EntriesOf(const std::string& directory) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::string Bytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>('a' + i % 23);
  return bytes;
}

// Injected low-level writes. Plain functions, so their state is global.
std::size_t gBudget = 0;  // bytes the "disk" still takes
int gInterruptions = 0;

ssize_t DiskFullAfterBudget(int fd, const void* data, std::size_t size) {
  if (gBudget == 0) {
    errno = ENOSPC;
    return -1;
  }
  size = std::min(size, gBudget);
  gBudget -= size;
  return ::write(fd, data, size);
}

ssize_t SevenBytesAtATime(int fd, const void* data, std::size_t size) {
  return ::write(fd, data, std::min<std::size_t>(size, 7));
}

ssize_t WritesNothing(int, const void*, std::size_t) {
  return 0;
}

ssize_t InterruptedFirst(int fd, const void* data, std::size_t size) {
  if (gInterruptions > 0) {
    --gInterruptions;
    errno = EINTR;
    return -1;
  }
  return ::write(fd, data, size);
}

TEST(SafeFileWriter, ReplacesTheFileOnlyAtCommit) {
  TempDir dir;
  const std::string path = dir / "macros.cfg";
  WriteFile(path, "old bytes");
  const std::string replacement = Bytes(1'000'000);
  {
    SafeFileWriter writer(path);
    writer.Write(replacement.substr(0, 10));
    writer.Write(replacement.substr(10));
    EXPECT_EQ(ReadFile(path), "old bytes") << "the old file is whole while writing";
    writer.Commit();
  }
  EXPECT_EQ(ReadFile(path), replacement);
  EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"macros.cfg"}));
}

TEST(SafeFileWriter, CreatesAMissingFile) {
  TempDir dir;
  {
    SafeFileWriter writer(dir / "new.cfg");
    writer.Write("line\r\n");
    writer.Commit();
  }
  EXPECT_EQ(ReadFile(dir / "new.cfg"), "line\r\n");
  EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"new.cfg"}));
}

TEST(SafeFileWriter, WithoutCommitNothingChanges) {
  TempDir dir;
  WriteFile(dir / "kept.cfg", "old bytes");
  {
    SafeFileWriter writer(dir / "kept.cfg");
    writer.Write(Bytes(600'000));
    SafeFileWriter another(dir / "never.cfg");
    another.Write("x");
  }
  EXPECT_EQ(ReadFile(dir / "kept.cfg"), "old bytes");
  EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"kept.cfg"}));
}

TEST(SafeFileWriter, FailedWriteLeavesTheOldFileAndNoTemporary) {
  // Large data fails inside Write, small data in Commit; the disk fills at the start or
  // part of the way.
  for (std::size_t size : {100u, 300'000u, 2'000'000u}) {
    for (std::size_t budget : {0u, 50u, 150'000u}) {
      if (budget >= size) continue;
      TempDir dir;
      WriteFile(dir / "macros.cfg", "old bytes");
      gBudget = budget;
      EXPECT_THROW(
          {
            SafeFileWriter writer(dir / "macros.cfg", DiskFullAfterBudget);
            writer.Write(Bytes(size));
            writer.Commit();
          },
          EWriteError)
          << size << " bytes, disk full after " << budget;
      EXPECT_EQ(ReadFile(dir / "macros.cfg"), "old bytes");
      EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"macros.cfg"}));
    }
  }
}

TEST(SafeFileWriter, ShortAndInterruptedWritesStillWriteEverything) {
  TempDir dir;
  const std::string bytes = Bytes(400'000);
  {
    SafeFileWriter writer(dir / "short.cfg", SevenBytesAtATime);
    writer.Write(bytes);
    writer.Commit();
  }
  EXPECT_EQ(ReadFile(dir / "short.cfg"), bytes);

  gInterruptions = 3;
  {
    SafeFileWriter writer(dir / "interrupted.cfg", InterruptedFirst);
    writer.Write("abc");
    writer.Commit();
  }
  EXPECT_EQ(ReadFile(dir / "interrupted.cfg"), "abc");
}

TEST(SafeFileWriter, AWriteThatMakesNoProgressFails) {
  TempDir dir;
  WriteFile(dir / "f.cfg", "old");
  EXPECT_THROW(
      {
        SafeFileWriter writer(dir / "f.cfg", WritesNothing);
        writer.Write("abc");
        writer.Commit();
      },
      EWriteError);
  EXPECT_EQ(ReadFile(dir / "f.cfg"), "old");
  EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"f.cfg"}));
}

TEST(SafeFileWriter, CannotCreateNamesThePath) {
  TempDir dir;
  WriteFile(dir / "regular", "x");
  std::filesystem::create_directory(dir / "directory");
  for (const std::string& path : {dir / "regular/inner.cfg", dir / "absent/inner.cfg",
                                  dir / "directory", dir / std::string(300, 'n')}) {
    try {
      SafeFileWriter writer(path);
      FAIL() << "created " << path;
    } catch (const EFCreateError& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot create file " + path);
    }
  }
  EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"regular", "directory"}));
}

TEST(SafeFileWriter, KeepsThePermissionsOfTheReplacedFile) {
  TempDir dir;
  const std::string path = dir / "script.cfg";
  WriteFile(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0751), 0);
  {
    SafeFileWriter writer(path);
    writer.Write("new");
    writer.Commit();
  }
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0751u);
  EXPECT_EQ(ReadFile(path), "new");
}

TEST(SafeFileWriter, WritesThroughASymbolicLink) {
  TempDir dir;
  WriteFile(dir / "real.cfg", "old");
  std::filesystem::create_symlink(dir / "real.cfg", dir / "link.cfg");
  {
    SafeFileWriter writer(dir / "link.cfg");
    writer.Write("new");
    writer.Commit();
  }
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.cfg"));
  EXPECT_EQ(ReadFile(dir / "real.cfg"), "new");
}

TEST(SafeFileWriter, FullDeviceWrittenInPlaceFails) {
  if (!std::filesystem::is_character_file("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_THROW(
      {
        SafeFileWriter writer("/dev/full");
        writer.Write("bytes");
        writer.Commit();
      },
      EWriteError);
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

}  // namespace
}  // namespace tavrilo::datafiles
