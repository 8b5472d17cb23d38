// SPDX-License-Identifier: GPL-3.0-or-later
// Where a player's game is usually found, and the game path from the player's choice.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrilo::install {

// The game's folder inside a Steam library.
#ifdef _WIN32
inline constexpr std::string_view kSteamGameFolder = "steamapps\\common\\Quake 2\\";
#else
inline constexpr std::string_view kSteamGameFolder = "steamapps/common/Quake 2/";
#endif

// The library folders that Steam's steamapps/libraryfolders.vdf lists (its "path"
// values), in file order, each with a trailing separator.
std::vector<std::string> SteamLibraries(std::string_view libraryFoldersVdf);

// The folders where the game usually is, in order of preference, each with a trailing
// separator, for the home folder `home`: ~/.yq2/, ~/.q2pro/, the Quake 2 folder of each
// Steam library (Steam's own, then those its libraryfolders.vdf lists), then the
// system-wide game folders. No folder appears twice. On Windows: the Quake 2 folder of
// each Steam library (of Steam in Program Files (x86), then in Program Files), then
// C:\Quake2\, Program Files (x86)\Quake II\ and Program Files\Quake II\.
std::vector<std::string> UsualGameFolders(const std::string& home);

// The first of UsualGameFolders(home) that is an existing folder.
std::optional<std::string> FirstUsualGameFolder(const std::string& home);

// The user's home folder, with a trailing separator: $HOME, else the system's record of
// the user.
std::string HomeFolder();

// Where the dialog that asks for the game opens: the stored game path when it is an
// existing folder, else the first usual game folder, else the home folder `home`.
std::string GameDialogStartFolder(const std::string& storedGamePath, const std::string& home);

// The game path (the game's folder, ending with a separator) from what the player
// confirmed: the game's data folder itself ("baseq2" in any letter case) or a file in
// it gives the data folder's parent; any other folder gives that folder; any other file
// gives its folder (the directory part of its name).
std::string GamePathFromChoice(const std::string& chosen);

}  // namespace tavrilo::install
