// Installation of the five support files into the game's data directory.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/Paths.h"

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

// The data directory the copies aim at when the game has none. It is not created: the
// first copy then fails with "Cannot create file <game path>Baseq2/Alias.cfg".
inline constexpr std::string_view kGameDataDirectoryForCopy = "Baseq2";

// What kind of entry a search accepts. Links are followed: a link to a directory counts
// as a directory.
enum class EntryKind { kAny, kDirectory, kNotDirectory };

// The game's data directory under `gamePath` (a plain prefix, so "/games/q2" looks for
// "/games/q2baseq2"), found whatever the letter case of its last component, with a
// trailing separator; std::nullopt when there is none. The choice among several is that
// of FindEntryIgnoringCase.
std::optional<std::string> FindGameDataDirectory(const std::string& gamePath);

// `directory` (ending with a separator; empty for the current directory) followed by the
// name of its entry that equals `name` without regard to ASCII letter case and is of
// the kind asked for; std::nullopt when there is none. When several match, the exact
// name wins, then the smallest name byte by byte ("BASEQ2" before "Baseq2"), so the
// choice does not depend on the order in which the file system lists them.
std::optional<std::string> FindEntryIgnoringCase(const std::string& directory,
                                                 std::string_view name,
                                                 EntryKind kind = EntryKind::kAny);

// Where the support file of `row` is found in `dataDirectory` (ending with a separator):
// the non-directory entry of its installed name in any letter case; std::nullopt when
// there is none.
std::optional<std::string> FindInstalledFile(const std::string& dataDirectory,
                                             const SupportFile& row);

// Whether all five support files are present (as files) in the game's data directory.
bool SupportFilesInstalled(const std::string& gamePath);

// The install action. Reads the game path from the settings file; when all five files
// are installed, does nothing. Otherwise asks for the game's executable with
// `askGameExecutable` (a confirmed name's directory is stored at once as the game
// path; a cancel keeps the stored one), then copies the five files in order into the
// game's data directory, stopping at the first error, which propagates.
//
// Each file goes into the existing data directory whatever its letter case, and
// replaces the file of its name in another letter case when there is one, so that the
// check finds what the copy wrote and no second file of that name appears. With no data
// directory the copies aim at "<game path>Baseq2/", and the first one fails with
// EFCreateError.
void InstallSupportFiles(const std::string& applicationDirectory,
                         const PathPrompt& askGameExecutable);

}  // namespace tavrilo::install
