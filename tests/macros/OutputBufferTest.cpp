// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/OutputBuffer.h"

#include <gtest/gtest.h>

#include <string>

#include "Branding.h"

namespace tavrilo::macros {
namespace {

TEST(OutputBuffer, EveryLineIsFollowedByCrLf) {
  OutputBuffer buffer;
  EXPECT_TRUE(buffer.Empty());
  buffer.AppendLine("one");
  buffer.AppendLine("");
  buffer.AppendLine(
      "cr\xE9"
      "e");
  EXPECT_EQ(buffer.Text(),
            "one\r\n\r\ncr\xE9"
            "e\r\n");
  buffer.Clear();
  EXPECT_TRUE(buffer.Empty());
  EXPECT_EQ(buffer.Text(), "");
}

TEST(HeaderComment, HasSixLinesWithSingleByteAccents) {
  const auto lines = HeaderLines();
  EXPECT_EQ(lines[0],
            "// Fichier macro cr\xE9\xE9 gr\xE2"
            "ce au Tavrilo v1.4b ");
  EXPECT_EQ(lines[1], "//                             " + std::string(kCopyrightNotice));
  EXPECT_EQ(lines[2],
            "// Ce programme peut \xEA"
            "tre obtenu gratuitement via:");
  EXPECT_EQ(lines[3], "//    Mon E-Mail: " + std::string(kEmailAddress));
  EXPECT_EQ(lines[4], "//    Mon site: " + std::string(kWebPage));
  EXPECT_EQ(lines[5], "");

  // The accents are the Windows-1252 bytes, not UTF-8 sequences.
  EXPECT_EQ(lines[0].size(), 45u);
  EXPECT_EQ(static_cast<unsigned char>(lines[0][19]), 0xE9);
  EXPECT_EQ(static_cast<unsigned char>(lines[0][20]), 0xE9);
  EXPECT_EQ(static_cast<unsigned char>(lines[0][24]), 0xE2);
  EXPECT_EQ(static_cast<unsigned char>(lines[2][21]), 0xEA);
  EXPECT_EQ(lines[0].back(), ' ');
}

TEST(HeaderComment, BuildSettingsAreFilledIn) {
  // Lines 2, 4 and 5 carry the project's identity; an unconfigured build would leave
  // the placeholders (or nothing) in every saved file.
  for (std::string_view setting : {kCopyrightNotice, kEmailAddress, kWebPage}) {
    EXPECT_FALSE(setting.empty());
    EXPECT_EQ(setting.find('@' + std::string("TAVRILO")), std::string_view::npos) << setting;
    EXPECT_EQ(setting.find_first_of("\r\n"), std::string_view::npos) << setting;
  }
}

TEST(ResetOutputBuffer, ReplacesTheWholeBufferByTheHeader) {
  OutputBuffer buffer;
  buffer.AppendLine("left over");
  ResetOutputBuffer(buffer);
  std::string expected;
  for (const std::string& line : HeaderLines())
    expected += line + "\r\n";
  EXPECT_EQ(buffer.Text(), expected);
  EXPECT_EQ(buffer.Text().substr(buffer.Text().size() - 4), "\r\n\r\n");  // sixth line empty
  ResetOutputBuffer(buffer);
  EXPECT_EQ(buffer.Text(), expected);  // not twice
}

}  // namespace
}  // namespace tavrilo::macros
