// SPDX-License-Identifier: GPL-3.0-or-later
// ShellOpen: hands a web or "mailto:" address to the desktop's default program.
#pragma once

#include <functional>
#include <string>

namespace tavrilo {

// Hands `target` (a web or "mailto:" address) to the desktop's default program. The
// outcome is not examined: a target that cannot be opened is not reported.
void ShellOpen(const std::string& target, const std::string& parameters,
               const std::string& directory, int showCommand);
inline constexpr int kSwShowNormal = 1;

// Replaces the desktop hand-over, for tests; an empty function restores it.
using ShellOpener = std::function<void(const std::string& target)>;
void SetShellOpenerForTesting(ShellOpener opener);

}  // namespace tavrilo
