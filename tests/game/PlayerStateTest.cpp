// SPDX-License-Identifier: GPL-3.0-or-later
// A list checked on the state the player's own start-up files leave: their aliases and
// cvars are known, a binding of theirs replaced with another text is said, and each
// binding, alias and cvar keeps the file and line that made it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/ConsoleSession.h"

namespace tavrilo::game {
namespace {

std::vector<std::string> CodesOf(const CheckResult& result, int line) {
  std::vector<std::string> codes;
  for (const Finding& finding : result.FindingsOf(line))
    codes.emplace_back(CodeName(finding.code));
  return codes;
}

TEST(PlayerStateTest, TheListRunsOnWhatThePlayersFilesLeft) {
  ConsoleSession player(Game::kQuake2, {});
  player.Run("bind F6 \"echo saving\"\nbind F7 \"say hi\"\n", "default.cfg");
  player.Run("// generated\nbind F6 \"echo quick; save quick\"\nset mycvar \"1\"\n", "config.cfg");
  player.Run("alias greet \"say hello\"\nbind F8 \"echo eight\"\n", "autoexec.cfg");

  const GameState before = player.Current();
  EXPECT_EQ(before.bindings.at("F6").origin, (Origin{"config.cfg", 1}));
  EXPECT_EQ(before.bindings.at("F7").origin, (Origin{"default.cfg", 1}));
  EXPECT_EQ(before.aliases.at("greet").origin, (Origin{"autoexec.cfg", 0}));
  EXPECT_EQ(before.cvars.at("mycvar").origin, (Origin{"config.cfg", 2}));
  EXPECT_EQ(before.cvars.at("mycvar").text, "1");

  StringList list;
  for (const char* line : {"bind F6 \"say saved\"", "bind F7 \"say hi\"", "greet", "mycvar 2",
                           "unbind F8", "unbind F10"})
    list.Add(line);
  const ConsoleSession::ListOutcome outcome = player.CheckList(list, 0);
  EXPECT_EQ(CodesOf(outcome.findings, 0), (std::vector<std::string>{"replaces-own-binding"}));
  EXPECT_EQ(outcome.findings.ArgsOf(outcome.findings.FindingsOf(0)[0]),
            (std::vector<std::string>{"F6", "echo quick; save quick", "config.cfg", "2"}));
  for (int line = 1; line < 4; ++line)
    EXPECT_TRUE(CodesOf(outcome.findings, line).empty()) << line;
  // An unbind of a key the player's files bound is said; of a free key, nothing.
  EXPECT_EQ(CodesOf(outcome.findings, 4), (std::vector<std::string>{"unbinds-own-binding"}));
  EXPECT_EQ(outcome.findings.ArgsOf(outcome.findings.FindingsOf(4)[0]),
            (std::vector<std::string>{"F8", "echo eight", "autoexec.cfg", "2"}));
  EXPECT_TRUE(CodesOf(outcome.findings, 5).empty());
  EXPECT_EQ(outcome.after.bindings.at("F6").origin, (Origin{"", 0}));
  EXPECT_EQ(outcome.after.bindings.at("F7").origin, (Origin{"", 1}));
  EXPECT_FALSE(outcome.after.bindings.contains("F8"));
  // The session itself is as the player's files left it; without it, the names are unknown.
  EXPECT_EQ(player.Current(), before);
  const CheckResult alone = CheckList(list, 0, Game::kQuake2, {});
  EXPECT_EQ(CodesOf(alone, 2), (std::vector<std::string>{"unknown-name"}));
  EXPECT_TRUE(CodesOf(alone, 0).empty());
}

}  // namespace
}  // namespace tavrilo::game
