// SPDX-License-Identifier: GPL-3.0-or-later
// What the Windows implementation of the platform layer (PlatformWindows.cpp) adds to
// core/Platform.h: the conversion of the program's Windows-1252 names to the system's
// wide-character names and back, and the test seam of the last step of a save.
//
// A save puts its complete temporary file in place by ReplaceFileW, which keeps the old
// file's attributes and security descriptor; where that fails (Wine, some network
// shares), by a rename over the old file (MoveFileExW with MOVEFILE_REPLACE_EXISTING and
// MOVEFILE_WRITE_THROUGH), which takes the old file's attributes along; where that fails
// too, by writing the old file in place. Each of the first two steps can be made to fail
// here, so that every way is tested on any system.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrilo::platform::windows {

// The wide-character name of a Windows-1252 text (every byte has a character).
std::wstring WideFromAnsi(std::string_view ansi);

// The Windows-1252 text of a wide-character name; std::nullopt when one of its characters
// has no byte in Windows-1252 (such a name cannot be given to the program, nor by it).
std::optional<std::string> AnsiFromWide(std::wstring_view wide);

// The program's arguments, its name left out, as Windows-1252 texts read from the
// system's wide-character command line (the C runtime's argv holds them in the system's
// code page, which may not be Windows-1252). std::nullopt when a character of one of
// them has no byte in Windows-1252: `refused` is then its position, from 1.
std::optional<std::vector<std::string>> ProgramArguments(std::size_t& refused);

// Makes the console this program writes to, if any, show UTF-8 (what the command line
// prints) until RestoreConsole is given the value returned.
unsigned int UseUtf8Console();
void RestoreConsole(unsigned int previous);

// One step of putting a save in place: true when it succeeded, false with the thread's
// last error set (SetLastError) when it did not.
using PlaceFunction = bool (*)(const std::wstring& target, const std::wstring& replacement);

// The system's steps: ReplaceFileW(target, replacement), MoveFileExW(replacement, target).
bool SystemReplace(const std::wstring& target, const std::wstring& replacement);
bool SystemMove(const std::wstring& target, const std::wstring& replacement);

// Replaces the steps that saves begun from now on use; nullptr restores the system's.
void SetPlaceFunctions(PlaceFunction replace, PlaceFunction move);

}  // namespace tavrilo::platform::windows
