#include "macros/KeyTranslation.h"

#include <span>

namespace tavrilo::macros {

const std::array<std::string_view, 88> kKeyList = {
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

namespace {

// An AZERTY label and what the game makes of that key: its name, or (empty name) the
// caption key of the reason it cannot bind it.
struct Row {
  std::string_view label;
  std::string_view name;
  std::string_view refusal = {};
};

// The top row types these signs without Shift; both games name its keys by their digit.
constexpr Row kTopRow[] = {
    {"&", "1"}, {"\xE9", "2"}, {"\"", "3"}, {"'", "4"},    {"(", "5"},
    {"-", "6"}, {"\xE8", "7"}, {"_", "8"},  {"\xE7", "9"}, {"\xE0", "0"},
};

// Quake 2 names each key by its position on a US keyboard. "+" and "/" are printed
// unshifted only on the keypad. "*" is left as it is: it is the game's name of the keypad's
// star (the main key right of u-grave is "\\", which passes unchanged when typed).
constexpr Row kQuake2Rows[] = {
    {"a", "q"},
    {"m", ";"},
    {"q", "a"},
    {"w", "z"},
    {"z", "w"},
    {",", "m"},
    {")", "-"},
    {";", ","},
    {":", "."},
    {"<", "", game::kKeyUnbindable},  // left of w: no name in the game's scan-code table
    {"\xF9", "'"},
    {"\xB2", "~"},  // the console key: a binding of it never runs
    {"^", "["},
    {"$", "]"},
    {"!", "/"},
    {"+", "KP_PLUS"},
    {"/", "KP_SLASH"},
};

// Yamagi Quake II names a key by the character it types, so most labels are their own
// name; u-grave is not ASCII and falls back to its position's name.
constexpr Row kYamagiRows[] = {
    {"\xB2", "", game::kKeyConsole},
    {"\xF9", "SC_APOSTROPHE"},
    {"+", "KP_PLUS"},
    {"/", "KP_SLASH"},
};

const Row* Find(std::span<const Row> rows, std::string_view fieldText) {
  for (const Row& row : rows) {
    if (fieldText == row.label) return &row;
  }
  return nullptr;
}

}  // namespace

game::KeyChoice TranslateKey(game::Game game, std::string_view fieldText) {
  const Row* row = Find(game == game::Game::kYamagi ? std::span<const Row>(kYamagiRows)
                                                    : std::span<const Row>(kQuake2Rows),
                        fieldText);
  if (row == nullptr) row = Find(kTopRow, fieldText);
  if (row == nullptr) return game::KeyChoice::Named(fieldText);
  return row->refusal.empty() ? game::KeyChoice::Named(row->name)
                              : game::KeyChoice::Refused(row->refusal);
}

}  // namespace tavrilo::macros
