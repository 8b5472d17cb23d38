// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the program `tavrilo`, linked to the engine alone: the command line, which
// loads none of the window's libraries. Where the window is built as a program of its own
// (TAVRILO_WINDOW_PROGRAM, beside this one or where it is installed), the arguments that
// ask for the window start it in place of this program; without a window (the Windows
// cross-build) they are refused.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "core/Locations.h"
#include "core/Platform.h"
#ifdef _WIN32
#include "core/PlatformWindows.h"
#endif

int main(int argc, char* argv[]) {
  tavrilo::platform::ReleaseLargeBlocksAtOnce();
#ifdef _WIN32
  // The file names as the user typed them, not as the system's code page spells them.
  (void)argc;
  (void)argv;
  std::size_t refused = 0;
  const std::optional<std::vector<std::string>> arguments =
      tavrilo::platform::windows::ProgramArguments(refused);
  if (!arguments) {
    std::cerr << "tavrilo: argument " << refused
              << " has a character that Windows-1252 cannot hold\n";
    return tavrilo::cli::kTrouble;
  }
  const std::vector<std::string>& args = *arguments;
  const unsigned int console = tavrilo::platform::windows::UseUtf8Console();
#else
  const std::vector<std::string> args(argv + 1, argv + argc);
#endif
#ifdef TAVRILO_WINDOW_PROGRAM
  const int status = tavrilo::cli::RunCommandLineOrWindow(
      args, argv[0], tavrilo::platform::ApplicationDirectory(),
      {TAVRILO_WINDOW_PROGRAM, TAVRILO_INSTALLED_WINDOW_PROGRAM}, std::cout, std::cerr);
#else
  const int status = tavrilo::cli::RunCommandLine(args, tavrilo::DataRoot(), std::cout, std::cerr);
#endif
#ifdef _WIN32
  std::cout.flush();
  tavrilo::platform::windows::RestoreConsole(console);
#endif
  return status;
}
