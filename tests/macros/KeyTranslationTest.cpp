#include "macros/KeyTranslation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace tavrilo::macros {
namespace {

struct KeyCase {
  std::string fieldText;
  std::string token;
};

// The twelve French labels that name another key position in the game.
const std::vector<KeyCase> kTranslatedKeys = {
    {"a", "q"}, {"m", ";"}, {"q", "a"}, {"w", "z"},  {"z", "w"},    {",", "m"},
    {")", "+"}, {";", ","}, {":", "."}, {"<", "\\"}, {"\xF9", ","}, {"\xB2", "~"},
};

TEST(KeyTranslation, TranslatesEachFrenchLabel) {
  for (const auto& [fieldText, token] : kTranslatedKeys) {
    EXPECT_EQ(TranslateKey(fieldText), token) << "field text: " << fieldText;
  }
}

TEST(KeyTranslation, BackslashIsOneByte) {
  EXPECT_EQ(TranslateKey("<"), std::string(1, '\x5C'));
}

TEST(KeyTranslation, EveryOtherListEntryIsItsOwnToken) {
  std::set<std::string> translated;
  for (const auto& row : kTranslatedKeys)
    translated.insert(row.fieldText);
  int unchanged = 0;
  for (std::string_view entry : kKeyList) {
    if (translated.count(std::string(entry)) != 0) continue;
    EXPECT_EQ(TranslateKey(entry), entry);
    ++unchanged;
  }
  // 88 entries; all twelve labels but "," are in the list.
  EXPECT_EQ(unchanged, 88 - 11);
}

TEST(KeyTranslation, TypedTextIsComparedExactly) {
  const std::vector<KeyCase> cases = {
      {"A", "A"},            // letter case counts
      {"M", "M"},            //
      {" a", " a"},          // no trimming
      {"a ", "a "},          //
      {"ab", "ab"},          // the whole text, not its start
      {"aa", "aa"},          //
      {"", ""},              // the empty text is its own token
      {"\"x\"", "\"x\""},    // double quotes pass unchanged (line composition refuses them)
      {"MOUSE1", "MOUSE1"},  //
      {"mouse1", "mouse1"},  //
      {"\xD9", "\xD9"},      // upper-case u-grave is not a row
  };
  for (const auto& [fieldText, token] : cases) {
    EXPECT_EQ(TranslateKey(fieldText), token) << "field text: [" << fieldText << "]";
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
