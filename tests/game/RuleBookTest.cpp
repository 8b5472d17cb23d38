// SPDX-License-Identifier: GPL-3.0-or-later
// The rule book against the caption files: every finding has its text in both languages,
// and each text takes exactly the values its finding passes.
#include "game/RuleBook.h"

#include <gtest/gtest.h>

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
    }
  }
  EXPECT_EQ(FindRule("no-such-finding"), nullptr);
}

}  // namespace
}  // namespace tavrilo::game
