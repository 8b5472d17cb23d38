// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "../core/FileSystemUser.h"
#include "InstallTestSupport.h"
#include "TestSupport.h"
#include "core/Errors.h"
#include "core/Platform.h"
#include "install/FileUtilities.h"

namespace tavrilo {
namespace {

using testing::FileErrorOf;
using testing::ListDirectory;
using testing::MessageOf;
using testing::ReadFile;
using testing::ScopedCurrentDirectory;
using testing::TempDir;
using testing::WriteFile;

// Bytes that differ from one position to the next, so a block copied twice or out of
// order shows.
std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

// A name as CopyFileTo forms a destination on this system, which folds '/' into its own
// separator.
std::string Native(std::string path) {
#ifdef _WIN32
  std::replace(path.begin(), path.end(), '/', '\\');
#endif
  return path;
}

// Read and write functions that the tests put in place of the system calls.
int gReads = 0;
ssize_t CountingRead(int fd, void* data, std::size_t size) {
  ++gReads;
  return platform::SystemRead(fd, data, size);
}

int gReadsBeforeFailure = 0;
ssize_t FailingRead(int fd, void* data, std::size_t size) {
  if (gReadsBeforeFailure-- > 0) return platform::SystemRead(fd, data, size);
  errno = EIO;
  return -1;
}

bool gInterrupted = false;
ssize_t InterruptedOnceRead(int fd, void* data, std::size_t size) {
  ++gReads;
  if (!gInterrupted) {
    gInterrupted = true;
    errno = EINTR;
    return -1;
  }
  return platform::SystemRead(fd, data, size);
}

std::size_t gWriteBudget = 0;
ssize_t BudgetedWrite(int fd, const void* data, std::size_t size) {
  if (gWriteBudget == 0) {
    errno = ENOSPC;
    return -1;
  }
  const std::size_t n = std::min(size, gWriteBudget);
  gWriteBudget -= n;
  return platform::SystemWrite(fd, data, n);
}

// ---------------------------------------------------------------------------------------
// The bytes and the read loop.

class CopySizeTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(CopySizeTest, CopiesEveryByteReadingUntilAShortRead) {
  const std::size_t size = GetParam();
  TempDir dir;
  const std::string bytes = Pattern(size);
  WriteFile(dir / "source.cfg", bytes);

  gReads = 0;
  CopyFileTo(dir / "source.cfg", dir / "copy.cfg", nullptr, CountingRead);

  EXPECT_EQ(ReadFile(dir / "copy.cfg"), bytes);
  // One read per full buffer, then the one that comes back short (possibly empty).
  EXPECT_EQ(gReads, static_cast<int>(size / kCopyBufferSize + 1));
  EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"copy.cfg", "source.cfg"}));
}

INSTANTIATE_TEST_SUITE_P(AroundTheBufferSize, CopySizeTest,
                         ::testing::Values(std::size_t{0}, std::size_t{1}, std::size_t{8191},
                                           std::size_t{8192}, std::size_t{8193},
                                           std::size_t{3 * 8192}, std::size_t{600000}));

TEST(CopyFileToTest, SpecificReadCountsOfTheLoop) {
  TempDir dir;
  const auto readsFor = [&](std::size_t size) {
    WriteFile(dir / "s", Pattern(size));
    gReads = 0;
    CopyFileTo(dir / "s", dir / "d", nullptr, CountingRead);
    return gReads;
  };
  EXPECT_EQ(readsFor(0), 1);
  EXPECT_EQ(readsFor(8192), 2);  // one full read and one empty read
  EXPECT_EQ(readsFor(8193), 2);  // one full read and one of a single byte
}

TEST(CopyFileToTest, AnInterruptedReadIsRetried) {
  TempDir dir;
  const std::string bytes = Pattern(10000);
  WriteFile(dir / "s", bytes);
  gReads = 0;
  gInterrupted = false;
  CopyFileTo(dir / "s", dir / "d", nullptr, InterruptedOnceRead);
  EXPECT_EQ(ReadFile(dir / "d"), bytes);
  EXPECT_EQ(gReads, 3);
}

