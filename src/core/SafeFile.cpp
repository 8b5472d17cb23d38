// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SafeFile.h"

#include "core/Backup.h"
#include "core/FileError.h"
#include "core/Paths.h"
#include "core/WholeFile.h"

namespace tavrilo {

SafeFileWriter::SafeFileWriter(const std::string& path, WriteFunction write) : path_(path) {
  if (const platform::ErrorCode error = save_.Begin(path, write)) throw FileError(error, path_);
}

SafeFileWriter::~SafeFileWriter() = default;

void SafeFileWriter::Write(std::string_view data) {
  if (const platform::ErrorCode error = save_.Write(data.data(), data.size()))
    throw FileError(error, path_);
}

void SafeFileWriter::Commit() {
  platform::ErrorCode error = platform::kNoError;
  if (save_.Commit(error) != platform::FileSave::Step::kDone) throw FileError(error, path_);
  committed_ = true;
}

namespace {

// A backup holds the old and the new text of a file read whole.
constexpr std::uint64_t kMaxBackupSize = 2 * kMaxWholeFileSize + (std::uint64_t{1} << 16);

enum class Outcome { kTorn, kSettled, kUnknown };

// What became of the save whose backup is `backup`; `record` and `bytes` are filled.
Outcome Judge(const std::string& backup, std::string& bytes, std::optional<BackupRecord>& record) {
  if (ReadWholeFile(backup, bytes, kMaxBackupSize) != 0) return Outcome::kUnknown;
  record = DecodeBackup(bytes);
  // Not a backup of this version: left alone.
  if (!record) return Outcome::kUnknown;
  const std::optional<platform::FileStatus> status = platform::Status(record->file);
  std::string current;
  const int error = ReadWholeFile(record->file, current);
  if (error != 0) return platform::IsNotFound(error) ? Outcome::kSettled : Outcome::kUnknown;
  if (!status) return Outcome::kUnknown;
  return JudgeBackup(*record, *status, current) == BackupVerdict::kTorn ? Outcome::kTorn
                                                                        : Outcome::kSettled;
}

// The interrupted saves among the backups of `folder` whose file `keep` accepts; the
// backups of settled saves go.
template <typename Keep>
std::vector<InterruptedSave> Settle(const std::string& folder, Keep&& keep) {
  std::vector<InterruptedSave> found;
  for (const std::string& backup : platform::LeftBackups(folder)) {
    std::string bytes;
    std::optional<BackupRecord> record;
    const Outcome outcome = Judge(backup, bytes, record);
    if (outcome == Outcome::kUnknown || !keep(*record)) continue;
    if (outcome == Outcome::kTorn) {
      found.push_back({record->file, backup});
    } else {
      (void)platform::RemoveFile(backup);
    }
  }
  return found;
}

std::optional<std::string> ResolvedFolder(const std::string& folder) {
  std::string named = folder.empty() ? std::string(".") : folder;
  if (named.back() != kPathSeparator && named.back() != '/') named += kPathSeparator;
  return platform::ResolvedPath(named);
}

}  // namespace

std::vector<InterruptedSave> FindInterruptedSaves(const std::string& folder, bool anyFile) {
  const std::optional<std::string> here = ResolvedFolder(folder);
  return Settle(folder, [&](const BackupRecord& record) {
    return anyFile || (here && ResolvedFolder(DirectoryPart(record.file)) == here);
  });
}

std::optional<InterruptedSave> FindInterruptedSave(const std::string& path) {
  const std::optional<std::string> file = platform::ResolvedPath(path);
  if (!file) return std::nullopt;
  const std::optional<platform::FileStatus> status = platform::Status(*file);
  // The file under this name, or under another of its hard links.
  auto isThisFile = [&](const BackupRecord& record) {
    return record.file == *file ||
           (status && status->device == record.device && status->index == record.index);
  };
  for (const std::string& folder : {DirectoryPart(*file), platform::BackupFolder()}) {
    std::vector<InterruptedSave> found = Settle(folder, isThisFile);
    if (!found.empty()) return found.front();
  }
  return std::nullopt;
}

bool RestoreInterruptedSave(const InterruptedSave& save) {
  std::string bytes;
  std::optional<BackupRecord> record;
  const Outcome outcome = Judge(save.backup, bytes, record);
  if (outcome == Outcome::kUnknown) return false;
  if (outcome == Outcome::kSettled) {
    (void)platform::RemoveFile(save.backup);
    return false;
  }
  SafeFileWriter writer(record->file);
  writer.Write(record->oldText);
  writer.Commit();
  (void)platform::RemoveFile(save.backup);
  return true;
}

void KeepAfterInterruptedSave(const InterruptedSave& save) {
  (void)platform::RemoveFile(save.backup);
}

}  // namespace tavrilo
