#include "game/Keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrilo::game {
namespace {

constexpr Game kBoth[] = {Game::kQuake2, Game::kYamagi};

TEST(KeyNames, OnePrintableAsciiCharacterOrATableNameInAnyCase) {
  for (Game game : kBoth) {
    for (const char* name : {"a", "A", " ", "~", ";", "\"", "TAB", "escape", "Kp_Plus", "f12",
                             "MOUSE3", "joy4", "AUX32", "MWHEELDOWN", "semicolon", "PAUSE"}) {
      EXPECT_TRUE(IsKeyName(game, name)) << name;
    }
    for (const char* name :
         {"", "ESC", "F16", "AUX33", "AUX0", "MOUSE6", "KP_6", "ab", " a", "\x7F", "\t"}) {
      EXPECT_FALSE(IsKeyName(game, name)) << name;
    }
    // A byte above 127 would be a negative key number.
    for (const char* name : {"\xE9", "\xF9", "\xB2", "\xA7", "\x80"})
      EXPECT_FALSE(IsKeyName(game, name)) << static_cast<int>(name[0]);
  }
}

TEST(KeyNames, YamagiAddsItsOwnNames) {
  for (const char* name : {"MOUSE4", "mouse5", "KP_STAR", "KP_EQUALS", "KP_NUMLOCK", "CAPSLOCK",
                           "F13", "F15", "DOUBLEQUOTE", "QUOTE", "DOLLAR", "SC_APOSTROPHE", "sc_a",
                           "SC_NONUSBACKSLASH", "BTN_A", "JOY1", "AUX8"}) {
    EXPECT_TRUE(IsKeyName(Game::kYamagi, name)) << name;
    if (std::string(name) != "JOY1" && std::string(name) != "AUX8") {
      EXPECT_FALSE(IsKeyName(Game::kQuake2, name)) << name;
    }
  }
  EXPECT_FALSE(IsKeyName(Game::kYamagi, "SC_1"));  // the top row is always named by digit
  EXPECT_FALSE(IsKeyName(Game::kYamagi, "F16"));
}

TEST(KeyNames, SuggestsTheTableNameOnlyForAKnownMisspelling) {
  const std::vector<std::pair<std::string, std::string>> meant = {
      {"ESC", "ESCAPE"},
      {"esc", "ESCAPE"},
      {"Echap", "ESCAPE"},
      {"\xC9"
       "chap",
       "ESCAPE"},
      {"\xE9"
       "chap",
       "ESCAPE"},
      {"BKSP", "BACKSPACE"},
      {"return", "ENTER"},
      {"Suppr", "DEL"},
      {"PageDown", "PGDN"},
      {"UP", "UPARROW"},
  };
  for (Game game : kBoth) {
    for (const auto& [typed, suggestion] : meant)
      EXPECT_EQ(SuggestKeyName(game, typed), suggestion) << typed;
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
    EXPECT_EQ(DeadKeyOf(game, "Z"), DeadKey::kUpperCaseLetter);
    EXPECT_EQ(DeadKeyOf(game, "`"), DeadKey::kConsoleKey);
    EXPECT_EQ(DeadKeyOf(game, "escape"), DeadKey::kMenuKey);
    for (const char* runs : {"a", "z", "-", "/", "=", "SHIFT", "MOUSE1", "KP_PLUS", "ESC", "\xB2"})
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
      {"$", "dollar"},    {"mouse1", "MOUSE1"},  {"Kp_Del", "KP_DEL"},
  };
  for (const auto& [one, other] : same)
    EXPECT_EQ(KeyIdentity(one), KeyIdentity(other)) << one;
  // A single letter keeps its case: "A" is another key number than "a".
  EXPECT_NE(KeyIdentity("a"), KeyIdentity("A"));
  EXPECT_NE(KeyIdentity("-"), KeyIdentity("KP_MINUS"));
}

}  // namespace
}  // namespace tavrilo::game