TEST(CopyFileToTest, ALongerExistingDestinationEndsAtTheSourceLength) {
  TempDir dir;
  WriteFile(dir / "source.cfg", "short");
  WriteFile(dir / "copy.cfg", Pattern(20000));
  CopyFileTo(dir / "source.cfg", dir / "copy.cfg");
  EXPECT_EQ(ReadFile(dir / "copy.cfg"), "short");

  WriteFile(dir / "empty.cfg", "");
  CopyFileTo(dir / "empty.cfg", dir / "copy.cfg");
  EXPECT_EQ(ReadFile(dir / "copy.cfg"), "");
}

TEST(CopyFileToTest, TheNewFileHasOrdinaryPermissionsNotTheSources) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX modes and umask: Linux only";
#else
  TempDir dir;
  WriteFile(dir / "source.cfg", "x");
  ASSERT_EQ(::chmod((dir / "source.cfg").c_str(), 0555), 0);
  const mode_t mask = ::umask(0);
  ::umask(mask);

  CopyFileTo(dir / "source.cfg", dir / "copy.cfg");

  struct stat info {};
  ASSERT_EQ(::stat((dir / "copy.cfg").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0666 & ~mask);
#endif
}

// ---------------------------------------------------------------------------------------
// How the destination is formed.

TEST(CopyFileToTest, ADirectoryDestinationReceivesTheSourceName) {
  TempDir dir;
  WriteFile(dir / "q2/Alias.cfg", "alias bytes");
  std::filesystem::create_directory(dir / "game");

  CopyFileTo(dir / "q2/Alias.cfg", dir / "game");  // no trailing separator
  EXPECT_EQ(ReadFile(dir / "game/Alias.cfg"), "alias bytes");

  WriteFile(dir / "q2/Alias.cfg", "second");
  CopyFileTo(dir / "q2/Alias.cfg", dir / "game/");  // with one
  EXPECT_EQ(ReadFile(dir / "game/Alias.cfg"), "second");
  EXPECT_EQ(ListDirectory(dir / "game"), (std::vector<std::string>{"Alias.cfg"}));
}

TEST(CopyFileToTest, TheSourceNameIsJoinedWithExactlyOneSeparator) {
  TempDir dir;
  WriteFile(dir / "Alias.cfg", "x");
  // A directory of the source's name inside the destination makes the create fail, so
  // the message shows the destination as formed.
  std::filesystem::create_directories(dir / "game/Alias.cfg");
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo(dir / "Alias.cfg", dir / "game"); }),
            "FileError.IsDirectory " + dir.Path() + Native("game/Alias.cfg"));
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo(dir / "Alias.cfg", dir / "game/"); }),
            "FileError.IsDirectory " + dir.Path() + Native("game/Alias.cfg"));
}

TEST(CopyFileToTest, AMissingDirectoryEndingWithASeparatorStillNamesTheFile) {
  TempDir dir;
  WriteFile(dir / "Alias.cfg", "x");
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo(dir / "Alias.cfg", dir / "Baseq2/"); }),
            "FileError.FolderNotFound " + dir.Path() + Native("Baseq2/Alias.cfg"));
  EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"Alias.cfg"}));
}

TEST(CopyFileToTest, ARelativeDestinationIsMadeAbsolute) {
  TempDir dir;
  WriteFile(dir / "Alias.cfg", "relative");
  std::filesystem::create_directory(dir / "work");
  const ScopedCurrentDirectory inWork(dir / "work");
  const std::string cwd = ScopedCurrentDirectory::Current();

  CopyFileTo(dir / "Alias.cfg", "out.cfg");
  EXPECT_EQ(ReadFile(dir / "work/out.cfg"), "relative");

  // "." and ".." are folded in the name the error shows.
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo(dir / "Alias.cfg", "missing/../nodir/./x.cfg"); }),
            "FileError.FolderNotFound " + cwd + Native("nodir/x.cfg"));
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo(dir / "Alias.cfg", "Baseq2/"); }),
            "FileError.FolderNotFound " + cwd + Native("Baseq2/Alias.cfg"));
}

