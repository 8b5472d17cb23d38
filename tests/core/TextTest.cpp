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

// A number that GroupDigits wrote gets the language's separator; any other value, even
// one with digits and no-break spaces, stays as it is.
TEST(FormatText, GivesGroupedNumbersTheSeparatorOfTheLanguage) {
  EXPECT_EQ(FormatText("%1 of %2",
                       {"8\xA0"
                        "191",
                        "1\xA0"
                        "024\xA0"
                        "000"},
                       ','),
            "8,191 of 1,024,000");
  EXPECT_EQ(FormatText("%1", {"8\xA0"
                              "191"}),
            "8\xA0"
            "191");
  for (const char* value : {"8191",
                            "12\xA0"
                            "34",
                            "1234\xA0"
                            "567",
                            "\xA0"
                            "123",
                            "1\xA0"
                            "234\xA0",
                            "1\xA0"
                            "2a4",
                            "say 1\xA0"
                            "234"})
    EXPECT_EQ(FormatText("%1", {value}, ','), value) << value;
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
