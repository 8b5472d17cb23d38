// Start-up of the program built without its window (where Qt is not available, as in
// the Windows cross-build): the command line alone.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "core/Locations.h"

int main(int argc, char* argv[]) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!tavrilo::cli::WantsCommandLine(args)) {
    std::cerr << "tavrilo: this build has no window; use --check, --help or --version\n";
    return tavrilo::cli::kTrouble;
  }
  return tavrilo::cli::RunCommandLine(args, tavrilo::DataRoot(), std::cout, std::cerr);
}