// ---------------------------------------------------------------------------------------
// Failures.

TEST(CopyFileToTest, AMissingSourceNamesItExactlyAsPassedAndTouchesNothing) {
  TempDir dir;
  WriteFile(dir / "copy.cfg", "previous");
  const ScopedCurrentDirectory inDir(dir.Path());

#ifdef _WIN32
  const std::string reason = "FileError.NotFound";  // ".." is taken as text
#else
  const std::string reason = "FileError.FolderNotFound";  // "sub" does not exist
#endif
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo("sub/../Missing.cfg", dir / "copy.cfg"); }),
            reason + " sub/../Missing.cfg");
  EXPECT_EQ(ReadFile(dir / "copy.cfg"), "previous");

  // The source is opened before the destination is created.
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo(dir / "Missing.cfg", dir / "nodir/x"); }),
            "FileError.NotFound " + dir.Path() + "Missing.cfg");
  EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"copy.cfg"}));
}

TEST(CopyFileToTest, ADirectoryCannotBeTheSource) {
  TempDir dir;
  std::filesystem::create_directory(dir / "Q2Dats");
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo(dir / "Q2Dats", dir / "copy.cfg"); }),
            "FileError.IsDirectory " + dir.Path() + "Q2Dats");
  EXPECT_FALSE(testing::Exists(dir / "copy.cfg"));
}

TEST(CopyFileToTest, ADestinationUnderARegularFileCannotBeCreated) {
  TempDir dir;
  WriteFile(dir / "source.cfg", "x");
  WriteFile(dir / "plain", "not a directory");
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo(dir / "source.cfg", dir / "plain/x.cfg"); }),
            "FileError.FolderNotFound " + dir.Path() + Native("plain/x.cfg"));
  EXPECT_EQ(ReadFile(dir / "plain"), "not a directory");
}

TEST(CopyFileToTest, AnOverlongDestinationNameCannotBeCreated) {
  TempDir dir;
  WriteFile(dir / "source.cfg", "x");
  const std::string name(300, 'n');
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo(dir / "source.cfg", dir / name); }),
            "FileError.NameTooLong " + dir.Path() + name);
  EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"source.cfg"}));
}

TEST(CopyFileToTest, AFailedWriteMidCopyKeepsTheOldFileAndLeavesNoTemporaryFile) {
  TempDir dir;
  WriteFile(dir / "source.cfg", Pattern(600000));
  WriteFile(dir / "copy.cfg", "the installed file");

  gWriteBudget = 100000;  // the disk fills up after the first part
  EXPECT_THROW(CopyFileTo(dir / "source.cfg", dir / "copy.cfg", BudgetedWrite), FileError);
  EXPECT_EQ(gWriteBudget, 0u);  // the copy had begun writing
  EXPECT_EQ(ReadFile(dir / "copy.cfg"), "the installed file");
  EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"copy.cfg", "source.cfg"}));

  // A small file fails when its bytes are put down at the end, with the same outcome.
  WriteFile(dir / "small.cfg", "small");
  gWriteBudget = 0;
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo(dir / "small.cfg", dir / "copy.cfg", BudgetedWrite); }),
            "FileError.DiskFull " + dir / "copy.cfg");
  EXPECT_EQ(ReadFile(dir / "copy.cfg"), "the installed file");
  EXPECT_EQ(ListDirectory(dir.Path()),
            (std::vector<std::string>{"copy.cfg", "small.cfg", "source.cfg"}));
}

TEST(CopyFileToTest, AFifoIsRefusedAtOnceAsSourceAndAsDestination) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs: POSIX only (a Windows device is refused like any file that is not "
                  "regular: windows_tests)";
#else
  TempDir dir;
  WriteFile(dir / "source.cfg", "bytes");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  ::alarm(10);  // a blocking open ends the test program
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo(dir / "fifo", dir / "copy.cfg"); }),
            "FileError.NotRegularFile " + dir.Path() + "fifo");
  EXPECT_EQ(FileErrorOf([&] { CopyFileTo(dir / "source.cfg", dir / "fifo"); }),
            "FileError.NotRegularFile " + dir.Path() + "fifo");
  ::alarm(0);
  EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"fifo", "source.cfg"}));
