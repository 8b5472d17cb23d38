// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line, which needs no window and no display:
//   tavrilo --check [--game quake2|yamagi] [--lang en|fr] [--format text|json] FILE...
//                    what the game makes of each line; "-" reads standard input
//   tavrilo -h|--help   the usage
//   tavrilo -v|--version   the program's name and version
// A wrong command line is refused with one line on the error stream and status 2.
#pragma once

#include <cstdlib>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Messages.h"
#include "cli/Options.h"

namespace tavrilo::cli {

// Exit statuses.
inline constexpr int kRunsAsWritten = 0;  // the game runs every line as written (notes allowed)
inline constexpr int kFindings = 1;  // a line the game does not run as written, a file it drops
inline constexpr int kTrouble = 2;   // a file not read, a wrong command line, output not written

// What the command line reads and writes.
struct Context {
  // The folder that holds data/ (settings, caption files) and Q2Dats/ (the support files),
  // with a trailing separator.
  std::string dataRoot;
  std::istream& in;   // read by --check -
  std::ostream& out;  // findings, help, version: UTF-8 (JSON Lines with --format json)
  std::ostream& err;  // files not read and wrong command lines: UTF-8
  Environment environment = [](const char* name) -> const char* { return std::getenv(name); };
  int columns = 80;  // the width --help is wrapped to: the terminal's, or 80
};

// Runs the command line for arguments already read and returns the exit status. Arguments
// that ask for the window are refused: this is the program without one.
int RunCommandLine(const ParsedArguments& arguments, const Context& context);

// The program with a window: runs the command line as RunCommandLine does and returns its
// exit status, or std::nullopt when the arguments ask for the window. A window that no
// display can show (none named by -platform, QT_QPA_PLATFORM, DISPLAY or WAYLAND_DISPLAY)
// is refused with one line and status 2 instead of letting Qt abort.
std::optional<int> RunUnlessWindow(const ParsedArguments& arguments, const Context& context);

// The same from the program's arguments (its name left out), with standard input and the
// process's environment.
int RunCommandLine(const std::vector<std::string>& args, const std::string& dataRoot,
                   std::ostream& out, std::ostream& err);

// The program without the window's libraries, whose window is a program of its own: runs
// the command line as RunUnlessWindow does; when the arguments ask for the window, the
// first of `windowPrograms` (paths from `applicationDirectory`) that exists runs in place of
// this one with the same arguments, under `programName`. Returns the exit status when
// the window is not started, said on `err` when it cannot be.
int RunCommandLineOrWindow(const std::vector<std::string>& args, const std::string& programName,
                           const std::string& applicationDirectory,
                           const std::vector<std::string>& windowPrograms, std::ostream& out,
                           std::ostream& err);

// Whether the arguments are for the command line rather than the window: an option of the
// command line, or arguments it refuses.
bool WantsCommandLine(const std::vector<std::string>& args);

}  // namespace tavrilo::cli
