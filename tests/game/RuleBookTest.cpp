// SPDX-License-Identifier: GPL-3.0-or-later
// The rule book against the caption files: every finding has its text in both languages,
// and each text takes exactly the values its finding passes.
#include "game/RuleBook.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "TestSupport.h"
#include "datafiles/IniFile.h"

namespace tavrilo::game {
namespace {

// The numbers of the placeholders %1 to %9 of a text ("%%" is a "%").
std::set<std::size_t> PlaceholdersOf(std::string_view text) {
  std::set<std::size_t> numbers;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (text[i + 1] >= '1' && text[i + 1] <= '9')
      numbers.insert(static_cast<std::size_t>(text[i + 1] - '0'));
    ++i;
  }
  return numbers;
}

TEST(RuleBook, EveryFindingHasItsNameAndItsTextWithItsValuesInBothLanguages) {
  EXPECT_EQ(PlaceholdersOf("%1 of %2, 100%% of %1"), (std::set<std::size_t>{1, 2}));
  for (const char* file : {"dics-fr.ini", "dics-en.ini"}) {
    const std::string captions = testing::ReadFile(testing::ShippedDataDir() + file);
    for (const Rule& rule : AllRules()) {
      EXPECT_EQ(&RuleOf(rule.code), &rule);
      EXPECT_EQ(FindRule(rule.name), &rule) << rule.name << ": its name is another's";
      EXPECT_EQ(rule.name.find_first_not_of("abcdefghijklmnopqrstuvwxyz-"), std::string::npos);
      const std::optional<std::string> text =
          datafiles::FindIniValue(captions, "General", rule.textKey);
      ASSERT_TRUE(text.has_value() && !text->empty()) << file << " has no " << rule.textKey;
      std::set<std::size_t> expected;
      for (std::size_t i = 1; i <= rule.Values().size(); ++i)
        expected.insert(i);
      EXPECT_EQ(PlaceholdersOf(*text), expected) << file << ": " << rule.textKey;
      const std::optional<std::string> summary =
          datafiles::FindIniValue(captions, "General", rule.summaryKey);
      ASSERT_TRUE(summary.has_value() && !summary->empty())
          << file << " has no " << rule.summaryKey;
      EXPECT_EQ(PlaceholdersOf(*summary), std::set<std::size_t>{})
          << file << ": " << rule.summaryKey;
    }
  }
  EXPECT_EQ(FindRule("no-such-finding"), nullptr);
}

TEST(RuleBook, EveryFindingIsExplainedAndTheReadmeListsThemAll) {
  for (const Rule& rule : AllRules()) {
    for (std::string_view part : {rule.doc.finds, rule.doc.why, rule.doc.example, rule.doc.instead})
      EXPECT_FALSE(part.empty()) << rule.name;
  }
  const std::string explained = ExplanationOf(RuleOf(Code::kAliasDefinedLater));
  EXPECT_TRUE(explained.starts_with("alias-defined-later (error)\n\nA name run before"))
      << explained;
  // An example of two lines keeps both indented.
  EXPECT_NE(explained.find("Example\n  greet\n  alias greet"), std::string::npos) << explained;

  // The README's list, between its two markers, is the rule book's. To write it anew:
  // TAVRILO_WRITE_README=1 build/bin/game_tests --gtest_filter=RuleBook.*
  const std::string path = testing::SourceDir() + "README.md";
  std::string readme = testing::ReadFile(path);
  const std::string begin = "<!-- findings: made from src/game/RuleBook.def -->\n";
  const std::string end = "<!-- end of findings -->";
  const std::size_t from = readme.find(begin);
  const std::size_t to = readme.find(end);
  ASSERT_TRUE(from != std::string::npos && to != std::string::npos && from < to);
  const std::string listed = readme.substr(from + begin.size(), to - from - begin.size());
  if (std::getenv("TAVRILO_WRITE_README") != nullptr && listed != FindingsTable()) {
    readme.replace(from + begin.size(), listed.size(), FindingsTable());
    testing::WriteFile(path, readme);
    return;
  }
  EXPECT_EQ(listed, FindingsTable()) << "write it anew: TAVRILO_WRITE_README=1 game_tests";
}

}  // namespace
}  // namespace tavrilo::game
