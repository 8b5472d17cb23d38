// SPDX-License-Identifier: GPL-3.0-or-later
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
  return name != nullptr ? KeyChoice::Named(name) : KeyChoice::Refused(Text{"Key.Unbindable", {}});
}

std::string RefusalOf(const KeyChoice& choice) {
  return choice.refusal ? choice.refusal->key : std::string();
}

TEST(KeyTranslation, EveryAzertyKeyGetsTheNameOfTheChosenGame) {
  for (const testing::AzertyKey& key : testing::kAzertyKeys) {
    EXPECT_EQ(TranslateKey(Game::kQuake2, key.label), Expected(key.quake2)) << key.label;
    EXPECT_EQ(TranslateKey(Game::kYamagi, key.label), Expected(key.yamagi)) << key.label;
  }
  // The console key cannot be bound in either game: refused, as pressing it is.
  for (Game game : {Game::kQuake2, Game::kYamagi})
    EXPECT_EQ(RefusalOf(TranslateKey(game, "\xB2")), "Key.ConsoleKey");
}

TEST(KeyTranslation, AListEntryTheGameHasNoKeyForIsRefusedWithTheNameToUse) {
  for (Game game : {Game::kQuake2, Game::kYamagi}) {
    // ESC: the game calls it ESCAPE, which always opens the menu.
    EXPECT_EQ(RefusalOf(TranslateKey(game, "ESC")), "Key.MenuKey");
  }
  for (const char* aux : {"AUX1", "AUX8"}) {
    EXPECT_EQ(TranslateKey(Game::kQuake2, aux), KeyChoice::Named(aux));
    EXPECT_EQ(TranslateKey(Game::kYamagi, aux), KeyChoice::Refused(Text{"Key.NotInGame", {aux}}));
  }
  // Typed text that names no key is left to the marks of the list.
  EXPECT_EQ(TranslateKey(Game::kYamagi, "AUX9"), KeyChoice::Named("AUX9"));
}

TEST(KeyTranslation, EveryOtherListEntryAndTypedTextIsItsOwnName) {
  std::set<std::string_view> labels = {"\xB2", "ESC"};
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
  EXPECT_EQ(unchanged.size(), 10u + 50u);  // the digits, the named keys and AUX1-AUX8
  for (Game game : {Game::kQuake2, Game::kYamagi}) {
    for (const std::string& text : unchanged) {
      if (game == Game::kYamagi && text.starts_with("AUX")) continue;
      EXPECT_EQ(TranslateKey(game, text), KeyChoice::Named(text)) << "[" << text << "]";
    }
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
