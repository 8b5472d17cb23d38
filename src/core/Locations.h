// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program's data and its settings live.
//
// The data root is the folder that holds data/ and Q2Dats/: the executable's own folder
// in a build folder or a portable folder, or <prefix>/share/tavrilo/ once installed.
// The settings file stays beside the data (data/config.ini) when the program may write
// there; an installed program keeps the user's settings in the user's configuration
// folder instead ($XDG_CONFIG_HOME/tavrilo/config.ini), starting from the shipped file.
#pragma once

#include <string>
#include <string_view>

namespace tavrilo {

// The data root of an installed program, from the executable's folder.
inline constexpr std::string_view kInstalledDataRoot = "../share/tavrilo/";
// The folder and file of the user's settings under the user's configuration folder.
inline constexpr std::string_view kUserSettingsFolder = "tavrilo/";
inline constexpr std::string_view kUserSettingsFile = "config.ini";

// The data root, with a trailing separator, of a program whose executable lies in
// `applicationDirectory` (ending with a separator): that folder itself when it holds
// data/; otherwise the installed data root when that holds data/; otherwise the
// application directory, where the data files then report their absence.
std::string DataRootFor(const std::string& applicationDirectory);

// The data root of the running program.
std::string DataRoot();

// Whether the settings live beside the data: always, except when data/ exists and cannot
// be written (a read-only medium) and when the data root is an installed one
// (".../share/tavrilo/", which not even root may change). A missing data/ keeps them
// there, where writing them reports the missing folder.
bool SettingsBesideData(const std::string& dataRoot);

// The user's settings folder: the user's configuration folder ($XDG_CONFIG_HOME when it
// is an absolute path, otherwise ~/.config/) followed by "tavrilo/".
std::string UserSettingsFolder();

// The settings file to read. Beside the data: <data root>data/config.ini. Otherwise the
// user's settings file when it exists, else the shipped <data root>data/config.ini
// (which reads as defaults when it is absent too).
std::string SettingsForReading(const std::string& dataRoot, bool besideData);
std::string SettingsForReading(const std::string& dataRoot);

// The settings file to write, made ready for the write. Beside the data:
// <data root>data/config.ini. Otherwise the user's settings file; when it does not exist
// yet, its folder is created and it starts as a copy of the shipped data/config.ini (no
// file when none is shipped: the first write creates it). Throws SettingWriteError naming
// the user's settings file when the copy cannot be made.
std::string SettingsForWriting(const std::string& dataRoot, bool besideData);
std::string SettingsForWriting(const std::string& dataRoot);

// What an interrupted write left in the settings folders, cleaned: the program calls it
// once as it starts. Removes the temporary files of writers that have ended, and puts
// back the old text of a settings file whose save in place was interrupted
// (RestoreInterruptedSave), both beside the data (<data root>data/) and in the user's
// settings folder. The backups of the user's own files there (of files saved in place in
// folders that refuse new files) wait for the user's choice (FindInterruptedSaves).
// Failures are ignored.
void CleanSettingsFolder(const std::string& dataRoot);
void CleanSettingsFolder();

}  // namespace tavrilo
