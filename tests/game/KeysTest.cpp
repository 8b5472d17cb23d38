#include "game/Keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrilo::game {
namespace {

constexpr Game kBoth[] = {Game::kQuake2, Game::kYamagi};

TEST(KeyNames, OnePrintableAsciiCharacterOrATableNameInAnyCase) {
  for (Game game : kBoth) {
    for (const char* name : {"a", "A", " ", "~", ";", "escape", "Kp_Plus", "f12", "AUX32", "joy4"})
      EXPECT_TRUE(IsKeyName(game, name)) << name;
    // A byte above 127 would be a negative key number.
    for (const char* name : {"", "ESC", "F16", "AUX33", "MOUSE6", "ab", "\t", "\xE9", "\xB2"})
      EXPECT_FALSE(IsKeyName(game, name)) << name;
  }
  for (const char* name : {"MOUSE5", "kp_star", "CAPSLOCK", "F15", "DOLLAR", "SC_APOSTROPHE"}) {
    EXPECT_TRUE(IsKeyName(Game::kYamagi, name)) << name;
    EXPECT_FALSE(IsKeyName(Game::kQuake2, name)) << name;
  }
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
}

TEST(KeyNames, DeadKeysPerGame) {
  for (Game game : kBoth) {
    EXPECT_EQ(DeadKeyOf(game, "A"), DeadKey::kUpperCaseLetter);
    EXPECT_EQ(DeadKeyOf(game, "`"), DeadKey::kConsoleKey);
    EXPECT_EQ(DeadKeyOf(game, "escape"), DeadKey::kMenuKey);
    for (const char* runs : {"a", "-", "/", "SHIFT", "KP_PLUS", "ESC"})
      EXPECT_EQ(DeadKeyOf(game, runs), DeadKey::kNone) << runs;
  }
  EXPECT_EQ(DeadKeyOf(Game::kQuake2, "+"), DeadKey::kNoKeyProducesIt);
  EXPECT_EQ(DeadKeyOf(Game::kQuake2, "~"), DeadKey::kNoKeyProducesIt);
  EXPECT_EQ(DeadKeyOf(Game::kYamagi, "~"), DeadKey::kConsoleKey);
  EXPECT_EQ(DeadKeyOf(Game::kYamagi, "sc_grave"), DeadKey::kConsoleKey);
  EXPECT_EQ(DeadKeyOf(Game::kYamagi, "+"), DeadKey::kNone);  // a key on some layouts
}

TEST(KeyNames, IdentityIsOneSpellingPerKey) {
  const std::vector<std::pair<std::string, std::string>> same = {
      {";", "semicolon"}, {"\"", "DoubleQuote"}, {"'", "QUOTE"},
      {"$", "dollar"},    {"kp_del", "KP_DEL"},
  };
  for (const auto& [one, other] : same)
    EXPECT_EQ(KeyIdentity(one), KeyIdentity(other)) << one;
  EXPECT_NE(KeyIdentity("a"), KeyIdentity("A"));  // another key number
}

}  // namespace
}  // namespace tavrilo::game
