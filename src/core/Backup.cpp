// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Backup.h"

#include <algorithm>
#include <charconv>

namespace tavrilo {

namespace {

constexpr std::string_view kMagic = "TAVRILO-BACKUP 2\n";

// Reads one decimal number and the byte after it (`end`) from the start of `text`.
template <typename Number>
bool TakeNumber(std::string_view& text, Number& number, char end) {
  const auto [after, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || after == text.data() + text.size() || *after != end) return false;
  text.remove_prefix(static_cast<std::size_t>(after - text.data()) + 1);
  return true;
}

// Whether `current` is the start of `newText` written over `oldText`: the first k bytes of
// the new text (for some k), then the old text from k on, as a save in place killed after
// writing k bytes leaves it. Where the save first gives the file its new size (on Windows),
// the old text ends with zero bytes up to that size.
bool IsTorn(std::string_view current, std::string_view oldText, std::string_view newText) {
  if (current.size() > oldText.size() && current.size() <= newText.size() &&
      newText.starts_with(current)) {
    return true;
  }
  if (current.size() != oldText.size() &&
      (current.size() != newText.size() || newText.size() < oldText.size())) {
    return false;
  }
  auto oldAt = [&](std::size_t i) { return i < oldText.size() ? oldText[i] : '\0'; };
  // The longest start shared with the new text, and the shortest end shared with the old.
  std::size_t shared = 0;
  const std::size_t most = std::min(current.size(), newText.size());
  while (shared < most && current[shared] == newText[shared])
    ++shared;
  std::size_t oldFrom = current.size();
  while (oldFrom > 0 && current[oldFrom - 1] == oldAt(oldFrom - 1))
    --oldFrom;
  return oldFrom <= shared;
}

}  // namespace

std::string EncodeBackup(const std::string& file, const platform::FileStatus& status,
                         std::string_view oldText, std::string_view newText) {
  std::string bytes(kMagic);
  bytes += file;
  bytes += '\0';
  bytes += std::to_string(status.device) + ' ' + std::to_string(status.index) + ' ' +
           std::to_string(status.modified) + ' ' + std::to_string(oldText.size()) + ' ' +
           std::to_string(newText.size()) + '\n';
  bytes.reserve(bytes.size() + oldText.size() + newText.size());
  bytes += oldText;
  bytes += newText;
  return bytes;
}

std::optional<BackupRecord> DecodeBackup(std::string_view bytes) {
  if (!bytes.starts_with(kMagic)) return std::nullopt;
  bytes.remove_prefix(kMagic.size());
  const std::size_t zero = bytes.find('\0');
  if (zero == std::string_view::npos || zero == 0) return std::nullopt;
  BackupRecord record;
  record.file = std::string(bytes.substr(0, zero));
  bytes.remove_prefix(zero + 1);
  std::size_t oldSize = 0;
  std::size_t newSize = 0;
  if (!TakeNumber(bytes, record.device, ' ') || !TakeNumber(bytes, record.index, ' ') ||
      !TakeNumber(bytes, record.modified, ' ') || !TakeNumber(bytes, oldSize, ' ') ||
      !TakeNumber(bytes, newSize, '\n') || oldSize > bytes.size() ||
      newSize != bytes.size() - oldSize) {
    return std::nullopt;
  }
  record.oldText = bytes.substr(0, oldSize);
  record.newText = bytes.substr(oldSize);
  return record;
}

BackupVerdict JudgeBackup(const BackupRecord& record, const platform::FileStatus& status,
                          std::string_view current) {
  if (status.kind != platform::FileKind::kRegular || status.device != record.device ||
      status.index != record.index || status.modified < record.modified) {
    return BackupVerdict::kChangedSince;
  }
  if (current == record.oldText) return BackupVerdict::kUntouched;
  if (current == record.newText) return BackupVerdict::kComplete;
  return IsTorn(current, record.oldText, record.newText) ? BackupVerdict::kTorn
                                                         : BackupVerdict::kChangedSince;
}

}  // namespace tavrilo