#endif
}

TEST(CopyFileToTest, ReplacesAFileTheUserMayWriteInAFolderTheUserMayNot) {
#ifdef _WIN32
  GTEST_SKIP() << "acting as another file-system user: Linux only";
#else
  if (!testing::CanActAsAnotherUser()) GTEST_SKIP() << "needs root";
  TempDir dir;
  testing::SetOwnerAndMode(dir.Path(), 0, 0, 0755);
  WriteFile(dir / "source.cfg", "new bytes");
  WriteFile(dir / "baseq2/Alias.cfg", "the installed file, longer");
  testing::SetOwnerAndMode(dir / "baseq2", 0, 0, 0755);
  testing::SetOwnerAndMode(dir / "baseq2/Alias.cfg", testing::kUserId, testing::kUserGroup, 0644);
  TempDir config;  // the settings folder, where the backup of the file written in place goes
  testing::SetOwnerAndMode(config.Path(), testing::kUserId, testing::kUserGroup, 0755);
  const testing::ScopedConfigHome home(config.Path());
  {
    const testing::ScopedFileSystemUser user;
    CopyFileTo(dir / "source.cfg", dir / "baseq2/Alias.cfg");
  }
  EXPECT_EQ(ReadFile(dir / "baseq2/Alias.cfg"), "new bytes");
#endif
}

TEST(CopyFileToTest, AFailedReadKeepsTheOldFileAndLeavesNoTemporaryFile) {
  TempDir dir;
  WriteFile(dir / "source.cfg", Pattern(5 * 8192));
  WriteFile(dir / "copy.cfg", "the installed file");

  gReadsBeforeFailure = 2;
  EXPECT_EQ(
      FileErrorOf([&] { CopyFileTo(dir / "source.cfg", dir / "copy.cfg", nullptr, FailingRead); }),
      "FileError.InputOutput " + dir / "source.cfg");
  EXPECT_EQ(ReadFile(dir / "copy.cfg"), "the installed file");
  EXPECT_EQ(ListDirectory(dir.Path()), (std::vector<std::string>{"copy.cfg", "source.cfg"}));
}

TEST(CopyFileToTest, AnUnreadableSourceOfTheSystemIsReportedAsAReadError) {
#ifdef _WIN32
  GTEST_SKIP() << "/proc/self/mem: Linux only";
#else
  // This file opens, but reading its start fails (address 0 is never mapped).
  TempDir dir;
  EXPECT_THROW(CopyFileTo("/proc/self/mem", dir / "copy.cfg"), FileError);
  EXPECT_EQ(ListDirectory(dir.Path()), std::vector<std::string>{});
#endif
}

TEST(CopyFileToTest, EveryPathClosesWhatItOpened) {
#ifdef _WIN32
  GTEST_SKIP() << "descriptors counted in /proc/self/fd: Linux only";
#else
  TempDir dir;
  WriteFile(dir / "source.cfg", Pattern(3 * 8192));
  WriteFile(dir / "plain", "");
  const std::size_t before = testing::OpenDescriptorCount();

  CopyFileTo(dir / "source.cfg", dir / "copy.cfg");
  EXPECT_THROW(CopyFileTo(dir / "missing", dir / "copy.cfg"), FileError);
  EXPECT_THROW(CopyFileTo(dir.Path(), dir / "copy.cfg"), FileError);
  EXPECT_THROW(CopyFileTo(dir / "source.cfg", dir / "plain/x"), FileError);
  gWriteBudget = 0;
  EXPECT_THROW(CopyFileTo(dir / "source.cfg", dir / "copy.cfg", BudgetedWrite), FileError);
  gReadsBeforeFailure = 1;
  EXPECT_THROW(CopyFileTo(dir / "source.cfg", dir / "copy.cfg", nullptr, FailingRead), FileError);

  EXPECT_EQ(testing::OpenDescriptorCount(), before);
#endif
}

}  // namespace
}  // namespace tavrilo
