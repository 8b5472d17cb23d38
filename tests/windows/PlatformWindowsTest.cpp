// SPDX-License-Identifier: GPL-3.0-or-later
// The platform layer as Windows runs it: wide-character names, drive letters, the error
// codes of the system, and each way a save takes its place (replace, rename, in place).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/Platform.h"
#include "core/PlatformWindows.h"

namespace tavrilo::platform {
namespace {

using testing::ReadFile;
using testing::TempDir;
using windows::AnsiFromWide;
using windows::WideFromAnsi;

// ---- test doubles for the steps of a save -------------------------------------------

int replaceCalls = 0;
int moveCalls = 0;

bool CountedReplace(const std::wstring& target, const std::wstring& replacement) {
  ++replaceCalls;
  return windows::SystemReplace(target, replacement);
}
bool RefusedReplace(const std::wstring&, const std::wstring&) {
  ++replaceCalls;
  ::SetLastError(ERROR_UNABLE_TO_REMOVE_REPLACED);
  return false;
}
bool CountedMove(const std::wstring& target, const std::wstring& replacement) {
  ++moveCalls;
  return windows::SystemMove(target, replacement);
}
bool RefusedMove(const std::wstring&, const std::wstring&) {
  ++moveCalls;
  ::SetLastError(ERROR_ACCESS_DENIED);
  return false;
}

// A disk that fills up after `writesLeft` more writes.
int writesLeft = 0;
std::ptrdiff_t FillingDisk(int fd, const void* data, std::size_t size) {
  if (writesLeft-- <= 0) {
    errno = ENOSPC;
    return -1;
  }
  return SystemWrite(fd, data, size);
}

class WindowsSave : public ::testing::Test {
 protected:
  void SetUp() override {
    replaceCalls = moveCalls = 0;
    windows::SetPlaceFunctions(CountedReplace, CountedMove);
  }
  void TearDown() override { windows::SetPlaceFunctions(nullptr, nullptr); }

  // Saves `text` as `path`; the step it ended with, and the error in `error`.
  static FileSave::Step Save(const std::string& path, const std::string& text, ErrorCode& error,
                             WriteFunction write = nullptr) {
    FileSave save;
    error = save.Begin(path, write);
    if (error != kNoError) return FileSave::Step::kPlaceFailed;
    error = save.Write(text.data(), text.size());
    if (error != kNoError) return FileSave::Step::kWriteFailed;
    return save.Commit(error);
  }

  // The names in the folder, the test's own files included.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    const std::vector<DirectoryEntry> entries = ListDirectory(dir_.Path()).value();
    for (const DirectoryEntry& entry : entries)
      names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
  }

  static DWORD Attributes(const std::string& path) {
    return ::GetFileAttributesW(WideFromAnsi(path).c_str());
  }

  TempDir dir_;
};

// ---- names -----------------------------------------------------------------------------

TEST(WindowsNames, EveryWindows1252ByteRoundTripsThroughTheWideName) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte)
    all += static_cast<char>(byte);
  EXPECT_EQ(AnsiFromWide(WideFromAnsi(all)), all);
  EXPECT_EQ(WideFromAnsi("\xE9t\xE9 \xF9"), L"\u00e9t\u00e9 \u00f9");
  EXPECT_EQ(WideFromAnsi("\x80"), L"\u20ac");            // the euro sign is no Latin-1 byte
  EXPECT_EQ(AnsiFromWide(L"\u0416.cfg"), std::nullopt);  // no Cyrillic in Windows-1252
}

TEST_F(WindowsSave, ANameWithAccentsIsTheSystemsWideName) {
  const std::string name = "Macros \xE9t\xE9 \xF9.cfg";
  ErrorCode error = kNoError;
  ASSERT_EQ(Save(dir_ / name, "bind q zoom\r\n", error), FileSave::Step::kDone) << error;
  const std::wstring wide = WideFromAnsi(dir_.Path()) + L"Macros \u00e9t\u00e9 \u00f9.cfg";
  EXPECT_NE(::GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Names(), std::vector<std::string>{name});
  InputFile input;
  ASSERT_EQ(input.Open(dir_ / name), kNoError);
  EXPECT_EQ(input.Size(), 13u);
}

