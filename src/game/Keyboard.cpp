// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Keyboard.h"

#include <array>

#include "game/Keys.h"

namespace tavrilo::game {

namespace {

// One key of the keyboard by its position (the Linux input code, which equals the set-1
// scan code for the keys of the original PC keyboard), with what each game calls it.
struct Position {
  std::uint16_t code;
  // Its labels on a French (AZERTY) keyboard, pressed alone ("&" and "1" for the number
  // row's first key); empty for a key without a character.
  std::array<const char*, 2> labels;
  const char* quake2;  // Quake 2's name; nullptr when its scan-code table has none
  // Yamagi's name for a key that types no character, or whose name does not depend on
  // what it types (the number row); nullptr for a character key.
  const char* yamagi;
  // The US position name of a character key, for Yamagi's "SC_" name when the character
  // it types is not ASCII.
  const char* usName;
};

constexpr const char* kNone = nullptr;

// "\xE9" e-acute, "\xE8" e-grave, "\xE7" c-cedilla, "\xE0" a-grave, "\xF9" u-grave,
// "\xB2" superscript two.
constexpr Position kPositions[] = {
    {1, {}, "ESCAPE", "ESCAPE", kNone},
    {2, {"&", "1"}, "1", "1", kNone},  // the number row is named by position in both games
    {3, {"\xE9", "2"}, "2", "2", kNone},
    {4, {"\"", "3"}, "3", "3", kNone},
    {5, {"'", "4"}, "4", "4", kNone},
    {6, {"(", "5"}, "5", "5", kNone},
    {7, {"-", "6"}, "6", "6", kNone},
    {8, {"\xE8", "7"}, "7", "7", kNone},
    {9, {"_", "8"}, "8", "8", kNone},
    {10, {"\xE7", "9"}, "9", "9", kNone},
    {11, {"\xE0", "0"}, "0", "0", kNone},
    {12, {")"}, "-", kNone, "MINUS"},
    {13, {"="}, "=", kNone, "EQUALS"},
    {14, {}, "BACKSPACE", "BACKSPACE", kNone},
    {15, {}, "TAB", "TAB", kNone},
    {16, {"a"}, "q", kNone, "Q"},
    {17, {"z"}, "w", kNone, "W"},
    {18, {"e"}, "e", kNone, "E"},
    {19, {"r"}, "r", kNone, "R"},
    {20, {"t"}, "t", kNone, "T"},
    {21, {"y"}, "y", kNone, "Y"},
    {22, {"u"}, "u", kNone, "U"},
    {23, {"i"}, "i", kNone, "I"},
    {24, {"o"}, "o", kNone, "O"},
    {25, {"p"}, "p", kNone, "P"},
    {26, {"^"}, "[", "SC_LEFTBRACKET", kNone},  // a dead key: it types nothing by itself
    {27, {"$"}, "]", kNone, "RIGHTBRACKET"},
    {28, {}, "ENTER", "ENTER", kNone},
    {29, {}, "CTRL", "CTRL", kNone},
    {30, {"q"}, "a", kNone, "A"},
    {31, {"s"}, "s", kNone, "S"},
    {32, {"d"}, "d", kNone, "D"},
    {33, {"f"}, "f", kNone, "F"},
    {34, {"g"}, "g", kNone, "G"},
    {35, {"h"}, "h", kNone, "H"},
    {36, {"j"}, "j", kNone, "J"},
    {37, {"k"}, "k", kNone, "K"},
    {38, {"l"}, "l", kNone, "L"},
    {39, {"m"}, ";", kNone, "SEMICOLON"},
    {40, {"\xF9"}, "'", kNone, "APOSTROPHE"},
    {41, {"\xB2"}, "`", "`", kNone},  // the console key
    {42, {}, "SHIFT", "SHIFT", kNone},
    {43, {"*"}, "\\", kNone, "BACKSLASH"},
    {44, {"w"}, "z", kNone, "Z"},
    {45, {"x"}, "x", kNone, "X"},
    {46, {"c"}, "c", kNone, "C"},
    {47, {"v"}, "v", kNone, "V"},
    {48, {"b"}, "b", kNone, "B"},
    {49, {"n"}, "n", kNone, "N"},
    {50, {","}, "m", kNone, "M"},
    {51, {";"}, ",", kNone, "COMMA"},
    {52, {":"}, ".", kNone, "PERIOD"},
    {53, {"!"}, "/", kNone, "SLASH"},
    {54, {}, "SHIFT", "SHIFT", kNone},
    {55, {}, "*", "KP_STAR", kNone},
    {56, {}, "ALT", "ALT", kNone},
    {57, {}, "SPACE", "SPACE", kNone},
    {58, {}, kNone, "CAPSLOCK", kNone},
    {59, {}, "F1", "F1", kNone},
    {60, {}, "F2", "F2", kNone},
    {61, {}, "F3", "F3", kNone},
    {62, {}, "F4", "F4", kNone},
    {63, {}, "F5", "F5", kNone},
    {64, {}, "F6", "F6", kNone},
    {65, {}, "F7", "F7", kNone},
    {66, {}, "F8", "F8", kNone},
    {67, {}, "F9", "F9", kNone},
    {68, {}, "F10", "F10", kNone},
    {69, {}, kNone, "KP_NUMLOCK", kNone},
    {70, {}, kNone, "SCROLLOCK", kNone},
    {71, {}, "KP_HOME", "KP_HOME", kNone},
    {72, {}, "KP_UPARROW", "KP_UPARROW", kNone},
    {73, {}, "KP_PGUP", "KP_PGUP", kNone},
    {74, {}, "KP_MINUS", "KP_MINUS", kNone},
    {75, {}, "KP_LEFTARROW", "KP_LEFTARROW", kNone},
    {76, {}, "KP_5", "KP_5", kNone},
    {77, {}, "KP_RIGHTARROW", "KP_RIGHTARROW", kNone},
    {78, {"+"}, "KP_PLUS", "KP_PLUS", kNone},  // "+" is printed unshifted only here
    {79, {}, "KP_END", "KP_END", kNone},
    {80, {}, "KP_DOWNARROW", "KP_DOWNARROW", kNone},
    {81, {}, "KP_PGDN", "KP_PGDN", kNone},
    {82, {}, "KP_INS", "KP_INS", kNone},
    {83, {}, "KP_DEL", "KP_DEL", kNone},
    {86, {"<"}, kNone, kNone, "NONUSBACKSLASH"},  // left of w: not in Quake 2's table
    {87, {}, "F11", "F11", kNone},
    {88, {}, "F12", "F12", kNone},
    {96, {}, "KP_ENTER", "KP_ENTER", kNone},
    {97, {}, "CTRL", "CTRL", kNone},
    {98, {"/"}, "KP_SLASH", "KP_SLASH", kNone},  // "/" is printed unshifted only here
    {99, {}, kNone, "PRINT", kNone},
    {100, {}, "ALT", "MODE", kNone},  // AltGr: Yamagi's SDL3 builds call it MODE
    {102, {}, "HOME", "HOME", kNone},
    {103, {}, "UPARROW", "UPARROW", kNone},
    {104, {}, "PGUP", "PGUP", kNone},
    {105, {}, "LEFTARROW", "LEFTARROW", kNone},
    {106, {}, "RIGHTARROW", "RIGHTARROW", kNone},
    {107, {}, "END", "END", kNone},
    {108, {}, "DOWNARROW", "DOWNARROW", kNone},
    {109, {}, "PGDN", "PGDN", kNone},
    {110, {}, "INS", "INS", kNone},
    {111, {}, "DEL", "DEL", kNone},
    {117, {}, kNone, "KP_EQUALS", kNone},
    {119, {}, "PAUSE", "PAUSE", kNone},
    {125, {}, kNone, "SUPER", kNone},
    {126, {}, kNone, "SUPER", kNone},
    {127, {}, kNone, "MENU", kNone},
    {183, {}, kNone, "F13", kNone},
    {184, {}, kNone, "F14", kNone},
    {185, {}, kNone, "F15", kNone},
};

constexpr std::uint16_t kModifierCodes[] = {29, 42, 54, 56, 97, 100, 125, 126};

const Position* PositionAt(std::uint32_t code) {
  for (const Position& position : kPositions) {
    if (position.code == code) return &position;
  }
  return nullptr;
}

const Position* PositionOfLabel(std::string_view label) {
  for (const Position& position : kPositions) {
    for (const char* text : position.labels) {
      if (text != nullptr && label == text) return &position;
    }
  }
  return nullptr;
}

// The Linux input code of a Windows scan code; 0 when there is none.
std::uint32_t InputCodeOfWindows(std::uint32_t scanCode) {
  const std::uint32_t code = scanCode & 0xFF;
  if ((scanCode & 0x100) == 0) {
    if (code == 0x45) return 119;  // Pause comes without the extended bit, Num Lock with it
    if (code <= 0x58) return code;
    if (code == 0x59) return 117;                                // keypad =
    if (code >= 0x64 && code <= 0x66) return code - 0x64 + 183;  // F13 to F15
    return 0;
  }
  constexpr std::array<std::pair<std::uint32_t, std::uint32_t>, 19> kExtended = {{
      {0x1C, 96},  {0x1D, 97},  {0x35, 98},  {0x37, 99},  {0x38, 100}, {0x45, 69},  {0x47, 102},
      {0x48, 103}, {0x49, 104}, {0x4B, 105}, {0x4D, 106}, {0x4F, 107}, {0x50, 108}, {0x51, 109},
      {0x52, 110}, {0x53, 111}, {0x5B, 125}, {0x5C, 126}, {0x5D, 127},
  }};
  for (const auto& [extended, input] : kExtended) {
    if (extended == code) return input;
  }
  return 0;
}

std::uint32_t InputCode(ScanCodes codes, std::uint32_t nativeScanCode) {
  if (codes == ScanCodes::kWindows) return InputCodeOfWindows(nativeScanCode);
  return nativeScanCode > 8 ? nativeScanCode - 8 : 0;
}

// The key name `name` unless the game cannot bind that key: the console key and ESCAPE,
// whatever way they were reached.
KeyChoice Bindable(Game game, std::string_view name) {
  switch (VerdictOf(game, name)) {
    case KeyVerdict::kConsoleKey:
      return KeyChoice::Refused(Text{"Key.ConsoleKey", {std::string(name)}});
    case KeyVerdict::kMenuKey:
      return KeyChoice::Refused(Text{"Key.MenuKey", {std::string(name)}});
    default:
      return KeyChoice::Named(name);
  }
}

// Yamagi's name for a character key that types `typed`: the character when it is
// printable ASCII ('"' by its table name, which a bind line can hold), else the position's.
std::string YamagiCharacterKey(char32_t typed, const char* usName) {
  if (typed == '"') return "DOUBLEQUOTE";
  if (typed > ' ' && typed < 0x7F) return std::string(1, static_cast<char>(typed));
  return std::string("SC_") + usName;
}

// The game's name for the key at `position`, typing `typed` (Yamagi only reads it).
KeyChoice NameAt(Game game, const Position& position, char32_t typed) {
  if (game == Game::kQuake2) {
    if (position.quake2 == nullptr) return KeyChoice::Refused(Text{"Key.Unbindable", {}});
    return Bindable(game, position.quake2);
  }
  if (position.yamagi != nullptr) return Bindable(game, position.yamagi);
  if (position.usName == nullptr) return KeyChoice::Refused(Text{"Key.Unbindable", {}});
  return Bindable(game, YamagiCharacterKey(typed, position.usName));
}

char32_t CharacterOfLabel(std::string_view label) {
  return label.size() == 1 ? static_cast<unsigned char>(label[0]) : 0;
}

// The character a key of the US layout types alone: Quake 2 names a character key by it.
char32_t UsCharacter(const Position& position) {
  if (position.usName == nullptr || position.quake2 == nullptr) return 0;
  return static_cast<unsigned char>(position.quake2[0]);
}

}  // namespace

std::string_view CharacterAt(Layout layout, std::uint16_t code) {
  const Position* position = PositionAt(code);
  if (position == nullptr) return {};
  if (layout == Layout::kAzerty) return position->labels[0] != nullptr ? position->labels[0] : "";
  // Quake 2's names of the character keys are the US characters; the number row's too.
  const bool character = position->usName != nullptr || (code >= 2 && code <= 11);
  return character && position->quake2 != nullptr ? position->quake2 : "";
}

std::optional<std::string> NameAtPosition(Game game, Layout layout, std::uint16_t code) {
  const Position* position = PositionAt(code);
  if (position == nullptr) return std::nullopt;
  if (game == Game::kQuake2) {
    if (position->quake2 == nullptr) return std::nullopt;
    return std::string(position->quake2);
  }
  if (position->yamagi != nullptr) return std::string(position->yamagi);
  if (position->usName == nullptr) return std::nullopt;
  const char32_t typed = layout == Layout::kAzerty ? CharacterOfLabel(CharacterAt(layout, code))
                                                   : UsCharacter(*position);
  if (typed == 0) return std::nullopt;  // no such key on that layout
  return YamagiCharacterKey(typed, position->usName);
}

KeyChoice KeyOfLabel(Game game, std::string_view text) {
  if (const Position* position = PositionOfLabel(text))
    return NameAt(game, *position, CharacterOfLabel(text));
  return Bindable(game, text);
}

PressedKey KeyOfPress(Game game, ScanCodes codes, const KeyPress& press) {
  const std::uint32_t code = InputCode(codes, press.nativeScanCode);
  if (code == 0) return {KeyChoice::Refused(Text{"Key.Unidentified", {}}), false};
  const Position* position = PositionAt(code);
  if (position == nullptr) return {KeyChoice::Refused(Text{"Key.Unbindable", {}}), false};
  // Yamagi Quake II takes a character key as the character typed, Shift and AltGr
  // included; anything else is named by position and the modifiers are no part of it.
  const bool typesCharacter = game == Game::kYamagi && position->yamagi == nullptr &&
                              press.typed > ' ' && press.typed < 0x7F;
  const bool dropped = press.modifiers && !(typesCharacter && press.characterModifiers);
  // Shift and AltGr make the key the character they type; Caps Lock alone does not.
  char32_t typed = press.typed;
  if (!(press.modifiers && press.characterModifiers) && typed >= 'A' && typed <= 'Z')
    typed = typed - 'A' + 'a';
  return {NameAt(game, *position, typed), dropped};
}

bool IsModifierKey(ScanCodes codes, std::uint32_t nativeScanCode) {
  const std::uint32_t code = InputCode(codes, nativeScanCode);
  for (std::uint16_t modifier : kModifierCodes) {
    if (modifier == code) return true;
  }
  return false;
}

KeyChoice KeyOfMouseButton(Game game, MouseButton button) {
  switch (button) {
    case MouseButton::kLeft:
      return KeyChoice::Named("MOUSE1");
    case MouseButton::kRight:
      return KeyChoice::Named("MOUSE2");
    case MouseButton::kMiddle:
      return KeyChoice::Named("MOUSE3");
    case MouseButton::kBack:
    case MouseButton::kForward:
      break;
    case MouseButton::kOther:
      return KeyChoice::Refused(Text{"Key.Unbindable", {}});
  }
  if (game == Game::kQuake2) return KeyChoice::Refused(Text{"Key.Unbindable", {}});
  return KeyChoice::Named(button == MouseButton::kBack ? "MOUSE4" : "MOUSE5");
}

std::optional<std::string> KeyOfWheel(Game game, WheelTurn turn) {
  switch (turn) {
    case WheelTurn::kUp:
      return "MWHEELUP";
    case WheelTurn::kDown:
      return "MWHEELDOWN";
    case WheelTurn::kSideways:
      break;
  }
  if (game == Game::kYamagi) return "MWHEELDOWN";
  return std::nullopt;
}

}  // namespace tavrilo::game
