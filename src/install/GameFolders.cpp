// SPDX-License-Identifier: GPL-3.0-or-later
#include "install/GameFolders.h"

#include <algorithm>
#include <array>

#include "core/Paths.h"
#include "core/Platform.h"
#include "core/WholeFile.h"
#include "game/Names.h"

namespace tavrilo::install {

namespace {

#ifdef _WIN32
// Steam's installations: where its installer puts it on a 64-bit and on a 32-bit system.
constexpr std::array<std::string_view, 2> kSteamRoots = {
    "C:\\Program Files (x86)\\Steam\\",
    "C:\\Program Files\\Steam\\",
};
constexpr std::string_view kSteamLibraryList = "steamapps\\libraryfolders.vdf";
// The folders the game's own installers proposed. A Yamagi Quake II folder is wherever
// the player unpacked it: found from a file the player chooses in it.
constexpr std::array<std::string_view, 3> kSystemGameFolders = {
    "C:\\Quake2\\",
    "C:\\Program Files (x86)\\Quake II\\",
    "C:\\Program Files\\Quake II\\",
};
#else
// The Steam installations of a home folder: the usual one, the link most installers
// make, Debian's installer, and the Flatpak.
constexpr std::array<std::string_view, 4> kSteamRoots = {
    ".local/share/Steam/",
    ".steam/steam/",
    ".steam/debian-installation/",
    ".var/app/com.valvesoftware.Steam/.local/share/Steam/",
};
constexpr std::string_view kSteamLibraryList = "steamapps/libraryfolders.vdf";
constexpr std::array<std::string_view, 2> kSystemGameFolders = {
    "/usr/share/games/quake2/",
    "/usr/local/games/quake2/",
};
#endif
constexpr std::string_view kGameDataFolder = "baseq2";

bool IsDirectory(const std::string& path) {
  const std::optional<platform::FileStatus> status = platform::Status(path);
  return status && status->kind == platform::FileKind::kDirectory;
}

// Whether `c` separates folders ('/' does on Windows too).
bool IsSeparator(char c) {
  return c == kPathSeparator || c == '/';
}

std::string WithSeparator(std::string folder) {
  if (folder.empty() || !IsSeparator(folder.back())) folder += kPathSeparator;
  return folder;
}

std::string WithoutSeparator(std::string path) {
  while (path.size() > 1 && IsSeparator(path.back()))
    path.pop_back();
  return path;
}

using game::EqualsIgnoringCase;

// The quoted words of one line of a Valve data file; "\\" and "\"" stand for one
// character.
std::vector<std::string> QuotedWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while ((i = line.find('"', i)) != std::string_view::npos) {
    std::string word;
    for (++i; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) ++i;
      word += line[i];
    }
    words.push_back(std::move(word));
    ++i;
  }
  return words;
}

// A file's bytes; nothing when it cannot be read.
std::string WholeFileOrNothing(const std::string& path) {
  std::string bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}

void AddOnce(std::vector<std::string>& folders, std::string folder) {
  if (std::find(folders.begin(), folders.end(), folder) == folders.end())
    folders.push_back(std::move(folder));
}

}  // namespace

std::vector<std::string> SteamLibraries(std::string_view libraryFoldersVdf) {
  std::vector<std::string> libraries;
  std::size_t start = 0;
  while (start < libraryFoldersVdf.size()) {
    std::size_t end = libraryFoldersVdf.find('\n', start);
    if (end == std::string_view::npos) end = libraryFoldersVdf.size();
    const std::vector<std::string> words =
        QuotedWords(libraryFoldersVdf.substr(start, end - start));
    if (words.size() == 2 && EqualsIgnoringCase(words[0], "path") && !words[1].empty())
      libraries.push_back(WithSeparator(words[1]));
    start = end + 1;
  }
  return libraries;
}

std::vector<std::string> UsualGameFolders(const std::string& home) {
  const std::string homeFolder = WithSeparator(home);
#ifdef _WIN32
  // The players' folders are the game's own; Steam is not under the home folder.
  std::vector<std::string> folders;
  auto steamRoot = [](std::string_view root) { return std::string(root); };
#else
  std::vector<std::string> folders = {homeFolder + ".yq2/", homeFolder + ".q2pro/"};
  auto steamRoot = [&homeFolder](std::string_view root) { return homeFolder + std::string(root); };
#endif
  for (std::string_view root : kSteamRoots) {
    const std::string steam = steamRoot(root);
    AddOnce(folders, steam + std::string(kSteamGameFolder));
    for (const std::string& library :
         SteamLibraries(WholeFileOrNothing(steam + std::string(kSteamLibraryList))))
      AddOnce(folders, library + std::string(kSteamGameFolder));
  }
  for (std::string_view system : kSystemGameFolders)
    AddOnce(folders, std::string(system));
  return folders;
}

std::optional<std::string> FirstUsualGameFolder(const std::string& home) {
  for (const std::string& folder : UsualGameFolders(home)) {
    if (IsDirectory(folder)) return folder;
  }
  return std::nullopt;
}

std::string HomeFolder() {
  return WithSeparator(platform::HomeFolder());
}

std::string GameDialogStartFolder(const std::string& storedGamePath, const std::string& home) {
  if (!storedGamePath.empty() && IsDirectory(storedGamePath)) return storedGamePath;
  return FirstUsualGameFolder(home).value_or(WithSeparator(home));
}

std::string GamePathFromChoice(const std::string& chosen) {
  std::string folder;
  if (!chosen.empty() && (IsSeparator(chosen.back()) || IsDirectory(chosen))) {
    folder = WithoutSeparator(chosen);
  } else {
    folder = DirectoryPart(chosen);
    if (folder.empty()) return folder;
    folder = WithoutSeparator(folder);
  }
  if (EqualsIgnoringCase(FileNamePart(folder), kGameDataFolder)) folder = DirectoryPart(folder);
  return folder.empty() ? folder : WithSeparator(folder);
}

}  // namespace tavrilo::install