TEST(WindowsNames, AFileTheProgramCannotNameIsLeftOutOfTheListing) {
  TempDir dir;
  const std::wstring folder = WideFromAnsi(dir.Path());
  for (const wchar_t* name : {L"\u0416.cfg", L"plain.cfg"}) {
    const HANDLE file = ::CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
  }
  const std::vector<DirectoryEntry> entries = ListDirectory(dir.Path()).value();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "plain.cfg");
}

TEST(WindowsPaths, DriveLetterPathsResolveAsTheSystemOpensThem) {
  TempDir dir;
  const std::string root = ResolvedPath(dir.Path()).value();
  ASSERT_GE(root.size(), 3u);
  EXPECT_EQ(root.substr(1, 2), ":\\");  // a drive letter
  EXPECT_EQ(root.back(), '\\');         // the separator kept
  ASSERT_TRUE(CreateDirectories(dir / "sub\\deeper"));
  // "." and ".." folded, either separator, a missing last name kept as written.
  EXPECT_EQ(ResolvedPath(dir / "sub/deeper\\..\\.\\New.cfg"), root + "sub\\New.cfg");
  EXPECT_EQ(ResolvedPath(dir / "missing\\New.cfg"), std::nullopt);
  const std::optional<FileStatus> folder = Status(root.substr(0, 3));  // the drive's root
  ASSERT_TRUE(folder.has_value());
  EXPECT_EQ(folder->kind, FileKind::kDirectory);
}

// ---- errors ------------------------------------------------------------------------------

