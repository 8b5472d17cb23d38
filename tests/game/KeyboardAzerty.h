// SPDX-License-Identifier: GPL-3.0-or-later
// The keys of a French AZERTY keyboard that type a sign, and the name each game gives
// them, whether the player picks or types the label or presses the key. The console key
// (the label \xB2) is refused by both games and tested on its own.
#pragma once

#include <cstdint>

namespace tavrilo::testing {

struct AzertyKey {
  const char* label;        // Windows-1252
  std::uint32_t inputCode;  // the Linux input code of its position
  char32_t typed;           // what it types without Shift
  const char* quake2;       // nullptr: the game cannot bind it
  const char* yamagi;
};

// clang-format off
inline constexpr AzertyKey kAzertyKeys[] = {
    {"&", 2, U'&', "1", "1"},                 {"\xE9", 3, U'\u00E9', "2", "2"},
    {"\"", 4, U'"', "3", "3"},                {"'", 5, U'\'', "4", "4"},
    {"(", 6, U'(', "5", "5"},                 {"-", 7, U'-', "6", "6"},
    {"\xE8", 8, U'\u00E8', "7", "7"},         {"_", 9, U'_', "8", "8"},
    {"\xE7", 10, U'\u00E7', "9", "9"},        {"\xE0", 11, U'\u00E0', "0", "0"},
    {")", 12, U')', "-", ")"},                {"=", 13, U'=', "=", "="},
    {"a", 16, U'a', "q", "a"},                {"z", 17, U'z', "w", "z"},
    {"e", 18, U'e', "e", "e"},                {"r", 19, U'r', "r", "r"},
    {"t", 20, U't', "t", "t"},                {"y", 21, U'y', "y", "y"},
    {"u", 22, U'u', "u", "u"},                {"i", 23, U'i', "i", "i"},
    {"o", 24, U'o', "o", "o"},                {"p", 25, U'p', "p", "p"},
    {"$", 27, U'$', "]", "$"},                {"q", 30, U'q', "a", "q"},
    {"s", 31, U's', "s", "s"},                {"d", 32, U'd', "d", "d"},
    {"f", 33, U'f', "f", "f"},                {"g", 34, U'g', "g", "g"},
    {"h", 35, U'h', "h", "h"},                {"j", 36, U'j', "j", "j"},
    {"k", 37, U'k', "k", "k"},                {"l", 38, U'l', "l", "l"},
    {"m", 39, U'm', ";", "m"},                {"\xF9", 40, U'\u00F9', "'", "SC_APOSTROPHE"},
    {"<", 86, U'<', nullptr, "<"},            {"w", 44, U'w', "z", "w"},
    {"x", 45, U'x', "x", "x"},                {"c", 46, U'c', "c", "c"},
    {"v", 47, U'v', "v", "v"},                {"b", 48, U'b', "b", "b"},
    {"n", 49, U'n', "n", "n"},                {",", 50, U',', "m", ","},
    {";", 51, U';', ",", ";"},                {":", 52, U':', ".", ":"},
    {"!", 53, U'!', "/", "!"},                {"+", 78, U'+', "KP_PLUS", "KP_PLUS"},
    {"/", 98, U'/', "KP_SLASH", "KP_SLASH"},
    {"^", 26, 0, "[", "SC_LEFTBRACKET"},      {"*", 43, U'*', "\\", "*"},
};
// clang-format on

}  // namespace tavrilo::testing
