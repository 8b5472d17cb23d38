#include "game/Keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/Keys.h"

namespace tavrilo::game {
namespace {

KeyChoice Named(const char* name) {
  return KeyChoice::Named(name);
}
const KeyChoice kConsoleKey = KeyChoice::Refused(kKeyConsole);
const KeyChoice kUnbindable = KeyChoice::Refused(kKeyUnbindable);
const KeyChoice kUnidentified = KeyChoice::Refused(kKeyUnidentified);

// X11 and Wayland report the Linux input code plus 8.
std::uint32_t X11(std::uint32_t inputCode) {
  return inputCode + 8;
}

// The keys of a French AZERTY keyboard, pressed: the Linux input code of the position,
// the character the key types without Shift, and each game's name.
struct PressedKey {
  std::uint32_t inputCode;
  char32_t typed;
  KeyChoice quake2;
  KeyChoice yamagi;
};
const std::vector<PressedKey> kAzertyKeyboard = {
    {41, U'\u00B2', kConsoleKey, kConsoleKey},
    {2, U'&', Named("1"), Named("1")},
    {3, U'\u00E9', Named("2"), Named("2")},
    {4, U'"', Named("3"), Named("3")},
    {5, U'\'', Named("4"), Named("4")},
    {6, U'(', Named("5"), Named("5")},
    {7, U'-', Named("6"), Named("6")},
    {8, U'\u00E8', Named("7"), Named("7")},
    {9, U'_', Named("8"), Named("8")},
    {10, U'\u00E7', Named("9"), Named("9")},
    {11, U'\u00E0', Named("0"), Named("0")},
    {12, U')', Named("-"), Named(")")},
    {13, U'=', Named("="), Named("=")},
    {16, U'a', Named("q"), Named("a")},
    {17, U'z', Named("w"), Named("z")},
    {18, U'e', Named("e"), Named("e")},
    {25, U'p', Named("p"), Named("p")},
    {26, 0, Named("["), Named("SC_LEFTBRACKET")},  // the dead key ^ types no character
    {27, U'$', Named("]"), Named("$")},
    {30, U'q', Named("a"), Named("q")},
    {38, U'l', Named("l"), Named("l")},
    {39, U'm', Named(";"), Named("m")},
    {40, U'\u00F9', Named("'"), Named("SC_APOSTROPHE")},
    {43, U'*', Named("\\"), Named("*")},
    {86, U'<', kUnbindable, Named("<")},
    {44, U'w', Named("z"), Named("w")},
    {49, U'n', Named("n"), Named("n")},
    {50, U',', Named("m"), Named(",")},
    {51, U';', Named(","), Named(";")},
    {52, U':', Named("."), Named(":")},
    {53, U'!', Named("/"), Named("!")},
    {78, U'+', Named("KP_PLUS"), Named("KP_PLUS")},
    {74, U'-', Named("KP_MINUS"), Named("KP_MINUS")},
    {98, U'/', Named("KP_SLASH"), Named("KP_SLASH")},
    {55, U'*', Named("*"), Named("KP_STAR")},
};

TEST(Keyboard, EachAzertyKeyPressedGetsTheNameOfTheChosenGame) {
  for (const auto& [inputCode, typed, quake2, yamagi] : kAzertyKeyboard) {
    EXPECT_EQ(KeyOfScanCode(Game::kQuake2, ScanCodes::kXkb, X11(inputCode), typed), quake2)
        << "input code " << inputCode;
    EXPECT_EQ(KeyOfScanCode(Game::kYamagi, ScanCodes::kXkb, X11(inputCode), typed), yamagi)
        << "input code " << inputCode;
  }
}

TEST(Keyboard, YamagiNamesOtherLayoutsByTheirAsciiCharacterElseByPosition) {
  auto yamagi = [](std::uint32_t inputCode, char32_t typed) {
    return KeyOfScanCode(Game::kYamagi, ScanCodes::kXkb, X11(inputCode), typed);
  };
  EXPECT_EQ(yamagi(16, U'Q'), Named("q"));              // Caps Lock on
  EXPECT_EQ(yamagi(16, U'\u0439'), Named("SC_Q"));      // Russian
  EXPECT_EQ(yamagi(12, U'\u00DF'), Named("SC_MINUS"));  // German sharp s
  EXPECT_EQ(yamagi(40, U'"'), Named("DOUBLEQUOTE"));    // no bare quote in a bind line
  EXPECT_EQ(yamagi(21, U'z'), Named("z"));              // German y position
  EXPECT_EQ(yamagi(4, U'3'), Named("3"));               // US top row
  // Keys that type no character have the same name whatever the layout.
  EXPECT_EQ(yamagi(59, U'x'), Named("F1"));
}

TEST(Keyboard, KeysOnlyYamagiCanBind) {
  for (auto [inputCode, name] : std::vector<std::pair<std::uint32_t, const char*>>{
           {58, "CAPSLOCK"}, {69, "KP_NUMLOCK"}, {117, "KP_EQUALS"}, {183, "F13"}, {185, "F15"}}) {
    EXPECT_EQ(KeyOfScanCode(Game::kQuake2, ScanCodes::kXkb, X11(inputCode), 0), kUnbindable);
    EXPECT_EQ(KeyOfScanCode(Game::kYamagi, ScanCodes::kXkb, X11(inputCode), 0), Named(name));
  }
  for (std::uint32_t inputCode : {70u, 99u, 125u, 127u, 200u})  // Scroll Lock, Print, menus...
    EXPECT_EQ(KeyOfScanCode(Game::kYamagi, ScanCodes::kXkb, X11(inputCode), 0), kUnbindable);
}

TEST(Keyboard, WindowsScanCodesTellTheKeypadFromItsExtendedTwins) {
  const std::vector<std::pair<std::uint32_t, const char*>> quake2 = {
      {0x10, "q"},        {0x1C, "ENTER"},   {0x11C, "KP_ENTER"}, {0x1D, "CTRL"},
      {0x11D, "CTRL"},    {0x35, "/"},       {0x135, "KP_SLASH"}, {0x38, "ALT"},
      {0x138, "ALT"},     {0x47, "KP_HOME"}, {0x147, "HOME"},     {0x48, "KP_UPARROW"},
      {0x148, "UPARROW"}, {0x53, "KP_DEL"},  {0x153, "DEL"},      {0x45, "PAUSE"},
      {0x57, "F11"},      {0x37, "*"},       {0x4E, "KP_PLUS"},   {0x39, "SPACE"},
  };
  for (const auto& [scanCode, name] : quake2)
    EXPECT_EQ(KeyOfScanCode(Game::kQuake2, ScanCodes::kWindows, scanCode, 0), Named(name))
        << std::hex << scanCode;
  EXPECT_EQ(KeyOfScanCode(Game::kQuake2, ScanCodes::kWindows, 0x29, 0), kConsoleKey);
  EXPECT_EQ(KeyOfScanCode(Game::kQuake2, ScanCodes::kWindows, 0x56, 0), kUnbindable);
  EXPECT_EQ(KeyOfScanCode(Game::kQuake2, ScanCodes::kWindows, 0x145, 0), kUnbindable);  // Num Lock
  EXPECT_EQ(KeyOfScanCode(Game::kYamagi, ScanCodes::kWindows, 0x145, 0), Named("KP_NUMLOCK"));
  EXPECT_EQ(KeyOfScanCode(Game::kYamagi, ScanCodes::kWindows, 0x10, U'a'), Named("a"));
  EXPECT_EQ(KeyOfScanCode(Game::kYamagi, ScanCodes::kWindows, 0x64, 0), Named("F13"));
}

TEST(Keyboard, AKeyWithoutAScanCodeIsUnidentified) {
  for (Game game : {Game::kQuake2, Game::kYamagi}) {
    EXPECT_EQ(KeyOfScanCode(game, ScanCodes::kXkb, 0, U'a'), kUnidentified);
    EXPECT_EQ(KeyOfScanCode(game, ScanCodes::kWindows, 0, U'a'), kUnidentified);
    EXPECT_EQ(KeyOfScanCode(game, ScanCodes::kWindows, 0x1FF, 0), kUnidentified);
  }
}

TEST(Keyboard, EveryNameGivenIsOneTheGameTakesAndRuns) {
  for (Game game : {Game::kQuake2, Game::kYamagi}) {
    for (ScanCodes codes : {ScanCodes::kXkb, ScanCodes::kWindows}) {
      for (std::uint32_t code = 0; code < 0x200; ++code) {
        for (char32_t typed : {char32_t{0}, U'a', U'\u00F9', U'"', U';'}) {
          const KeyChoice key = KeyOfScanCode(game, codes, code, typed);
          if (!key.Bindable()) continue;
          EXPECT_TRUE(IsKeyName(game, key.name)) << key.name;
          if (key.name != "ESCAPE") {  // Escape ends the capture before it gets here
            EXPECT_EQ(DeadKeyOf(game, key.name), DeadKey::kNone) << key.name;
          }
        }
      }
    }
  }
}

TEST(Keyboard, MouseButtonsAndWheel) {
  for (Game game : {Game::kQuake2, Game::kYamagi}) {
    EXPECT_EQ(KeyOfMouseButton(game, MouseButton::kLeft), Named("MOUSE1"));
    EXPECT_EQ(KeyOfMouseButton(game, MouseButton::kRight), Named("MOUSE2"));
    EXPECT_EQ(KeyOfMouseButton(game, MouseButton::kMiddle), Named("MOUSE3"));
  }
  EXPECT_EQ(KeyOfMouseButton(Game::kQuake2, MouseButton::kBack), kUnbindable);
  EXPECT_EQ(KeyOfMouseButton(Game::kQuake2, MouseButton::kForward), kUnbindable);
  EXPECT_EQ(KeyOfMouseButton(Game::kYamagi, MouseButton::kBack), Named("MOUSE4"));
  EXPECT_EQ(KeyOfMouseButton(Game::kYamagi, MouseButton::kForward), Named("MOUSE5"));
  EXPECT_EQ(KeyOfWheel(WheelTurn::kUp), "MWHEELUP");
  EXPECT_EQ(KeyOfWheel(WheelTurn::kDown), "MWHEELDOWN");
}

}  // namespace
}  // namespace tavrilo::game
