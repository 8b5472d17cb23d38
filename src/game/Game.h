// The games Tavrilo writes for. They cut a script the same way, but differ in their
// limits and in how they name the keys of a keyboard.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace tavrilo::game {

enum class Game {
  kQuake2,  // Quake 2 3.20 and the ports that name a key by its position (Q2PRO...)
  kYamagi,  // Yamagi Quake II, which names a key by the character it types
};

// The limits of a game's console.
struct Limits {
  std::size_t commandBuffer;  // an exec'd file of this many bytes or more is dropped
  std::size_t command;        // a command of this many characters or more is lost or cut
  std::size_t word;           // a word of this many characters or more is lost or cut
  std::size_t aliasName;      // an alias name of this many characters or more is refused
};

constexpr Limits LimitsOf(Game game) {
  switch (game) {
    case Game::kYamagi:
      return {32768, 1024, 1024, 32};
    case Game::kQuake2:
      break;
  }
  return {8192, 1024, 128, 32};
}

// The game's name in the settings file, and back (std::nullopt for an unknown name).
std::string_view SettingsNameOf(Game game);
std::optional<Game> GameFromSettingsName(std::string_view name);

}  // namespace tavrilo::game
