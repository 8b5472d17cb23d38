#include "game/Diagnostics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace tavrilo::game {
namespace {

SupportFiles ShippedSupportFiles() {
  SupportFiles files;
  for (const char* name :
       {"Alias.cfg", "GlVid.cfg", "ModBinding.cfg", "NormBinding.cfg", "NormVid.cfg"})
    files.emplace(name, testing::ReadFile(testing::ShippedSupportDir() + name));
  return files;
}

// A list that the diagnostics follow as the window's list is followed.
struct Checked {
  explicit Checked(const std::vector<std::string>& lines, Game game = Game::kQuake2,
                   SupportFiles support = ShippedSupportFiles())
      : diagnostics(entries, game, std::move(support)) {
    for (const std::string& line : lines)
      Append(line);
    diagnostics.TakeChanges();
  }
  void Append(const std::string& line) {
    entries.Add(line);
    diagnostics.Appended();
  }
  void Remove(int index) {
    entries.Delete(index);
    diagnostics.Removed(index);
  }
  std::vector<std::string> Keys(int row) const {
    std::vector<std::string> keys;
    for (const Finding& finding : diagnostics.FindingsOf(row))
      keys.push_back(finding.text.key);
    return keys;
  }

  StringList entries;
  ListDiagnostics diagnostics;
};

using Keys = std::vector<std::string>;

// "echo xxxxxxxxx xxxxxxxxx ...": a command of `length` characters of short words.
std::string EchoOfLength(std::size_t length) {
  std::string line = "echo";
  while (line.size() < length)
    line += line.size() % 10 == 4 ? ' ' : 'x';
  return line;
}

Keys KeysOfLine(const std::string& line, Game game = Game::kQuake2) {
  return Checked({line}, game).Keys(0);
}

struct LineCase {
  std::string line;
  Keys keys;
};

TEST(Diagnostics, NameWhatTheGameDoesWithOneLine) {
  const std::string words200(200, 'w');
  const std::vector<LineCase> cases = {
      // discarded, cut, never run
      {"bind \"q\" \"Free-Look", {"Check.UnmatchedQuote"}},
      {EchoOfLength(1023), {"Check.CommandDiscarded"}},  // 1,023 and the CR
      {"bind \"q\" \"say " + words200 + "\"", {"Check.WordCut"}},
      {"echo " + std::string(130, 'x'), {"Check.WordLost"}},
      {"bind \"\xE9\" \"score\"", {"Check.KeyHighByte"}},
      {"bind \"ESC\" \"score\"", {"Check.NotKeyNameMeant"}},
      {"bind \"F16\" \"score\"", {"Check.NotKeyName"}},
      {"bind ; \"score\"", {"Check.NotKeyNameMeant"}},
      {"bind \"A\" \"score\"", {"Check.UpperCaseKey"}},
      {"bind \"+\" \"score\"", {"Check.NoSuchKey"}},
      {"bind \"~\" \"score\"", {"Check.NoSuchKey"}},
      {"bind \"`\" \"score\"", {"Check.ConsoleKey"}},
      {"bind \"ESCAPE\" \"score\"", {"Check.MenuKey"}},
      {"alias abcdefghijklmnopqrstuvwxyz012345 score", {"Check.AliasNameTooLong"}},
      {"alias score inven", {"Check.AliasHidden"}},
      {"// comment; score", {"Check.CommentRunsOn"}},
      {"bind \"e\" \"Hello\"", {"Check.UnknownName"}},
      // worth knowing
      {"bind \"t\" \"say gg; quit\"", {"Check.ChatSemicolon"}},
      {"say_team rush; unbindall", {"Check.ChatSemicolon"}},
      {"bind \"t\" \"say $rcon_password\"", {"Check.ChatCvar"}},
      {"bind \"t\" \"say go // now\"", {"Check.ChatComment"}},
      {"use \"Railgun\"", {"Check.RawQuotedArgs"}},
      {"bind \"r\" \"use Railgunn\"", {"Check.UnknownItem"}},
      {"bind \"r\" \"use Invuln\xE9rabilit\xE9\"", {"Check.UnknownItem"}},
      {"name Fr\xE9"
       "d",
       {"Check.HighByteSplits"}},
      {"bind \"y\" \"+attack; weaplast\"", {"Check.ReleaseRepeats"}},
      {"bind \"q\" \"zoom\"", {"Check.AliasNeedsExec"}},
      {"bind \"g\" \"+QuickGrenades\"", {"Check.AliasNeedsExec"}},  // one note for both
      // run as written
      {EchoOfLength(1022), {}},
      {"bind MWHEELUP weapnext", {}},
      {"bind kp_enter \"use Super Shotgun\"", {}},
      {"bind \\ +mlook", {}},
      {"bind \"SEMICOLON\" \"say Salut \xE0 tous\"", {}},
      {"bind \"F1\" \"cmd help\"", {}},
      {"set gl_mode 3; vid_restart", {}},
      {"alias zoom_in \"fov 30; alias zoom zoom_out\"", {"Check.AliasNeedsExec"}},
      {"// Fichier macro cr\xE9\xE9 gr\xE2"
       "ce au Tavrilo v1.4b ",
       {}},
      {"", {}},
  };
  for (const auto& [line, keys] : cases)
    EXPECT_EQ(KeysOfLine(line), keys) << line.substr(0, 60);
}

TEST(Diagnostics, SayWhatTheGameCallsAMistypedKeyAndHowToWriteALetter) {
  const Checked list({"bind \"ESC\" \"score\"", "bind \"A\" \"score\""});
  EXPECT_EQ(list.diagnostics.FindingsOf(0).at(0).text.args, (Keys{"ESC", "ESCAPE"}));
  EXPECT_EQ(list.diagnostics.FindingsOf(1).at(0).text.args, (Keys{"A", "a"}));
  EXPECT_EQ(list.diagnostics.WorstOf(0), Severity::kError);
}

TEST(Diagnostics, FollowTheGameChosen) {
  Checked list({"bind \"SC_APOSTROPHE\" \"score\"", "say \"" + std::string(200, 'w') + "\""});
  EXPECT_EQ(list.Keys(0), Keys{"Check.NotKeyName"});
  EXPECT_EQ(list.Keys(1), Keys{"Check.WordCut"});
  list.diagnostics.SetGame(Game::kYamagi);
  EXPECT_EQ(list.Keys(0), Keys{});
  EXPECT_EQ(list.Keys(1), Keys{});
  const DiagnosticChanges changes = list.diagnostics.TakeChanges();
  EXPECT_EQ(changes.first, 0);
  EXPECT_EQ(changes.last, 1);
}

TEST(Diagnostics, MarkEveryBindingOfAKeyButTheLast) {
  Checked list({"bind \"q\" \"score\"", "bind \"w\" \"inven\"", "bind q \"help\""});
  EXPECT_EQ(list.Keys(0), Keys{"Check.Overridden"});
  EXPECT_EQ(list.Keys(2), Keys{});
  list.Append("bind \"Q\" \"kill\"");  // upper case: another key, which never runs
  EXPECT_EQ(list.Keys(2), Keys{});
  list.Append("bind SEMICOLON score");
  list.diagnostics.TakeChanges();
  list.Append("bind \";\" inven");  // the same key as SEMICOLON
  EXPECT_EQ(list.Keys(4), Keys{"Check.Overridden"});
  const DiagnosticChanges changes = list.diagnostics.TakeChanges();
  EXPECT_EQ(changes.first, 4) << "the earlier binding's row changed";
  EXPECT_EQ(changes.last, 5);
  list.Remove(5);
  EXPECT_EQ(list.Keys(4), Keys{}) << "removing the later binding frees the earlier one";
}

TEST(Diagnostics, KnowTheAliasesOfTheListAndOfTheSupportFilesItRuns) {
  Checked list({"bind \"e\" \"fire\"", "bind \"q\" \"zoom\""});
  EXPECT_EQ(list.Keys(0), Keys{"Check.UnknownName"});
  EXPECT_EQ(list.diagnostics.FindingsOf(1).at(0).text.args, (Keys{"zoom", "Alias.cfg"}));
  EXPECT_EQ(list.diagnostics.WorstOf(1), Severity::kNote);

  list.Append("alias FIRE \"+attack; wait; -attack\"");  // alias names in any case
  EXPECT_EQ(list.Keys(0), Keys{});
  EXPECT_EQ(list.diagnostics.TakeChanges().first, 0);
  list.Append("exec ModBinding.cfg");  // which runs Alias.cfg
  EXPECT_EQ(list.Keys(1), Keys{});
  list.Remove(2);
  EXPECT_EQ(list.Keys(0), Keys{"Check.UnknownName"});
}

TEST(Diagnostics, NoteAnExecWhoseFileAndTheTextAfterItOverflowTheBuffer) {
  SupportFiles support = ShippedSupportFiles();
  support["Big.cfg"] = std::string(5000, '/') + "\r\n";  // 5,002 bytes
  const std::string binding = "bind \"q\" \"score\"";    // 18 bytes with CR LF
  std::vector<std::string> lines = {"exec Big.cfg"};
  // 8,191 - 5,002 = 3,189 bytes may follow: 177 bindings are 3,186.
  lines.insert(lines.end(), 177, binding);
  Checked list(lines, Game::kQuake2, support);
  EXPECT_EQ(list.diagnostics.WorstOf(0), Severity::kNone);
  list.Append("bind \"w\" \"inven\"");
  EXPECT_EQ(list.Keys(0), Keys{"Check.ExecOverflow"});
  const DiagnosticChanges changes = list.diagnostics.TakeChanges();
  EXPECT_EQ(changes.first, 0) << "the exec's row changed with an append far below it";
  list.diagnostics.SetGame(Game::kYamagi);  // a buffer of 32,768 bytes
  EXPECT_EQ(list.Keys(0), Keys{});
}

TEST(Diagnostics, CountTheSavedFileAgainstWhatExecTakes) {
  Checked list({"bind \"q\" \"zoom\""}, Game::kQuake2, {});
  list.diagnostics.SetHeaderSize(100);
  EXPECT_EQ(list.diagnostics.SavedSize(), 100u + 15 + 2);
  EXPECT_EQ(list.diagnostics.SizeText(), (Text{"Check.Budget",
                                               {"117",
                                                "8\xA0"
                                                "191"}}));
  const std::string line(98, '/');  // 100 bytes a line
  for (int i = 0; i < 80; ++i)
    list.Append(line);
  EXPECT_EQ(list.diagnostics.SavedSize(), 8117u);
  EXPECT_FALSE(list.diagnostics.OverLimit());
  EXPECT_EQ(list.diagnostics.FirstEntryOverLimit(), -1);
  list.Append(line);
  EXPECT_TRUE(list.diagnostics.OverLimit());
  EXPECT_EQ(list.diagnostics.FirstEntryOverLimit(), 81);
  EXPECT_TRUE(list.diagnostics.TakeChanges().size);
  list.diagnostics.SetGame(Game::kYamagi);
  EXPECT_EQ(list.diagnostics.Limit(), 32767u);

  EXPECT_FALSE(IsOverExecLimit(8191, Game::kQuake2));
  EXPECT_TRUE(IsOverExecLimit(8192, Game::kQuake2));
  EXPECT_FALSE(IsOverExecLimit(8192, Game::kYamagi));
  EXPECT_EQ(OverLimitText(36886, Game::kQuake2), (Text{"Check.FileTooBig",
                                                       {"36\xA0"
                                                        "886",
                                                        "8\xA0"
                                                        "191"}}));
  EXPECT_EQ(GroupDigits(999), "999");
  EXPECT_EQ(GroupDigits(1234567),
            "1\xA0"
            "234\xA0"
            "567");
}

TEST(Diagnostics, CountLineEndsAsTheFileHasThem) {
  StringList entries;
  ListDiagnostics diagnostics(entries, Game::kQuake2, {});
  entries.Add(EchoOfLength(1023));
  diagnostics.Appended(LineEnd::kLf);
  entries.Add("score");
  diagnostics.Appended(LineEnd::kNone);
  EXPECT_EQ(diagnostics.WorstOf(0), Severity::kNone) << "no CR: the command has 1,023";
  EXPECT_EQ(diagnostics.SavedSize(), 1024u + 5);
}

}  // namespace
}  // namespace tavrilo::game