TEST(WindowsErrors, SystemErrorsMapToTheTableLikeThePosixOnes) {
  EXPECT_EQ(TableCodeFor(ERROR_FILE_NOT_FOUND, "x"), 2);
  EXPECT_EQ(TableCodeFor(ERROR_PATH_NOT_FOUND, "x"), 3);
  EXPECT_EQ(TableCodeFor(ERROR_TOO_MANY_OPEN_FILES, "x"), 4);
  EXPECT_EQ(TableCodeFor(ERROR_ACCESS_DENIED, "x"), 5);
  EXPECT_EQ(TableCodeFor(kNotRegularFile, "x"), 5);
  EXPECT_EQ(TableCodeFor(ERROR_DISK_FULL, "x"), 101);
  EXPECT_EQ(TableCodeFor(ERROR_HANDLE_DISK_FULL, "x"), 101);
  EXPECT_EQ(TableCodeFor(ERROR_SHARING_VIOLATION, "x"), 0);  // "I/O error 32"
  EXPECT_TRUE(IsNotFound(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(IsNotFound(ERROR_ACCESS_DENIED));
}

TEST(WindowsErrors, OpeningReportsTheSystemsReason) {
  TempDir dir;
  InputFile input;
  EXPECT_EQ(input.Open(dir / "missing.cfg"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(input.Open(dir / "missing\\x.cfg"), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(input.Open(dir.Path()), kNotRegularFile);  // a folder
  EXPECT_EQ(input.Open("NUL"), kNotRegularFile);       // a device is never read
  EXPECT_FALSE(input.IsOpen());
}

// ---- the save --------------------------------------------------------------------------

TEST_F(WindowsSave, ANewFileIsMovedInPlaceAndNoTemporaryFileStays) {
  ErrorCode error = kNoError;
  ASSERT_EQ(Save(dir_ / "new.cfg", "one\r\n", error), FileSave::Step::kDone) << error;
  EXPECT_EQ(ReadFile(dir_ / "new.cfg"), "one\r\n");
  EXPECT_EQ(Names(), std::vector<std::string>{"new.cfg"});
  EXPECT_EQ(moveCalls, 1);
}

TEST_F(WindowsSave, AnExistingFileIsReplacedAndKeepsItsAttributes) {
  testing::WriteFile(dir_ / "old.cfg", "old text");
  ASSERT_TRUE(::SetFileAttributesW(WideFromAnsi(dir_ / "old.cfg").c_str(),
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  ErrorCode error = kNoError;
  ASSERT_EQ(Save(dir_ / "old.cfg", "new text", error), FileSave::Step::kDone) << error;
  EXPECT_EQ(ReadFile(dir_ / "old.cfg"), "new text");
  EXPECT_NE(Attributes(dir_ / "old.cfg") & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(Names(), std::vector<std::string>{"old.cfg"});
  EXPECT_EQ(replaceCalls, 1);  // and a move only where the system's replace failed (Wine)
}

TEST_F(WindowsSave, WhereReplaceFailsTheRenameTakesTheOldAttributesAlong) {
  windows::SetPlaceFunctions(RefusedReplace, CountedMove);
  testing::WriteFile(dir_ / "old.cfg", "old text");
  ASSERT_TRUE(::SetFileAttributesW(WideFromAnsi(dir_ / "old.cfg").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ErrorCode error = kNoError;
  ASSERT_EQ(Save(dir_ / "old.cfg", "new text", error), FileSave::Step::kDone) << error;
  EXPECT_EQ(replaceCalls, 1);
  EXPECT_EQ(moveCalls, 1);
  EXPECT_EQ(ReadFile(dir_ / "old.cfg"), "new text");
  EXPECT_NE(Attributes(dir_ / "old.cfg") & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_EQ(Names(), std::vector<std::string>{"old.cfg"});
}

TEST_F(WindowsSave, WhereReplaceAndRenameFailTheFileIsWrittenInPlace) {
  windows::SetPlaceFunctions(RefusedReplace, RefusedMove);
  testing::WriteFile(dir_ / "old.cfg", "a longer old text");
  ErrorCode error = kNoError;
  ASSERT_EQ(Save(dir_ / "old.cfg", "new", error), FileSave::Step::kDone) << error;
  EXPECT_EQ(ReadFile(dir_ / "old.cfg"), "new");  // the longer old text cut
  EXPECT_EQ(Names(), std::vector<std::string>{"old.cfg"});
  // Without an old file, the in-place write creates it.
  ASSERT_EQ(Save(dir_ / "fresh.cfg", "fresh", error), FileSave::Step::kDone) << error;
  EXPECT_EQ(ReadFile(dir_ / "fresh.cfg"), "fresh");
}

TEST_F(WindowsSave, AFailedWriteKeepsTheOldFileWhicheverWayItGoes) {
  testing::WriteFile(dir_ / "old.cfg", "old text");
  ErrorCode error = kNoError;
  writesLeft = 0;  // the temporary file's first write fails
  EXPECT_EQ(Save(dir_ / "old.cfg", "new text", error, FillingDisk), FileSave::Step::kWriteFailed);
  EXPECT_EQ(TableCodeFor(error, dir_ / "old.cfg"), 101);
  EXPECT_EQ(ReadFile(dir_ / "old.cfg"), "old text");
  EXPECT_EQ(Names(), std::vector<std::string>{"old.cfg"});
  EXPECT_EQ(replaceCalls + moveCalls, 0);

  // The temporary file written, then the in-place write fails: the old text is put back.
  windows::SetPlaceFunctions(RefusedReplace, RefusedMove);
  writesLeft = 1;
  EXPECT_EQ(Save(dir_ / "old.cfg", "new", error, FillingDisk), FileSave::Step::kWriteFailed);
  EXPECT_EQ(ReadFile(dir_ / "old.cfg"), "old text");
  EXPECT_EQ(Names(), std::vector<std::string>{"old.cfg"});
}

TEST_F(WindowsSave, AReadOnlyFileOrAFolderIsRefusedBeforeAnythingIsWritten) {
  testing::WriteFile(dir_ / "locked.cfg", "kept");
  ASSERT_TRUE(
      ::SetFileAttributesW(WideFromAnsi(dir_ / "locked.cfg").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(IsWritableFile(dir_ / "locked.cfg"));
  ErrorCode error = kNoError;
  EXPECT_NE(Save(dir_ / "locked.cfg", "new", error), FileSave::Step::kDone);
  EXPECT_EQ(TableCodeFor(error, dir_ / "locked.cfg"), 5);
  EXPECT_EQ(ReadFile(dir_ / "locked.cfg"), "kept");
  ::SetFileAttributesW(WideFromAnsi(dir_ / "locked.cfg").c_str(), FILE_ATTRIBUTE_NORMAL);

  ASSERT_TRUE(CreateDirectories(dir_ / "folder.cfg"));
  EXPECT_EQ(Save(dir_ / "folder.cfg", "new", error), FileSave::Step::kPlaceFailed);
  EXPECT_EQ(error, kNotRegularFile);
  EXPECT_EQ(Save(dir_ / "missing\\x.cfg", "new", error), FileSave::Step::kPlaceFailed);
  EXPECT_EQ(TableCodeFor(error, dir_ / "missing\\x.cfg"), 3);
  EXPECT_EQ(Names(), (std::vector<std::string>{"folder.cfg", "locked.cfg"}));
}

TEST_F(WindowsSave, AFileOfSeveralNamesIsWrittenInPlaceSoThatEveryNameSeesTheText) {
  testing::WriteFile(dir_ / "a.cfg", "old");
  ASSERT_TRUE(::CreateHardLinkW(WideFromAnsi(dir_ / "b.cfg").c_str(),
                                WideFromAnsi(dir_ / "a.cfg").c_str(), nullptr));
  FileSave save;
  ASSERT_EQ(save.Begin(dir_ / "a.cfg"), kNoError);
  EXPECT_TRUE(save.InPlace());
  ASSERT_EQ(save.Write("new", 3), kNoError);
  EXPECT_EQ(ReadFile(dir_ / "a.cfg"), "old");  // untouched before the commit
  ErrorCode error = kNoError;
  ASSERT_EQ(save.Commit(error), FileSave::Step::kDone) << error;
  EXPECT_EQ(ReadFile(dir_ / "b.cfg"), "new");
}

TEST_F(WindowsSave, AnUncommittedSaveLeavesNothing) {
  testing::WriteFile(dir_ / "old.cfg", "old");
  {
    FileSave save;
    ASSERT_EQ(save.Begin(dir_ / "old.cfg"), kNoError);
    ASSERT_EQ(save.Write("new", 3), kNoError);
  }
  EXPECT_EQ(ReadFile(dir_ / "old.cfg"), "old");
  EXPECT_EQ(Names(), std::vector<std::string>{"old.cfg"});
}

TEST_F(WindowsSave, KilledWritersTemporaryFilesAreCleanedOthersKept) {
  const std::string own = ".tavrilo-" + std::to_string(::GetCurrentProcessId()) + "-abcdefgh.tmp";
  for (const std::string& name :
       {std::string(".tavrilo-4000000000-abcdefgh.tmp"), own, std::string(".tavrilo-x.tmp")})
    testing::WriteFile(dir_ / name, "left");
  CleanFolder(dir_.Path());
  std::vector<std::string> kept = {".tavrilo-x.tmp", own};
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(Names(), kept);
}

// ---- status, folders, places ---------------------------------------------------------------

TEST(WindowsStatus, SizeDateAndKindOfFilesAndFolders) {
  TempDir dir;
  testing::WriteFile(dir / "a.cfg", "12345");
  ASSERT_TRUE(CreateDirectories(dir / "sub"));
  // 2001-09-09 01:46:40 UTC, 1,000,000,000 seconds after 1970.
  const HANDLE file = ::CreateFileW(WideFromAnsi(dir / "a.cfg").c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const ULONGLONG ticks = 1'000'000'000ULL * 10'000'000ULL + 116'444'736'000'000'000ULL;
  FILETIME time{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
  ASSERT_TRUE(::SetFileTime(file, nullptr, nullptr, &time));
  ::CloseHandle(file);

  const std::optional<FileStatus> status = Status(dir / "a.cfg");
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(status->kind, FileKind::kRegular);
  EXPECT_EQ(status->size, 5u);
  EXPECT_EQ(status->modified, 1'000'000'000);
  EXPECT_EQ(Status(dir / "sub")->kind, FileKind::kDirectory);
  EXPECT_EQ(Status(dir / "none"), std::nullopt);

  std::vector<DirectoryEntry> entries = ListDirectory(dir.Path()).value();
  std::sort(entries.begin(), entries.end(),
            [](const DirectoryEntry& x, const DirectoryEntry& y) { return x.name < y.name; });
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "a.cfg");
  EXPECT_FALSE(entries[0].directory);
  EXPECT_EQ(entries[1].name, "sub");
  EXPECT_TRUE(entries[1].directory);
  EXPECT_EQ(ListDirectory(dir / "none"), std::nullopt);
}

// The game may hold its configuration open without sharing it: the file still has its
// status and its folder's listing, and a save of it is refused, not half done.
TEST(WindowsStatus, AFileHeldWithoutSharingKeepsItsStatusAndRefusesASave) {
  TempDir dir;
  testing::WriteFile(dir / "config.cfg", "held");
  const HANDLE held = ::CreateFileW(WideFromAnsi(dir / "config.cfg").c_str(), GENERIC_READ, 0,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::optional<FileStatus> status = Status(dir / "config.cfg");
  InputFile input;
  const ErrorCode readError = input.Open(dir / "config.cfg");
  FileSave save;
  const ErrorCode saveError = save.Begin(dir / "config.cfg");
  ::CloseHandle(held);

  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(status->kind, FileKind::kRegular);
  EXPECT_EQ(status->size, 4u);
  EXPECT_EQ(readError, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(TableCodeFor(readError, dir / "config.cfg"), 0);  // "I/O error 32"
  EXPECT_EQ(saveError, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(testing::ReadFile(dir / "config.cfg"), "held");
}

TEST(WindowsStatus, LocalTimeFollowsTheSystemsTimeZone) {
  const std::int64_t seconds = 1'000'000'000;
  FILETIME utc{};
  const ULONGLONG ticks =
      static_cast<ULONGLONG>(seconds) * 10'000'000ULL + 116'444'736'000'000'000ULL;
  utc.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
  utc.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  SYSTEMTIME utcTime{};
  SYSTEMTIME local{};
  ASSERT_TRUE(::FileTimeToSystemTime(&utc, &utcTime));
  ASSERT_TRUE(::SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &local));
  const LocalDateTime expected{local.wYear, local.wMonth,  local.wDay,
                               local.wHour, local.wMinute, local.wSecond};
  EXPECT_EQ(ToLocalDateTime(seconds), expected);
  EXPECT_EQ(ToLocalDateTime(seconds).year, 2001);
}

TEST(WindowsPlaces, TheProgramsFolderAndTheUsersFolders) {
  const std::string app = ApplicationDirectory();
  ASSERT_FALSE(app.empty());
  EXPECT_EQ(app.back(), '\\');
  EXPECT_EQ(app.substr(1, 2), ":\\");
  EXPECT_TRUE(Status(app + "windows_tests.exe").has_value());

  const std::string config = UserConfigFolder();
  wchar_t appData[MAX_PATH];
  ASSERT_GT(::GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH), 0u);
  EXPECT_EQ(config, AnsiFromWide(appData).value() + "\\");
  EXPECT_EQ(HomeFolder().back(), '\\');

  TempDir dir;
  EXPECT_TRUE(IsWritableDirectory(dir.Path()));
  EXPECT_FALSE(IsWritableDirectory(dir / "missing\\"));
  EXPECT_EQ(ListDirectory(dir.Path())->size(), 0u);  // the probe leaves nothing
}

}  // namespace
}  // namespace tavrilo::platform
