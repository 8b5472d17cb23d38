// SPDX-License-Identifier: GPL-3.0-or-later
#include "install/SupportFiles.h"

#include <cstddef>
#include <exception>
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

// `folder` (ending with a separator) with every link and "." and ".." resolved.
std::optional<std::string> ResolvedFolder(const std::string& folder) {
  return platform::ResolvedPath(WithSeparator(folder));
}

// Refuses to write the support file `file` unless it is missing or a plain file of one
// name: a link (to anything, inside the game's folder too: "Alias.cfg" leading to
// "pak0.pak" would replace the game's data) or a file with another hard link is refused
// with its name.
void CheckPlainFile(const std::string& file) {
  const std::optional<platform::FileStatus> status = platform::LinkStatus(file);
  if (!status) return;
  if (status->symbolicLink) throw TextError(Text{"Install.LinkRefused", {file}});
  if (status->kind == platform::FileKind::kRegular && status->links > 1)
    throw TextError(Text{"Install.HardLinkRefused", {file}});
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

  // The data folder as the system opens it: inside the game's folder, or refused.
  const std::optional<std::string> gameFolder =
      ResolvedFolder(DirectoryPart(ResolveGamePath(gamePath)));
  const std::optional<std::string> folder = ResolvedFolder(*dataDirectory);
  if (!gameFolder || !folder || folder->size() <= gameFolder->size() ||
      !folder->starts_with(*gameFolder)) {
    throw TextError(Text{"Install.DataOutside", {*dataDirectory, folder.value_or("?")}});
  }

  result.folder = *folder;
  std::vector<std::string> toWrite;
  for (const SupportFile& row : kSupportFiles) {
    const std::string name(row.sourceName);
    const std::optional<std::string> present = FindSupportFile(result.folder, name);
    if (present && *present != name) {  // the game's own copy, left alone
      result.otherCase.push_back(*present);
    } else {
      toWrite.push_back(name);
    }
  }
  result.outcome = InstallResult::Outcome::kInstalled;
  for (const std::string& name : toWrite) {
    try {
      CheckPlainFile(result.folder + name);
      CopyFileTo(dataRoot + std::string(kSupportFilesDirectory) + name, result.folder);
      result.files.push_back(name);
    } catch (const Error&) {
      result.outcome = InstallResult::Outcome::kStopped;
      result.error = std::current_exception();
      result.notWritten.assign(toWrite.begin() + static_cast<std::ptrdiff_t>(result.files.size()),
                               toWrite.end());
      break;
    }
  }
  return result;
}

Text InstallResult::Status() const {
  auto joined = [](const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
      text += (text.empty() ? "" : ", ") + name;
    return text;
  };
  switch (outcome) {
    case Outcome::kAlreadyInstalled:
      return Text{"Status.AlreadyInstalled", {}};
    case Outcome::kInstalled:
      return Text{"Status.Installed", {joined(files), folder}};
    case Outcome::kStopped:
      if (files.empty()) return Text{"Status.InstallStoppedAtFirst", {joined(notWritten), folder}};
      return Text{"Status.InstallStopped", {joined(files), joined(notWritten), folder}};
    case Outcome::kCancelled:
      break;
  }
  return Text{};
}

}  // namespace tavrilo::install
