// SPDX-License-Identifier: GPL-3.0-or-later
// What a backup of a save in place records, and the verdict on its file.
#include "core/Backup.h"

#include <gtest/gtest.h>

#include <string>

namespace tavrilo {
namespace {

platform::FileStatus StatusOf(std::uint64_t index, std::int64_t modified) {
  platform::FileStatus status;
  status.kind = platform::FileKind::kRegular;
  status.device = 7;
  status.index = index;
  status.modified = modified;
  return status;
}

TEST(Backup, RecordsTheFileAndBothTexts) {
  const std::string bytes =
      EncodeBackup("/games/q2/\n odd name.cfg", StatusOf(42, 1000), std::string("o\0ld", 4), "new");
  const std::optional<BackupRecord> record = DecodeBackup(bytes);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->file, "/games/q2/\n odd name.cfg");
  EXPECT_EQ(record->index, 42u);
  EXPECT_EQ(record->modified, 1000);
  EXPECT_EQ(record->oldText, std::string("o\0ld", 4));
  EXPECT_EQ(record->newText, "new");
  // Cut short, or of an earlier version: no backup.
  EXPECT_FALSE(DecodeBackup(bytes.substr(0, bytes.size() - 1)));
  EXPECT_FALSE(DecodeBackup(std::string("/games/q2/x.cfg\0old", 19)));
}

TEST(Backup, OnlyAFileHoldingWhatTheKilledSaveWroteIsTorn) {
  const std::string old = "abcdefgh";
  const std::string longer = "ABCDEFGHIJKL";
  const std::string shorter = "ABC";
  auto verdict = [&](const std::string& text, const std::string& current, std::uint64_t index = 42,
                     std::int64_t modified = 1000) {
    const std::string bytes = EncodeBackup("/x.cfg", StatusOf(42, 1000), old, text);
    return JudgeBackup(*DecodeBackup(bytes), StatusOf(index, modified), current);
  };
  EXPECT_EQ(verdict(longer, old), BackupVerdict::kUntouched);
  EXPECT_EQ(verdict(longer, longer), BackupVerdict::kComplete);
  EXPECT_EQ(verdict(longer, "ABCdefgh", 42, 1005), BackupVerdict::kTorn);
  EXPECT_EQ(verdict(longer, "ABCDEFGHIJ"), BackupVerdict::kTorn);  // grown past the old end
  // Windows gives the file its new size first: the old text ends with zero bytes.
  EXPECT_EQ(verdict(longer, std::string("ABCDefgh\0\0\0\0", 12)), BackupVerdict::kTorn);
  EXPECT_EQ(verdict(shorter, "ABCdefgh"), BackupVerdict::kTorn);  // not truncated yet
  EXPECT_EQ(verdict(longer, "ABCdeXgh"), BackupVerdict::kChangedSince);
  EXPECT_EQ(verdict(longer, "repaired"), BackupVerdict::kChangedSince);
  EXPECT_EQ(verdict(shorter, "AB"), BackupVerdict::kChangedSince);
  EXPECT_EQ(verdict(longer, "ABCdefgh", 43), BackupVerdict::kChangedSince);  // another file
  EXPECT_EQ(verdict(longer, "ABCdefgh", 42, 999), BackupVerdict::kChangedSince);
}

}  // namespace
}  // namespace tavrilo
