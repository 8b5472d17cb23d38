// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafiles/GameChoice.h"

#include <string>

#include "core/Errors.h"

namespace tavrilo::datafiles {

game::Game ReadGameChoice(const IniFile& settings) {
  std::string name;
  try {
    name = settings.ReadString(kGeneralSection, kGameKey, "");
  } catch (const Error&) {
    // Settings that cannot be read (over 64 MiB): the language choice reports them.
  }
  return game::GameFromSettingsName(name).value_or(game::Game::kQuake2);
}

void WriteGameChoice(const IniFile& settings, game::Game game) {
  settings.WriteString(kGeneralSection, kGameKey, game::SettingsNameOf(game));
}

}  // namespace tavrilo::datafiles
