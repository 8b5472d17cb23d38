// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KeyboardAzerty.h"
#include "game/Keys.h"

namespace tavrilo::game {
namespace {

constexpr Game kBoth[] = {Game::kQuake2, Game::kYamagi};
const KeyChoice kUnbindable = KeyChoice::Refused(Text{"Key.Unbindable", {}});

KeyChoice Expected(const char* name) {
  return name != nullptr ? KeyChoice::Named(name) : kUnbindable;
}

// A key press as X11 and Wayland report it: the Linux input code plus 8.
PressedKey PressX11(Game game, std::uint32_t inputCode, char32_t typed = 0, bool modifiers = false,
                    bool characterModifiers = false) {
  return KeyOfPress(game, ScanCodes::kXkb,
                    KeyPress{inputCode + 8, typed, modifiers, characterModifiers});
}

TEST(Keyboard, EachAzertyKeyPickedOrPressedGetsTheNameOfTheChosenGame) {
  for (const testing::AzertyKey& key : testing::kAzertyKeys) {
    EXPECT_EQ(KeyOfLabel(Game::kQuake2, key.label), Expected(key.quake2)) << key.label;
    EXPECT_EQ(KeyOfLabel(Game::kYamagi, key.label), Expected(key.yamagi)) << key.label;
    EXPECT_EQ(PressX11(Game::kQuake2, key.inputCode, key.typed).key, Expected(key.quake2))
        << key.label;
    EXPECT_EQ(PressX11(Game::kYamagi, key.inputCode, key.typed).key, Expected(key.yamagi))
        << key.label;
  }
  // The number row's digits are labels too; any other text is its own name.
  EXPECT_EQ(KeyOfLabel(Game::kQuake2, "1"), KeyChoice::Named("1"));
  EXPECT_EQ(KeyOfLabel(Game::kYamagi, "F1"), KeyChoice::Named("F1"));
  EXPECT_EQ(KeyOfLabel(Game::kQuake2, "A"), KeyChoice::Named("A"));
}

TEST(Keyboard, TheKeysAGameCannotBindAreRefusedHoweverTheyAreReached) {
  for (Game game : kBoth) {
    // The console key: its label, its position, its names.
    for (const KeyChoice& key : {KeyOfLabel(game, "\xB2"), PressX11(game, 41, U'\u00B2').key,
                                 KeyOfLabel(game, "`"), KeyOfLabel(game, "~")}) {
      ASSERT_FALSE(key.Bindable());
      EXPECT_EQ(key.refusal->key, "Key.ConsoleKey");
    }
    for (const KeyChoice& key : {KeyOfLabel(game, "ESCAPE"), PressX11(game, 1).key}) {
      ASSERT_FALSE(key.Bindable());
      EXPECT_EQ(key.refusal->key, "Key.MenuKey");
    }
  }
  EXPECT_EQ(KeyOfLabel(Game::kQuake2, "<"), kUnbindable) << "not in Quake 2's scan-code table";
  EXPECT_EQ(KeyOfLabel(Game::kYamagi, "<"), KeyChoice::Named("<"));
  // The ^ label is the dead key's position; the name ^ itself Yamagi refuses.
  EXPECT_EQ(KeyOfLabel(Game::kYamagi, "^"), KeyChoice::Named("SC_LEFTBRACKET"));
}

TEST(Keyboard, YamagiTakesTheCharacterTypedWithShiftOrAltGrElseThePosition) {
  EXPECT_EQ(PressX11(Game::kYamagi, 16, U'A', true, true).key, KeyChoice::Named("A"));
  EXPECT_FALSE(PressX11(Game::kYamagi, 16, U'A', true, true).modifiersDropped);
  EXPECT_EQ(PressX11(Game::kYamagi, 13, U'+', true, true).key, KeyChoice::Named("+"));
  EXPECT_EQ(PressX11(Game::kYamagi, 16, U'Q').key, KeyChoice::Named("q")) << "Caps Lock";
  EXPECT_EQ(PressX11(Game::kYamagi, 16, U'\u0439').key, KeyChoice::Named("SC_Q"));  // Russian
  EXPECT_EQ(PressX11(Game::kYamagi, 40, U'"').key, KeyChoice::Named("DOUBLEQUOTE"));
  EXPECT_EQ(PressX11(Game::kYamagi, 3, U'2', true, true).key, KeyChoice::Named("2"))
      << "the number row is named by position";
  // Ctrl and Alt are no part of a key: the key is named alone, and they are dropped.
  const PressedKey control = PressX11(Game::kYamagi, 16, U'a', true, false);
  EXPECT_EQ(control.key, KeyChoice::Named("a"));
  EXPECT_TRUE(control.modifiersDropped);
  // Quake 2 names the position whatever is held.
  const PressedKey shifted = PressX11(Game::kQuake2, 16, U'A', true, true);
  EXPECT_EQ(shifted.key, KeyChoice::Named("q"));
  EXPECT_TRUE(shifted.modifiersDropped);
  EXPECT_FALSE(PressX11(Game::kQuake2, 16, U'a').modifiersDropped);
}

TEST(Keyboard, ModifiersAloneAndTheKeysOnlyYamagiNames) {
  for (std::uint32_t code : {29u, 42u, 54u, 56u, 97u, 100u, 125u})
    EXPECT_TRUE(IsModifierKey(ScanCodes::kXkb, code + 8)) << code;
  EXPECT_FALSE(IsModifierKey(ScanCodes::kXkb, 16 + 8));
  EXPECT_TRUE(IsModifierKey(ScanCodes::kWindows, 0x2A));
  EXPECT_EQ(PressX11(Game::kQuake2, 42).key, KeyChoice::Named("SHIFT"));
  EXPECT_EQ(PressX11(Game::kQuake2, 100).key, KeyChoice::Named("ALT"));
  EXPECT_EQ(PressX11(Game::kYamagi, 100).key, KeyChoice::Named("MODE"));  // AltGr, SDL3
  for (std::uint32_t inputCode : {58u, 69u, 70u, 99u, 117u, 125u, 127u, 183u}) {
    EXPECT_EQ(PressX11(Game::kQuake2, inputCode).key, kUnbindable) << inputCode;
    const KeyChoice yamagi = PressX11(Game::kYamagi, inputCode).key;
    ASSERT_TRUE(yamagi.Bindable()) << inputCode;
    EXPECT_EQ(VerdictOf(Game::kYamagi, yamagi.name), KeyVerdict::kRuns) << yamagi.name;
  }
}

TEST(Keyboard, WindowsScanCodesTellTheKeypadFromItsExtendedTwins) {
  const std::vector<std::pair<std::uint32_t, const char*>> quake2 = {
      {0x10, "q"},         {0x1C, "ENTER"},      {0x11C, "KP_ENTER"}, {0x35, "/"},
      {0x135, "KP_SLASH"}, {0x48, "KP_UPARROW"}, {0x148, "UPARROW"},  {0x45, "PAUSE"},
  };
  for (const auto& [scanCode, name] : quake2) {
    EXPECT_EQ(KeyOfPress(Game::kQuake2, ScanCodes::kWindows, KeyPress{scanCode, 0}).key,
              KeyChoice::Named(name))
        << std::hex << scanCode;
  }
  EXPECT_EQ(KeyOfPress(Game::kQuake2, ScanCodes::kWindows, KeyPress{0x56, 0}).key, kUnbindable);
  EXPECT_EQ(KeyOfPress(Game::kYamagi, ScanCodes::kWindows, KeyPress{0x145, 0}).key,
            KeyChoice::Named("KP_NUMLOCK"));
  EXPECT_EQ(KeyOfPress(Game::kQuake2, ScanCodes::kWindows, KeyPress{0x1FF, 0}).key,
            KeyChoice::Refused(Text{"Key.Unidentified", {}}));
}

TEST(Keyboard, EveryNameGivenIsOneTheGameTakesAndRuns) {
  for (Game game : kBoth) {
    for (ScanCodes codes : {ScanCodes::kXkb, ScanCodes::kWindows}) {
      for (std::uint32_t code = 0; code < 0x200; ++code) {
        for (char32_t typed : {char32_t{0}, U'a', U'A', U'\u00F9', U';', U'+'}) {
          const KeyChoice key = KeyOfPress(game, codes, KeyPress{code, typed, true, true}).key;
          if (!key.Bindable()) continue;
          EXPECT_EQ(VerdictOf(game, key.name), KeyVerdict::kRuns) << key.name;
        }
      }
    }
  }
}

TEST(Keyboard, MouseButtonsAndWheel) {
  for (Game game : kBoth) {
    EXPECT_EQ(KeyOfMouseButton(game, MouseButton::kLeft), KeyChoice::Named("MOUSE1"));
    EXPECT_EQ(KeyOfMouseButton(game, MouseButton::kRight), KeyChoice::Named("MOUSE2"));
    EXPECT_EQ(KeyOfMouseButton(game, MouseButton::kMiddle), KeyChoice::Named("MOUSE3"));
    EXPECT_EQ(KeyOfWheel(game, WheelTurn::kUp), "MWHEELUP");
    EXPECT_EQ(KeyOfWheel(game, WheelTurn::kDown), "MWHEELDOWN");
  }
  EXPECT_EQ(KeyOfMouseButton(Game::kQuake2, MouseButton::kBack), kUnbindable);
  EXPECT_EQ(KeyOfMouseButton(Game::kYamagi, MouseButton::kBack), KeyChoice::Named("MOUSE4"));
  EXPECT_EQ(KeyOfMouseButton(Game::kYamagi, MouseButton::kForward), KeyChoice::Named("MOUSE5"));
  EXPECT_EQ(KeyOfWheel(Game::kYamagi, WheelTurn::kSideways), "MWHEELDOWN");
  EXPECT_EQ(KeyOfWheel(Game::kQuake2, WheelTurn::kSideways), std::nullopt);
}

}  // namespace
}  // namespace tavrilo::game
