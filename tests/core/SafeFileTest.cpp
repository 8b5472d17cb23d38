// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file replacement: the old file stays whole until the new one is complete.
#include "core/SafeFile.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "FileSystemUser.h"
#include "TestSupport.h"
#include "core/Backup.h"
#include "core/Errors.h"
#include "core/FileError.h"
#include "core/Platform.h"

namespace tavrilo::datafiles {
namespace {

#ifndef _WIN32
using testing::CanActAsAnotherUser;
using testing::kOtherGroup;
using testing::kUserGroup;
using testing::kUserId;
using testing::ScopedConfigHome;
using testing::ScopedFileSystemUser;
using testing::SetOwnerAndMode;
#endif
using testing::MessageOf;
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
  return platform::SystemWrite(fd, data, size);
}

ssize_t SevenBytesAtATime(int fd, const void* data, std::size_t size) {
  return platform::SystemWrite(fd, data, std::min<std::size_t>(size, 7));
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
  return platform::SystemWrite(fd, data, size);
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
          FileError)
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
      FileError);
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
    } catch (const FileError& error) {
      EXPECT_EQ(error.Path(), path);
    }
  }
  EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"regular", "directory"}));
}

#ifndef _WIN32
ino_t InodeOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) throw std::runtime_error("stat failed: " + path);
  return info.st_ino;
}

std::optional<std::string> Attribute(const std::string& path, const char* name) {
  char value[256];
  const ssize_t size = ::getxattr(path.c_str(), name, value, sizeof value);
  if (size < 0) return std::nullopt;
  return std::string(value, static_cast<std::size_t>(size));
}

// A POSIX access ACL as the kernel stores it (version 2, then the tag, permissions and id
// of each entry): the owner rw, user 1000 r, the group r, the mask r, the others nothing.
const std::string kAccessAcl(
    "\x02\0\0\0"
    "\x01\0\x06\0\xFF\xFF\xFF\xFF"
    "\x02\0\x04\0\xE8\x03\0\0"
    "\x04\0\x04\0\xFF\xFF\xFF\xFF"
    "\x10\0\x04\0\xFF\xFF\xFF\xFF"
    "\x20\0\0\0\xFF\xFF\xFF\xFF",
    44);
#endif

TEST(SafeFileWriter, KeepsOwnerGroupModeAndExtendedAttributesOfTheReplacedFile) {
#ifdef _WIN32
  GTEST_SKIP() << "owners, modes and extended attributes: POSIX only (the attributes a Windows "
                  "replace keeps: windows_tests)";
#else
  if (!CanActAsAnotherUser()) GTEST_SKIP() << "needs root";
  TempDir dir;
  const std::string path = dir / "script.cfg";
  WriteFile(path, "old");
  ASSERT_EQ(::chown(path.c_str(), 1234, 5678), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  const std::string& acl = kAccessAcl;
  if (::setxattr(path.c_str(), "user.origin", "kept", 4, 0) != 0 ||
      ::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
    GTEST_SKIP() << "no extended attributes or ACLs here";
  }
  const ino_t inode = InodeOf(path);
  {
    SafeFileWriter writer(path);
    writer.Write("new");
    writer.Commit();
  }
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_NE(info.st_ino, inode) << "the file was replaced, not written in place";
  EXPECT_EQ(info.st_uid, 1234u);
  EXPECT_EQ(info.st_gid, 5678u);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(Attribute(path, "user.origin"), "kept");
  EXPECT_EQ(Attribute(path, "system.posix_acl_access"), acl);
  EXPECT_EQ(ReadFile(path), "new");
#endif
}

// ---- Where the file cannot be replaced, it is written in place ----------------------

TEST(SafeFileWriter, WritesInPlaceWhereTheDirectoryRefusesNewFiles) {
#ifdef _WIN32
  GTEST_SKIP() << "acting as another file-system user: Linux only";
#else
  if (!CanActAsAnotherUser()) GTEST_SKIP() << "needs root";
  TempDir dir;
  SetOwnerAndMode(dir.Path(), 0, 0, 0755);  // the user may not add files here
  const std::string path = dir / "macros.cfg";
  WriteFile(path, "old bytes, longer than the new ones");
  SetOwnerAndMode(path, kUserId, kUserGroup, 0644);
  const ino_t inode = InodeOf(path);
  TempDir config;  // the settings folder, which keeps the backup
  SetOwnerAndMode(config.Path(), kUserId, kUserGroup, 0755);
  const ScopedConfigHome home(config.Path());
  {
    const ScopedFileSystemUser user;
    SafeFileWriter writer(path);
    writer.Write("new");
    writer.Commit();
    EXPECT_THROW(SafeFileWriter(dir / "another.cfg"), FileError);

    // A failure while writing in place puts the old text back.
    gBudget = 2;
    SafeFileWriter failing(path, DiskFullAfterBudget);
    failing.Write("bytes");
    EXPECT_THROW(failing.Commit(), FileError);
  }
  EXPECT_EQ(InodeOf(path), inode);
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"macros.cfg"}));
#endif
}

