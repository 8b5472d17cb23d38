// SPDX-License-Identifier: GPL-3.0-or-later
#include "install/SupportFiles.h"

#include <cstddef>
#include <memory>

#include "core/Locations.h"
#include "core/Platform.h"
#include "core/Text.h"
#include "core/WholeFile.h"
#include "datafiles/IniFile.h"
#include "game/Names.h"
#include "install/FileUtilities.h"
#include "install/GameFolders.h"

namespace tavrilo::install {

namespace {

using game::EqualsIgnoringCase;  // ASCII letters only, as the file systems fold them

std::string WithSeparator(std::string folder) {
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

// The file that the link chain starting at `path` ends at, resolved as the system opens
// it; std::nullopt when that cannot be told (a loop, a missing folder on the way).
std::optional<std::string> LinkDestination(std::string path) {
  constexpr int kMaxLinks = 40;
  for (int links = 0; links < kMaxLinks; ++links) {
    const std::optional<platform::FileStatus> status = platform::LinkStatus(path);
    if (!status || !status->symbolicLink) return platform::ResolvedPath(path);
    const std::optional<std::string> text = platform::ReadLink(path);
    if (!text || text->empty()) return std::nullopt;
    path = IsAbsolutePath(*text) ? *text : DirectoryPart(path) + *text;
  }
  return std::nullopt;
}

bool IsInside(const std::string& path, const std::optional<std::string>& folder) {
  return folder && path.size() > folder->size() && path.starts_with(*folder);
}

// Refuses to write `file` when it is a symbolic link that leads outside `gameFolder` and
// `dataDirectory`.
void CheckLinkStaysInside(const std::string& file, const std::string& gameFolder,
                          const std::string& dataDirectory) {
  const std::optional<platform::FileStatus> status = platform::LinkStatus(file);
  if (!status || !status->symbolicLink) return;
  const std::optional<std::string> destination = LinkDestination(file);
  if (destination && (IsInside(*destination, platform::ResolvedPath(WithSeparator(gameFolder))) ||
                      IsInside(*destination, platform::ResolvedPath(dataDirectory)))) {
    return;
  }
  throw TextError(Text{"Install.LinkOutside", {file}});
}

}  // namespace

std::string ResolveGamePath(const std::string& gamePath) {
  const std::string directory = DirectoryPart(gamePath);
  const std::optional<std::string> resolved =
      platform::ResolvedPath(directory.empty() ? "./" : directory);
  if (!resolved) return gamePath;
  return WithSeparator(*resolved) + FileNamePart(gamePath);
}

std::optional<std::string> FindDirectoryIgnoringCase(const std::string& directory,
                                                     std::string_view name) {
  if (name.empty()) return std::nullopt;
  const auto listing = platform::ListDirectory(directory);
  if (!listing) return std::nullopt;

  std::optional<std::string> best;
  for (const platform::DirectoryEntry& entry : *listing) {
    const std::string_view candidate(entry.name);
    if (!entry.directory || !EqualsIgnoringCase(candidate, name)) continue;
    if (best && !(candidate == name || (*best != name && candidate < *best))) continue;
    best = entry.name;
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

std::optional<std::string> FindSupportFile(const std::string& dataDirectory,
                                           std::string_view name) {
  const auto listing = platform::ListDirectory(dataDirectory);
  if (!listing) return std::nullopt;
  std::optional<std::string> best;
  for (const platform::DirectoryEntry& entry : *listing) {
    const std::string_view candidate(entry.name);
    if (entry.directory || !EqualsIgnoringCase(candidate, name)) continue;
    // A dangling link is no file.
    if (!platform::Status(dataDirectory + entry.name)) continue;
    if (best && !(candidate == name || (*best != name && candidate < *best))) continue;
    best = entry.name;
  }
  return best;
}

bool SupportFilesInstalled(const std::string& gamePath) {
  const std::optional<std::string> dataDirectory = FindGameDataDirectory(gamePath);
  if (!dataDirectory) return false;
  for (const SupportFile& row : kSupportFiles) {
    if (!FindSupportFile(*dataDirectory, row.sourceName)) return false;
  }
  return true;
}

std::map<std::string, std::string, std::less<>> ReadSupportFiles(const std::string& dataRoot) {
  std::map<std::string, std::string, std::less<>> files;
  for (const SupportFile& row : kSupportFiles) {
    const std::string name(row.sourceName);
    const std::string path = dataRoot + std::string(kSupportFilesDirectory) + name;
    std::string bytes;
    const int error = ReadWholeFile(path, bytes);
    if (error == 0) {
      files.emplace(name, std::move(bytes));
    } else if (IsTooBig(error)) {
      ThrowReadError(error, path);
    }
  }
  return files;
}

std::string GameDialogStartFolderFor(const std::string& dataRoot) {
  return GameDialogStartFolder(datafiles::IniFile(SettingsForReading(dataRoot))
                                   .ReadString(datafiles::kGeneralSection, kGamePathKey, ""),
                               HomeFolder());
}

InstallResult InstallSupportFiles(const std::string& dataRoot,
                                  const PathPrompt& askGameExecutable) {
  InstallResult result;
  const std::string stored = datafiles::IniFile(SettingsForReading(dataRoot))
                                 .ReadString(datafiles::kGeneralSection, kGamePathKey, "");
  if (SupportFilesInstalled(stored)) {
    result.outcome = InstallResult::Outcome::kAlreadyInstalled;
    result.folder = *FindGameDataDirectory(stored);
    for (const SupportFile& row : kSupportFiles) {
      const std::optional<std::string> present = FindSupportFile(result.folder, row.sourceName);
      if (present && *present != row.sourceName) result.otherCase.push_back(*present);
    }
    return result;
  }

  const std::optional<std::string> chosen = askGameExecutable ? askGameExecutable() : std::nullopt;
  if (!chosen) return result;  // cancelled
  const std::string gamePath = GamePathFromChoice(*chosen);
  const std::optional<std::string> dataDirectory = FindGameDataDirectory(gamePath);
  if (!dataDirectory) throw TextError(Text{"Install.NoGame", {gamePath}});
  datafiles::IniFile(SettingsForWriting(dataRoot))
      .WriteString(datafiles::kGeneralSection, kGamePathKey, gamePath);

  result.folder = *dataDirectory;
  for (const SupportFile& row : kSupportFiles) {
    const std::string name(row.sourceName);
    const std::optional<std::string> present = FindSupportFile(result.folder, name);
    if (present && *present != name) {  // the game's own copy, left alone
      result.otherCase.push_back(*present);
      continue;
    }
    CheckLinkStaysInside(result.folder + name, DirectoryPart(ResolveGamePath(gamePath)),
                         result.folder);
    CopyFileTo(dataRoot + std::string(kSupportFilesDirectory) + name, result.folder);
    result.files.push_back(name);
  }
  result.outcome = InstallResult::Outcome::kInstalled;
  return result;
}

}  // namespace tavrilo::install
