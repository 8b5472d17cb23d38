// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Output.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/Messages.h"

namespace tavrilo::cli {
namespace {

std::string Ansi(std::string_view bytes, Form form) {
  std::string out;
  AppendAnsi(out, bytes, form);
  return out;
}
std::string Bytes(std::string_view bytes, Form form) {
  std::string out;
  AppendBytes(out, bytes, form);
  return out;
}

TEST(Output, ControlCharactersNeverReachTheTerminalRaw) {
  // A title-setting escape sequence, a forged line, DEL and the C1 controls.
  EXPECT_EQ(Ansi("bind \"\x1b]2;PWNED\x07\" x", Form::kTerminal), "bind \"\\x1b]2;PWNED\\x07\" x");
  EXPECT_EQ(Ansi("a\r\nfake.cfg:1: error: injected\x7F", Form::kTerminal),
            "a\\x0d\\x0afake.cfg:1: error: injected\\x7f");
  EXPECT_EQ(Ansi("\x9D\x90\x81", Form::kTerminal), "\\x9d\\x90\\x81");
  // A file name: UTF-8 kept, its controls (C1 ones in UTF-8 too) and invalid bytes escaped.
  EXPECT_EQ(Bytes("caf\xC3\xA9\n\xC2\x9B"
                  "2J\xE9.cfg",
                  Form::kTerminal),
            "caf\xC3\xA9\\x0a\\x9b"
            "2J\\xe9.cfg");
}

TEST(Output, InvisibleCharactersThatReorderOrHideTextAreShownByTheirNumber) {
  // "evil<U+202E>gfc.cfg" would show as "evilgfc.cfg" reversed; U+2028 would break the
  // line; U+2066 to U+2069, U+200B and the byte-order mark would hide in the text. A tag
  // character lies beyond the first plane.
  const std::string name =
      "evil\xE2\x80\xAEgfc.cfg \xE2\x80\xA8|\xE2\x81\xA6\xE2\x81\xA9\xE2\x80\x8B\xEF\xBB\xBF"
      "\xF3\xA0\x80\x81|\xE2\x80\x94";
  EXPECT_EQ(Bytes(name, Form::kTerminal),
            "evil\\u202egfc.cfg \\u2028|\\u2066\\u2069\\u200b\\ufeff\\U000e0001|\xE2\x80\x94");
  EXPECT_EQ(Bytes(name, Form::kJson),
            "evil\\u202egfc.cfg \\u2028|\\u2066\\u2069\\u200b\\ufeff\\udb40\\udc01|\xE2\x80\x94");
  // The soft hyphen is the one such character of Windows-1252; a line of a checked file
  // that is UTF-8 goes the same way as a name.
  EXPECT_EQ(Ansi("a\xAD"
                 "b",
                 Form::kTerminal),
            "a\\u00adb");
  std::string out;
  AppendText(out, "say \xE2\x80\xAB\xC3\xA9", Form::kJson);
  EXPECT_EQ(out, "say \\u202b\xC3\xA9");
}

TEST(Output, TextsBecomeUtf8) {
  // Windows-1252 letters, the euro sign and the no-break space.
  EXPECT_EQ(Ansi("\xE9t\xE9 \x80\xA0", Form::kTerminal), "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\xC2\xA0");
  // A value of a message that is UTF-8 already (a file name) is kept; any other is
  // Windows-1252.
  std::string out;
  AppendText(out, "d\xC3\xA9j\xC3\xA0", Form::kTerminal);
  AppendText(out, "|d\xE9j\xE0", Form::kTerminal);
  EXPECT_EQ(out, "d\xC3\xA9j\xC3\xA0|d\xC3\xA9j\xC3\xA0");
}

TEST(Output, JsonStringsEscapeQuotesBackslashesAndEveryControlCharacter) {
  EXPECT_EQ(Ansi("say \"a\\b\"\t\r\n\b\f\x01\x1b\x7F\x9D", Form::kJson),
            "say \\\"a\\\\b\\\"\\t\\r\\n\\b\\f\\u0001\\u001b\\u007f\\u009d");
  // Invalid UTF-8 in a file name: each byte by its number. Overlong forms and surrogates
  // are invalid too.
  EXPECT_EQ(Bytes("\xFF\xC0\xAF\xED\xA0\x80\xF0\x9F\x98\x80", Form::kJson),
            "\\u00ff\\u00c0\\u00af\\u00ed\\u00a0\\u0080\xF0\x9F\x98\x80");
  // A sequence cut short at the end.
  EXPECT_EQ(Bytes("a\xE2\x82", Form::kJson), "a\\u00e2\\u0082");
}

TEST(Output, PatternsFillTheirPlaceholdersAsFormatTextDoes) {
  const Pattern pattern("%2 \xAB%1\xBB 100%% %3 %x %", Form::kTerminal);
  std::string out;
  pattern.AppendTo(out, std::vector<std::string>{"a\x1b", "b"});
  EXPECT_EQ(out,
            "b \xC2\xAB"
            "a\\x1b\xC2\xBB 100% %3 %x %");

  const Pattern json("\"%1\"", Form::kJson);
  out.clear();
  json.AppendTo(out, std::vector<std::string>{"\\"});
  EXPECT_EQ(out, "\\\"\\\\\\\"");
}

// A stream whose writes fail, as standard output on a full disk.
class FullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(Output, TheWriterWritesInBlocksAndReportsAFailedWrite) {
  std::ostringstream stream;
  {
    BufferedWriter writer(stream);
    writer.Buffer() += "line\n";
    writer.Written();
    EXPECT_TRUE(stream.str().empty()) << "a line stays in the buffer";
    writer.Buffer() += std::string(BufferedWriter::kBlock, 'x');
    writer.Written();
    EXPECT_EQ(stream.str().size(), BufferedWriter::kBlock + 5);
    writer.Buffer() += "end\n";
    EXPECT_TRUE(writer.Flush());
  }
  EXPECT_TRUE(stream.str().ends_with("xend\n"));

  FullBuffer full;
  std::ostream failing(&full);
  BufferedWriter writer(failing);
  writer.Buffer() += "a\n";
  EXPECT_FALSE(writer.Flush());
  EXPECT_TRUE(writer.Failed());
}

}  // namespace
}  // namespace tavrilo::cli
