// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafiles/GameChoice.h"

#include <string>

namespace tavrilo::datafiles {

game::Game ReadGameChoice(const IniFile& settings) {
  const std::string name = settings.ReadString(kGeneralSection, kGameKey, "");
  return game::GameFromSettingsName(name).value_or(game::Game::kQuake2);
}

void WriteGameChoice(const IniFile& settings, game::Game game) {
  settings.WriteString(kGeneralSection, kGameKey, game::SettingsNameOf(game));
}

}  // namespace tavrilo::datafiles
