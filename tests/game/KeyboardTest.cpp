#include "game/Keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KeyboardAzerty.h"
#include "game/Keys.h"

namespace tavrilo::game {
namespace {

const KeyChoice kConsoleKey = KeyChoice::Refused(kKeyConsole);
const KeyChoice kUnbindable = KeyChoice::Refused(kKeyUnbindable);

KeyChoice Expected(const char* name) {
  return name != nullptr ? KeyChoice::Named(name) : kUnbindable;
}

// A key press as X11 and Wayland report it: the Linux input code plus 8.
KeyChoice PressX11(Game game, std::uint32_t inputCode, char32_t typed = 0) {
  return KeyOfScanCode(game, ScanCodes::kXkb, inputCode + 8, typed);
}

TEST(Keyboard, EachAzertyKeyPressedGetsTheNameOfTheChosenGame) {
  for (const testing::AzertyKey& key : testing::kAzertyKeys) {
    EXPECT_EQ(PressX11(Game::kQuake2, key.inputCode, key.typed), Expected(key.quake2)) << key.label;
    EXPECT_EQ(PressX11(Game::kYamagi, key.inputCode, key.typed), Expected(key.yamagi)) << key.label;
  }
  for (Game game : {Game::kQuake2, Game::kYamagi})
    EXPECT_EQ(PressX11(game, 41, U'\u00B2'), kConsoleKey);
  EXPECT_EQ(PressX11(Game::kQuake2, 26), KeyChoice::Named("["));  // the dead key ^
  EXPECT_EQ(PressX11(Game::kYamagi, 26), KeyChoice::Named("SC_LEFTBRACKET"));
  EXPECT_EQ(PressX11(Game::kQuake2, 43, U'*'), KeyChoice::Named("\\"));
  EXPECT_EQ(PressX11(Game::kYamagi, 43, U'*'), KeyChoice::Named("*"));
  EXPECT_EQ(PressX11(Game::kQuake2, 55, U'*'), KeyChoice::Named("*"));  // the keypad's
  EXPECT_EQ(PressX11(Game::kYamagi, 55, U'*'), KeyChoice::Named("KP_STAR"));
}

TEST(Keyboard, YamagiTakesAnAsciiCharacterInLowerCaseElseThePositionName) {
  EXPECT_EQ(PressX11(Game::kYamagi, 16, U'Q'), KeyChoice::Named("q"));          // Caps Lock
  EXPECT_EQ(PressX11(Game::kYamagi, 16, U'\u0439'), KeyChoice::Named("SC_Q"));  // Russian
  EXPECT_EQ(PressX11(Game::kYamagi, 40, U'"'), KeyChoice::Named("DOUBLEQUOTE"));
  EXPECT_EQ(PressX11(Game::kYamagi, 59, U'x'), KeyChoice::Named("F1"));
  for (std::uint32_t inputCode : {58u, 69u, 117u, 183u}) {  // Caps Lock, Num Lock, KP =, F13
    EXPECT_EQ(PressX11(Game::kQuake2, inputCode), kUnbindable);
    EXPECT_TRUE(PressX11(Game::kYamagi, inputCode).Bindable());
  }
}

TEST(Keyboard, WindowsScanCodesTellTheKeypadFromItsExtendedTwins) {
  const std::vector<std::pair<std::uint32_t, const char*>> quake2 = {
      {0x10, "q"},         {0x1C, "ENTER"},      {0x11C, "KP_ENTER"}, {0x35, "/"},
      {0x135, "KP_SLASH"}, {0x48, "KP_UPARROW"}, {0x148, "UPARROW"},  {0x45, "PAUSE"},
  };
  for (const auto& [scanCode, name] : quake2) {
    EXPECT_EQ(KeyOfScanCode(Game::kQuake2, ScanCodes::kWindows, scanCode, 0),
              KeyChoice::Named(name))
        << std::hex << scanCode;
  }
  EXPECT_EQ(KeyOfScanCode(Game::kQuake2, ScanCodes::kWindows, 0x56, 0), kUnbindable);
  EXPECT_EQ(KeyOfScanCode(Game::kYamagi, ScanCodes::kWindows, 0x145, 0),
            KeyChoice::Named("KP_NUMLOCK"));
  EXPECT_EQ(KeyOfScanCode(Game::kQuake2, ScanCodes::kWindows, 0x1FF, 0),
            KeyChoice::Refused(kKeyUnidentified));
}

TEST(Keyboard, EveryNameGivenIsOneTheGameTakesAndRuns) {
  for (Game game : {Game::kQuake2, Game::kYamagi}) {
    for (ScanCodes codes : {ScanCodes::kXkb, ScanCodes::kWindows}) {
      for (std::uint32_t code = 0; code < 0x200; ++code) {
        for (char32_t typed : {char32_t{0}, U'a', U'\u00F9', U';'}) {
          const KeyChoice key = KeyOfScanCode(game, codes, code, typed);
          if (!key.Bindable() || key.name == "ESCAPE") continue;  // Escape ends a capture
          EXPECT_TRUE(IsKeyName(game, key.name)) << key.name;
          EXPECT_EQ(DeadKeyOf(game, key.name), DeadKey::kNone) << key.name;
        }
      }
    }
  }
}

TEST(Keyboard, MouseButtonsAndWheel) {
  for (Game game : {Game::kQuake2, Game::kYamagi}) {
    EXPECT_EQ(KeyOfMouseButton(game, MouseButton::kLeft), KeyChoice::Named("MOUSE1"));
    EXPECT_EQ(KeyOfMouseButton(game, MouseButton::kRight), KeyChoice::Named("MOUSE2"));
    EXPECT_EQ(KeyOfMouseButton(game, MouseButton::kMiddle), KeyChoice::Named("MOUSE3"));
  }
  EXPECT_EQ(KeyOfMouseButton(Game::kQuake2, MouseButton::kBack), kUnbindable);
  EXPECT_EQ(KeyOfMouseButton(Game::kYamagi, MouseButton::kBack), KeyChoice::Named("MOUSE4"));
  EXPECT_EQ(KeyOfMouseButton(Game::kYamagi, MouseButton::kForward), KeyChoice::Named("MOUSE5"));
  EXPECT_EQ(KeyOfWheel(WheelTurn::kUp), "MWHEELUP");
  EXPECT_EQ(KeyOfWheel(WheelTurn::kDown), "MWHEELDOWN");
}

}  // namespace
}  // namespace tavrilo::game
