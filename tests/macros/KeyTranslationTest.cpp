#include "macros/KeyTranslation.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "../game/KeyboardAzerty.h"

namespace tavrilo::macros {
namespace {

using game::Game;
using game::KeyChoice;

KeyChoice Expected(const char* name) {
  return name != nullptr ? KeyChoice::Named(name) : KeyChoice::Refused(game::kKeyUnbindable);
}

TEST(KeyTranslation, EveryAzertyKeyGetsTheNameOfTheChosenGame) {
  for (const testing::AzertyKey& key : testing::kAzertyKeys) {
    EXPECT_EQ(TranslateKey(Game::kQuake2, key.label), Expected(key.quake2)) << key.label;
    EXPECT_EQ(TranslateKey(Game::kYamagi, key.label), Expected(key.yamagi)) << key.label;
  }
  // The console key: Quake 2's "~" is kept so that the list marks it as never running.
  EXPECT_EQ(TranslateKey(Game::kQuake2, "\xB2"), KeyChoice::Named("~"));
  EXPECT_EQ(TranslateKey(Game::kYamagi, "\xB2"), KeyChoice::Refused(game::kKeyConsole));
  // The dead key was not checked on Yamagi: left as typed.
  EXPECT_EQ(TranslateKey(Game::kQuake2, "^"), KeyChoice::Named("["));
  EXPECT_EQ(TranslateKey(Game::kYamagi, "^"), KeyChoice::Named("^"));
  // "*" labels two keys: Quake 2's "*" is the keypad's, Yamagi's the key right of u-grave.
  for (Game game : {Game::kQuake2, Game::kYamagi})
    EXPECT_EQ(TranslateKey(game, "*"), KeyChoice::Named("*"));
}

TEST(KeyTranslation, EveryOtherListEntryAndTypedTextIsItsOwnName) {
  std::set<std::string_view> labels = {"\xB2", "^", "*"};
  for (const testing::AzertyKey& key : testing::kAzertyKeys)
    labels.insert(key.label);
  std::vector<std::string> unchanged = {
      "A",     " a",     "a ",
      "ab",    "",  // exact comparison: letter case, blanks, the whole text
      "\"x\"", "mouse1", "KP_MINUS",
      "\\",    "\xD9",
  };
  for (std::string_view entry : kKeyList) {
    if (labels.count(entry) == 0) unchanged.emplace_back(entry);
  }
  EXPECT_EQ(unchanged.size(), 10u + 51u);  // the digits, the named keys and AUX1-AUX8
  for (Game game : {Game::kQuake2, Game::kYamagi}) {
    for (const std::string& text : unchanged)
      EXPECT_EQ(TranslateKey(game, text), KeyChoice::Named(text)) << "[" << text << "]";
  }
}

TEST(KeyList, HoldsTheEightyEightEntriesInOrder) {
  const std::vector<std::string> expected = {
      "a",     "b",       "c",         "d",         "e",          "f",      "g",      "h",
      "i",     "j",       "k",         "l",         "m",          "n",      "o",      "p",
      "q",     "r",       "s",         "t",         "u",          "v",      "w",      "x",
      "y",     "z",       "0",         "1",         "2",          "3",      "4",      "5",
      "6",     "7",       "8",         "9",         "TAB",        "ENTER",  "SHIFT",  "CTRL",
      "ALT",   "SPACE",   "PGUP",      "PGDN",      "HOME",       "END",    "INS",    "DEL",
      "ESC",   "UPARROW", "DOWNARROW", "LEFTARROW", "RIGHTARROW", "MOUSE1", "MOUSE2", "MOUSE3",
      "PAUSE", "F1",      "F2",        "F3",        "F4",         "F5",     "F6",     "F7",
      "F8",    "F9",      "F10",       "F11",       "F12",        "+",      "-",      "/",
      "*",     "=",       ")",         ";",         ":",          "<",      "\xF9",   "\xB2",
      "AUX1",  "AUX2",    "AUX3",      "AUX4",      "AUX5",       "AUX6",   "AUX7",   "AUX8",
  };
  ASSERT_EQ(expected.size(), 88u);
  ASSERT_EQ(kKeyList.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(kKeyList[i], expected[i]) << "position " << i + 1;
  }
}

TEST(KeyList, AccentedEntriesAreSingleWindows1252Bytes) {
  // u-grave and superscript two, positions 79 and 80.
  EXPECT_EQ(kKeyList[78], std::string_view("\xF9", 1));
  EXPECT_EQ(kKeyList[79], std::string_view("\xB2", 1));
  EXPECT_EQ(static_cast<unsigned char>(kKeyList[78][0]), 0xF9);
  EXPECT_EQ(static_cast<unsigned char>(kKeyList[79][0]), 0xB2);
}

TEST(KeyList, HasNoDuplicates) {
  std::set<std::string_view> unique(kKeyList.begin(), kKeyList.end());
  EXPECT_EQ(unique.size(), kKeyList.size());
}

}  // namespace
}  // namespace tavrilo::macros
