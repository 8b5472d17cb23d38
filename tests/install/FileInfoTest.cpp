#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <filesystem>
#include <optional>
#include <string>

#include "InstallTestSupport.h"
#include "TestSupport.h"
#include "install/FmxUtils.h"

namespace tavrilo {
namespace {

using testing::ScopedTimeZone;
using testing::SetModificationTime;
using testing::TempDir;
using testing::WriteFile;

// ---------------------------------------------------------------------------------------
// FileHasAttributes

TEST(FileHasAttributesTest, OnlyADirectoryHasTheDirectoryBit) {
  TempDir dir;
  WriteFile(dir / "file.cfg", "x");
  std::filesystem::create_directory(dir / "Baseq2");

  EXPECT_FALSE(FileHasAttributes(dir / "file.cfg", kFaDirectory));
  EXPECT_TRUE(FileHasAttributes(dir / "file.cfg", 0));
  EXPECT_TRUE(FileHasAttributes(dir / "Baseq2", kFaDirectory));
  EXPECT_TRUE(FileHasAttributes(dir / "Baseq2/", kFaDirectory));
}

TEST(FileHasAttributesTest, LinksAreFollowed) {
  TempDir dir;
  std::filesystem::create_directory(dir / "real");
  std::filesystem::create_directory_symlink(dir / "real", dir / "link");
  EXPECT_TRUE(FileHasAttributes(dir / "link", kFaDirectory));
}

TEST(FileHasAttributesTest, EveryBitOfTheMaskMustBeSet) {
  TempDir dir;
  std::filesystem::create_directory(dir / "Baseq2");
  EXPECT_FALSE(FileHasAttributes(dir / "Baseq2", kFaDirectory | 0x01));
  EXPECT_FALSE(FileHasAttributes(dir / "Baseq2", 0xFFFF));
}

TEST(FileHasAttributesTest, ANameThatCannotBeExaminedHasNoAttributes) {
  TempDir dir;
  WriteFile(dir / "plain", "x");
  for (const std::string& name :
       {dir / "missing", dir / "missing/", dir / "plain/under", dir / std::string(300, 'n')}) {
    EXPECT_FALSE(FileHasAttributes(name, kFaDirectory)) << name;
    EXPECT_FALSE(FileHasAttributes(name, 0)) << name;
  }
}

// ---------------------------------------------------------------------------------------
// FileModificationDate

// Seconds since the epoch of a UTC date and time.
long long Utc(int year, int month, int day, int hour, int minute, int second) {
  return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC)
      .toSecsSinceEpoch();
}

// A zone 5 h 45 min ahead of UTC: a local time that is UTC or a whole number of hours
// away from it shows.
constexpr const char* kZone = "XST-5:45";
constexpr long long kZoneOffset = 5 * 3600 + 45 * 60;

class FileModificationDateTest : public ::testing::Test {
 protected:
  // The date of a file last written at `seconds` since the epoch (plus `nanoseconds`).
  std::optional<QDateTime> DateOfFileWrittenAt(long long seconds, long nanoseconds = 0) {
    WriteFile(file_, "x");
    SetModificationTime(file_, seconds, nanoseconds);
    return FileModificationDate(file_);
  }

  TempDir dir_;
  std::string file_ = dir_ / "file.cfg";
};

TEST_F(FileModificationDateTest, IsTheLocalTimeRoundedDownToTwoSeconds) {
  const ScopedTimeZone zone(kZone);

  const auto odd = DateOfFileWrittenAt(Utc(2024, 3, 10, 10, 20, 31), 789000000);
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->timeSpec(), Qt::LocalTime);
  EXPECT_EQ(odd->date(), QDate(2024, 3, 10));
  EXPECT_EQ(odd->time(), QTime(16, 5, 30));  // 10:20:31.789 UTC is 16:05:31.789 here
  EXPECT_EQ(odd->toSecsSinceEpoch(), Utc(2024, 3, 10, 10, 20, 30));

  const auto even = DateOfFileWrittenAt(Utc(2024, 3, 10, 10, 20, 30), 999000000);
  ASSERT_TRUE(even);
  EXPECT_EQ(even->time(), QTime(16, 5, 30));
  EXPECT_EQ(even->time().msec(), 0);
}

TEST_F(FileModificationDateTest, TheDateIsTheLocalOne) {
  const ScopedTimeZone zone(kZone);
  const auto date = DateOfFileWrittenAt(Utc(2024, 12, 31, 20, 0, 1));
  ASSERT_TRUE(date);
  EXPECT_EQ(date->date(), QDate(2025, 1, 1));
  EXPECT_EQ(date->time(), QTime(1, 45, 0));
}

TEST_F(FileModificationDateTest, TheTwoSecondStepIsTakenOnTheLocalClock) {
  // One second ahead of UTC: an even UTC second is an odd local one.
  const ScopedTimeZone zone("ODD-0:00:01");
  const auto date = DateOfFileWrittenAt(Utc(2024, 6, 1, 12, 0, 10));
  ASSERT_TRUE(date);
  EXPECT_EQ(date->time(), QTime(12, 0, 10));
  EXPECT_EQ(date->toSecsSinceEpoch(), Utc(2024, 6, 1, 12, 0, 9));
}

TEST_F(FileModificationDateTest, YearsOutsideThePackedRangeAreReturnedAsTheyAre) {
  const ScopedTimeZone zone(kZone);
  const struct {
    QDate date;
    QTime written;
    QTime expected;
  } cases[] = {
      {QDate(1970, 6, 15), QTime(8, 9, 11), QTime(8, 9, 10)},
      {QDate(1979, 12, 31), QTime(23, 59, 59), QTime(23, 59, 58)},
      {QDate(1980, 1, 1), QTime(0, 0, 1), QTime(0, 0, 0)},
      {QDate(2107, 12, 31), QTime(23, 59, 59), QTime(23, 59, 58)},
      {QDate(2108, 1, 1), QTime(0, 0, 1), QTime(0, 0, 0)},
      {QDate(2150, 7, 4), QTime(13, 14, 15), QTime(13, 14, 14)},
  };
  for (const auto& c : cases) {
    const long long local = QDateTime(c.date, c.written, Qt::UTC).toSecsSinceEpoch();
    const auto date = DateOfFileWrittenAt(local - kZoneOffset);
    ASSERT_TRUE(date) << c.date.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(date->date(), c.date) << date->toString(Qt::ISODate).toStdString();
    EXPECT_EQ(date->time(), c.expected) << date->toString(Qt::ISODate).toStdString();
  }
}

TEST_F(FileModificationDateTest, AMissingFileHasNoDate) {
  WriteFile(dir_ / "plain", "x");
  EXPECT_FALSE(FileModificationDate(dir_ / "missing.cfg"));
  EXPECT_FALSE(FileModificationDate(dir_ / "plain/under"));
}

}  // namespace
}  // namespace tavrilo
