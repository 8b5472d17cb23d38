// SPDX-License-Identifier: GPL-3.0-or-later
// The tables of the game's names that rules look up: cvars with their flags, found by
// their exact name, and the game module's items.
#include "game/Names.h"

#include <gtest/gtest.h>

namespace tavrilo::game {
namespace {

constexpr Game Q = Game::kQuake2;
constexpr Game Y = Game::kYamagi;

TEST(CvarTable, ExactNamesTheirFlagsAndOldNamesPerGame) {
  for (Game game : {Q, Y}) {
    ASSERT_NE(FindCvar(game, "fov"), nullptr);
    EXPECT_TRUE(FindCvar(game, "fov")->program);
    EXPECT_EQ(FindCvar(game, "FOV"), nullptr) << "a cvar is found by its exact name";
    EXPECT_EQ(CvarSpelling(game, "FOV"), "fov");
    EXPECT_EQ(CvarSpelling(game, "Sensitivity"), "sensitivity");
    EXPECT_EQ(CvarSpelling(game, "fov"), "fov");
    EXPECT_EQ(CvarSpelling(game, "frobnicate"), "");
    EXPECT_EQ(CvarSpelling(game, std::string(100, 'a')), "");
    EXPECT_NE(FindName(game, "FOV"), nullptr) << "names of commands and aliases fold case";
    for (const char* name : {"qport", "protocol", "cddir", "version"}) {
      ASSERT_NE(FindCvar(game, name), nullptr) << name;
      EXPECT_TRUE(FindCvar(game, name)->writeProtected) << name;
      EXPECT_FALSE(FindCvar(game, name)->latched) << name;
    }
    ASSERT_NE(FindCvar(game, "deathmatch"), nullptr);
    EXPECT_TRUE(FindCvar(game, "deathmatch")->latched);
    EXPECT_FALSE(FindCvar(game, "deathmatch")->writeProtected);
    EXPECT_FALSE(FindCvar(game, "fov")->writeProtected || FindCvar(game, "fov")->latched);
  }
  // Renderer and game module cvars keep who registers them.
  ASSERT_NE(FindCvar(Q, "gl_modulate"), nullptr);
  EXPECT_EQ(FindCvar(Q, "gl_modulate")->renderers, "gl");
  ASSERT_NE(FindCvar(Q, "sv_gravity"), nullptr);
  EXPECT_TRUE(FindCvar(Q, "sv_gravity")->gameModule);
  // Yamagi's old names set the new cvar; Quake 2 has no old names.
  const CvarInfo* old = FindCvar(Y, "gl_mode");
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->renamedTo, "r_mode");
  EXPECT_FALSE(old->Registered());
  EXPECT_EQ(FindCvar(Y, "intensity")->renamedTo, "gl1_intensity");
  EXPECT_EQ(CvarSpelling(Y, "GL_MODE"), "gl_mode");
  ASSERT_NE(FindCvar(Q, "gl_mode"), nullptr);
  EXPECT_EQ(FindCvar(Q, "gl_mode")->renamedTo, "");
}

TEST(ItemTable, ItemsByNameInAnyCaseWithWhatUseAndDropDo) {
  const Item* launcher = FindItem("rocket LAUNCHER");
  ASSERT_NE(launcher, nullptr);
  EXPECT_EQ(launcher->name, "Rocket Launcher");
  EXPECT_TRUE(launcher->usable && launcher->droppable);
  ASSERT_NE(FindItem("Shells"), nullptr);
  EXPECT_FALSE(FindItem("Shells")->usable);
  EXPECT_TRUE(FindItem("Shells")->droppable);
  ASSERT_NE(FindItem("blaster"), nullptr);
  EXPECT_TRUE(FindItem("blaster")->usable);
  EXPECT_FALSE(FindItem("blaster")->droppable);
  ASSERT_NE(FindItem("Commander's Head"), nullptr);
  EXPECT_FALSE(FindItem("Body Armor")->usable || FindItem("Body Armor")->droppable);
  EXPECT_EQ(FindItem("\"Railgun\""), nullptr) << "the quotes are part of the name looked for";
  EXPECT_EQ(FindItem("Rocket"), nullptr);
  EXPECT_EQ(AllItems().front().name, "Body Armor");
  EXPECT_TRUE(IsItem("railgun") && IsUsableItem("railgun") && !IsUsableItem("cells"));
}

}  // namespace
}  // namespace tavrilo::game
