#include "install/SupportFiles.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "datafiles/IniFile.h"
#include "install/FmxUtils.h"

namespace tavrilo::install {

namespace {

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool IsOfKind(const std::string& path, EntryKind kind) {
  if (kind == EntryKind::kAny) return true;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) == (kind == EntryKind::kDirectory);
}

struct DirectoryCloser {
  void operator()(DIR* directory) const { ::closedir(directory); }
};

}  // namespace

std::optional<std::string> FindEntryIgnoringCase(const std::string& directory,
                                                 std::string_view name, EntryKind kind) {
  if (name.empty()) return std::nullopt;
  const std::unique_ptr<DIR, DirectoryCloser> listing(
      ::opendir(directory.empty() ? "." : directory.c_str()));
  if (!listing) return std::nullopt;

  std::optional<std::string> best;
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string_view candidate(entry->d_name);
    if (!EqualsIgnoringCase(candidate, name)) continue;
    if (best && !(candidate == name || (*best != name && candidate < *best))) continue;
    if (!IsOfKind(directory + std::string(candidate), kind)) continue;
    best = std::string(candidate);
  }
  if (!best) return std::nullopt;
  return directory + *best;
}

std::optional<std::string> FindGameDataDirectory(const std::string& gamePath) {
  const std::string expected = gamePath + std::string(kGameDataDirectory);
  std::optional<std::string> found =
      FindEntryIgnoringCase(DirectoryPart(expected), FileNamePart(expected), EntryKind::kDirectory);
  if (found) *found += kPathSeparator;
  return found;
}

std::optional<std::string> FindInstalledFile(const std::string& dataDirectory,
                                             const SupportFile& row) {
  return FindEntryIgnoringCase(dataDirectory, row.installedName, EntryKind::kNotDirectory);
}

bool SupportFilesInstalled(const std::string& gamePath) {
  const std::optional<std::string> dataDirectory = FindGameDataDirectory(gamePath);
  if (!dataDirectory) return false;
  for (const SupportFile& row : kSupportFiles) {
    if (!FindInstalledFile(*dataDirectory, row)) return false;
  }
  return true;
}

void InstallSupportFiles(const std::string& applicationDirectory,
                         const PathPrompt& askGameExecutable) {
  const datafiles::IniFile settings(applicationDirectory + std::string(kSettingsFile));
  std::string gamePath = settings.ReadString(datafiles::kGeneralSection, kGamePathKey, "");
  if (SupportFilesInstalled(gamePath)) return;

  if (askGameExecutable) {
    if (const std::optional<std::string> executable = askGameExecutable()) {
      gamePath = DirectoryPart(*executable);
      settings.WriteString(datafiles::kGeneralSection, kGamePathKey, gamePath);
    }
  }

  const std::string dataDirectory = FindGameDataDirectory(gamePath).value_or(
      gamePath + std::string(kGameDataDirectoryForCopy) + kPathSeparator);
  for (const SupportFile& row : kSupportFiles) {
    const std::string source =
        applicationDirectory + std::string(kSupportFilesDirectory) + std::string(row.sourceName);
    // An existing file of the row's name in another letter case is replaced; otherwise
    // the file is created under its source name.
    CopyFileTo(source, FindInstalledFile(dataDirectory, row).value_or(dataDirectory));
  }
}

}  // namespace tavrilo::install
