// SPDX-License-Identifier: GPL-3.0-or-later
// Paths of the program's own files. Every data path is the application directory
// followed by a relative path, joined by plain concatenation.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tavrilo {

// Asks the user for a path (a file dialog); std::nullopt when the user cancels.
using PathPrompt = std::function<std::optional<std::string>()>;

#ifdef _WIN32
// Windows names a folder with either separator, and a drive by its letter and a colon
// ("C:name" is "name" in drive C's current folder): each ends the folder part of a name.
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kFolderEnds = "\\/:";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kFolderEnds = "/";
#endif

// The running executable's directory, with a trailing separator.
std::string ApplicationDirectory();

// Everything of `path` up to and including its last separator ("" when it has none).
std::string DirectoryPart(std::string_view path);

// The text after the last separator of `path` (the whole text when it has none).
std::string FileNamePart(std::string_view path);

// Whether `path` names its file whatever the current folder: it starts at the root ("/"),
// or on Windows with a drive and a separator ("C:\", "C:/") or a separator ("\\server",
// the current drive's root).
bool IsAbsolutePath(std::string_view path);

// The title of a program named by `executablePath` before it sets its own: the file name
// without directory, cut at its first ".", every letter after the first in lower case.
std::string TitleFromExecutableName(std::string_view executablePath);

// Relative paths of the program's fixed data files.
inline constexpr std::string_view kSettingsFile = "data/config.ini";
inline constexpr std::string_view kDefinableFunctionsFile = "data/user.dat";
inline constexpr std::string_view kSupportFilesDirectory = "Q2Dats/";

}  // namespace tavrilo
