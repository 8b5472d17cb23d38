// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/CommandReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrilo::game {
namespace {

using Views = std::vector<std::string_view>;

std::vector<std::string> Kept(std::string_view command, Game game = Game::kQuake2) {
  Words words;
  ReadWords(command, game, words);
  std::vector<std::string> kept;
  for (const Word& word : words.words)
    kept.emplace_back(word.kept);
  return kept;
}

Views CommandsOf(std::string_view line) {
  Views commands;
  ForEachCommand(line,
                 [&](std::string_view c, std::size_t, std::size_t) { commands.push_back(c); });
  return commands;
}

TEST(CommandReader, CutsCommandsAtSemicolonsOutsideQuotes) {
  EXPECT_EQ(CommandsOf("say gg; quit"), (Views{"say gg", " quit"}));
  EXPECT_EQ(CommandsOf("bind \"t\" \"say gg; quit\""), (Views{"bind \"t\" \"say gg; quit\""}));
  EXPECT_EQ(CommandsOf("// comment; then score"), (Views{"// comment", " then score"}));
  EXPECT_EQ(CommandsOf(""), (Views{""}));
  EXPECT_EQ(CountCommands("+attack;"), 2u) << "an empty command after the last \";\"";
  EXPECT_TRUE(HasUnmatchedQuote("bind \"q\" \"Free-Look"));
  EXPECT_FALSE(HasUnmatchedQuote("bind \"q\" \"zoom\""));
}

TEST(CommandReader, ReadsWordsAsTheTokenizerDoes) {
  EXPECT_EQ(Kept("bind \"t\" \"say gg; quit\""),
            (std::vector<std::string>{"bind", "t", "say gg; quit"}));
  // Outside quotes a byte above 127 is a blank; inside it is kept.
  EXPECT_EQ(Kept("echo cr\xE9"
                 "e \"cr\xE9"
                 "e\""),
            (std::vector<std::string>{"echo", "cr", "e",
                                      "cr\xE9"
                                      "e"}));
  // "//" comments out the rest only at the start of a word.
  Words comment;
  ReadWords("bind g +QuickGrenades // comment \"with quotes\"", Game::kQuake2, comment);
  EXPECT_EQ(comment.Count(), 3u);
  EXPECT_EQ(comment.commentAt, 22u);
  EXPECT_EQ(Kept("connect http://example.org"),
            (std::vector<std::string>{"connect", "http://example.org"}));
  // The raw text after the name, trimmed of blanks and of bytes above 127 at both ends.
  Words raw;
  ReadWords("use \"Railgun\"  ", Game::kQuake2, raw);
  EXPECT_EQ(raw.args, "\"Railgun\"");
  ReadWords(
      "say \xE7"
      "a va",
      Game::kQuake2, raw);
  EXPECT_EQ(raw.args, "a va");
  ReadWords("bind q say hello   world", Game::kQuake2, raw);
  EXPECT_EQ(raw.Joined(2), "say hello world") << "bind joins its words with one blank";
}

TEST(CommandReader, LosesWhatReachesTheWordLimitsPerGame) {
  Words words;
  const std::string say = "say \"" + std::string(130, 'x') + "\"";
  ReadWords(say, Game::kQuake2, words);
  EXPECT_TRUE(words.words[1].cut);
  EXPECT_EQ(words.words[1].kept, std::string(128, 'x')) << "a quoted word keeps its start";
  const std::string echo128 = "echo " + std::string(128, 'x');
  ReadWords(echo128, Game::kQuake2, words);
  EXPECT_EQ(words.words[1].kept, "") << "an unquoted word vanishes";
  const std::string echo127 = "echo " + std::string(127, 'x');
  ReadWords(echo127, Game::kQuake2, words);
  EXPECT_FALSE(words.words[1].cut);
  const std::string echo130 = "echo " + std::string(130, 'x');
  ReadWords(echo130, Game::kYamagi, words);
  EXPECT_FALSE(words.words[1].cut);
  std::string many = "echo";
  for (int i = 0; i < 85; ++i)
    many += " w";
  ReadWords(many, Game::kYamagi, words);
  EXPECT_EQ(words.Count(), 80u);
  EXPECT_EQ(words.dropped, 6u);
}

TEST(CommandReader, FindsTheCvarReferencesOutsideQuotes) {
  auto names = [](std::string_view command) {
    Views found;
    ForEachCvarReference(command,
                         [&](const CvarReference& reference) { found.push_back(reference.name); });
    return found;
  };
  EXPECT_EQ(names("say $rcon_password"), (Views{"rcon_password"}));
  EXPECT_EQ(names("bind t \"say $rcon_password\""), Views{});
  // After "$" the game skips blanks and takes the next word, quoted or not.
  EXPECT_EQ(names("bind $ \"+attack\""), (Views{"+attack"}));
  EXPECT_EQ(names("say $ rcon_password"), (Views{"rcon_password"}));
  EXPECT_EQ(names("say cost 5$"), (Views{""}));
  // The character that splits a word: a byte of Windows-1252, or a UTF-8 sequence whole.
  EXPECT_EQ(HighByteOutsideQuotes("name Fr\xE9"
                                  "d"),
            "\xE9");
  EXPECT_EQ(HighByteOutsideQuotes("name Bj\xC3\xB6rn"), "\xC3\xB6");
  EXPECT_EQ(HighByteOutsideQuotes("say \"\xE0 tous\" // cr\xE9"
                                  "e"),
            "");
  // No-break spaces and a byte order mark separate words as the player meant them to.
  EXPECT_EQ(HighByteOutsideQuotes("\xEF\xBB\xBFunbindall"), "");
  EXPECT_EQ(HighByteOutsideQuotes("bind\xC2\xA0w +forward"), "");
  EXPECT_EQ(HighByteOutsideQuotes("sensitivity\xA0"
                                  "3"),
            "");
}

TEST(CommandReader, DiscardsOrCutsALongCommandPerGame) {
  EXPECT_EQ(FateOfCommand(Game::kQuake2, 1023), CommandFate::kRuns);
  EXPECT_EQ(FateOfCommand(Game::kQuake2, 1024), CommandFate::kDiscarded);
  EXPECT_EQ(FateOfCommand(Game::kYamagi, 1023), CommandFate::kRuns);
  EXPECT_EQ(FateOfCommand(Game::kYamagi, 1024), CommandFate::kCut);
}

}  // namespace
}  // namespace tavrilo::game