TEST(SafeFileWriter, KeepsAGroupTheUserIsNotInByWritingInPlace) {
#ifdef _WIN32
  GTEST_SKIP() << "acting as another file-system user: Linux only";
#else
  if (!CanActAsAnotherUser()) GTEST_SKIP() << "needs root";
  TempDir dir;
  SetOwnerAndMode(dir.Path(), kUserId, kUserGroup, 0755);
  const std::string path = dir / "shared.cfg";
  WriteFile(path, "old");
  SetOwnerAndMode(path, kUserId, kOtherGroup, 0660);
  {
    const ScopedFileSystemUser user;
    SafeFileWriter writer(path);
    writer.Write("new");
    writer.Commit();
  }
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_gid, kOtherGroup);
  EXPECT_EQ(info.st_mode & 07777, 0660u);
  EXPECT_EQ(ReadFile(path), "new");
#endif
}

TEST(SafeFileWriter, WritesThroughHardLinks) {
#ifdef _WIN32
  GTEST_SKIP() << "inode numbers: POSIX only (hard links on Windows: windows_tests)";
#else
  TempDir dir;
  WriteFile(dir / "one.cfg", "old");
  ASSERT_EQ(::link((dir / "one.cfg").c_str(), (dir / "two.cfg").c_str()), 0);
  {
    SafeFileWriter writer(dir / "one.cfg");
    writer.Write("new");
    writer.Commit();
  }
  EXPECT_EQ(ReadFile(dir / "two.cfg"), "new");
  EXPECT_EQ(InodeOf(dir / "one.cfg"), InodeOf(dir / "two.cfg"));
#endif
}

TEST(SafeFileWriter, WritesThroughSymbolicLinksDanglingOnesToo) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links, which Windows lets only administrators make";
#else
  TempDir dir;
  WriteFile(dir / "real.cfg", "old");
  std::filesystem::create_symlink(dir / "real.cfg", dir / "link.cfg");
  std::filesystem::create_symlink("link.cfg", dir / "chain.cfg");
  std::filesystem::create_directory(dir / "sub");
  std::filesystem::create_symlink("../made.cfg", dir / "sub/dangling.cfg");
  for (const std::string name : {"chain.cfg", "sub/dangling.cfg"}) {
    SafeFileWriter writer(dir / name);
    writer.Write("new through " + name);
    writer.Commit();
  }
  EXPECT_EQ(ReadFile(dir / "real.cfg"), "new through chain.cfg");
  EXPECT_EQ(ReadFile(dir / "made.cfg"), "new through sub/dangling.cfg");
  for (const std::string link : {"link.cfg", "chain.cfg", "sub/dangling.cfg"})
    EXPECT_TRUE(std::filesystem::is_symlink(dir / link)) << link;
#endif
}

