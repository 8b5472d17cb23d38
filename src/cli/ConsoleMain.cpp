// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the program built without its window (where Qt is not available, as in
// the Windows cross-build): the command line alone.
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
  int status = tavrilo::cli::kTrouble;
  if (tavrilo::cli::WantsCommandLine(args)) {
    status = tavrilo::cli::RunCommandLine(args, tavrilo::DataRoot(), std::cout, std::cerr);
  } else {
    std::cerr << "tavrilo: this build has no window; use --check, --help or --version\n";
  }
#ifdef _WIN32
  std::cout.flush();
  tavrilo::platform::windows::RestoreConsole(console);
#endif
  return status;
}
