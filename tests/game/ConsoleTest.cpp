#include "game/Console.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/Names.h"

namespace tavrilo::game {
namespace {

using Views = std::vector<std::string_view>;

std::vector<std::string> Kept(const Words& words) {
  std::vector<std::string> kept;
  for (const Word& word : words.words)
    kept.emplace_back(word.kept);
  return kept;
}

TEST(Console, CutsLinesAtLineFeedAndCommandsAtSemicolonsOutsideQuotes) {
  EXPECT_EQ(LinesOf("exec Alias.cfg\r\nbind q zoom\r\n"),
            (Views{"exec Alias.cfg\r", "bind q zoom\r"}));
  EXPECT_EQ(LinesOf("a\rb"), (Views{"a\rb"}));  // a CR alone cuts nothing
  EXPECT_EQ(CommandsOf("say gg; quit"), (Views{"say gg", " quit"}));
  EXPECT_EQ(CommandsOf("bind \"t\" \"say gg; quit\""), (Views{"bind \"t\" \"say gg; quit\""}));
  EXPECT_EQ(CommandsOf("// comment; then score"), (Views{"// comment", " then score"}));
  EXPECT_EQ(CommandsOf(""), (Views{""}));
}

TEST(Console, DiscardsACommandWithAnOddNumberOfQuotes) {
  EXPECT_TRUE(HasUnmatchedQuote("bind \"q\" \"Free-Look"));
  EXPECT_FALSE(HasUnmatchedQuote("bind \"q\" \"zoom\""));
}

TEST(Console, ReadsWordsAsTheTokenizerDoes) {
  EXPECT_EQ(Kept(WordsOf("bind \"t\" \"say gg; quit\"", 128)),
            (std::vector<std::string>{"bind", "t", "say gg; quit"}));
  // Outside quotes a byte above 127 is a blank; inside it is kept.
  EXPECT_EQ(Kept(WordsOf("echo cr\xE9"
                         "e \"cr\xE9"
                         "e\"",
                         128)),
            (std::vector<std::string>{"echo", "cr", "e",
                                      "cr\xE9"
                                      "e"}));
  // "//" comments out the rest only at the start of a word.
  const Words comment = WordsOf("bind g +QuickGrenades // comment \"with quotes\"", 128);
  EXPECT_EQ(Kept(comment), (std::vector<std::string>{"bind", "g", "+QuickGrenades"}));
  EXPECT_EQ(comment.commentAt, 22u);
  EXPECT_EQ(Kept(WordsOf("connect http://example.org", 128)),
            (std::vector<std::string>{"connect", "http://example.org"}));
  // use reads the raw text after its name, quotes included.
  EXPECT_EQ(WordsOf("use \"Railgun\"  ", 128).args, "\"Railgun\"");
}

TEST(Console, LosesWhatReachesTheWordLimit) {
  const std::string say130 = "say \"" + std::string(130, 'x') + "\"";
  const Words quoted = WordsOf(say130, 128);
  EXPECT_TRUE(quoted.words[1].cut);
  EXPECT_EQ(quoted.words[1].kept, std::string(128, 'x')) << "a quoted word keeps its start";
  const std::string echo128 = "echo " + std::string(128, 'x');
  const Words plain = WordsOf(echo128, 128);
  EXPECT_TRUE(plain.words[1].cut);
  EXPECT_EQ(plain.words[1].kept, "") << "an unquoted word vanishes";
  EXPECT_FALSE(WordsOf("echo " + std::string(127, 'x'), 128).words[1].cut);
  EXPECT_FALSE(WordsOf(say130, LimitsOf(Game::kYamagi).word).words[1].cut);
}

TEST(Console, FindsTheCvarsExpandedOutsideQuotes) {
  EXPECT_EQ(CvarReferencesOf("say $rcon_password"), (Views{"rcon_password"}));
  EXPECT_EQ(CvarReferencesOf("bind t \"say $rcon_password\""), Views{});
  EXPECT_EQ(CvarReferencesOf("say hi // $name"), Views{});
  EXPECT_EQ(HighByteOutsideQuotes("name Fr\xE9"
                                  "d"),
            '\xE9');
  EXPECT_EQ(HighByteOutsideQuotes("say \"\xE0 tous\" // cr\xE9"
                                  "e"),
            '\0');
}

TEST(Console, ReadsBindAliasAndExec) {
  std::string storage;
  const Words spread = WordsOf("BIND q say hello world", 128);
  const ConsoleCommand bind = ReadCommand(spread, storage);
  EXPECT_EQ(bind.kind, CommandKind::kBind);
  EXPECT_EQ(bind.target, "q");
  EXPECT_EQ(bind.text, "say hello world") << "the words after the key, joined by blanks";
  const Words quoted = WordsOf("bind \"t\" \"say gg; quit\"", 128);
  EXPECT_EQ(ReadCommand(quoted, storage).text, "say gg; quit");
  const Words alias = WordsOf("alias zoom zoom_in", 128);
  EXPECT_EQ(ReadCommand(alias, storage).kind, CommandKind::kAlias);
  const Words exec = WordsOf("exec Alias.cfg", 128);
  EXPECT_EQ(ReadCommand(exec, storage).target, "Alias.cfg");
  const Words show = WordsOf("bind q", 128);
  EXPECT_FALSE(ReadCommand(show, storage).hasText) << "bind KEY alone shows the binding";
}

TEST(Console, DiscardsOrCutsALongCommandPerGame) {
  // The saved file puts a CR after each line: 1,023 characters and the CR make 1,024.
  EXPECT_EQ(FateOfCommand(Game::kQuake2, 1022, true), CommandFate::kRuns);
  EXPECT_EQ(FateOfCommand(Game::kQuake2, 1023, true), CommandFate::kDiscarded);
  EXPECT_EQ(FateOfCommand(Game::kQuake2, 1023, false), CommandFate::kRuns);
  EXPECT_EQ(FateOfCommand(Game::kYamagi, 1023, true), CommandFate::kRuns);
  EXPECT_EQ(FateOfCommand(Game::kYamagi, 1024, false), CommandFate::kCut);
}

TEST(GameNames, CommandsInAnyCaseCvarsExactlyAndTheRawReaders) {
  EXPECT_TRUE(IsGameCommand("WeapNext"));
  EXPECT_TRUE(IsGameCommand("+mlook"));
  EXPECT_FALSE(IsGameCommand("zoom"));
  EXPECT_TRUE(IsCvar("fov"));
  EXPECT_FALSE(IsCvar("FOV"));
  EXPECT_TRUE(IsItem("super SHOTGUN"));
  EXPECT_FALSE(IsItem("\"Railgun\""));
  for (const char* raw : {"use", "DROP", "give"})
    EXPECT_TRUE(ReadsArgumentsRaw(raw)) << raw;
  for (const char* words : {"say", "fov", "wave"})
    EXPECT_FALSE(ReadsArgumentsRaw(words)) << words;
  EXPECT_TRUE(IsChatCommand("say_team"));
}

}  // namespace
}  // namespace tavrilo::game
