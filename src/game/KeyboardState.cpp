// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/KeyboardState.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "game/Keys.h"

namespace tavrilo::game {

namespace {

// Where a key is drawn, in quarters of a key.
struct Place {
  std::uint16_t code;
  int x, y, width = 4, height = 4;
};

// The mouse, below the keyboard: its buttons (the Linux codes of BTN_LEFT to BTN_EXTRA)
// and its wheel.
constexpr std::uint16_t kMouseLeft = 0x110;
constexpr std::uint16_t kWheelUp = 0x150;
constexpr std::uint16_t kWheelDown = 0x151;

// The rows both layouts share: the function keys, the number row, the arrows and the
// page keys, the keypad, the bottom row and the mouse.
constexpr Place kCommon[] = {
    {1, 0, 0},
    {59, 8, 0},
    {60, 12, 0},
    {61, 16, 0},
    {62, 20, 0},
    {63, 26, 0},
    {64, 30, 0},
    {65, 34, 0},
    {66, 38, 0},
    {67, 44, 0},
    {68, 48, 0},
    {87, 52, 0},
    {88, 56, 0},
    {99, 62, 0},
    {70, 66, 0},
    {119, 70, 0},
    // the number row
    {41, 0, 6},
    {2, 4, 6},
    {3, 8, 6},
    {4, 12, 6},
    {5, 16, 6},
    {6, 20, 6},
    {7, 24, 6},
    {8, 28, 6},
    {9, 32, 6},
    {10, 36, 6},
    {11, 40, 6},
    {12, 44, 6},
    {13, 48, 6},
    {14, 52, 6, 8},
    {110, 62, 6},
    {102, 66, 6},
    {104, 70, 6},
    {69, 76, 6},
    {98, 80, 6},
    {55, 84, 6},
    {74, 88, 6},
    // the top letter row
    {15, 0, 10, 6},
    {16, 6, 10},
    {17, 10, 10},
    {18, 14, 10},
    {19, 18, 10},
    {20, 22, 10},
    {21, 26, 10},
    {22, 30, 10},
    {23, 34, 10},
    {24, 38, 10},
    {25, 42, 10},
    {26, 46, 10},
    {27, 50, 10},
    {111, 62, 10},
    {107, 66, 10},
    {109, 70, 10},
    {71, 76, 10},
    {72, 80, 10},
    {73, 84, 10},
    {78, 88, 10, 4, 8},
    // the middle letter row
    {58, 0, 14, 7},
    {30, 7, 14},
    {31, 11, 14},
    {32, 15, 14},
    {33, 19, 14},
    {34, 23, 14},
    {35, 27, 14},
    {36, 31, 14},
    {37, 35, 14},
    {38, 39, 14},
    {39, 43, 14},
    {40, 47, 14},
    {75, 76, 14},
    {76, 80, 14},
    {77, 84, 14},
    // the bottom letter row
    {44, 9, 18},
    {45, 13, 18},
    {46, 17, 18},
    {47, 21, 18},
    {48, 25, 18},
    {49, 29, 18},
    {50, 33, 18},
    {51, 37, 18},
    {52, 41, 18},
    {53, 45, 18},
    {54, 49, 18, 11},
    {103, 66, 18},
    {79, 76, 18},
    {80, 80, 18},
    {81, 84, 18},
    {96, 88, 18, 4, 8},
    // the space bar's row
    {29, 0, 22, 5},
    {125, 5, 22, 5},
    {56, 10, 22, 5},
    {57, 15, 22, 25},
    {100, 40, 22, 5},
    {126, 45, 22, 5},
    {127, 50, 22, 5},
    {97, 55, 22, 5},
    {105, 62, 22},
    {108, 66, 22},
    {106, 70, 22},
    {82, 76, 22, 8},
    {83, 84, 22},
    // the mouse
    {kMouseLeft, 0, 28, 8},
    {kMouseLeft + 1, 8, 28, 8},
    {kMouseLeft + 2, 16, 28, 8},
    {kMouseLeft + 3, 24, 28, 8},
    {kMouseLeft + 4, 32, 28, 8},
    {kWheelUp, 44, 28, 8},
    {kWheelDown, 52, 28, 8},
};

// French AZERTY (ISO): a tall Enter, the key left of w, a short left Shift.
constexpr Place kAzerty[] = {
    {28, 55, 10, 5, 8},
    {43, 51, 14},
    {42, 0, 18, 5},
    {86, 5, 18},
};
// US QWERTY (ANSI): the backslash above a wide Enter, a wide left Shift.
constexpr Place kQwerty[] = {
    {43, 54, 10, 6},
    {28, 51, 14, 9},
    {42, 0, 18, 9},
};

// What is printed on a key without a character.
std::string_view LabelOf(std::uint16_t code, Layout layout) {
  static constexpr std::pair<std::uint16_t, std::string_view> kLabels[] = {
      {1, "Esc"},    {14, "Backspace"}, {15, "Tab"},    {28, "Enter"},  {29, "Ctrl"},
      {42, "Shift"}, {54, "Shift"},     {55, "*"},      {56, "Alt"},    {57, "Space"},
      {58, "Caps"},  {59, "F1"},        {60, "F2"},     {61, "F3"},     {62, "F4"},
      {63, "F5"},    {64, "F6"},        {65, "F7"},     {66, "F8"},     {67, "F9"},
      {68, "F10"},   {69, "Num"},       {70, "Scroll"}, {71, "7"},      {72, "8"},
      {73, "9"},     {74, "-"},         {75, "4"},      {76, "5"},      {77, "6"},
      {78, "+"},     {79, "1"},         {80, "2"},      {81, "3"},      {82, "0"},
      {83, "."},     {87, "F11"},       {88, "F12"},    {96, "Enter"},  {97, "Ctrl"},
      {98, "/"},     {99, "Print"},     {100, "AltGr"}, {102, "Home"},  {103, "Up"},
      {104, "PgUp"}, {105, "Left"},     {106, "Right"}, {107, "End"},   {108, "Down"},
      {109, "PgDn"}, {110, "Ins"},      {111, "Del"},   {119, "Pause"}, {125, "Win"},
      {126, "Win"},  {127, "Menu"},
  };
  if (code == 100 && layout == Layout::kQwerty) return "Alt";
  for (const auto& [key, label] : kLabels) {
    if (key == code) return label;
  }
  return {};
}

// The game's name for a key of the mouse; std::nullopt when the game never receives it.
std::optional<std::string> MouseName(Game game, std::uint16_t code) {
  if (code == kWheelUp) return KeyOfWheel(game, WheelTurn::kUp);
  if (code == kWheelDown) return KeyOfWheel(game, WheelTurn::kDown);
  static constexpr MouseButton kButtons[] = {MouseButton::kLeft, MouseButton::kRight,
                                             MouseButton::kMiddle, MouseButton::kBack,
                                             MouseButton::kForward};
  const KeyChoice choice = KeyOfMouseButton(game, kButtons[code - kMouseLeft]);
  if (!choice.Bindable()) return std::nullopt;
  return choice.name;
}

std::optional<Definition> Find(const GameState& state, const std::string& identity) {
  const auto found = state.bindings.find(identity);
  if (found == state.bindings.end()) return std::nullopt;
  return found->second;
}

KeyCap CapAt(Game game, Layout layout, const Place& place, const GameState& before,
             const GameState& after, const CheckResult& list) {
  KeyCap cap;
  cap.code = place.code;
  cap.x = place.x;
  cap.y = place.y;
  cap.width = place.width;
  cap.height = place.height;
  const bool mouse = place.code >= kMouseLeft;
  const std::optional<std::string> name =
      mouse ? MouseName(game, place.code) : NameAtPosition(game, layout, place.code);
  const std::string_view character = mouse ? std::string_view() : CharacterAt(layout, place.code);
  cap.label = !character.empty() ? std::string(character)
              : mouse            ? std::string(name.value_or(""))
                                 : std::string(LabelOf(place.code, layout));
  if (mouse && cap.label.empty()) cap.label = place.code == kMouseLeft + 3 ? "MOUSE4" : "MOUSE5";
  if (!name) {
    cap.status = KeyStatus::kNeverReceived;
    return cap;
  }
  cap.name = *name;
  cap.reservedJob = HardwiredJobOf(game, cap.name);
  const std::string identity = KeyIdentity(game, cap.name);
  cap.before = Find(before, identity);
  cap.after = Find(after, identity);
  if (cap.after && cap.after->origin.OfList()) {
    cap.listLine = cap.after->origin.line;
    cap.listError = list.WorstOf(cap.listLine) == Severity::kError;
  }
  if (!cap.reservedJob.empty()) {
    cap.status = KeyStatus::kReserved;
  } else if (cap.listLine >= 0) {
    cap.status =
        cap.before && cap.before->text != cap.after->text ? KeyStatus::kReplaces : KeyStatus::kList;
  } else if (cap.before && !cap.after) {
    cap.status = KeyStatus::kReplaces;  // the list removed it
  } else if (cap.after) {
    cap.status = KeyStatus::kPlayer;
  }
  return cap;
}

}  // namespace

std::vector<KeyCap> LayOutKeys(Game game, Layout layout, const GameState& before,
                               const GameState& after, const CheckResult& list) {
  std::vector<KeyCap> keys;
  const auto add = [&](const Place& place) {
    keys.push_back(CapAt(game, layout, place, before, after, list));
  };
  for (const Place& place : kCommon)
    add(place);
  if (layout == Layout::kAzerty) {
    for (const Place& place : kAzerty)
      add(place);
  } else {
    for (const Place& place : kQwerty)
      add(place);
  }
  // In the order of reading: by row, then from the left.
  std::stable_sort(keys.begin(), keys.end(), [](const KeyCap& a, const KeyCap& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  });
  return keys;
}

std::size_t NeighbourKey(const std::vector<KeyCap>& keys, std::size_t from, int dx, int dy) {
  if (from >= keys.size()) return from;
  const KeyCap& start = keys[from];
  const int cx = 2 * start.x + start.width, cy = 2 * start.y + start.height;
  std::size_t best = from;
  int bestScore = std::numeric_limits<int>::max();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const int x = 2 * keys[i].x + keys[i].width - cx, y = 2 * keys[i].y + keys[i].height - cy;
    const int along = dx * x + dy * y;  // the distance in the direction of the step
    const int across = dx != 0 ? std::abs(y) : std::abs(x);
    if (i == from || along <= 0) continue;
    const int score = along + 3 * across;
    if (score < bestScore) {
      bestScore = score;
      best = i;
    }
  }
  return best;
}

}  // namespace tavrilo::game
