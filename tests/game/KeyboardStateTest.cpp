// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard as the view draws it: each key's name in the chosen game and layout, and
// what the player's configuration and the list make of it.
#include "game/KeyboardState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrilo::game {
namespace {

const KeyCap& At(const std::vector<KeyCap>& keys, std::uint16_t code) {
  for (const KeyCap& key : keys) {
    if (key.code == code) return key;
  }
  throw std::runtime_error("no key " + std::to_string(code));
}

Definition Bound(const char* key, const char* text, const char* file, int line) {
  return Definition{key, text, Origin{file, line}};
}

TEST(KeyboardStateTest, EachKeyIsNamedByTheGameAndLayoutAndItsBindingsAreTold) {
  GameState before;
  before.bindings["q"] = Bound("q", "+forward", "config.cfg", 3);    // AZERTY a
  before.bindings["w"] = Bound("w", "+back", "config.cfg", 4);       // AZERTY z
  before.bindings["e"] = Bound("e", "+moveleft", "config.cfg", 5);   // AZERTY e
  before.bindings["r"] = Bound("r", "+moveright", "config.cfg", 6);  // AZERTY r
  GameState after = before;
  after.bindings["q"] = Bound("q", "sya hi", "", 0);  // replaced, with an error
  after.bindings["w"] = Bound("w", "+back", "", 1);   // bound again to the same text
  after.bindings.erase("e");                          // removed by the list
  after.bindings["t"] = Bound("t", "+jump", "", 2);   // a free key
  StringList entries;
  for (const char* line : {"bind q \"sya hi\"", "bind w +back", "unbind e", "bind t +jump"})
    entries.Add(line);
  const CheckResult list = CheckList(entries, 0, Game::kQuake2, {});

  const std::vector<KeyCap> keys = LayOutKeys(Game::kQuake2, Layout::kAzerty, before, after, list);
  const KeyCap& a = At(keys, 16);
  EXPECT_EQ(a.label, "a");
  EXPECT_EQ(a.name, "q");
  EXPECT_EQ(a.status, KeyStatus::kReplaces);
  EXPECT_EQ(a.listLine, 0);
  EXPECT_TRUE(a.listError);
  EXPECT_EQ(a.before->origin, (Origin{"config.cfg", 3}));
  EXPECT_EQ(a.after->text, "sya hi");
  EXPECT_EQ(At(keys, 17).status, KeyStatus::kList);
  EXPECT_FALSE(At(keys, 17).listError);
  EXPECT_EQ(At(keys, 18).status, KeyStatus::kReplaces);
  EXPECT_EQ(At(keys, 18).listLine, -1);
  EXPECT_EQ(At(keys, 19).status, KeyStatus::kPlayer);
  EXPECT_EQ(At(keys, 20).status, KeyStatus::kList);
  EXPECT_EQ(At(keys, 21).status, KeyStatus::kFree);
  // The console and menu keys; the key left of w, Caps Lock and the side buttons of the
  // mouse, which Quake 2 never receives.
  EXPECT_EQ(At(keys, 41).status, KeyStatus::kReserved);
  EXPECT_EQ(At(keys, 41).reservedJob, "toggleconsole");
  EXPECT_EQ(At(keys, 1).status, KeyStatus::kReserved);
  for (const int never : {86, 58, 0x113, 0x114})
    EXPECT_EQ(At(keys, static_cast<std::uint16_t>(never)).status, KeyStatus::kNeverReceived)
        << never;
  EXPECT_EQ(At(keys, 0x151).name, "MWHEELDOWN");

  // Yamagi Quake II names a character key by what it types on the layout drawn.
  const GameState none;
  const std::vector<KeyCap> azerty = LayOutKeys(Game::kYamagi, Layout::kAzerty, none, none, list);
  const std::vector<KeyCap> qwerty = LayOutKeys(Game::kYamagi, Layout::kQwerty, none, none, list);
  EXPECT_EQ(At(azerty, 16).name, "a");
  EXPECT_EQ(At(azerty, 39).name, "m");
  EXPECT_EQ(At(azerty, 40).name, "SC_APOSTROPHE");
  EXPECT_EQ(At(azerty, 86).name, "<");
  EXPECT_EQ(At(azerty, 0x113).name, "MOUSE4");
  EXPECT_EQ(At(qwerty, 16).name, "q");
  EXPECT_EQ(At(qwerty, 16).label, "q");
  EXPECT_EQ(At(qwerty, 39).name, ";");
  EXPECT_EQ(At(qwerty, 100).name, "MODE");
  EXPECT_THROW(At(qwerty, 86), std::runtime_error);  // a US keyboard has no such key
}

TEST(KeyboardStateTest, TheArrowKeysMoveToTheNeighbouringKey) {
  const GameState none;
  const CheckResult list = CheckList(StringList(), 0, Game::kQuake2, {});
  const std::vector<KeyCap> keys = LayOutKeys(Game::kQuake2, Layout::kAzerty, none, none, list);
  const auto index = [&](std::uint16_t code) {
    return static_cast<std::size_t>(&At(keys, code) - keys.data());
  };
  EXPECT_EQ(keys[NeighbourKey(keys, index(16), 1, 0)].code, 17);   // a, then z
  EXPECT_EQ(keys[NeighbourKey(keys, index(16), -1, 0)].code, 15);  // Tab
  EXPECT_EQ(keys[NeighbourKey(keys, index(16), 0, 1)].code, 30);   // q, below
  EXPECT_EQ(keys[NeighbourKey(keys, index(16), 0, -1)].code, 2);   // 1, above
  EXPECT_EQ(NeighbourKey(keys, index(1), 0, -1), index(1));        // nothing above Esc
}

}  // namespace
}  // namespace tavrilo::game