TEST(SafeFileWriter, RefusesWhatIsNotARegularFileWithoutWaiting) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs, sockets and devices of POSIX (the device NUL: windows_tests)";
#else
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  ::alarm(10);  // a blocking open ends the test program
  for (const std::string& path : {dir / "fifo", std::string("/dev/full")}) {
    try {
      SafeFileWriter writer(path);
      ADD_FAILURE() << path;
    } catch (const FileError& error) {
      EXPECT_EQ(error.GetText(), FileErrorText(platform::kNotRegularFile, path));
    }
  }
  ::alarm(0);
#endif
}

// ---- Killed writers ----------------------------------------------------------------

#ifndef _WIN32
void SetAge(const std::string& path, long seconds) {
  const struct timespec past = {std::time(nullptr) - seconds, 0};
  const struct timespec times[2] = {past, past};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) throw std::runtime_error(path);
}
#endif

TEST(SafeFileWriter, AWriteRemovesTheTemporaryFilesOfKilledWritersAsItStarts) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX process ids and file times (the Windows cleaning: windows_tests)";
#else
  TempDir dir;
  const std::string pid = std::to_string(::getpid());
  const std::string deadWriter = ".tavrilo-1073741823-abcdefgh.tmp";  // no such process
  const std::string liveWriter = ".tavrilo-" + pid + "-abcdefgh.tmp";
  const std::string liveButStale = ".tavrilo-" + pid + "-ijklmnop.tmp";
  const std::string unknownWriter = ".tavrilo-qrstuvwx.tmp";
  const std::string unknownAndStale = ".tavrilo-yz012345.tmp";
  const std::string notOurs = ".tavrilo-notes.tmp";
  for (const std::string& name :
       {deadWriter, liveWriter, liveButStale, unknownWriter, unknownAndStale, notOurs}) {
    WriteFile(dir / name, "x");
  }
  for (const std::string& name : {liveButStale, unknownAndStale, notOurs})
    SetAge(dir / name, 11 * 60);
  {
    SafeFileWriter writer(dir / "macros.cfg");
    EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{liveWriter, unknownWriter, notOurs}));
    writer.Write("new");
    writer.Commit();
  }
  EXPECT_EQ(EntriesOf(dir.Path()),
            (std::set<std::string>{liveWriter, unknownWriter, notOurs, "macros.cfg"}));
#endif
}

TEST(SafeFileWriter, AKilledWriteLeavesTheOldOrTheNewFileWholeAndNothingElse) {
#ifdef _WIN32
  GTEST_SKIP() << "a writer killed in a forked child: POSIX only";
#else
  TempDir dir;
  const std::string path = dir / "macros.cfg";
  const std::string first(4 << 20, 'a');
  const std::string second(4 << 20, 'b');
  WriteFile(path, first);
  for (int round = 0; round < 10; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      try {
        for (int i = 0;; ++i) {
          SafeFileWriter writer(path);
          writer.Write(i % 2 == 0 ? second : first);
          writer.Commit();
        }
      } catch (...) {
      }
      ::_exit(1);
    }
    ::usleep(static_cast<useconds_t>(2000 + round * 3000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string bytes = ReadFile(path);
    EXPECT_TRUE(bytes == first || bytes == second) << "round " << round << ": " << bytes.size();
  }
  {
    SafeFileWriter writer(path);
    writer.Write("last");
    writer.Commit();
  }
  EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"macros.cfg"}));
#endif
}

// ---- Saves in place ------------------------------------------------------------------
// A file with another hard link is written in place: its old text must survive a kill, a
// full disk and a failed write all the same.

// Two names of one file holding `bytes`.
void MakeLinkedPair(const std::string& one, const std::string& two, const std::string& bytes) {
  WriteFile(one, bytes);
  std::filesystem::create_hard_link(one, two);
}

void Save(const std::string& path, const std::string& bytes, WriteFunction write = nullptr) {
  SafeFileWriter writer(path, write);
  writer.Write(bytes);
  writer.Commit();
}

