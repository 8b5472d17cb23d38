// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Filter.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavrilo::game {
namespace {

TEST(FilterTest, KeepsTheLinesWhoseKeyCommandOrTextHoldsTheSearchWithTheirNumbers) {
  StringList lines;
  for (const char* line : {"bind \"a\" \"say Hello all\"", "bind F1 \"+attack\"",
                           "alias go \"say hello\"", "exec Alias.cfg", "bind b \"sya oops\""})
    lines.Add(line);
  EXPECT_EQ(FilterLines(lines, "HELLO", Game::kQuake2), (std::vector<int>{0, 2}));
  EXPECT_EQ(FilterLines(lines, "f1", Game::kQuake2), (std::vector<int>{1}));
  EXPECT_EQ(FilterLines(lines, "alias", Game::kQuake2), (std::vector<int>{2, 3}));
  // The word bind is neither key, command nor text of a binding; quotes are no part of it.
  EXPECT_TRUE(FilterLines(lines, "bind", Game::kQuake2).empty());
  EXPECT_TRUE(FilterLines(lines, "\"a", Game::kQuake2).empty());
  EXPECT_EQ(FilterLines(lines, "", Game::kQuake2).size(), 5u);

  const CheckResult result = CheckList(lines, 0, Game::kQuake2, {});
  const std::vector<int> kept = FilterLines(lines, "oops", Game::kQuake2);
  const std::vector<Finding> findings = FindingsOfLines(result, kept);
  ASSERT_FALSE(findings.empty());
  for (const Finding& finding : findings)
    EXPECT_EQ(finding.line, 4);
}

}  // namespace
}  // namespace tavrilo::game
