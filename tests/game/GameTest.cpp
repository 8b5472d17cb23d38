// SPDX-License-Identifier: GPL-3.0-or-later
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

TEST(Game, LimitsOfExecPerGame) {
  const Limits quake2 = LimitsOf(Game::kQuake2);
  const Limits yamagi = LimitsOf(Game::kYamagi);
  EXPECT_EQ(quake2.execFile, 8191u);
  EXPECT_EQ(yamagi.execFile, 32766u) << "Yamagi adds a LF in its buffer of 32,768";
  // exec inside a script: fatal when the file and the waiting text are more than 8,192
  // bytes (Yamagi: with its LF, more than 32,768). 2,387 bytes with 5,805 waiting run.
  EXPECT_TRUE(quake2.ExecFits(2387, 5805));
  EXPECT_FALSE(quake2.ExecFits(2387, 5806));
  EXPECT_TRUE(yamagi.ExecFits(2348, 32767 - 2348));
  EXPECT_FALSE(yamagi.ExecFits(2348, 32768 - 2348));
  EXPECT_EQ(quake2.word, 128u);
  EXPECT_EQ(yamagi.word, 1024u);
  EXPECT_EQ(yamagi.aliasName, quake2.aliasName);
}

}  // namespace
}  // namespace tavrilo::game
