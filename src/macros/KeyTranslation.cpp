// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/KeyTranslation.h"

#include <algorithm>

#include "game/Keys.h"

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

game::KeyChoice TranslateKey(game::Game game, std::string_view fieldText) {
  game::KeyChoice choice = game::KeyOfLabel(game, fieldText);
  if (!choice.Bindable()) return choice;
  // An entry of the list that names no key of the chosen game (ESC, AUX1 for Yamagi Quake
  // II) is refused with the name to use where there is one; typed text is its own name.
  const bool listed = std::find(kKeyList.begin(), kKeyList.end(), fieldText) != kKeyList.end();
  if (!listed || game::VerdictOf(game, choice.name) != game::KeyVerdict::kNotKeyName) return choice;
  if (const std::optional<std::string> meant = game::SuggestKeyName(game, fieldText)) {
    game::KeyChoice instead = game::KeyOfLabel(game, *meant);
    if (!instead.Bindable()) return instead;
    return game::KeyChoice::Refused(Text{"Key.NotInGameMeant", {std::string(fieldText), *meant}});
  }
  return game::KeyChoice::Refused(Text{"Key.NotInGame", {std::string(fieldText)}});
}

}  // namespace tavrilo::macros
