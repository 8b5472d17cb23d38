#include "game/Game.h"

#include <gtest/gtest.h>

namespace tavrilo::game {
namespace {

TEST(Game, SettingsNamesGoBothWaysAndUnknownNamesAreNone) {
  for (Game game : {Game::kQuake2, Game::kYamagi}) {
    EXPECT_EQ(GameFromSettingsName(SettingsNameOf(game)), game);
  }
  EXPECT_EQ(GameFromSettingsName("Quake2"), std::nullopt);
  EXPECT_EQ(GameFromSettingsName(""), std::nullopt);
}

TEST(Game, YamagiRaisedTheBufferAndWordLimitsOnly) {
  EXPECT_EQ(LimitsOf(Game::kQuake2).commandBuffer, 8192u);
  EXPECT_EQ(LimitsOf(Game::kYamagi).commandBuffer, 32768u);
  EXPECT_EQ(LimitsOf(Game::kQuake2).word, 128u);
  EXPECT_EQ(LimitsOf(Game::kYamagi).word, 1024u);
  EXPECT_EQ(LimitsOf(Game::kYamagi).aliasName, LimitsOf(Game::kQuake2).aliasName);
}

}  // namespace
}  // namespace tavrilo::game
