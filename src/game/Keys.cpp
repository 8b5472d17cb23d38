// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Keys.h"

#include <algorithm>
#include <unordered_set>

#include "game/Names.h"

namespace tavrilo::game {

namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

using NameSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;

// The names of the game's key table, in lower case.
const NameSet& TableOf(Game game) {
  static const auto make = [](Game g) {
    NameSet names;
    for (const std::string& name : KeyTableNames(g))
      names.insert(LowerCase(name));
    return names;
  };
  static const NameSet quake2 = make(Game::kQuake2);
  static const NameSet yamagi = make(Game::kYamagi);
  return game == Game::kYamagi ? yamagi : quake2;
}

bool IsOne(std::string_view name, char c) {
  return name.size() == 1 && name[0] == c;
}

// Quake 2 3.20 names a key by its position on a US keyboard, unshifted: these characters
// need Shift there, so no key ever arrives under them.
constexpr std::string_view kShiftedUs = "!@#$%^&()_+{}|:\"<>?";

// The characters that are a key of the table under their name; the key number is the
// character's own.
std::string_view TableNameOfCharacter(Game game, char c) {
  switch (c) {
    case ' ':
      return "SPACE";
    case '\t':
      return "TAB";
    case '\r':
      return "ENTER";
    case '\x1B':
      return "ESCAPE";
    case '\x7F':
      return "BACKSPACE";
    case ';':
      return "SEMICOLON";
    default:
      break;
  }
  if (game == Game::kYamagi) {
    if (c == '"') return "DOUBLEQUOTE";
    if (c == '\'') return "QUOTE";
    if (c == '$') return "DOLLAR";
  }
  return {};
}

}  // namespace

std::string KeyIdentity(Game game, std::string_view name) {
  if (name.size() != 1) return Upper(name);
  const std::string_view table = TableNameOfCharacter(game, name[0]);
  return table.empty() ? std::string(name) : std::string(table);
}

KeyVerdict VerdictOf(Game game, std::string_view key) {
  if (key.size() == 1) {
    const auto byte = static_cast<unsigned char>(key[0]);
    if (byte > 127) return KeyVerdict::kHighByte;
    if (byte < 0x20 || byte == 0x7F) {
      return TableNameOfCharacter(game, key[0]).empty() ? KeyVerdict::kNoSuchKey
                                                        : VerdictOf(game, KeyIdentity(game, key));
    }
  } else if (key.empty() || !TableOf(game).contains(Folded(key).View())) {
    return KeyVerdict::kNotKeyName;
  }
  const std::string identity = KeyIdentity(game, key);
  if (identity == "ESCAPE") return KeyVerdict::kMenuKey;
  if (IsOne(key, '`') || IsOne(key, '~')) return KeyVerdict::kConsoleKey;
  if (game == Game::kYamagi) {
    return IsOne(key, '^') ? KeyVerdict::kConsoleKey : KeyVerdict::kRuns;
  }
  if (key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z') return KeyVerdict::kUpperCase;
  if (key.size() == 1 && kShiftedUs.find(key[0]) != std::string_view::npos)
    return KeyVerdict::kNoSuchKey;
  return KeyVerdict::kRuns;
}

std::string_view HardwiredJobOf(Game game, std::string_view key) {
  switch (VerdictOf(game, key)) {
    case KeyVerdict::kMenuKey:
      return "togglemenu";
    case KeyVerdict::kConsoleKey:
      return "toggleconsole";
    default:
      return {};
  }
}

bool RefusesToBind(Game game, std::string_view key) {
  return game == Game::kYamagi && !HardwiredJobOf(game, key).empty();
}

std::optional<std::string> SuggestKeyName(Game game, std::string_view name) {
  if (VerdictOf(game, name) != KeyVerdict::kNotKeyName) return std::nullopt;
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
      {"ALTGR", "MODE"},
      {"WINDOWS", "SUPER"},
      {"PRINTSCREEN", "PRINT"},
      {"SCROLLLOCK", "SCROLLOCK"},
  };
  std::string upper = Upper(name);
  // Upper-casing leaves the Windows-1252 accented capitals of the table as they are; fold
  // the lower-case e-acute onto its capital so that "\xE9" "chap" is found too.
  std::replace(upper.begin(), upper.end(), '\xE9', '\xC9');
  for (const auto& [typed, meant] : kMeant) {
    if (upper == typed && VerdictOf(game, meant) != KeyVerdict::kNotKeyName)
      return std::string(meant);
  }
  return std::nullopt;
}

}  // namespace tavrilo::game
