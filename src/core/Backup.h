// SPDX-License-Identifier: GPL-3.0-or-later
// The backup that a save in place writes before it touches the file (core/SafeFile.h):
// what it holds, and what a backup left by a killed save says about its file now.
//
// A backup holds a first line "TAVRILO-BACKUP 2", the file's absolute path and a zero
// byte, a line of numbers (the file's device and number, its size and time of last write
// before the save, the size of the new text), then the old text and the new text. With
// both texts the file can be judged byte for byte: a save killed part way leaves the start
// of the new text over the old one, and a file that holds anything else was changed
// after the save.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/Platform.h"

namespace tavrilo {

struct BackupRecord {
  std::string file;          // absolute path of the file saved in place
  std::uint64_t device = 0;  // its identity when the save began
  std::uint64_t index = 0;
  std::int64_t modified = 0;  // its time of last write before the save
  std::string_view oldText;   // its text before the save
  std::string_view newText;   // the text the save was writing
};

// The bytes of a backup of `file` (absolute), whose status before the save is `status`.
std::string EncodeBackup(const std::string& file, const platform::FileStatus& status,
                         std::string_view oldText, std::string_view newText);

// The record in `bytes` (which must outlive it); std::nullopt when they are no backup.
std::optional<BackupRecord> DecodeBackup(std::string_view bytes);

// What the file of a backup holds now.
enum class BackupVerdict {
  kUntouched,     // its old text: the save was killed before it wrote (the backup is useless)
  kComplete,      // the whole new text: the save was killed just before it removed the backup
  kTorn,          // the start of the new text, then the rest of the old: the backup is needed
  kChangedSince,  // anything else, or another file under the name: never written over
};

// The verdict on the file whose status is `status` and whose bytes are `current`.
BackupVerdict JudgeBackup(const BackupRecord& record, const platform::FileStatus& status,
                          std::string_view current);

}  // namespace tavrilo
