// Installation of the five support files into the game's data directory.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "datafiles/Paths.h"

namespace tavrilo::install {

struct SupportFile {
  std::string_view installedName;  // looked for in the game's data directory
  std::string_view sourceName;     // in Q2Dats/ beside the executable
};

inline constexpr std::string_view kGameDataDirectory = "baseq2";
inline constexpr std::array<SupportFile, 5> kSupportFiles = {{
    {"alias.cfg", "Alias.cfg"},
    {"GlVid.cfg", "GlVid.cfg"},
    {"ModBinding.cfg", "ModBinding.cfg"},
    {"NormBinding.cfg", "NormBinding.cfg"},
    {"NormVid.cfg", "NormVid.cfg"},
}};

// The settings key of the game path: the directory of the game's executable, with a
// trailing separator, used as a plain prefix.
inline constexpr std::string_view kGamePathKey = "Q2Path";

// The game's data directory under `gamePath` (a plain prefix), found whatever its letter
// case; std::nullopt when there is none.
std::optional<std::string> FindGameDataDirectory(const std::string& gamePath);

// The entry of `directory` (ending with a separator) named `name` whatever its letter
// case, preferring the exact name; std::nullopt when there is none.
std::optional<std::string> FindEntryIgnoringCase(const std::string& directory,
                                                 std::string_view name);

// Whether all five support files are present (as files) in the game's data directory.
bool SupportFilesInstalled(const std::string& gamePath);

// The install action. Reads the game path from the settings file; when all five files
// are installed, does nothing. Otherwise asks for the game's executable with
// `askGameExecutable` (a confirmed name's directory is stored at once as the game
// path; a cancel keeps the stored one), then copies the five files in order into the
// game's data directory, stopping at the first error, which propagates.
void InstallSupportFiles(const std::string& applicationDirectory,
                         const PathPrompt& askGameExecutable);

}  // namespace tavrilo::install
