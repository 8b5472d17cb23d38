#include "core/Locations.h"

#include <unistd.h>

#include <QFile>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

#include "core/Errors.h"
#include "core/Paths.h"
#include "core/SafeFile.h"
#include "core/WholeFile.h"

namespace tavrilo {

namespace {

namespace fs = std::filesystem;

bool IsDirectory(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
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
  if (ReadWholeFile(shipped, bytes) != 0) throw EIniWriteError(userSettings);
  try {
    SafeFileWriter writer(userSettings);
    writer.Write(bytes);
    writer.Commit();
  } catch (const Error&) {
    throw EIniWriteError(userSettings);
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
         (!IsDirectory(data) || ::access(data.c_str(), W_OK) == 0);
}

std::string UserSettingsFolder() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return WithSeparator(QFile::encodeName(config).toStdString()) + std::string(kUserSettingsFolder);
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
  std::error_code ignored;  // a folder that cannot be made fails the write
  fs::create_directories(UserSettingsFolder(), ignored);
  if (Exists(shipped)) CopyShippedSettings(shipped, user);
  return user;
}

std::string SettingsForWriting(const std::string& dataRoot) {
  return SettingsForWriting(dataRoot, SettingsBesideData(dataRoot));
}

}  // namespace tavrilo
