// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "InstallTestSupport.h"
#include "TestSupport.h"
#include "install/FileUtilities.h"

namespace tavrilo {
namespace {

using testing::ScopedTimeZone;
using testing::SetModificationTime;
using testing::TempDir;
using testing::WriteFile;

// ---------------------------------------------------------------------------------------
// IsDirectory

TEST(IsDirectoryTest, OnlyADirectoryIsOne) {
  TempDir dir;
  WriteFile(dir / "file.cfg", "x");
  std::filesystem::create_directory(dir / "Baseq2");

  EXPECT_FALSE(IsDirectory(dir / "file.cfg"));
  EXPECT_TRUE(IsDirectory(dir / "Baseq2"));
  EXPECT_TRUE(IsDirectory(dir / "Baseq2/"));
}

TEST(IsDirectoryTest, LinksAreFollowed) {
  TempDir dir;
  std::filesystem::create_directory(dir / "real");
  std::filesystem::create_directory_symlink(dir / "real", dir / "link");
  EXPECT_TRUE(IsDirectory(dir / "link"));
}

TEST(IsDirectoryTest, ANameThatCannotBeExaminedIsNoDirectory) {
  TempDir dir;
  WriteFile(dir / "plain", "x");
  for (const std::string& name :
       {dir / "missing", dir / "missing/", dir / "plain/under", dir / std::string(300, 'n')}) {
    EXPECT_FALSE(IsDirectory(name)) << name;
  }
}

// ---------------------------------------------------------------------------------------
// FileModificationDate

// Seconds since the epoch of a UTC date and time.
long long Utc(int year, int month, int day, int hour, int minute, int second) {
  struct tm utc {};
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
  utc.tm_mday = day;
  utc.tm_hour = hour;
  utc.tm_min = minute;
  utc.tm_sec = second;
  return static_cast<long long>(::timegm(&utc));
}

FileDateTime Local(int year, int month, int day, int hour, int minute, int second) {
  return FileDateTime{year, month, day, hour, minute, second};
}

// A zone 5 h 45 min ahead of UTC: a local time that is UTC or a whole number of hours
// away from it shows.
constexpr const char* kZone = "XST-5:45";
constexpr long long kZoneOffset = 5 * 3600 + 45 * 60;

class FileModificationDateTest : public ::testing::Test {
 protected:
  // The date of a file last written at `seconds` since the epoch (plus `nanoseconds`).
  std::optional<FileDateTime> DateOfFileWrittenAt(long long seconds, long nanoseconds = 0) {
    WriteFile(file_, "x");
    SetModificationTime(file_, seconds, nanoseconds);
    return FileModificationDate(file_);
  }

  TempDir dir_;
  std::string file_ = dir_ / "file.cfg";
};

TEST_F(FileModificationDateTest, IsTheLocalTimeRoundedDownToTwoSeconds) {
  const ScopedTimeZone zone(kZone);
  // 10:20:31.789 UTC is 16:05:31.789 here.
  EXPECT_EQ(DateOfFileWrittenAt(Utc(2024, 3, 10, 10, 20, 31), 789000000),
            Local(2024, 3, 10, 16, 5, 30));
  EXPECT_EQ(DateOfFileWrittenAt(Utc(2024, 3, 10, 10, 20, 30), 999000000),
            Local(2024, 3, 10, 16, 5, 30));
}

TEST_F(FileModificationDateTest, TheDateIsTheLocalOne) {
  const ScopedTimeZone zone(kZone);
  EXPECT_EQ(DateOfFileWrittenAt(Utc(2024, 12, 31, 20, 0, 1)), Local(2025, 1, 1, 1, 45, 0));
}

TEST_F(FileModificationDateTest, TheTwoSecondStepIsTakenOnTheLocalClock) {
  // One second ahead of UTC: an even UTC second is an odd local one.
  const ScopedTimeZone zone("ODD-0:00:01");
  EXPECT_EQ(DateOfFileWrittenAt(Utc(2024, 6, 1, 12, 0, 10)), Local(2024, 6, 1, 12, 0, 10));
  EXPECT_EQ(DateOfFileWrittenAt(Utc(2024, 6, 1, 12, 0, 9)), Local(2024, 6, 1, 12, 0, 10));
}

TEST_F(FileModificationDateTest, YearsOutsideThePackedRangeAreReturnedAsTheyAre) {
  const ScopedTimeZone zone(kZone);
  const struct {
    FileDateTime written;
    int expectedSecond;
  } cases[] = {
      {Local(1970, 6, 15, 8, 9, 11), 10}, {Local(1979, 12, 31, 23, 59, 59), 58},
      {Local(1980, 1, 1, 0, 0, 1), 0},    {Local(2107, 12, 31, 23, 59, 59), 58},
      {Local(2108, 1, 1, 0, 0, 1), 0},    {Local(2150, 7, 4, 13, 14, 15), 14},
  };
  for (const auto& c : cases) {
    const FileDateTime& w = c.written;
    FileDateTime expected = w;
    expected.second = c.expectedSecond;
    EXPECT_EQ(
        DateOfFileWrittenAt(Utc(w.year, w.month, w.day, w.hour, w.minute, w.second) - kZoneOffset),
        expected)
        << w.year;
  }
}

TEST_F(FileModificationDateTest, AMissingFileHasNoDate) {
  WriteFile(dir_ / "plain", "x");
  EXPECT_FALSE(FileModificationDate(dir_ / "missing.cfg"));
  EXPECT_FALSE(FileModificationDate(dir_ / "plain/under"));
}

}  // namespace
}  // namespace tavrilo
