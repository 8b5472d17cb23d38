// Installation of the five support files into the game's data directory.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/Paths.h"
#include "game/Diagnostics.h"

namespace tavrilo::install {

// A support file. The name is the one the external resources execute and the game
// opens by that exact name (file names are case-sensitive here): the file is shipped in
// Q2Dats/ beside the executable, looked for in the game's data directory and written
// there under this name. A file of the name in another letter case is left alone.
struct SupportFile {
  std::string_view sourceName;
};

inline constexpr std::string_view kGameDataDirectory = "baseq2";
inline constexpr std::array<SupportFile, 5> kSupportFiles = {{
    {"Alias.cfg"},
    {"GlVid.cfg"},
    {"ModBinding.cfg"},
    {"NormBinding.cfg"},
    {"NormVid.cfg"},
}};

// The support files of `dataRoot` (ending with a separator) as the diagnostics take
// them: each file's name, as exec names it, and its bytes. A file that cannot be read is
// left out.
game::SupportFiles ReadSupportFiles(const std::string& dataRoot);

// The settings key of the game path: the directory of the game's executable, with a
// trailing separator, used as a plain prefix.
inline constexpr std::string_view kGamePathKey = "Q2Path";

// The data directory the copies aim at when the game has none. It is not created: the
// first copy then fails with "Cannot create file <game path>Baseq2/Alias.cfg".
inline constexpr std::string_view kGameDataDirectoryForCopy = "Baseq2";

// The game path as the system resolves it, the one form that both the installed check
// and the copies use: its directory part (up to the last separator; the current
// directory when there is none) made absolute with its links and ".." resolved, as
// opening it does ("/home/me/link/../" is the parent of the link's target, not
// "/home/me/"); the text after the last separator is kept as a plain prefix. A directory
// part that cannot be resolved (missing) is returned unchanged.
std::string ResolveGamePath(const std::string& gamePath);

// The game's data directory under ResolveGamePath(gamePath) (a plain prefix, so
// "/games/q2" looks for "/games/q2baseq2"), found whatever the letter case of its last
// component, with a trailing separator; std::nullopt when there is none. The choice
// among several is that of FindDirectoryIgnoringCase.
std::optional<std::string> FindGameDataDirectory(const std::string& gamePath);

// `directory` (ending with a separator; empty for the current directory) followed by the
// name of its directory (links followed) that equals `name` without regard to ASCII
// letter case; std::nullopt when there is none. When several match, the exact name
// wins, then the smallest name byte by byte ("BASEQ2" before "Baseq2"), so the choice
// does not depend on the order in which the file system lists them.
std::optional<std::string> FindDirectoryIgnoringCase(const std::string& directory,
                                                     std::string_view name);

// Whether all five support files are present (as entries that are not directories,
// under their exact names) in the game's data directory.
bool SupportFilesInstalled(const std::string& gamePath);

// Where the dialog that asks for the game opens for the program of `dataRoot`: the stored
// game path when it is a folder, else the first usual game folder, else the home folder.
std::string GameDialogStartFolderFor(const std::string& dataRoot);

// The install action. Reads the game path from the settings file; when all five files
// are installed, does nothing. Otherwise asks for the game with `askGameExecutable` (a
// file in the game's folder, the game's folder or its data folder: the game path of the
// confirmed choice, GamePathFromChoice, is stored at once; a cancel keeps the stored
// one), then copies the five files in order into the
// game's data directory, stopping at the first error, which propagates.
//
// Each file goes into the existing data directory whatever its letter case, under its
// exact name, where the check looks for it. With no data directory the copies aim at
// "<game path>Baseq2/" (the game path resolved as for the check), and the first one
// fails with EFCreateError.
void InstallSupportFiles(const std::string& dataRoot, const PathPrompt& askGameExecutable);

}  // namespace tavrilo::install
