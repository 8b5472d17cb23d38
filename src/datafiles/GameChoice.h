// SPDX-License-Identifier: GPL-3.0-or-later
// The game the player writes bindings for, kept in the settings file.
#pragma once

#include <string_view>

#include "datafiles/IniFile.h"
#include "game/Game.h"

namespace tavrilo::datafiles {

// The settings key of the game: section General, the game's settings name.
inline constexpr std::string_view kGameKey = "Game";

// The stored game; Quake 2 (the game that names keys by position) when the key is absent
// or names no game. Never fails.
game::Game ReadGameChoice(const IniFile& settings);

// Stores the game; fails like IniFile::WriteString.
void WriteGameChoice(const IniFile& settings, game::Game game);

}  // namespace tavrilo::datafiles
