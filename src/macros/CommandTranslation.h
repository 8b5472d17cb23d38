// SPDX-License-Identifier: GPL-3.0-or-later
// The function field: a catalogue command turned into the token that line composition
// recognises.
#pragma once

#include <string>
#include <string_view>

namespace tavrilo::macros {

// The command bound when no function is chosen.
inline constexpr std::string_view kDefaultCommand = "echo Cette touche ne sert pas";

// The token for a catalogue command: the empty text gives the default command, the first
// of twelve rows equal to the whole text (byte for byte, case-sensitive) gives its token,
// and any other text is its own token.
std::string TranslateCommand(std::string_view catalogueCommand);

}  // namespace tavrilo::macros
