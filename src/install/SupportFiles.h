// SPDX-License-Identifier: GPL-3.0-or-later
// Installation of the five support files into the game's data directory.
#pragma once

#include <array>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Paths.h"
#include "core/Text.h"

namespace tavrilo::install {

// A support file. The name is the one the external resources execute: the file is
// shipped in Q2Dats/ beside the executable and written into the game's data directory
// under this name. A file of the name in another letter case there ("alias.cfg") counts
// as the support file (Yamagi Quake II also opens the lower-case name) and is left
// alone: nothing is written beside it.
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
// left out; one too big to be read whole throws TextError "File.TooBig" {path}.
// The map is game::SupportFiles (by name, then bytes), spelt out so that this folder
// needs none of the game's headers.
std::map<std::string, std::string, std::less<>> ReadSupportFiles(const std::string& dataRoot);

// The settings key of the game path: the directory of the game's executable, with a
// trailing separator, used as a plain prefix.
inline constexpr std::string_view kGamePathKey = "Q2Path";

// The game path as the system resolves it, the one form that both the installed check
// and the copies use: its directory part (up to the last separator; the current
// directory when there is none) made absolute with its links and ".." resolved, as
// opening it does ("/home/me/link/../" is the parent of the link's target, not
// "/home/me/"); the text after the last separator is kept as a plain prefix. A directory
// part that cannot be resolved (missing, also on the way of a "..":
// "/x/g/missing/../game/") is returned unchanged, and the system finds nothing under it.
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

// The name under which the support file `name` is present in `dataDirectory` (an entry
// that is not a directory, links followed): `name` itself, else a name that equals it
// without regard to ASCII letter case (the smallest byte by byte); std::nullopt when
// there is none.
std::optional<std::string> FindSupportFile(const std::string& dataDirectory, std::string_view name);

// Whether all five support files are present (FindSupportFile) in the game's data
// directory.
bool SupportFilesInstalled(const std::string& gamePath);

// Where the dialog that asks for the game opens for the program of `dataRoot`: the stored
// game path when it is a folder, else the first usual game folder, else the home folder.
std::string GameDialogStartFolderFor(const std::string& dataRoot);

// What the install action did.
struct InstallResult {
  enum class Outcome {
    kAlreadyInstalled,  // the five files were there: nothing asked, nothing written
    kCancelled,         // the player cancelled the game dialog: nothing written or stored
    kInstalled,         // the files were written
    kStopped,           // a file could not be written: the ones before it were
  };
  Outcome outcome = Outcome::kCancelled;
  // The game's data folder as the files are written into it (links and ".." resolved),
  // with a trailing separator (empty when cancelled).
  std::string folder;
  // The names of the files written, in order.
  std::vector<std::string> files;
  // When stopped: the names of the files not written, the one that failed first.
  std::vector<std::string> notWritten;
  // When stopped: why (a FileError that names the file, an "Install.*" refusal).
  std::exception_ptr error;
  // The support files found there under another letter case ("alias.cfg"), left alone.
  std::vector<std::string> otherCase;

  // The status line that tells it: "Status.AlreadyInstalled"; "Status.Installed" {files,
  // folder}; "Status.InstallStopped" {files written, files not written, folder}, or
  // "Status.InstallStoppedAtFirst" {files not written, folder} when none was. Empty when
  // cancelled.
  Text Status() const;
};

// The install action. Reads the game path from the settings file; when all five files
// are installed, returns kAlreadyInstalled. Otherwise asks for the game with
// `askGameExecutable` (a file in the game's folder, the game's folder or its data folder,
// from which GamePathFromChoice gives the game path); a cancel (or no dialog) returns
// kCancelled with nothing written or stored. A choice under which no data directory is
// found (FindGameDataDirectory) throws TextError "Install.NoGame" {game path} and is not
// stored. Otherwise the game path is stored, then each file missing or present under its
// exact name is copied into the data directory under that name, in order (a file present
// under another letter case is left alone and reported). The first file that cannot be
// written stops the install: kStopped, with the files written, those not written and the
// error.
//
// Only the five files, by their own names, in the game's own data folder are written: a
// data folder that resolves (through a link) outside the game's folder is refused with
// TextError "Install.DataOutside" {data folder, where it leads} before anything is
// written; a support file that is a symbolic link (to anything, inside the game's folder
// too) stops the install with "Install.LinkRefused" {file}, one with another hard link
// with "Install.HardLinkRefused" {file}, so that no link planted in a shared game folder
// can make the install write another file.
InstallResult InstallSupportFiles(const std::string& dataRoot, const PathPrompt& askGameExecutable);

}  // namespace tavrilo::install
