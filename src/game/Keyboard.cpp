#include "game/Keyboard.h"

#include <array>

namespace tavrilo::game {

namespace {

// One key position, by its Linux input code (which equals the set-1 scan code for the
// keys of the original PC keyboard).
struct Position {
  std::uint16_t code;
  const char* quake2;  // Quake 2's name; nullptr when its scan-code table has none
  const char* yamagi;  // Yamagi's name for a key that types no character
  const char* usName;  // for a key that types a character: its US position name, which
                       // Yamagi uses when the character is not ASCII
};

constexpr std::uint16_t kConsoleKey = 41;  // left of 1

constexpr Position kPositions[] = {
    {1, "ESCAPE", "ESCAPE", nullptr},
    {2, "1", "1", nullptr},  // the top row's digits are named by position in both games
    {3, "2", "2", nullptr},
    {4, "3", "3", nullptr},
    {5, "4", "4", nullptr},
    {6, "5", "5", nullptr},
    {7, "6", "6", nullptr},
    {8, "7", "7", nullptr},
    {9, "8", "8", nullptr},
    {10, "9", "9", nullptr},
    {11, "0", "0", nullptr},
    {12, "-", nullptr, "MINUS"},
    {13, "=", nullptr, "EQUALS"},
    {14, "BACKSPACE", "BACKSPACE", nullptr},
    {15, "TAB", "TAB", nullptr},
    {16, "q", nullptr, "Q"},
    {17, "w", nullptr, "W"},
    {18, "e", nullptr, "E"},
    {19, "r", nullptr, "R"},
    {20, "t", nullptr, "T"},
    {21, "y", nullptr, "Y"},
    {22, "u", nullptr, "U"},
    {23, "i", nullptr, "I"},
    {24, "o", nullptr, "O"},
    {25, "p", nullptr, "P"},
    {26, "[", nullptr, "LEFTBRACKET"},
    {27, "]", nullptr, "RIGHTBRACKET"},
    {28, "ENTER", "ENTER", nullptr},
    {29, "CTRL", "CTRL", nullptr},
    {30, "a", nullptr, "A"},
    {31, "s", nullptr, "S"},
    {32, "d", nullptr, "D"},
    {33, "f", nullptr, "F"},
    {34, "g", nullptr, "G"},
    {35, "h", nullptr, "H"},
    {36, "j", nullptr, "J"},
    {37, "k", nullptr, "K"},
    {38, "l", nullptr, "L"},
    {39, ";", nullptr, "SEMICOLON"},
    {40, "'", nullptr, "APOSTROPHE"},
    {42, "SHIFT", "SHIFT", nullptr},
    {43, "\\", nullptr, "BACKSLASH"},
    {44, "z", nullptr, "Z"},
    {45, "x", nullptr, "X"},
    {46, "c", nullptr, "C"},
    {47, "v", nullptr, "V"},
    {48, "b", nullptr, "B"},
    {49, "n", nullptr, "N"},
    {50, "m", nullptr, "M"},
    {51, ",", nullptr, "COMMA"},
    {52, ".", nullptr, "PERIOD"},
    {53, "/", nullptr, "SLASH"},
    {54, "SHIFT", "SHIFT", nullptr},
    {55, "*", "KP_STAR", nullptr},
    {56, "ALT", "ALT", nullptr},
    {57, "SPACE", "SPACE", nullptr},
    {58, nullptr, "CAPSLOCK", nullptr},
    {59, "F1", "F1", nullptr},
    {60, "F2", "F2", nullptr},
    {61, "F3", "F3", nullptr},
    {62, "F4", "F4", nullptr},
    {63, "F5", "F5", nullptr},
    {64, "F6", "F6", nullptr},
    {65, "F7", "F7", nullptr},
    {66, "F8", "F8", nullptr},
    {67, "F9", "F9", nullptr},
    {68, "F10", "F10", nullptr},
    {69, nullptr, "KP_NUMLOCK", nullptr},
    {71, "KP_HOME", "KP_HOME", nullptr},
    {72, "KP_UPARROW", "KP_UPARROW", nullptr},
    {73, "KP_PGUP", "KP_PGUP", nullptr},
    {74, "KP_MINUS", "KP_MINUS", nullptr},
    {75, "KP_LEFTARROW", "KP_LEFTARROW", nullptr},
    {76, "KP_5", "KP_5", nullptr},
    {77, "KP_RIGHTARROW", "KP_RIGHTARROW", nullptr},
    {78, "KP_PLUS", "KP_PLUS", nullptr},
    {79, "KP_END", "KP_END", nullptr},
    {80, "KP_DOWNARROW", "KP_DOWNARROW", nullptr},
    {81, "KP_PGDN", "KP_PGDN", nullptr},
    {82, "KP_INS", "KP_INS", nullptr},
    {83, "KP_DEL", "KP_DEL", nullptr},
    {86, nullptr, nullptr, "NONUSBACKSLASH"},  // left of the bottom row's first letter
    {87, "F11", "F11", nullptr},
    {88, "F12", "F12", nullptr},
    {96, "KP_ENTER", "KP_ENTER", nullptr},
    {97, "CTRL", "CTRL", nullptr},
    {98, "KP_SLASH", "KP_SLASH", nullptr},
    {100, "ALT", "ALT", nullptr},
    {102, "HOME", "HOME", nullptr},
    {103, "UPARROW", "UPARROW", nullptr},
    {104, "PGUP", "PGUP", nullptr},
    {105, "LEFTARROW", "LEFTARROW", nullptr},
    {106, "RIGHTARROW", "RIGHTARROW", nullptr},
    {107, "END", "END", nullptr},
    {108, "DOWNARROW", "DOWNARROW", nullptr},
    {109, "PGDN", "PGDN", nullptr},
    {110, "INS", "INS", nullptr},
    {111, "DEL", "DEL", nullptr},
    {117, nullptr, "KP_EQUALS", nullptr},
    {119, "PAUSE", "PAUSE", nullptr},
    {183, nullptr, "F13", nullptr},
    {184, nullptr, "F14", nullptr},
    {185, nullptr, "F15", nullptr},
};

const Position* PositionAt(std::uint32_t code) {
  for (const Position& position : kPositions) {
    if (position.code == code) return &position;
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
  constexpr std::array<std::pair<std::uint32_t, std::uint32_t>, 18> kExtended = {{
      {0x1C, 96},
      {0x1D, 97},
      {0x35, 98},
      {0x37, 99},
      {0x38, 100},
      {0x45, 69},
      {0x47, 102},
      {0x48, 103},
      {0x49, 104},
      {0x4B, 105},
      {0x4D, 106},
      {0x4F, 107},
      {0x50, 108},
      {0x51, 109},
      {0x52, 110},
      {0x53, 111},
      {0x5B, 125},
      {0x5C, 126},
  }};
  for (const auto& [extended, input] : kExtended) {
    if (extended == code) return input;
  }
  return 0;
}

// Yamagi's name for a key that types `typed`: the character in lower case when it is
// ASCII, else the position's name.
std::string YamagiCharacterKey(char32_t typed, const char* usName) {
  if (typed >= 'A' && typed <= 'Z') typed = typed - 'A' + 'a';
  if (typed == '"') return "DOUBLEQUOTE";  // a bind line cannot hold it between quotes
  if (typed > ' ' && typed < 0x7F) return std::string(1, static_cast<char>(typed));
  return std::string("SC_") + usName;
}

}  // namespace

KeyChoice KeyOfScanCode(Game game, ScanCodes codes, std::uint32_t nativeScanCode, char32_t typed) {
  std::uint32_t code = 0;
  if (codes == ScanCodes::kWindows) {
    code = InputCodeOfWindows(nativeScanCode);
  } else if (nativeScanCode > 8) {
    code = nativeScanCode - 8;
  }
  if (code == 0) return KeyChoice::Refused(kKeyUnidentified);
  if (code == kConsoleKey) return KeyChoice::Refused(kKeyConsole);
  const Position* position = PositionAt(code);
  if (position == nullptr) return KeyChoice::Refused(kKeyUnbindable);
  if (game == Game::kQuake2) {
    return position->quake2 != nullptr ? KeyChoice::Named(position->quake2)
                                       : KeyChoice::Refused(kKeyUnbindable);
  }
  if (position->usName != nullptr)
    return KeyChoice::Named(YamagiCharacterKey(typed, position->usName));
  return position->yamagi != nullptr ? KeyChoice::Named(position->yamagi)
                                     : KeyChoice::Refused(kKeyUnbindable);
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
  }
  if (game == Game::kQuake2) return KeyChoice::Refused(kKeyUnbindable);
  return KeyChoice::Named(button == MouseButton::kBack ? "MOUSE4" : "MOUSE5");
}

std::string KeyOfWheel(WheelTurn turn) {
  return turn == WheelTurn::kUp ? "MWHEELUP" : "MWHEELDOWN";
}

}  // namespace tavrilo::game
