// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Game.h"

#include "game/Names.h"

namespace tavrilo::game {

namespace {
constexpr std::string_view kQuake2Name = "quake2";
constexpr std::string_view kYamagiName = "yamagi";
}  // namespace

std::string_view SettingsNameOf(Game game) {
  return game == Game::kYamagi ? kYamagiName : kQuake2Name;
}

std::optional<Game> GameFromSettingsName(std::string_view name) {
  if (name == kQuake2Name) return Game::kQuake2;
  if (name == kYamagiName) return Game::kYamagi;
  return std::nullopt;
}

bool OpensFileNamed(Game game, std::string_view written, std::string_view stored) {
  if (game == Game::kQuake2) return EqualsIgnoringCase(written, stored);
  if (written == stored) return true;
  return stored.size() == written.size() && stored == LowerCase(written);
}

}  // namespace tavrilo::game
