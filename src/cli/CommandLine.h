// The program's command line, which needs no window and no display:
//   tavrilo --check [--game quake2|yamagi] FILE...   what the game makes of each line
//   tavrilo --help                                   the usage
//   tavrilo --version                                the program's name and version
// Messages come in the language of the stored settings, from the caption files.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tavrilo::cli {

// Exit statuses of --check.
inline constexpr int kRunsAsWritten = 0;  // the game runs every line as written (notes allowed)
inline constexpr int kFindings = 1;       // a line discarded, cut or never run, or a file dropped
inline constexpr int kTrouble = 2;        // a file cannot be read, or the command line is wrong

// Whether the program's arguments (its name left out) ask for the command line rather
// than the window: one of them is --check, --help or --version.
bool WantsCommandLine(const std::vector<std::string>& args);

// Runs the command line and returns the exit status. `dataRoot`: the folder that holds
// data/ (settings, caption files) and Q2Dats/ (the support files), with a trailing
// separator. Findings, help and version go to `out`, errors to `err`, in UTF-8.
int RunCommandLine(const std::vector<std::string>& args, const std::string& dataRoot,
                   std::ostream& out, std::ostream& err);

}  // namespace tavrilo::cli
