// SPDX-License-Identifier: GPL-3.0-or-later
// The player's game read from a game folder, a list checked on it, and what the keyboard
// view and the search take from it.
#include "macros/PlayerGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "game/Keys.h"

namespace tavrilo::macros {
namespace {

using game::KeyCap;
using game::KeyStatus;

KeyStatus StatusOf(const std::vector<KeyCap>& keys, const std::string& name) {
  const auto found =
      std::find_if(keys.begin(), keys.end(), [&](const KeyCap& key) { return key.name == name; });
  EXPECT_NE(found, keys.end()) << name;
  return found == keys.end() ? KeyStatus::kNeverReceived : found->status;
}

TEST(PlayerGame, ListCheckedOnThePlayersFilesWithTheKeysAndTheSearchOfIt) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir / "q2/baseq2");
  testing::WriteFile(dir / "q2/baseq2/config.cfg",
                     "bind F1 \"echo mine\"\nbind F3 \"+attack\"\nalias mine \"echo hi\"\n");
  StringList list;
  for (const char* line : {"bind F1 \"say hi\"", "bind F2 \"mine\"", "echo other"})
    list.Add(line);

  PlayerGame player;
  player.Read(game::Game::kQuake2, dir / "q2/", {});
  ASSERT_EQ(player.Configuration().files.size(), 1u);
  EXPECT_TRUE(player.Configuration().files[0].bytes.empty()) << "let go once run";
  EXPECT_EQ(player.Before().bindings.at(game::KeyIdentity(game::Game::kQuake2, "F1")).text,
            "echo mine");
  player.CheckList(list, 0);
  ASSERT_EQ(player.Findings().FindingsOf(0).size(), 1u);
  EXPECT_EQ(player.Findings().FindingsOf(0)[0].code, game::Code::kReplacesOwnBinding);
  EXPECT_TRUE(player.Findings().FindingsOf(1).empty()) << "the player's alias is known";
  EXPECT_EQ(player.After().bindings.at(game::KeyIdentity(game::Game::kQuake2, "F1")).text,
            "say hi");

  const std::vector<KeyCap> keys = player.Keys(game::Layout::kQwerty);
  EXPECT_EQ(StatusOf(keys, "F1"), KeyStatus::kReplaces);
  EXPECT_EQ(StatusOf(keys, "F2"), KeyStatus::kList);
  EXPECT_EQ(StatusOf(keys, "F3"), KeyStatus::kPlayer);
  EXPECT_EQ(StatusOf(keys, "F4"), KeyStatus::kFree);

  const std::vector<int> kept = player.Search(list, "SAY");
  EXPECT_EQ(kept, std::vector<int>{0});
  ASSERT_EQ(player.FindingsOf(kept).size(), 1u);
  EXPECT_EQ(player.FindingsOf(kept)[0].line, 0);

  // No game folder: an empty game, where the alias is unknown again.
  player.Read(game::Game::kQuake2, "", {});
  player.CheckList(list, 0);
  EXPECT_TRUE(player.Before().bindings.empty());
  EXPECT_TRUE(player.Findings().FindingsOf(0).empty());
  EXPECT_FALSE(player.Findings().FindingsOf(1).empty());
  EXPECT_EQ(StatusOf(player.Keys(game::Layout::kQwerty), "F3"), KeyStatus::kFree);
}

// exec in a start-up file runs a file of the folders the game looks in, the player's own
// first (Yamagi), and that file is watched with the others; a file the folders lack runs
// nothing.
TEST(PlayerGame, StartupFilesRunTheFilesTheyExec) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir / "q2/baseq2");
  std::filesystem::create_directories(dir / "own");
  testing::WriteFile(dir / "q2/baseq2/autoexec.cfg", "exec binds.cfg\nexec missing.cfg\n");
  testing::WriteFile(dir / "q2/baseq2/binds.cfg", "bind F5 \"echo game\"\n");
  testing::WriteFile(dir / "own/binds.cfg", "bind F5 \"echo own\"\n");
  // Paths as the program builds them, with the system's separator.
  const auto executed = [](const PlayerGame& player) {
    std::vector<std::filesystem::path> paths;
    for (const std::string& path : player.Configuration().executed)
      paths.emplace_back(path);
    return paths;
  };
  const auto f5 = [](const PlayerGame& player) {
    const auto found = player.Before().bindings.find(game::KeyIdentity(player.Game(), "F5"));
    return found == player.Before().bindings.end() ? std::string() : found->second.text;
  };

  PlayerGame player;
  player.Read(game::Game::kQuake2, dir / "q2/", {});
  EXPECT_EQ(f5(player), "echo game");
  EXPECT_EQ(executed(player), std::vector<std::filesystem::path>{dir / "q2/baseq2/binds.cfg"});

  player.Read(game::Game::kYamagi, dir / "q2/", {}, dir / "own/");
  EXPECT_EQ(f5(player), "echo own");
  EXPECT_EQ(executed(player), std::vector<std::filesystem::path>{dir / "own/binds.cfg"});
}

}  // namespace
}  // namespace tavrilo::macros
