// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafiles/GameChoice.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace tavrilo::datafiles {
namespace {

using game::Game;

TEST(GameChoice, DefaultsToTheGameThatReadsPositionsAndKeepsTheOtherLines) {
  testing::TempDir dir;
  const IniFile settings(dir / "config.ini");
  EXPECT_EQ(ReadGameChoice(settings), Game::kQuake2);  // no file
  testing::WriteFile(settings.Path(), "[General]\r\nfr=1\r\nGame=doom\r\n");
  EXPECT_EQ(ReadGameChoice(settings), Game::kQuake2);  // no such game
  WriteGameChoice(settings, Game::kYamagi);
  EXPECT_EQ(ReadGameChoice(settings), Game::kYamagi);
  EXPECT_EQ(testing::ReadFile(settings.Path()), "[General]\r\nfr=1\r\nGame=yamagi\r\n");
}

}  // namespace
}  // namespace tavrilo::datafiles