TEST(SafeFileWriter, AFailedWriteInPlacePutsTheOldTextBack) {
  TempDir dir;
  const std::string old = Bytes(300'000);
  MakeLinkedPair(dir / "one.cfg", dir / "two.cfg", old);
  // The disk fills after the backup and part of the new text.
  for (std::size_t budget : {std::size_t{0}, old.size() + 200, old.size() + 150'000}) {
    gBudget = budget;
    EXPECT_THROW(Save(dir / "one.cfg", Bytes(500'000).replace(0, 3, "new"), DiskFullAfterBudget),
                 FileError)
        << budget;
    EXPECT_EQ(ReadFile(dir / "two.cfg"), old) << budget;
    EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"one.cfg", "two.cfg"})) << budget;
  }
  Save(dir / "one.cfg", "new");
  EXPECT_EQ(ReadFile(dir / "two.cfg"), "new");
#ifndef _WIN32
  EXPECT_EQ(InodeOf(dir / "one.cfg"), InodeOf(dir / "two.cfg"));
#endif
}

#ifndef _WIN32
// A small tmpfs mounted by the test (it runs as root in CI): the disk is really full.
class SmallFileSystem {
 public:
  SmallFileSystem() {
    if (::mount("tmpfs", dir_.Path().c_str(), "tmpfs", 0, "size=1m") == 0) mounted_ = true;
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(dir_.Path().c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool Mounted() const { return mounted_; }
  std::string operator/(const std::string& relative) const { return dir_ / relative; }
  const std::string& Path() const { return dir_.Path(); }

 private:
  TempDir dir_;
  bool mounted_ = false;
};
#endif

TEST(SafeFileWriter, AFullDiskKeepsTheOldTextOfAFileWrittenInPlace) {
#ifdef _WIN32
  GTEST_SKIP() << "a tmpfs mounted by the test: Linux only";
#else
  SmallFileSystem disk;
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
  const std::string old = Bytes(200'000);
  MakeLinkedPair(disk / "one.cfg", disk / "two.cfg", old);
  WriteFile(disk / "filler", std::string(500'000, 'f'));  // about 300 KB stay free
  // The backup fits, the new text does not: the room is reserved before anything is
  // written, and the save fails with the old text whole.
  EXPECT_THROW(Save(disk / "one.cfg", Bytes(400'000)), FileError);
  EXPECT_EQ(ReadFile(disk / "one.cfg"), old);
  EXPECT_EQ(ReadFile(disk / "two.cfg"), old);
  // Not even the backup fits.
  WriteFile(disk / "filler", std::string(700'000, 'f'));
  EXPECT_THROW(Save(disk / "one.cfg", Bytes(210'000)), FileError);
  EXPECT_EQ(ReadFile(disk / "two.cfg"), old);
  EXPECT_EQ(EntriesOf(disk.Path()), (std::set<std::string>{"filler", "one.cfg", "two.cfg"}));
  // A text that fits still goes through the link.
  WriteFile(disk / "filler", "");
  Save(disk / "one.cfg", "new");
  EXPECT_EQ(ReadFile(disk / "two.cfg"), "new");
#endif
}

// ---- Killed saves in place ----------------------------------------------------------
// The kill comes through the write function: it writes the bytes it is allowed, then ends
// the process as SIGKILL would, with no clean-up. Each step of a save in place is reached
// by the number of bytes allowed: inside the backup, right after it, inside the new text,
// at its end.

#ifndef _WIN32
std::size_t gKillAfter = 0;

ssize_t KilledAfterBudget(int fd, const void* data, std::size_t size) {
  if (size >= gKillAfter) {
    if (gKillAfter > 0) (void)platform::SystemWrite(fd, data, gKillAfter);
    ::_exit(9);
  }
  gKillAfter -= size;
  return platform::SystemWrite(fd, data, size);
}

// Saves `bytes` to `path` in a child process killed once `budget` bytes are written.
void SaveKilledAfter(const std::string& path, const std::string& bytes, std::size_t budget) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    gKillAfter = budget;
    try {
      Save(path, bytes, KilledAfterBudget);
    } catch (...) {
    }
    ::_exit(1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << "budget " << budget;
}

std::size_t BackupSize(const std::string& path, const std::string& old, const std::string& text) {
  return EncodeBackup(*platform::ResolvedPath(path), *platform::Status(path), old, text).size();
}

#endif

// Killed at each step, a save in place leaves the file old, new, or torn with its backup;
// a torn file is offered back and restored whole under both names, or kept as it is.
TEST(InterruptedSave, AKilledSaveInPlaceIsOfferedBackAtEachStep) {
#ifdef _WIN32
  GTEST_SKIP() << "a writer killed in a forked child: POSIX only";
#else
  TempDir dir;
  const std::string old = Bytes(300'000);
  for (const std::string& text : {std::string(500'000, 'n'), std::string(100'000, 's')}) {
    MakeLinkedPair(dir / "one.cfg", dir / "two.cfg", old);
    const std::size_t backup = BackupSize(dir / "one.cfg", old, text);
    int torn = 0;
    for (std::size_t budget : {std::size_t{0}, backup / 2, backup, backup + 1, backup + 150'000,
                               backup + old.size() + 10, backup + text.size()}) {
      if (budget > backup + text.size()) continue;
      SaveKilledAfter(dir / "one.cfg", text, budget);
      const std::vector<InterruptedSave> saves = FindInterruptedSaves(dir.Path());
      const std::string now = ReadFile(dir / "two.cfg");
      if (now == old || now == text) {
        EXPECT_TRUE(saves.empty()) << budget;
      } else {
        ++torn;
        ASSERT_EQ(saves.size(), 1u) << budget;
        EXPECT_EQ(saves[0].file, *platform::ResolvedPath(dir / "one.cfg"));
        if (torn == 2) {
          KeepAfterInterruptedSave(saves[0]);
          EXPECT_EQ(ReadFile(dir / "two.cfg"), now);
        } else {
          EXPECT_TRUE(RestoreInterruptedSave(saves[0])) << budget;
          EXPECT_EQ(ReadFile(dir / "two.cfg"), old) << budget;
        }
      }
      platform::CleanFolder(dir.Path());
      EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"one.cfg", "two.cfg"})) << budget;
      EXPECT_EQ(InodeOf(dir / "one.cfg"), InodeOf(dir / "two.cfg"));
      WriteFile(dir / "one.cfg", old);
    }
    EXPECT_GE(torn, 2) << text.size();
    std::filesystem::remove(dir / "one.cfg");
    std::filesystem::remove(dir / "two.cfg");
  }
#endif
}

// The old text never goes over a file that changed after the killed save: edited by hand,
// replaced by another file, or changed between the question and the answer.
TEST(InterruptedSave, AFileChangedAfterTheKilledSaveIsNeverWrittenOver) {
#ifdef _WIN32
  GTEST_SKIP() << "a writer killed in a forked child: POSIX only";
#else
  TempDir dir;
  const std::string old = Bytes(200'000);
  const std::string text(200'000, 'n');
  auto tear = [&] {
    MakeLinkedPair(dir / "one.cfg", dir / "two.cfg", old);
    SaveKilledAfter(dir / "one.cfg", text, BackupSize(dir / "one.cfg", old, text) + 1000);
  };
  auto clear = [&] {
    std::filesystem::remove(dir / "one.cfg");
    std::filesystem::remove(dir / "two.cfg");
  };
  tear();
  WriteFile(dir / "one.cfg", "repaired by hand");
  EXPECT_TRUE(FindInterruptedSaves(dir.Path()).empty());
  EXPECT_EQ(ReadFile(dir / "two.cfg"), "repaired by hand");
  EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"one.cfg", "two.cfg"}));
  clear();

  tear();
  const std::string torn = ReadFile(dir / "one.cfg");
  WriteFile(dir / "copy", torn);  // the same bytes, another file
  std::filesystem::rename(dir / "copy", dir / "one.cfg");
  EXPECT_FALSE(FindInterruptedSave(dir / "one.cfg"));
  EXPECT_EQ(ReadFile(dir / "one.cfg"), torn);
  clear();

  tear();
  const std::optional<InterruptedSave> save = FindInterruptedSave(dir / "two.cfg");
  ASSERT_TRUE(save);
  WriteFile(dir / "one.cfg", torn + "edited meanwhile");
  EXPECT_FALSE(RestoreInterruptedSave(*save));
  EXPECT_EQ(ReadFile(dir / "two.cfg"), torn + "edited meanwhile");
  EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{"one.cfg", "two.cfg"}));
#endif
}

// Only a backup of a file of the folder looked at is offered, and only once its writer has
// ended: a backup planted for a file elsewhere is neither offered nor removed there (the
// settings folder, which keeps the backups of files whose folder refuses new ones, offers
// any file).
TEST(InterruptedSave, OnlyAnEndedSaveOfAFileOfTheFolderIsOffered) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX process ids";
#else
  TempDir dir;
  TempDir other;
  WriteFile(other / "victim.cfg", "PREcious");
  const std::string victim = *platform::ResolvedPath(other / "victim.cfg");
  const std::string planted = ".tavrilo-1073741823-aaaaaaaa.bak";  // no such process
  WriteFile(dir / planted,
            EncodeBackup(victim, *platform::Status(victim), "precious", "PRECIOUS, owned"));
  WriteFile(dir / "game.cfg", "new");
  const std::string live = ".tavrilo-" + std::to_string(::getpid()) + "-cccccccc.bak";
  WriteFile(dir / live, EncodeBackup(*platform::ResolvedPath(dir / "game.cfg"),
                                     *platform::Status(dir / "game.cfg"), "old", "new text"));
  EXPECT_TRUE(FindInterruptedSaves(dir.Path()).empty());
  EXPECT_EQ(EntriesOf(dir.Path()), (std::set<std::string>{planted, live, "game.cfg"}));
  const std::vector<InterruptedSave> any = FindInterruptedSaves(dir.Path(), true);
  ASSERT_EQ(any.size(), 1u);
  EXPECT_EQ(any[0].file, victim);
  EXPECT_EQ(ReadFile(other / "victim.cfg"), "PREcious");
  // A backup of an earlier version (path, zero byte, old text) is left alone.
  const std::string earlier = ".tavrilo-1073741823-bbbbbbbb.bak";
  WriteFile(dir / earlier, std::string(dir / "game.cfg") + '\0' + "old text");
  EXPECT_TRUE(FindInterruptedSaves(dir.Path()).empty());
  EXPECT_EQ(ReadFile(dir / "game.cfg"), "new");
#endif
}

// A file that can only be written in place is written only behind a backup: where none
// can be written (its folder refuses new files and so does the settings folder, or its
// old text cannot be read), the save is refused with that reason and the file untouched.
TEST(SafeFileWriter, AFileThatCanHaveNoBackupIsNotWrittenInPlace) {
#ifdef _WIN32
  GTEST_SKIP() << "acting as another file-system user: Linux only";
#else
  if (!CanActAsAnotherUser()) GTEST_SKIP() << "needs root";
  TempDir dir;
  WriteFile(dir / "not-a-folder", "x");
  SetOwnerAndMode(dir.Path(), 0, 0, 0755);  // the user may not add files here
  WriteFile(dir / "macros.cfg", "old");
  SetOwnerAndMode(dir / "macros.cfg", kUserId, kUserGroup, 0644);
  WriteFile(dir / "write-only.cfg", "secret");
  SetOwnerAndMode(dir / "write-only.cfg", kUserId, kUserGroup, 0200);
  const ScopedConfigHome config(dir / "not-a-folder/config");
  const ScopedFileSystemUser user;
  for (const std::string name : {"macros.cfg", "write-only.cfg"}) {
    try {
      Save(dir / name, "new");
      ADD_FAILURE() << name << " written without a backup";
    } catch (const FileError& error) {
      EXPECT_EQ(error.GetText().key, "FileError.NoBackup") << name;
      EXPECT_EQ(error.Path(), dir / name);
    }
  }
  EXPECT_EQ(ReadFile(dir / "macros.cfg"), "old");
  EXPECT_EQ(EntriesOf(dir.Path()),
            (std::set<std::string>{"macros.cfg", "not-a-folder", "write-only.cfg"}));
#endif
}

}  // namespace
}  // namespace tavrilo::datafiles
