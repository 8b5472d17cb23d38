#include "macros/KeyTranslation.h"

#include <utility>

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

// A French label and the game's name of the same key position; the first equal row wins.
constexpr std::pair<std::string_view, std::string_view> kKeyRows[] = {
    {"a", "q"}, {"m", ";"}, {"q", "a"}, {"w", "z"},  {"z", "w"},    {",", "m"},
    {")", "+"}, {";", ","}, {":", "."}, {"<", "\\"}, {"\xF9", ","}, {"\xB2", "~"},
};

}  // namespace

std::string TranslateKey(std::string_view fieldText) {
  for (const auto& [label, token] : kKeyRows) {
    if (fieldText == label) return std::string(token);
  }
  return std::string(fieldText);
}

}  // namespace tavrilo::macros
