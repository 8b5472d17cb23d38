// SPDX-License-Identifier: GPL-3.0-or-later
// Which key the game sees: the key list's AZERTY labels, a key pressed on the keyboard, a
// mouse button or a turn of the wheel, per game. One table of the keyboard's keys by
// position serves them all: Quake 2 3.20 names a key by its position on a US keyboard,
// whatever the layout; Yamagi Quake II names it by the character it types, with the
// number row taken by position and a position name for a key that types no ASCII
// character. A key the game cannot bind (the console key, ESCAPE, the key left of w for
// Quake 2) is refused with the game's reason ("Key.*" texts).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/Text.h"
#include "game/Game.h"

namespace tavrilo::game {

// The game's name for a key, or why the game cannot bind it.
struct KeyChoice {
  std::string name;             // the game's name; empty when the key cannot be bound
  std::optional<Text> refusal;  // why the key cannot be bound

  bool Bindable() const { return !refusal.has_value(); }
  bool operator==(const KeyChoice&) const = default;

  static KeyChoice Named(std::string_view name) { return {std::string(name), std::nullopt}; }
  static KeyChoice Refused(Text reason) { return {std::string(), std::move(reason)}; }
};

// The native scan codes of the platform the key press comes from.
enum class ScanCodes {
  kXkb,      // X11 and Wayland key codes: the Linux input code plus 8
  kWindows,  // Windows scan codes, set 1, with 0x100 for the extended (E0) keys
};

enum class MouseButton { kLeft, kRight, kMiddle, kBack, kForward, kOther };

// MOUSE1 to MOUSE3 in both games; the back and forward buttons only where the game has
// MOUSE4 and MOUSE5; no other button.
KeyChoice KeyOfMouseButton(Game game, MouseButton button);

enum class WheelTurn { kUp, kDown, kSideways };

// The key for a text of the key field, picked from the list or typed: an AZERTY label
// ("a", "\xF9", "\xB2", ")"...) gives the game's name for that key; a name of the list
// the game has no key for ("ESC", AUX1 for Yamagi Quake II) is refused, with the name to
// use where there is one; any other text is its own name. A key the game cannot bind is
// refused whatever way it was written.
KeyChoice KeyOfLabel(Game game, std::string_view text);

// A key press as the window sees it.
struct KeyPress {
  std::uint32_t nativeScanCode = 0;
  // The character it types with Shift and AltGr as held (Ctrl and Alt change none); 0: none.
  char32_t typed = 0;
  bool modifiers = false;  // Shift, Ctrl, Alt, AltGr or the Windows key was held
  // The modifiers held were Shift and AltGr only: they change the character typed.
  bool characterModifiers = false;
};

// The key pressed, and whether the modifiers held were left out of it: the game has no
// key combinations (only Yamagi Quake II's Shift and AltGr change the key, into the
// character they type: Shift+a is the key A).
struct PressedKey {
  KeyChoice key;
  bool modifiersDropped = false;
};
PressedKey KeyOfPress(Game game, ScanCodes codes, const KeyPress& press);

// Whether the key at `nativeScanCode` is a modifier (Shift, Ctrl, Alt, AltGr, the Windows
// keys): pressed and released alone, it is the key; held, it modifies the next one.
bool IsModifierKey(ScanCodes codes, std::uint32_t nativeScanCode);

// MWHEELUP or MWHEELDOWN; a sideways turn is MWHEELDOWN for Yamagi Quake II and nothing
// for Quake 2 (std::nullopt).
std::optional<std::string> KeyOfWheel(Game game, WheelTurn turn);

// The layouts the keyboard view draws: French AZERTY (ISO, with the key left of w) and US
// QWERTY (ANSI).
enum class Layout { kAzerty, kQwerty };

// The character printed on the key at position `code` (a Linux input code) of `layout`,
// pressed alone: "a", "\xF9" (u-grave), "&"; empty for a key without a character.
std::string_view CharacterAt(Layout layout, std::uint16_t code);

// The game's name for the key at position `code` of `layout`, pressed alone, console and
// menu keys included; std::nullopt when the game never receives that key.
std::optional<std::string> NameAtPosition(Game game, Layout layout, std::uint16_t code);

}  // namespace tavrilo::game
