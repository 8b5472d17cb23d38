#include "install/SupportFiles.h"

#include <dirent.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "core/Locations.h"
#include "core/WholeFile.h"
#include "datafiles/IniFile.h"
#include "install/FmxUtils.h"
#include "install/GameFolders.h"

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

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Whether `path` names an entry that is not a directory (links followed).
bool IsPresentFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

struct DirectoryCloser {
  void operator()(DIR* directory) const { ::closedir(directory); }
};

}  // namespace

std::string ResolveGamePath(const std::string& gamePath) {
  const std::string directory = DirectoryPart(gamePath);
  char resolved[PATH_MAX];
  if (::realpath(directory.empty() ? "." : directory.c_str(), resolved) == nullptr) {
    return gamePath;
  }
  std::string result = resolved;
  if (result.back() != kPathSeparator) result += kPathSeparator;
  return result + FileNamePart(gamePath);
}

std::optional<std::string> FindDirectoryIgnoringCase(const std::string& directory,
                                                     std::string_view name) {
  if (name.empty()) return std::nullopt;
  const std::unique_ptr<DIR, DirectoryCloser> listing(
      ::opendir(directory.empty() ? "." : directory.c_str()));
  if (!listing) return std::nullopt;

  std::optional<std::string> best;
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string_view candidate(entry->d_name);
    if (!EqualsIgnoringCase(candidate, name)) continue;
    if (best && !(candidate == name || (*best != name && candidate < *best))) continue;
    if (!IsDirectory(directory + std::string(candidate))) continue;
    best = std::string(candidate);
  }
  if (!best) return std::nullopt;
  return directory + *best;
}

std::optional<std::string> FindGameDataDirectory(const std::string& gamePath) {
  const std::string expected = ResolveGamePath(gamePath) + std::string(kGameDataDirectory);
  std::optional<std::string> found =
      FindDirectoryIgnoringCase(DirectoryPart(expected), FileNamePart(expected));
  if (found) *found += kPathSeparator;
  return found;
}

bool SupportFilesInstalled(const std::string& gamePath) {
  const std::optional<std::string> dataDirectory = FindGameDataDirectory(gamePath);
  if (!dataDirectory) return false;
  for (const SupportFile& row : kSupportFiles) {
    if (!IsPresentFile(*dataDirectory + std::string(row.sourceName))) return false;
  }
  return true;
}

game::SupportFiles ReadSupportFiles(const std::string& dataRoot) {
  game::SupportFiles files;
  for (const SupportFile& row : kSupportFiles) {
    const std::string name(row.sourceName);
    std::string bytes;
    if (ReadWholeFile(dataRoot + std::string(kSupportFilesDirectory) + name, bytes) == 0)
      files.emplace(name, std::move(bytes));
  }
  return files;
}

std::string GameDialogStartFolderFor(const std::string& dataRoot) {
  return GameDialogStartFolder(datafiles::IniFile(SettingsForReading(dataRoot))
                                   .ReadString(datafiles::kGeneralSection, kGamePathKey, ""),
                               HomeFolder());
}

void InstallSupportFiles(const std::string& dataRoot, const PathPrompt& askGameExecutable) {
  std::string gamePath = datafiles::IniFile(SettingsForReading(dataRoot))
                             .ReadString(datafiles::kGeneralSection, kGamePathKey, "");
  if (SupportFilesInstalled(gamePath)) return;

  if (askGameExecutable) {
    if (const std::optional<std::string> chosen = askGameExecutable()) {
      gamePath = GamePathFromChoice(*chosen);
      datafiles::IniFile(SettingsForWriting(dataRoot))
          .WriteString(datafiles::kGeneralSection, kGamePathKey, gamePath);
    }
  }

  const std::string dataDirectory = FindGameDataDirectory(gamePath).value_or(
      ResolveGamePath(gamePath) + std::string(kGameDataDirectoryForCopy) + kPathSeparator);
  for (const SupportFile& row : kSupportFiles) {
    CopyFileTo(dataRoot + std::string(kSupportFilesDirectory) + std::string(row.sourceName),
               dataDirectory);
  }
}

}  // namespace tavrilo::install
