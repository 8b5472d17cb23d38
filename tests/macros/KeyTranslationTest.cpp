#include "macros/KeyTranslation.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace tavrilo::macros {
namespace {

using game::Game;
using game::KeyChoice;

KeyChoice Named(const char* name) {
  return KeyChoice::Named(name);
}
const KeyChoice kConsoleKey = KeyChoice::Refused(game::kKeyConsole);
const KeyChoice kUnbindable = KeyChoice::Refused(game::kKeyUnbindable);

// Every key of a French AZERTY keyboard that types a sign, as the player picks or types
// its label, and the name each game gives that key.
struct AzertyKey {
  std::string label;
  KeyChoice quake2;
  KeyChoice yamagi;
};
const std::vector<AzertyKey> kAzertyKeys = {
    // Quake 2's console key gives "~", kept so the list can flag it as never running.
    {"\xB2", Named("~"), kConsoleKey},
    {"&", Named("1"), Named("1")},
    {"\xE9", Named("2"), Named("2")},
    {"\"", Named("3"), Named("3")},
    {"'", Named("4"), Named("4")},
    {"(", Named("5"), Named("5")},
    {"-", Named("6"), Named("6")},
    {"\xE8", Named("7"), Named("7")},
    {"_", Named("8"), Named("8")},
    {"\xE7", Named("9"), Named("9")},
    {"\xE0", Named("0"), Named("0")},
    {")", Named("-"), Named(")")},
    {"=", Named("="), Named("=")},
    {"a", Named("q"), Named("a")},
    {"z", Named("w"), Named("z")},
    {"e", Named("e"), Named("e")},
    {"r", Named("r"), Named("r")},
    {"t", Named("t"), Named("t")},
    {"y", Named("y"), Named("y")},
    {"u", Named("u"), Named("u")},
    {"i", Named("i"), Named("i")},
    {"o", Named("o"), Named("o")},
    {"p", Named("p"), Named("p")},
    {"^", Named("["), Named("^")},  // the dead key, not checked on Yamagi: left as typed
    {"$", Named("]"), Named("$")},
    {"q", Named("a"), Named("q")},
    {"s", Named("s"), Named("s")},
    {"d", Named("d"), Named("d")},
    {"f", Named("f"), Named("f")},
    {"g", Named("g"), Named("g")},
    {"h", Named("h"), Named("h")},
    {"j", Named("j"), Named("j")},
    {"k", Named("k"), Named("k")},
    {"l", Named("l"), Named("l")},
    {"m", Named(";"), Named("m")},
    {"\xF9", Named("'"), Named("SC_APOSTROPHE")},
    {"<", kUnbindable, Named("<")},
    {"w", Named("z"), Named("w")},
    {"x", Named("x"), Named("x")},
    {"c", Named("c"), Named("c")},
    {"v", Named("v"), Named("v")},
    {"b", Named("b"), Named("b")},
    {"n", Named("n"), Named("n")},
    {",", Named("m"), Named(",")},
    {";", Named(","), Named(";")},
    {":", Named("."), Named(":")},
    {"!", Named("/"), Named("!")},
    // The keypad. "*" also labels the key right of u-grave: in Quake 2 it names the
    // keypad's star (the other key is "\"), in Yamagi the other key (the keypad's is
    // KP_STAR).
    {"+", Named("KP_PLUS"), Named("KP_PLUS")},
    {"/", Named("KP_SLASH"), Named("KP_SLASH")},
    {"*", Named("*"), Named("*")},
    {"KP_MINUS", Named("KP_MINUS"), Named("KP_MINUS")},
    {"KP_STAR", Named("KP_STAR"), Named("KP_STAR")},
};

TEST(KeyTranslation, EveryAzertyKeyGetsTheNameOfTheChosenGame) {
  for (const auto& [label, quake2, yamagi] : kAzertyKeys) {
    EXPECT_EQ(TranslateKey(Game::kQuake2, label), quake2) << "Quake 2, label: " << label;
    EXPECT_EQ(TranslateKey(Game::kYamagi, label), yamagi) << "Yamagi, label: " << label;
  }
}

TEST(KeyTranslation, EveryOtherListEntryIsAlreadyTheGamesName) {
  std::set<std::string> labels;
  for (const AzertyKey& key : kAzertyKeys)
    labels.insert(key.label);
  int unchanged = 0;
  for (std::string_view entry : kKeyList) {
    if (labels.count(std::string(entry)) != 0) continue;
    for (Game game : {Game::kQuake2, Game::kYamagi})
      EXPECT_EQ(TranslateKey(game, entry), KeyChoice::Named(entry)) << entry;
    ++unchanged;
  }
  // The digits, the named keys and AUX1-AUX8; the 37 others are AZERTY labels.
  EXPECT_EQ(unchanged, 88 - 37);
}

TEST(KeyTranslation, TypedTextIsComparedExactly) {
  const std::vector<std::string> unchanged = {
      "A",       // letter case counts
      "M",       //
      " a",      // no trimming
      "a ",      //
      "ab",      // the whole text, not its start
      "aa",      //
      "",        // the empty text is its own name
      "\"x\"",   // double quotes pass unchanged (line composition refuses them)
      "MOUSE1",  //
      "mouse1",  //
      "\xD9",    // upper-case u-grave is not a label
      "\xC9",    // nor upper-case e-acute
  };
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
