#include "game/Keys.h"

#include <algorithm>
#include <set>

namespace tavrilo::game {

namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

void AddNumbered(std::set<std::string, std::less<>>& names, std::string_view stem, int first,
                 int last) {
  for (int i = first; i <= last; ++i)
    names.insert(std::string(stem) + std::to_string(i));
}

// The names of Quake 2 3.20's key table, in upper case.
std::set<std::string, std::less<>> Quake2Names() {
  std::set<std::string, std::less<>> names = {
      "TAB",       "ENTER",        "ESCAPE",     "SPACE",        "BACKSPACE",  "UPARROW",
      "DOWNARROW", "LEFTARROW",    "RIGHTARROW", "ALT",          "CTRL",       "SHIFT",
      "INS",       "DEL",          "PGDN",       "PGUP",         "HOME",       "END",
      "KP_HOME",   "KP_UPARROW",   "KP_PGUP",    "KP_LEFTARROW", "KP_5",       "KP_RIGHTARROW",
      "KP_END",    "KP_DOWNARROW", "KP_PGDN",    "KP_ENTER",     "KP_INS",     "KP_DEL",
      "KP_SLASH",  "KP_MINUS",     "KP_PLUS",    "MWHEELUP",     "MWHEELDOWN", "PAUSE",
      "SEMICOLON",
  };
  AddNumbered(names, "F", 1, 12);
  AddNumbered(names, "MOUSE", 1, 3);
  AddNumbered(names, "JOY", 1, 4);
  AddNumbered(names, "AUX", 1, 32);
  return names;
}

// Yamagi Quake II keeps the whole table and adds its own names: more mouse buttons and
// keys, names for the characters that a bind line cannot hold plainly, the position
// names it falls back to for a key that types no ASCII character, and gamepad buttons.
std::set<std::string, std::less<>> YamagiNames() {
  std::set<std::string, std::less<>> names = Quake2Names();
  names.insert({"MOUSE4", "MOUSE5", "KP_STAR", "KP_EQUALS", "KP_NUMLOCK", "CAPSLOCK", "DOUBLEQUOTE",
                "QUOTE", "DOLLAR"});
  AddNumbered(names, "F", 13, 15);
  for (char letter = 'A'; letter <= 'Z'; ++letter)
    names.insert(std::string("SC_") + letter);
  for (const char* position : {"MINUS",
                               "EQUALS",
                               "LEFTBRACKET",
                               "RIGHTBRACKET",
                               "BACKSLASH",
                               "NONUSHASH",
                               "SEMICOLON",
                               "APOSTROPHE",
                               "GRAVE",
                               "COMMA",
                               "PERIOD",
                               "SLASH",
                               "NONUSBACKSLASH",
                               "INTERNATIONAL1",
                               "INTERNATIONAL2",
                               "INTERNATIONAL3",
                               "THOUSANDSSEPARATOR",
                               "DECIMALSEPARATOR",
                               "CURRENCYUNIT",
                               "CURRENCYSUBUNIT"})
    names.insert(std::string("SC_") + position);
  for (const char* button :
       {"BTN_A", "BTN_B", "BTN_X", "BTN_Y", "BTN_BACK", "BTN_GUIDE", "BTN_START", "STICK_LEFT",
        "STICK_RIGHT", "SHOULDR_LEFT", "SHOULDR_RIGHT", "DP_UP", "DP_DOWN", "DP_LEFT", "DP_RIGHT",
        "TRIG_LEFT", "TRIG_RIGHT"})
    names.insert(button);
  return names;
}

const std::set<std::string, std::less<>>& TableOf(Game game) {
  static const auto quake2 = Quake2Names();
  static const auto yamagi = YamagiNames();
  return game == Game::kYamagi ? yamagi : quake2;
}

bool IsSingleCharacter(std::string_view name, char c) {
  return name.size() == 1 && name[0] == c;
}

}  // namespace

bool IsKeyName(Game game, std::string_view name) {
  if (name.size() == 1) {
    // The game takes the byte itself as the key number; above 127 it turns negative.
    const auto byte = static_cast<unsigned char>(name[0]);
    return byte >= 0x20 && byte < 0x7F;
  }
  return !name.empty() && TableOf(game).count(Upper(name)) != 0;
}

std::optional<std::string> SuggestKeyName(Game game, std::string_view name) {
  if (IsKeyName(game, name)) return std::nullopt;
  // Spellings players use for keys whose table name differs (English and French).
  static const std::pair<std::string_view, std::string_view> kMeant[] = {
      {"ESC", "ESCAPE"},
      {"ECHAP", "ESCAPE"},
      {"\xC9"
       "CHAP",
       "ESCAPE"},
      {"RETURN", "ENTER"},
      {"ENTREE", "ENTER"},
      {"ENTR\xC9"
       "E",
       "ENTER"},
      {"BKSP", "BACKSPACE"},
      {"CONTROL", "CTRL"},
      {"SPACEBAR", "SPACE"},
      {"ESPACE", "SPACE"},
      {"INSERT", "INS"},
      {"DELETE", "DEL"},
      {"SUPPR", "DEL"},
      {"PAGEUP", "PGUP"},
      {"PAGEDOWN", "PGDN"},
      {"UP", "UPARROW"},
      {"DOWN", "DOWNARROW"},
      {"LEFT", "LEFTARROW"},
      {"RIGHT", "RIGHTARROW"},
      {"KP_STAR", "*"},
      {"KP_MULTIPLY", "*"},
  };
  std::string upper = Upper(name);
  // Upper-casing leaves the Windows-1252 accented capitals of the table as they are; fold
  // the lower-case e-acute onto its capital so that "\xE9" "chap" is found too.
  std::replace(upper.begin(), upper.end(), '\xE9', '\xC9');
  for (const auto& [typed, meant] : kMeant) {
    if (upper == typed && IsKeyName(game, meant)) return std::string(meant);
  }
  return std::nullopt;
}

DeadKey DeadKeyOf(Game game, std::string_view name) {
  if (!IsKeyName(game, name)) return DeadKey::kNone;
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') return DeadKey::kUpperCaseLetter;
  if (IsSingleCharacter(name, '`')) return DeadKey::kConsoleKey;
  if (game == Game::kQuake2) {
    // Every key of the game's scan-code table is named by its unshifted character.
    if (IsSingleCharacter(name, '+') || IsSingleCharacter(name, '~'))
      return DeadKey::kNoKeyProducesIt;
  } else {
    if (IsSingleCharacter(name, '~') || Upper(name) == "SC_GRAVE") return DeadKey::kConsoleKey;
  }
  if (Upper(name) == "ESCAPE") return DeadKey::kMenuKey;
  return DeadKey::kNone;
}

std::string KeyIdentity(std::string_view name) {
  if (name.size() != 1) return Upper(name);
  switch (name[0]) {
    case ';':
      return "SEMICOLON";
    case '"':
      return "DOUBLEQUOTE";
    case '\'':
      return "QUOTE";
    case '$':
      return "DOLLAR";
    default:
      return std::string(name);
  }
}

}  // namespace tavrilo::game
