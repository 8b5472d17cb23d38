// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/Names.h"

namespace tavrilo::game {
namespace {

constexpr Game kBoth[] = {Game::kQuake2, Game::kYamagi};

TEST(KeyNames, OneCharacterOrANameOfTheGamesTableInAnyCase) {
  for (Game game : kBoth) {
    for (const char* name : {"a", " ", ";", "escape", "Kp_Plus", "f12", "\t", "mwheelup"})
      EXPECT_NE(VerdictOf(game, name), KeyVerdict::kNotKeyName) << name;
    for (const char* name : {"", "ESC", "F16", "MOUSE6", "ab"})
      EXPECT_EQ(VerdictOf(game, name), KeyVerdict::kNotKeyName) << name;
    // A byte above 127 would be a negative key number.
    EXPECT_EQ(VerdictOf(game, "\xE9"), KeyVerdict::kHighByte);
  }
  // Yamagi Quake II's current table: gamepad buttons and SDL names, no JOY or AUX.
  for (const char* name : {"BTN_SOUTH", "SHOULDR_RIGHT_ALT", "MODE", "SUPER", "SC_APOSTROPHE",
                           "MOUSE5", "kp_star", "CAPSLOCK", "F15", "DOLLAR"}) {
    EXPECT_EQ(VerdictOf(Game::kYamagi, name), KeyVerdict::kRuns) << name;
    EXPECT_EQ(VerdictOf(Game::kQuake2, name), KeyVerdict::kNotKeyName) << name;
  }
  for (const char* name : {"AUX1", "JOY4", "AUX32"}) {
    EXPECT_EQ(VerdictOf(Game::kQuake2, name), KeyVerdict::kRuns) << name;
    EXPECT_EQ(VerdictOf(Game::kYamagi, name), KeyVerdict::kNotKeyName) << name;
  }
  // Every name of each game's list is a key of that game.
  for (Game game : kBoth) {
    for (const std::string& name : KeyTableNames(game))
      EXPECT_NE(VerdictOf(game, name), KeyVerdict::kNotKeyName) << name;
  }
}

TEST(KeyNames, KeysWhoseBindingNeverRunsPerGame) {
  // Quake 2 3.20: letters in lower case, only unshifted US characters arrive.
  EXPECT_EQ(VerdictOf(Game::kQuake2, "A"), KeyVerdict::kUpperCase);
  for (const char* shifted : {"!", "@", "#", "$", "%", "^", "&", "(", ")", "_", "+", "{", "}", "|",
                              ":", "\"", "<", ">", "?"})
    EXPECT_EQ(VerdictOf(Game::kQuake2, shifted), KeyVerdict::kNoSuchKey) << shifted;
  for (const char* runs : {"a", "-", "=", "[", "]", "\\", "'", ",", ".", "/", "*", "`"})
    EXPECT_NE(VerdictOf(Game::kQuake2, runs), KeyVerdict::kNoSuchKey) << runs;
  // Yamagi Quake II delivers Shift+a as A and Shift+= as +.
  for (const char* runs : {"A", "+", "_", "{", "!", "<"})
    EXPECT_EQ(VerdictOf(Game::kYamagi, runs), KeyVerdict::kRuns) << runs;
  // The console and the menu, in both games; Yamagi refuses them and ^ outright.
  for (Game game : kBoth) {
    EXPECT_EQ(VerdictOf(game, "`"), KeyVerdict::kConsoleKey);
    EXPECT_EQ(VerdictOf(game, "~"), KeyVerdict::kConsoleKey);
    EXPECT_EQ(VerdictOf(game, "Escape"), KeyVerdict::kMenuKey);
    EXPECT_EQ(HardwiredJobOf(game, "ESCAPE"), "togglemenu");
    EXPECT_EQ(HardwiredJobOf(game, "~"), "toggleconsole");
    EXPECT_EQ(HardwiredJobOf(game, "a"), "");
  }
  EXPECT_EQ(VerdictOf(Game::kYamagi, "^"), KeyVerdict::kConsoleKey);
  EXPECT_TRUE(RefusesToBind(Game::kYamagi, "^"));
  EXPECT_FALSE(RefusesToBind(Game::kQuake2, "ESCAPE"));
}

TEST(KeyNames, SuggestsTheTableNameOnlyForAKnownMisspelling) {
  for (Game game : kBoth) {
    for (const char* typed : {"ESC", "echap",
                              "\xE9"
                              "chap",
                              "\xC9"
                              "CHAP"})
      EXPECT_EQ(SuggestKeyName(game, typed), "ESCAPE") << typed;
    EXPECT_EQ(SuggestKeyName(game, "Bksp"), "BACKSPACE");
    EXPECT_EQ(SuggestKeyName(game, "PageDown"), "PGDN");
    for (const char* name : {"ESCAPE", "a", "XYZZY", "", "MOUSE9"})
      EXPECT_EQ(SuggestKeyName(game, name), std::nullopt) << name;
  }
  // Quake 2 names the keypad's star by its character; Yamagi has the name itself.
  EXPECT_EQ(SuggestKeyName(Game::kQuake2, "KP_STAR"), "*");
  EXPECT_EQ(SuggestKeyName(Game::kYamagi, "KP_STAR"), std::nullopt);
  EXPECT_EQ(SuggestKeyName(Game::kYamagi, "AltGr"), "MODE");
}

TEST(KeyNames, IdentityIsOneSpellingPerKey) {
  for (Game game : kBoth) {
    EXPECT_EQ(KeyIdentity(game, " "), KeyIdentity(game, "space"));
    EXPECT_EQ(KeyIdentity(game, "\t"), KeyIdentity(game, "TAB"));
    EXPECT_EQ(KeyIdentity(game, ";"), KeyIdentity(game, "semicolon"));
    EXPECT_EQ(KeyIdentity(game, "kp_del"), KeyIdentity(game, "KP_DEL"));
    EXPECT_NE(KeyIdentity(game, "a"), KeyIdentity(game, "A"));  // another key number
  }
  EXPECT_EQ(KeyIdentity(Game::kYamagi, "$"), KeyIdentity(Game::kYamagi, "dollar"));
  EXPECT_EQ(KeyIdentity(Game::kYamagi, "\""), KeyIdentity(Game::kYamagi, "DoubleQuote"));
}

}  // namespace
}  // namespace tavrilo::game
