// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Text.h"

#include <gtest/gtest.h>

namespace tavrilo {
namespace {

TEST(FormatText, FillsNumberedPlaceholdersInAnyOrder) {
  EXPECT_EQ(FormatText("%2 / %1 bytes", {"8,191", "2,140"}), "2,140 / 8,191 bytes");
  EXPECT_EQ(FormatText("100%% of %1", {"x"}), "100% of x");
  // A value is inserted as it is: a "%1" inside a value is not expanded again.
  EXPECT_EQ(FormatText("%1 and %2", {"%2", "b"}), "%2 and b");
}

TEST(FormatText, KeepsPlaceholdersWithoutValueAndLoneSigns) {
  EXPECT_EQ(FormatText("%1 %3 50% %", {"a"}), "a %3 50% %");
}

TEST(TextError, CarriesItsTextAndShowsTheKeyWhenNoPatternIsFound) {
  const TextError error(Text{"Refusal.Semicolon", {"gg; quit"}});
  EXPECT_EQ(error.GetText().key, "Refusal.Semicolon");
  EXPECT_STREQ(error.what(), "Refusal.Semicolon [gg; quit]");
}

}  // namespace
}  // namespace tavrilo
