// SPDX-License-Identifier: GPL-3.0-or-later
// A file's date on Windows: the local time of its last write as the system's time zone
// gives it, rounded down to an even second, and the directory bit of its attributes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "core/PlatformWindows.h"
#include "install/FileUtilities.h"

namespace tavrilo {
namespace {

using platform::windows::WideFromAnsi;
using testing::TempDir;
using testing::WriteFile;

constexpr ULONGLONG kTicksPerSecond = 10'000'000;
constexpr ULONGLONG kEpochTicks = 116'444'736'000'000'000;  // 1970 in 100 ns since 1601

// Gives `path` the last-write time `seconds` (since 1970, UTC) plus `ticks` of 100 ns.
void SetLastWrite(const std::string& path, long long seconds, ULONGLONG ticks = 0) {
  const HANDLE file = ::CreateFileW(WideFromAnsi(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const ULONGLONG value = static_cast<ULONGLONG>(seconds) * kTicksPerSecond + kEpochTicks + ticks;
  const FILETIME time{static_cast<DWORD>(value & 0xFFFFFFFF), static_cast<DWORD>(value >> 32)};
  EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &time));
  ::CloseHandle(file);
}

// The local date and time of `seconds` as the system's time zone gives it.
FileDateTime SystemsLocal(long long seconds) {
  const ULONGLONG value = static_cast<ULONGLONG>(seconds) * kTicksPerSecond + kEpochTicks;
  const FILETIME time{static_cast<DWORD>(value & 0xFFFFFFFF), static_cast<DWORD>(value >> 32)};
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  ::FileTimeToSystemTime(&time, &utc);
  ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
  return FileDateTime{local.wYear, local.wMonth,  local.wDay,
                      local.wHour, local.wMinute, local.wSecond};
}

TEST(WindowsFileDate, TheSystemsLocalTimeRoundedDownToAnEvenSecond) {
  TempDir dir;
  const std::string file = dir / "Alias.cfg";
  WriteFile(file, "x");
  // 2024-03-10 10:20:31.789 and :30.999 UTC, then a winter and a summer date.
  for (const long long seconds : {1710066031LL, 1710066030LL, 1704067201LL, 1719835210LL}) {
    SetLastWrite(file, seconds, 7'890'000);
    FileDateTime expected = SystemsLocal(seconds);
    expected.second -= expected.second % 2;
    EXPECT_EQ(FileModificationDate(file), expected) << seconds;
  }
  EXPECT_FALSE(FileModificationDate(dir / "missing.cfg"));
  EXPECT_FALSE(FileModificationDate(dir / "Alias.cfg\\under"));
}

TEST(WindowsFileDate, OnlyAFolderIsADirectory) {
  TempDir dir;
  WriteFile(dir / "Alias.cfg", "x");
  ASSERT_TRUE(::CreateDirectoryW(WideFromAnsi(dir / "Baseq2").c_str(), nullptr));
  EXPECT_TRUE(IsDirectory(dir / "Baseq2"));
  EXPECT_TRUE(IsDirectory(dir / "Baseq2\\"));
  EXPECT_TRUE(IsDirectory(dir / "BASEQ2"));  // any letter case
  EXPECT_FALSE(IsDirectory(dir / "Alias.cfg"));
  EXPECT_FALSE(IsDirectory(dir / "missing"));
}

}  // namespace
}  // namespace tavrilo
