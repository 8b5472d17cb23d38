// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Locations.h"

#include <filesystem>
#include <system_error>

#include "core/Errors.h"
#include "core/Paths.h"
#include "core/Platform.h"
#include "core/SafeFile.h"
#include "core/WholeFile.h"

namespace tavrilo {

namespace {

namespace fs = std::filesystem;

bool IsDirectory(const std::string& path) {
  const std::optional<platform::FileStatus> status = platform::Status(path);
  return status && status->kind == platform::FileKind::kDirectory;
}

bool Exists(const std::string& path) {
  return platform::LinkStatus(path).has_value();
}

std::string WithSeparator(std::string folder) {
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

bool IsInstalledDataRoot(const std::string& dataRoot) {
  constexpr std::string_view kShareFolder = "/share/tavrilo/";
  return WithSeparator(dataRoot).ends_with(kShareFolder);
}

std::string ShippedSettings(const std::string& dataRoot) {
  return dataRoot + std::string(kSettingsFile);
}

std::string UserSettings() {
  return UserSettingsFolder() + std::string(kUserSettingsFile);
}

// Makes `userSettings` a copy of `shipped`.
void CopyShippedSettings(const std::string& shipped, const std::string& userSettings) {
  std::string bytes;
  if (ReadWholeFile(shipped, bytes) != 0) throw SettingWriteError(userSettings);
  try {
    SafeFileWriter writer(userSettings);
    writer.Write(bytes);
    writer.Commit();
  } catch (const Error&) {
    throw SettingWriteError(userSettings);
  }
}

}  // namespace

std::string DataRootFor(const std::string& applicationDirectory) {
  if (IsDirectory(applicationDirectory + "data")) return applicationDirectory;
  const std::string installed =
      fs::path(applicationDirectory + std::string(kInstalledDataRoot)).lexically_normal().string();
  if (IsDirectory(installed + "data")) return WithSeparator(installed);
  return applicationDirectory;
}

std::string DataRoot() {
  return DataRootFor(ApplicationDirectory());
}

bool SettingsBesideData(const std::string& dataRoot) {
  const std::string data = dataRoot + "data";
  return !IsInstalledDataRoot(dataRoot) &&
         (!IsDirectory(data) || platform::IsWritableDirectory(data));
}

std::string UserSettingsFolder() {
  return platform::UserConfigFolder() + std::string(kUserSettingsFolder);
}

std::string SettingsForReading(const std::string& dataRoot, bool besideData) {
  if (besideData) return ShippedSettings(dataRoot);
  std::string user = UserSettings();
  return Exists(user) ? user : ShippedSettings(dataRoot);
}

std::string SettingsForReading(const std::string& dataRoot) {
  return SettingsForReading(dataRoot, SettingsBesideData(dataRoot));
}

std::string SettingsForWriting(const std::string& dataRoot, bool besideData) {
  if (besideData) return ShippedSettings(dataRoot);
  std::string user = UserSettings();
  const std::string shipped = ShippedSettings(dataRoot);
  if (Exists(user)) return user;
  (void)platform::CreateDirectories(UserSettingsFolder());  // if not, the write fails
  if (Exists(shipped)) CopyShippedSettings(shipped, user);
  return user;
}

std::string SettingsForWriting(const std::string& dataRoot) {
  return SettingsForWriting(dataRoot, SettingsBesideData(dataRoot));
}

void CleanSettingsFolder(const std::string& dataRoot) {
  for (const std::string& folder :
       {DirectoryPart(ShippedSettings(dataRoot)), UserSettingsFolder()}) {
    platform::CleanFolder(folder);
    // A settings file torn by a killed save gets its old text back: it holds nothing
    // but what this program wrote. Other files' backups wait for the user's choice.
    for (const InterruptedSave& save : FindInterruptedSaves(folder)) {
      if (FileNamePart(save.file) != FileNamePart(ShippedSettings(dataRoot))) continue;
      try {
        (void)RestoreInterruptedSave(save);
      } catch (const Error&) {
        // Left for the next start.
      }
    }
  }
}

void CleanSettingsFolder() {
  CleanSettingsFolder(DataRoot());
}

}  // namespace tavrilo
