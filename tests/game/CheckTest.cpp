// SPDX-License-Identifier: GPL-3.0-or-later
// The check runs a script as the game does: each group of cases is one rule of the
// game's console, with the lines of its examples, for the game each case names.
#include "game/Check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "game/Findings.h"
#include "game/Names.h"

namespace tavrilo::game {
namespace {

constexpr Game kBoth[] = {Game::kQuake2, Game::kYamagi};
constexpr Game Q = Game::kQuake2;
constexpr Game Y = Game::kYamagi;

SupportFiles ShippedSupportFiles() {
  SupportFiles files;
  for (const char* name :
       {"Alias.cfg", "GlVid.cfg", "ModBinding.cfg", "NormBinding.cfg", "NormVid.cfg"})
    files.emplace(name, testing::ReadFile(testing::ShippedSupportDir() + name));
  return files;
}

const SupportFiles& Shipped() {
  static const SupportFiles files = ShippedSupportFiles();
  return files;
}

std::string Script(const std::vector<std::string>& lines) {
  std::string script;
  for (const std::string& line : lines)
    script += line + "\r\n";
  return script;
}

CheckResult Check(const std::vector<std::string>& lines, Game game,
                  const SupportFiles& support = Shipped()) {
  return CheckScript(Script(lines), game, support);
}

// The stable names of the findings of line `line` (from 0).
std::vector<std::string> CodesOf(const CheckResult& result, int line) {
  std::vector<std::string> codes;
  for (const Finding& finding : result.FindingsOf(line)) {
    codes.emplace_back(CodeName(finding.code));
    // The values its text takes, as the rule book declares them.
    EXPECT_EQ(result.ArgsOf(finding).size(), RuleOf(finding.code).Values().size()) << codes.back();
  }
  return codes;
}

using Codes = std::vector<std::string>;

// One line on its own (after exec Alias.cfg, so that its aliases are known).
Codes CodesOfLine(const std::string& line, Game game) {
  return CodesOf(Check({"exec Alias.cfg", line}, game), 1);
}

struct Case {
  std::string line;
  Game game;
  Codes codes;
};

void ExpectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(CodesOfLine(c.line, c.game), c.codes)
        << (c.game == Y ? "Yamagi: " : "Quake 2: ") << c.line.substr(0, 70);
  }
}

std::string Bytes(std::size_t count, char fill = 'x') {
  return std::string(count, fill);
}

// "echo xxx... xxx...": a command of `length` characters, in words of 100 characters.
std::string EchoOfLength(std::size_t length) {
  std::string line = "echo";
  while (line.size() < length)
    line += line.size() % 100 == 4 ? ' ' : 'x';
  return line;
}

// Comment lines of `bytes` bytes in all, CR LF included (at least 4).
std::string Filler(std::size_t bytes) {
  std::string text;
  while (bytes - text.size() > 100)
    text += "//" + std::string(96, 'x') + "\r\n";
  const std::size_t left = bytes - text.size();
  text += "//" + std::string(left - 4, 'x') + "\r\n";
  return text;
}

// ---- exec: the buffer, the file dropped, the game stopped ------------------------------

TEST(CheckExec, AScriptTooBigForExecIsDroppedWhole) {
  for (Game game : kBoth) {
    const std::size_t limit = LimitsOf(game).execFile;  // 8,191 and 32,766
    const std::string fits = Filler(limit);
    CheckResult result = CheckScript(fits, game, {});
    EXPECT_EQ(result.Size(), limit);
    EXPECT_FALSE(result.TooBig());
    EXPECT_EQ(result.Errors(), 0);
    result = CheckScript("/" + fits, game, {});
    ASSERT_EQ(result.Size(), limit + 1);
    EXPECT_TRUE(result.TooBig());
    ASSERT_EQ(result.Findings().size(), 1u);
    EXPECT_EQ(result.Findings()[0].code, Code::kFileTooBig);
    EXPECT_EQ(result.Findings()[0].line, static_cast<int>(limit / 100)) << "the last line";
  }
  // The header of a saved list counts; the finding is on the first line past the limit.
  StringList entries;
  for (int i = 0; i < 82; ++i)
    entries.Add(Bytes(98, '/'));  // 100 bytes each with CR LF
  const CheckResult list = CheckList(entries, 100, Q, {});
  EXPECT_EQ(list.Size(), 8300u);
  EXPECT_EQ(CodesOf(list, 80), Codes{"file-too-big"});
  EXPECT_EQ(list.SizeText(), (Text{"Check.Budget",
                                   {"8\xA0"
                                    "300",
                                    "8\xA0"
                                    "191"}}));
}

TEST(CheckExec, AFileRunInsideAScriptMustFitBesideTheWaitingTextOrTheGameStops) {
  const std::size_t alias = Shipped().at("Alias.cfg").size();
  for (Game game : kBoth) {
    const Limits limits = LimitsOf(game);
    // What may still wait after "exec Alias.cfg" (its CR LF are gone with it), the LF
    // Yamagi adds after each file included.
    const std::size_t room = limits.buffer - 2 * limits.appended - alias;
    for (const char* exec : {"exec Alias.cfg", "exec alias.cfg", "EXEC ALIAS.CFG"}) {
      CheckResult fits = CheckScript(std::string(exec) + "\r\n" + Filler(room), game, Shipped());
      EXPECT_EQ(fits.Errors(), 0) << exec;
      CheckResult stops =
          CheckScript(std::string(exec) + "\r\n" + Filler(room + 1), game, Shipped());
      EXPECT_EQ(stops.WorstOf(0), Severity::kError) << exec;
      EXPECT_EQ(stops.FindingsOf(0).front().code, Code::kExecFatal) << exec;
    }
  }
  // The same exec run from an alias, or from a key.
  const std::size_t room = LimitsOf(Q).buffer - alias;
  CheckResult viaAlias =
      CheckScript("alias go \"exec Alias.cfg\"\r\ngo\r\n" + Filler(room + 1), Q, Shipped());
  EXPECT_EQ(CodesOf(viaAlias, 1), Codes{"exec-fatal"});
  CheckResult viaKey =
      Check({"bind x \"exec Alias.cfg; " + std::string("echo hi; ") + "\"", "//"}, Q);
  EXPECT_EQ(viaKey.Errors(), 0);
}

TEST(CheckExec, ASupportFileThatRunsAnotherLeavesRoomForItToo) {
  // ModBinding.cfg runs Alias.cfg while the rest of ModBinding.cfg and of the player's file
  // still wait.
  const std::string& mod = Shipped().at("ModBinding.cfg");
  const std::size_t afterExec =
      mod.size() - (mod.find("exec Alias.cfg\r\n") + std::string("exec Alias.cfg\r\n").size());
  const std::size_t room = LimitsOf(Q).buffer - Shipped().at("Alias.cfg").size() - afterExec;
  CheckResult fits = CheckScript("exec ModBinding.cfg\r\n" + Filler(room), Q, Shipped());
  EXPECT_EQ(fits.Errors(), 0);
  CheckResult stops = CheckScript("exec ModBinding.cfg\r\n" + Filler(room + 1), Q, Shipped());
  ASSERT_EQ(CodesOf(stops, 0), Codes{"exec-fatal-nested"});
  EXPECT_EQ(stops.ArgsOf(stops.FindingsOf(0).front()).back(), "ModBinding.cfg");
}

TEST(CheckExec, UsageUnknownFilesAndFilesTooBig) {
  const std::vector<Case> cases = {
      {"exec Alias.cfg extra", Q, {"exec-usage"}},
      {"exec", Y, {"exec-usage"}},
      {"exec autoexec.cfg", Q, {"exec-unknown-file"}},
      {"exec alias.cfg", Y, {"exec-letter-case"}},  // Yamagi on Linux: Alias.cfg is not found
      {"exec alias.cfg", Q, {}},
  };
  ExpectCases(cases);
  SupportFiles big = Shipped();
  big["Big.cfg"] = Bytes(9000, '/') + "\r\n";
  EXPECT_EQ(CodesOf(Check({"exec Big.cfg"}, Q, big), 0), Codes{"exec-dropped"});
  EXPECT_EQ(Check({"exec Big.cfg"}, Y, big).Errors(), 0);
}

// A folder beside the checked file: its files by their stored name, found as the game
// finds names.
FilesBeside Folder(std::map<std::string, std::string> files) {
  return
      [files = std::move(files)](Game game, std::string_view written) -> std::optional<FileBeside> {
        for (const auto& [name, bytes] : files) {
          if (OpensFileNamed(game, written, name)) return FileBeside{name, bytes};
        }
        return std::nullopt;
      };
}

TEST(CheckExec, AFileBesideTheCheckedOneIsFollowedOnceLikeASupportFile) {
  const std::string binds = "bind q \"+attack\"\nalias zoom \"fov 30\"\n";
  const FilesBeside folder = Folder({
      {"Binds.cfg", binds},
      {"self.cfg", "exec self.cfg\n" + Filler(1000)},
      {"ping.cfg", "exec pong.cfg\n" + Filler(1000)},
      {"pong.cfg", "exec ping.cfg\n" + Filler(1000)},
      {"big.cfg", Bytes(9000, '/') + "\n"},
  });
  const auto check = [&](const std::vector<std::string>& lines, Game game) {
    return CheckScript(Script(lines), game, {}, folder);
  };
  // What it binds and defines counts; Quake 2 finds the name in any letter case, Yamagi
  // Quake II as written or in lower case only.
  CheckResult result = check({"bind q \"+use\"", "exec binds.cfg", "bind e zoom"}, Q);
  EXPECT_EQ(CodesOf(result, 0), Codes{"overridden"});
  EXPECT_EQ(result.Errors() + result.Notes(), 1);
  EXPECT_EQ(CodesOf(check({"exec binds.cfg", "bind e zoom"}, Y), 0), Codes{"exec-unknown-file"});
  EXPECT_EQ(CodesOf(check({"exec BINDS.CFG"}, Y), 0), Codes{"exec-unknown-file"});
  EXPECT_EQ(CodesOf(check({"exec Binds.cfg", "bind e zoom"}, Y), 1), Codes{});
  EXPECT_EQ(CodesOf(check({"exec missing.cfg"}, Q), 0), Codes{"exec-unknown-file"});
  EXPECT_EQ(CodesOf(check({"exec big.cfg"}, Q), 0), Codes{"exec-dropped"});
  // A file that runs itself, and files that run each other, are followed once: followed
  // again, what waits of each round would pass the buffer.
  EXPECT_EQ(check({"exec self.cfg"}, Q).Errors(), 0);
  EXPECT_EQ(check({"exec ping.cfg", "exec pong.cfg"}, Q).Errors(), 0);
  // Its size counts beside the waiting text.
  for (Game game : kBoth) {
    const Limits limits = LimitsOf(game);
    const std::size_t room = limits.buffer - 2 * limits.appended - binds.size();
    EXPECT_EQ(CheckScript("exec Binds.cfg\r\n" + Filler(room), game, {}, folder).Errors(), 0);
    EXPECT_EQ(CodesOf(CheckScript("exec Binds.cfg\r\n" + Filler(room + 1), game, {}, folder), 0),
              Codes{"exec-fatal"});
  }
}

// ---- the console's reading: commands, quotes, words -------------------------------

TEST(CheckReading, LongCommandsQuotesAndWords) {
  const std::string many = "echo" + [] {
    std::string words;
    for (int i = 0; i < 85; ++i)
      words += " w";
    return words;
  }();
  const std::vector<Case> cases = {
      {EchoOfLength(1023), Q, {"command-discarded"}},  // 1,023 and the CR
      {EchoOfLength(1022), Q, {}},
      {EchoOfLength(1023), Y, {}},  // Yamagi cuts to 1,023: only the CR goes
      {EchoOfLength(1030), Y, {"command-cut"}},
      {"bind \"q\" \"Free-Look", Q, {"unmatched-quote"}},
      {"say \"a;b", Y, {"unmatched-quote"}},
      {many, Q, {"too-many-words"}},
      {"say" + many.substr(4, 100), Q, {}},  // say reads its text raw
      {"bind \"q\" \"say " + Bytes(200, 'w') + "\"", Q, {"word-cut"}},
      {"echo " + Bytes(130), Q, {"word-lost"}},
      {"say " + Bytes(130), Q, {}},  // an unquoted long word in say: the text is raw
      {"bind \"q\" \"say " + Bytes(130, 'w') + "\"", Y, {}},
      {"name Fr\xE9"
       "d",
       Q,
       {"high-byte-splits", "cvar-extra-words"}},  // sets "Fr"
      {"// comment; quit", Q, {"comment-runs-on"}},
      {"// Fichier macro cr\xE9\xE9 gr\xE2"
       "ce au Tavrilo v1.4b ",
       Q,
       {}},
      {"", Y, {}},
      {"cmd " + Bytes(1016), Q, {"forward-too-long"}},  // 1,020 with the CR
      {"cmd " + Bytes(1014), Q, {}},
  };
  ExpectCases(cases);
}

TEST(CheckReading, DollarExpandsACvarWhenTheCommandRuns) {
  const std::vector<Case> cases = {
      {"bind $ \"+attack\"", Q, {"cvar-empty", "bind-usage"}},  // "$" takes the next word
      {"fov $zoomfov", Y, {"cvar-empty"}},
      {"say $ rcon_password", Q, {"chat-cvar"}},
      {"bind \"t\" \"say $rcon_password\"", Q, {"chat-cvar"}},  // expanded at the press
      {"echo $fov", Q, {}},
      {"set zoomfov 30; fov $zoomfov", Q, {}},
  };
  ExpectCases(cases);
}

// ---- names: the order in which they run ----------------------------------------------

TEST(CheckNames, EveryNameTheGameRegistersRuns) {
  // Each name of the game's lists on a line of its own, as a command with what it needs
  // or as a cvar with a value: nothing the game registers is unknown or refused.
  for (Game game : kBoth) {
    std::vector<std::string> lines;
    for (const char* section : {"command", "renderer-command", "server-command"}) {
      for (const std::string& name : NamesOfSection(game, section)) {
        const std::string lower = LowerCase(name);
        if (lower == "bind") {
          lines.push_back("bind F1 \"+attack\"");
        } else if (lower == "unbind") {
          lines.push_back("unbind F2");
        } else if (lower == "exec") {
          lines.push_back("exec NormVid.cfg");
        } else if (lower == "say" || lower == "say_team") {
          lines.push_back(name + " hello");
        } else if (lower == "use" || lower == "drop") {
          lines.push_back(name + " Railgun");
        } else {
          lines.push_back(name);
        }
      }
    }
    for (const char* section : {"cvar", "renderer-cvar", "game-cvar"}) {
      for (const std::string& name : NamesOfSection(game, section)) {
        const CvarInfo* cvar = FindCvar(game, name);
        const bool writeProtected = cvar != nullptr && cvar->writeProtected;
        lines.push_back(writeProtected ? name : name + " 1");
      }
    }
    for (const std::string& line : lines)
      EXPECT_EQ(Check({line}, game).Errors(), 0) << (game == Y ? "Yamagi: " : "") << line;
  }
}

TEST(CheckNames, CommandsAliasesCvarsAndTheServer) {
  const std::vector<Case> cases = {
      {"map_noareas 1", Q, {}},
      {"adr0 192.168.0.1", Q, {}},
      {"gun_model x; viewpos; z_stats", Q, {}},
      {"alias score \"say hi\"", Q, {}},  // a server command: the alias runs
      {"alias bind \"say hi\"", Y, {"alias-hidden"}},
      {"alias " + Bytes(32, 'a') + " score", Q, {"alias-name-too-long"}},
      {"bind \"e\" \"Hello\"", Q, {"unknown-name"}},
      {"frobnicate", Y, {"unknown-name"}},
      {"gl_clear 1", Q, {"renderer-cvar"}},
      {"set gl_clear 1", Q, {}},
      {"bob_pitch 0", Q, {"game-cvar"}},
      {"name Big Bob", Q, {"cvar-extra-words"}},
      {"name \"Big Bob\"", Q, {}},
      {"version 4", Y, {"cvar-read-only"}},
      {"vid_ref gl", Y, {"unknown-name"}},
      {"set vid_ref gl", Y, {}},
  };
  ExpectCases(cases);
}

TEST(CheckNames, AnAliasRunsOnlyOnceDefinedAndTheSupportFilesDefineTheirs) {
  // Not yet run: said as chat when the line runs; bound: known by the time of the press.
  CheckResult result = Check({"zoom", "bind q zoom", "bind g +QuickGrenades", "bind f fire",
                              "alias FIRE \"+attack; wait; -attack\"", "fire"},
                             Q);
  EXPECT_EQ(CodesOf(result, 0), Codes{"alias-needs-exec"});
  EXPECT_EQ(CodesOf(result, 1), Codes{"alias-needs-exec"});
  EXPECT_EQ(result.WorstOf(1), Severity::kNote);
  EXPECT_EQ(CodesOf(result, 2), Codes{"alias-needs-exec"});
  EXPECT_EQ(CodesOf(result, 3), Codes{}) << "alias names in any case, defined later";
  EXPECT_EQ(CodesOf(result, 5), Codes{});
  result = Check({"fire", "alias fire \"+attack\""}, Y);
  EXPECT_EQ(CodesOf(result, 0), Codes{"alias-defined-later"});
  // Also when an alias the line runs runs it; a name no line defines is said of the alias.
  result = Check({"alias a1 b1", "a1", "alias b1 \"echo x\"", "alias c1 frobnicate", "c1"}, Q);
  EXPECT_EQ(CodesOf(result, 1), Codes{"alias-defined-later"});
  EXPECT_EQ(CodesOf(result, 3), Codes{"unknown-name"});
  EXPECT_EQ(CodesOf(result, 4), Codes{});
  // Running a support file that runs Alias.cfg defines them too.
  result = Check({"exec ModBinding.cfg", "bind q zoom"}, Q);
  EXPECT_EQ(result.Errors() + result.Notes(), 0);
}

TEST(CheckNames, AnAliasNamedLikeACommandOfTheGameNeverRuns) {
  // Yamagi Quake II registers cycleweap: an alias CycleWeap never runs there.
  const CheckResult result = Check({"alias CycleWeap \"use Railgun\"", "bind e CycleWeap"}, Y, {});
  EXPECT_EQ(CodesOf(result, 0), Codes{"alias-hidden"});
  EXPECT_EQ(CodesOf(result, 1), Codes{"command-hides-alias"});
  EXPECT_EQ(Check({"alias CycleWeap \"use Railgun\"", "bind e CycleWeap"}, Q, {}).Errors(), 0);
  // A command written with words after it is meant as the command, which runs.
  const CheckResult echo = Check({"bind k \"echo hi\"", "alias Echo \"say x\""}, Y, {});
  EXPECT_EQ(CodesOf(echo, 0), Codes{});
  EXPECT_EQ(CodesOf(echo, 1), Codes{"alias-hidden"});
}

TEST(CheckNames, AnAliasThatRunsItselfStopsAfterSixteenRoundsUnlessItWaits) {
  EXPECT_EQ(CodesOf(Check({"alias a b", "alias b a", "a"}, Q), 2), Codes{"alias-loop"});
  EXPECT_EQ(Check({"alias loop \"echo x; wait; loop\"", "bind l loop"}, Q).Errors(), 0);
  // No loop: a text that only binds a key to its own alias (the key runs it later, once per
  // press), and a text that defines its alias anew before running it (the new text runs).
  EXPECT_EQ(Check({"alias t4 \"bind k t4\""}, Q).Errors(), 0);
  // A text that defines an alias that runs it: running it only defines the alias.
  EXPECT_EQ(Check({"alias a \"fov 30; alias b a\""}, Q).Errors(), 0);
  EXPECT_EQ(CodesOf(Check({"alias a \"alias b a; b\""}, Q), 0), Codes{"alias-loop"});
  EXPECT_EQ(Check({"alias t5 t6", "alias t6 \"alias t5 echo; t5\"", "t5"}, Y).Errors(), 0);
  EXPECT_EQ(Check({"alias done \"echo done\"", "alias once \"alias once done; once\""}, Q).Errors(),
            0);
  // A wait run by another alias holds the whole buffer too.
  EXPECT_EQ(Check({"alias w5 \"wait; wait\"", "alias spin \"+right; w5; -right; w5; spin\"",
                   "bind k spin"},
                  Y)
                .Errors(),
            0);
}

TEST(CheckNames, AnAliasNamedLikeACvarRunsInsteadOfSettingIt) {
  for (Game game : kBoth) {
    const CheckResult result = Check({"alias fov \"echo zoomed\"", "fov 90"}, game);
    EXPECT_EQ(CodesOf(result, 0), Codes{});
    EXPECT_EQ(CodesOf(result, 1), Codes{"alias-hides-cvar"});
    EXPECT_EQ(Check({"fov 90", "alias fov \"echo zoomed\""}, game).Errors(), 0)
        << "set before the alias exists";
  }
}

TEST(CheckNames, CvarsAreFoundByTheirExactNameAndSettingThemMaySayMore) {
  const std::vector<Case> cases = {
      // Another letter case: no cvar; the name goes to the server, said as chat.
      {"FOV 30", Q, {"cvar-letter-case"}},
      {"Sensitivity 1", Y, {"cvar-letter-case"}},
      {"bind a \"CL_RUN 1\"", Q, {"cvar-letter-case"}},
      {"fov 30", Q, {}},
      // Write-protected: refused; latched: at the next game; Yamagi's old names.
      {"qport 1", Q, {"cvar-read-only"}},
      {"set protocol 1", Y, {"cvar-read-only"}},
      {"deathmatch 1", Q, {"cvar-latched"}},
      {"set maxclients 4", Y, {"cvar-latched"}},
      {"gl_mode 3", Y, {"cvar-renamed"}},
      {"gl_mode 3", Q, {}},
      // "$" with nothing after it stays; a cvar reference is found by its exact name.
      {"say 100$", Q, {}},
      {"say hi $NAME", Q, {"cvar-empty"}},
  };
  ExpectCases(cases);
  const CheckResult result = Check({"exec Alias.cfg", "FOV 30", "gl_picmip 1"}, Y);
  EXPECT_EQ(result.ArgsOf(result.FindingsOf(1)[0]), (std::vector<std::string>{"FOV", "fov"}));
  EXPECT_EQ(result.ArgsOf(result.FindingsOf(2)[0]),
            (std::vector<std::string>{"gl_picmip", "gl1_picmip"}));
}

// ---- what the game module does -------------------------------------------------------

TEST(CheckServer, ChatAndItems) {
  const std::vector<Case> cases = {
      {"say caf\xE9", Q, {"chat-trimmed"}},
      {"say \xE7"
       "a va",
       Y,
       {"chat-trimmed"}},
      {"say \"caf\xE9\"", Q, {}},
      {"say \"a\" b", Q, {"chat-quotes"}},
      {"say \"gg\"", Q, {}},
      {"say " + Bytes(150), Q, {"chat-too-long"}},
      {"say " + Bytes(140), Q, {"chat-may-be-cut"}},
      {"say_team " + Bytes(130), Y, {}},
      {"say hi // there", Q, {"chat-comment"}},
      {"say http://example.net", Q, {}},
      {"bind \"t\" \"say gg; quit\"", Q, {"chat-semicolon"}},
      {"bind \"q\" \"say \"", Q, {"chat-empty"}},
      {"use \"Rocket Launcher\"", Q, {"quoted-item"}},
      {"use Rocket Launcher", Y, {}},
      {"bind \"r\" \"use Railgunn\"", Q, {"unknown-item"}},
      {"use Body Armor", Q, {"item-not-usable"}},
      {"drop Body Armor", Q, {"item-not-droppable"}},
      {"drop Railgun", Y, {}},
      {"use Shells", Y, {"item-not-usable"}},
      {"use health", Q, {"item-not-usable"}},
      {"give \"Rocket Launcher\"", Q, {}},  // give tries its first word unquoted
      {"give \"Rocket Launcher\" 5", Q, {}},
      {"give \"Rail gun\"", Q, {"quoted-item"}},
      {"cmd use \"Railgun\"", Q, {"quoted-item"}},
  };
  ExpectCases(cases);
  // Trimmed and unpaired quotes: both findings give what the game ends up saying.
  const CheckResult both = Check({"say \"a\"b \x85"}, Y);
  ASSERT_EQ(CodesOf(both, 0), (Codes{"chat-trimmed", "chat-quotes"}));
  for (const Finding& finding : both.FindingsOf(0))
    EXPECT_EQ(both.ArgsOf(finding), std::vector<std::string>{"a\""});
}

// ---- keys ---------------------------------------------------------------------------

TEST(CheckKeys, NamesPerGame) {
  const std::vector<Case> cases = {
      {"bind \"\xE9\" \"score\"", Q, {"key-high-byte"}},
      {"bind \"ESC\" \"score\"", Y, {"not-key-name-meant"}},
      {"bind \"F16\" \"score\"", Q, {"not-key-name"}},
      {"bind \"A\" \"+attack\"", Q, {"upper-case-key"}},
      {"bind \"A\" \"+attack\"", Y, {}},  // Shift+a
      {"bind \"+\" \"score\"", Q, {"no-such-key"}},
      {"bind \"+\" \"score\"", Y, {}},
      {"bind ! \"score\"", Q, {"no-such-key"}},
      {"bind BTN_SOUTH \"+attack\"", Y, {}},
      {"bind BTN_SOUTH \"+attack\"", Q, {"not-key-name"}},
      {"bind AUX1 \"+attack\"", Y, {"not-key-name"}},
      {"bind JOY1 \"+attack\"", Q, {}},
      {"bind \"`\" \"score\"", Q, {"hardwired-key"}},
      {"bind \"^\" \"score\"", Y, {"hardwired-key"}},
      {"bind \";\" \"score\"", Q, {"semicolon-key"}},
      {"bind \";\" \"score\"", Y, {}},
      {"bind SEMICOLON \"score\"", Q, {}},
      {"bind q", Q, {"bind-shows"}},
      {"bind", Y, {"bind-usage"}},
      {"unbind", Q, {"bind-usage"}},
      {"unbind a b", Y, {"bind-usage"}},  // one key, no more: the binding of a stays
  };
  ExpectCases(cases);
}

TEST(CheckKeys, TheGamesOwnConfigBindsTheHardwiredKeysToTheirOwnJob) {
  for (Game game : kBoth) {
    const CheckResult result = Check(
        {"bind ESCAPE \"togglemenu\"", "bind ` \"toggleconsole\"", "bind ~ \"toggleconsole\""},
        game);
    EXPECT_EQ(result.Errors(), 0);
    EXPECT_EQ(result.Notes(), 3);
    EXPECT_EQ(CodesOf(result, 0), Codes{"hardwired-job"});
  }
}

TEST(CheckKeys, ALaterLineThatBindsOrRemovesAKeyLosesTheBinding) {
  CheckResult result = Check({"bind \"q\" \"score\"", "bind \"w\" \"inven\"", "bind q \"help\"",
                              "bind \" \" \"+moveup\"", "bind SPACE \"+movedown\""},
                             Q);
  EXPECT_EQ(CodesOf(result, 0), Codes{"overridden"});
  EXPECT_EQ(result.ArgsOf(result.FindingsOf(0).front()), (std::vector<std::string>{"q", "3"}));
  EXPECT_EQ(CodesOf(result, 1), Codes{});
  EXPECT_EQ(CodesOf(result, 3), Codes{"overridden"}) << "\" \" is SPACE";
  result = Check(
      {"bind a \"+attack\"", "bind b \"score\"", "unbind a", "unbindall", "bind c \"score\""}, Y);
  EXPECT_EQ(CodesOf(result, 0), Codes{"unbound"});
  EXPECT_EQ(CodesOf(result, 1), Codes{"unbound"});
  EXPECT_EQ(CodesOf(result, 4), Codes{});
  // A support file run later binds the key again; run first, the player's key wins.
  result = Check({"bind a \"say hi\"", "exec NormBinding.cfg"}, Q);
  EXPECT_EQ(CodesOf(result, 0), Codes{"overridden"});
  EXPECT_EQ(Check({"exec NormBinding.cfg", "bind a \"say hi\""}, Q).Errors(), 0);
}

// Once the script has run, the keys are pressed and the aliases run as the game has them:
// what a later line replaced or removed never runs, so only the loss is said of it.
TEST(CheckKeys, AReplacedBindingOrDefinitionIsNotRunAfterwards) {
  for (Game game : kBoth) {
    CheckResult result = Check({"bind q \"frobnicate\"", "bind q \"score\""}, game);
    EXPECT_EQ(CodesOf(result, 0), Codes{"overridden"});
    result = Check({"bind q \"frobnicate\"", "unbind q"}, game);
    EXPECT_EQ(CodesOf(result, 0), Codes{"unbound"});
    result = Check({"alias zz \"frobnicate\"", "alias zz \"score\"", "bind q zz"}, game);
    EXPECT_EQ(CodesOf(result, 0), Codes{});
    EXPECT_EQ(result.Errors(), 0);
    // The last of them runs, however many there were before it.
    result = Check({"bind q \"score\"", "bind q \"frobnicate\""}, game);
    EXPECT_EQ(CodesOf(result, 1), Codes{"unknown-name"});
    result = Check({"alias zz \"score\"", "alias zz \"frobnicate\"", "bind q zz"}, game);
    EXPECT_EQ(CodesOf(result, 1), Codes{"unknown-name"});
    // An alias that a text it runs defines anew still has the script's own text run.
    result = Check({"alias t \"alias t score; frobnicate\"", "t"}, game);
    EXPECT_EQ(CodesOf(result, 0), Codes{"unknown-name"});
  }
}

TEST(CheckKeys, APlusBindingRunsItsReleaseWithTheKeyAndTime) {
  const std::vector<Case> cases = {
      {"bind a \"+attack; +moveup\"", Q, {"button-chain"}},
      {"bind a \"+attack; say hi\"", Y, {"button-chain"}},
      {"bind a \"+attack; wait; -attack\"", Q, {"button-chain"}},
      {"bind a \"+attack\"", Q, {}},
      {"bind g \"+QuickGrenades\"", Y, {}},
  };
  ExpectCases(cases);
  EXPECT_EQ(CodesOf(Check({"alias +go \"+forward\"", "bind g +go"}, Q), 1),
            Codes{"button-release"});
}

TEST(CheckKeys, APlusCommandOfABindingThatDoesNotBeginWithPlusIsNeverReleased) {
  const std::vector<Case> cases = {
      {"bind l \"say hi; +attack\"", Q, {"button-held", "chat-semicolon"}},
      {"bind j \" +attack\"", Y, {"button-held"}},
      {"bind m \"echo x; +moveup\"", Q, {"button-held"}},
      {"bind m \"echo x; +attack; wait; -attack\"", Y, {}},  // released by its own text
      {"bind m \"echo +attack\"", Q, {}},
  };
  ExpectCases(cases);
  // Also through an alias the key runs.
  for (Game game : kBoth) {
    EXPECT_EQ(CodesOf(Check({"alias a \"+attack\"", "bind k a"}, game), 1), Codes{"button-held"});
    const CheckResult zoom = Check({"alias +zoom \"fov 40\"", "alias -zoom \"fov 90\"",
                                    "alias z +zoom", "bind k z", "bind j +zoom"},
                                   game);
    EXPECT_EQ(CodesOf(zoom, 3), Codes{"button-held"});
    EXPECT_EQ(CodesOf(zoom, 4), Codes{});
    // A toggle: one press pushes, the alias it defines anew or the key it binds anew
    // releases on the next press.
    EXPECT_EQ(Check({"alias on \"+mlook; alias look off\"", "alias off \"-mlook; alias look on\"",
                     "alias look on", "bind k look"},
                    game)
                  .Errors(),
              0);
    EXPECT_EQ(Check({"alias crouch_on \"+movedown; bind c crouch_off\"",
                     "alias crouch_off \"-movedown; bind c crouch_on\"", "bind c crouch_on"},
                    game)
                  .Errors(),
              0);
    // Defining some other alias is no toggle: the next press runs the same text.
    EXPECT_EQ(CodesOf(Check({"bind c \"use Railgun; +attack; alias gg2 echo\""}, game), 0),
              Codes{"button-held"});
  }
}

TEST(CheckKeys, ABindingAnAliasMadeWhileTheScriptRanIsLostLikeAnother) {
  for (Game game : kBoth) {
    // A toggle set up by running one of its steps: the key it binds is bound again later.
    const CheckResult result = Check(
        {"alias zoom_on \"fov 40; bind z zoom_off\"", "alias zoom_off \"fov 90; bind z zoom_on\"",
         "zoom_off", "bind z \"+attack\"", "alias x \"bind k +attack\"", "x", "unbindall"},
        game);
    EXPECT_EQ(CodesOf(result, 2), Codes{"overridden"});
    EXPECT_EQ(CodesOf(result, 3), Codes{"unbound"});
    EXPECT_EQ(CodesOf(result, 5), Codes{"unbound"});
    // A support file's bindings are there to be replaced.
    EXPECT_EQ(Check({"exec NormBinding.cfg", "bind TAB \"+attack\""}, game).Errors(), 0);
  }
}

TEST(CheckKeys, TheSameTextBoundAgainLosesNothingButALaterCommandOfTheLineDoes) {
  for (Game game : kBoth) {
    EXPECT_EQ(Check({"bind k \"+attack\"", "bind k \"+attack\""}, game).Errors(), 0);
    EXPECT_EQ(CodesOf(Check({"bind k \"+attack\"; unbind k"}, game), 0), Codes{"unbound"});
    EXPECT_EQ(CodesOf(Check({"bind k \"+attack\"; bind k \"+moveup\""}, game), 0),
              Codes{"overridden"});
  }
}

// ---- the file as exec reads it ---------------------------------------------------------

TEST(CheckFile, NulByteAndLastLineEnd) {
  const CheckResult nul =
      CheckScript(std::string("score\r\nsay a\0b\r\nfrobnicate\r\n", 25), Q, {});
  EXPECT_EQ(CodesOf(nul, 1), (Codes{"nul-byte", "no-final-line-end"}));
  EXPECT_EQ(CodesOf(nul, 2), Codes{}) << "nothing after the NUL runs";
  EXPECT_EQ(nul.Size(), 12u);
  // What stands before the NUL on its line still runs.
  const CheckResult before =
      CheckScript(std::string("bind t \"score\"\r\nunbindall\0score\r\n", 32), Q, {});
  EXPECT_EQ(CodesOf(before, 0), Codes{"unbound"});
  EXPECT_EQ(CodesOf(before, 1), (Codes{"nul-byte", "no-final-line-end"}));
  // A NUL after which nothing but blanks follows hides nothing.
  EXPECT_EQ(CheckScript(std::string("bind k +attack\r\n\0\r\n", 19), Y, {}).Errors(), 0);
  // A CR that ends no line: the next "line" is more words of the same command.
  const CheckResult cr = CheckScript("bind k +attack\rbind j score\r\n", Q, {});
  ASSERT_EQ(CodesOf(cr, 0), Codes{"lone-carriage-return"});
  EXPECT_EQ(cr.FindingsOf(0).front().column, 14);
  // ... which matters only when something follows the CR outside a comment.
  for (const char* blank :
       {"bind x weapnext\r\r\n", "bind x weapnext \r \r\n", "// my config\rby bob\r\n"})
    EXPECT_EQ(CheckScript(blank, Q, {}).Errors(), 0) << blank;
  // The line read up to a NUL has no line end: Quake 2 joins it to what follows.
  const CheckResult joined = CheckScript(std::string("score\r\nscore\0\r\n", 15), Q, {});
  EXPECT_EQ(CodesOf(joined, 1), Codes{"no-final-line-end"});
  EXPECT_EQ(CodesOf(CheckScript("score\r\nscore", Q, {}), 1), Codes{"no-final-line-end"});
  EXPECT_EQ(CheckScript("score\r\nscore", Y, {}).Notes(), 0) << "Yamagi adds the LF";
}

// The values of the findings of a long script fill several blocks: each finding keeps its
// own, and two results compare by their findings' values, wherever these are kept.
TEST(CheckFile, ALongScriptKeepsTheValuesOfEveryFinding) {
  std::vector<std::string> lines;
  for (int i = 0; i < 40000; ++i)  // 1.7 MB of values
    lines.push_back("frobnicate_the_name_of_a_line_in_a_long_list_" + std::to_string(i));
  const CheckResult result = Check(lines, Q);
  ASSERT_EQ(result.Findings().size(), lines.size() + 1);  // and the file is too big
  for (const Finding& finding : result.Findings()) {
    if (finding.code == Code::kFileTooBig) continue;
    ASSERT_EQ(result.ArgsOf(finding),
              std::vector<std::string>{lines[static_cast<std::size_t>(finding.line)]});
  }
  EXPECT_TRUE(result == Check(lines, Q));
  lines.back() = "frobnicate_another_name";
  EXPECT_FALSE(result == Check(lines, Q));
}

TEST(CheckFile, ALineOnItsOwnKnowsNoOtherLine) {
  std::vector<std::string> codes;
  const CheckResult alone = CheckLine("bind \"q\" \"frobnicate\"", Q);
  for (const Finding& finding : alone.Findings())
    codes.emplace_back(CodeName(finding.code));
  EXPECT_EQ(codes, Codes{});
  EXPECT_EQ(CheckLine(EchoOfLength(1023), Q).Findings().front().code, Code::kCommandDiscarded);
  EXPECT_EQ(CheckLine("bind \"\xB2\" \"score\"", Y).Findings().front().code, Code::kKeyHighByte);
}

}  // namespace
}  // namespace tavrilo::game

namespace tavrilo::game {
namespace {

// The findings of `code` on line `line`.
std::size_t CountOf(const CheckResult& result, int line, std::string_view code) {
  std::size_t count = 0;
  for (const Finding& finding : result.FindingsOf(line))
    count += CodeName(finding.code) == code ? 1 : 0;
  return count;
}

// Each bound of the console model (Game.h), on either side of it.
TEST(CheckBounds, EachBoundOfTheModelHoldsWhereItIsSet) {
  // The longest player name: a chat text that leaves it less room may be cut.
  const std::size_t room = LimitsOf(Q).chatLine - 2 - Bounds::kLongestPlayerName;
  EXPECT_EQ(CodesOfLine("say " + Bytes(room), Q), Codes{});
  EXPECT_EQ(CodesOfLine("say " + Bytes(room + 1), Q), Codes{"chat-may-be-cut"});

  // A "+" key press puts " KEY TIME" after its text: a file run from it must fit beside that.
  const std::string press = "bind k \"+attack;exec F.cfg\"";
  const std::size_t fits = LimitsOf(Q).buffer - (Bounds::kKeyAndTime - 1);
  EXPECT_EQ(CountOf(Check({press}, Q, {{"F.cfg", Bytes(fits, '\n')}}), 0, "exec-fatal"), 0u);
  EXPECT_EQ(CountOf(Check({press}, Q, {{"F.cfg", Bytes(fits + 1, '\n')}}), 0, "exec-fatal"), 1u);

  // Aliases inside aliases are followed this deep: the loop at the end of a chain is found
  // when the chain is no deeper.
  for (const std::size_t depth : {Bounds::kFrameDepth, Bounds::kFrameDepth + 1}) {
    std::vector<std::string> lines;
    for (std::size_t i = 1; i < depth; ++i)
      lines.push_back("alias c" + std::to_string(i) + " c" + std::to_string(i + 1));
    lines.push_back("alias c" + std::to_string(depth) + " c" + std::to_string(depth));
    lines.push_back("c1");
    EXPECT_EQ(CountOf(Check(lines, Q, {}), static_cast<int>(depth), "alias-loop"),
              depth == Bounds::kFrameDepth ? 1u : 0u);
  }

  // One command runs this many alias texts: each of them a loop, the ones followed say so.
  {
    std::vector<std::string> lines;
    std::string all;
    for (std::size_t i = 0; i < Bounds::kAliasRunsPerCommand + 5; ++i) {
      lines.push_back("alias l" + std::to_string(i) + " l" + std::to_string(i));
      all += "l" + std::to_string(i) + ";";
    }
    lines.push_back("alias all \"" + all + "\"");
    lines.push_back("all");
    const CheckResult result = Check(lines, Y, {});  // a word of 128 characters or more

    EXPECT_EQ(CountOf(result, static_cast<int>(lines.size() - 1), "alias-loop"),
              Bounds::kAliasRunsPerCommand - 1);
  }

  // The texts of the whole script are followed up to this many commands: each line "a" runs
  // over a thousand of them, then a loop.
  {
    std::string hundred = "echo";
    for (int i = 1; i < 100; ++i)
      hundred += ";echo";
    std::vector<std::string> lines = {"alias e \"" + hundred + "\"",
                                      "alias a \"e;e;e;e;e;e;e;e;e;e;b\"", "alias b b"};
    lines.insert(lines.end(), Bounds::kFollowedCommands / 1000 + 2, "a");
    const CheckResult result = Check(lines, Y, {});
    EXPECT_EQ(CountOf(result, 3, "alias-loop"), 1u);
    EXPECT_EQ(CountOf(result, static_cast<int>(lines.size() - 1), "alias-loop"), 0u);
  }

  // Names aliases run are kept this many times to say "defined later".
  {
    std::vector<std::string> lines = {"alias a later"};
    lines.insert(lines.end(), Bounds::kLaterCallsKept + 2, "a");
    lines.push_back("alias later echo");
    const CheckResult result = Check(lines, Q, {});
    EXPECT_EQ(CountOf(result, static_cast<int>(Bounds::kLaterCallsKept), "alias-defined-later"),
              1u);
    EXPECT_EQ(CountOf(result, static_cast<int>(Bounds::kLaterCallsKept + 1), "alias-defined-later"),
              0u);
  }

  // Support files running each other are searched this deep for their aliases: the file
  // named is the first that reaches the alias within the bound.
  {
    SupportFiles chain;
    for (std::size_t i = 0; i <= Bounds::kSupportNesting + 1; ++i)
      chain.emplace("F" + std::to_string(i) + ".cfg",
                    i <= Bounds::kSupportNesting ? "exec F" + std::to_string(i + 1) + ".cfg\n"
                                                 : std::string("alias deep echo\n"));
    const CheckResult result = Check({"deep"}, Q, chain);
    ASSERT_EQ(CodesOf(result, 0), Codes{"alias-needs-exec"});
    EXPECT_EQ(result.ArgsOf(result.FindingsOf(0)[0])[1], "F1.cfg");
  }
}

}  // namespace
}  // namespace tavrilo::game

namespace tavrilo::game {
namespace {

// A line with many findings takes the same order as a line with few: errors first, each
// finding once, in the order found.
TEST(CheckFile, ALineOfManyFindingsListsEachOnceErrorsFirst) {
  std::string line;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 6; ++i)
      line += "exec a.cfg;n" + std::to_string(i) + ";";
  }
  const CheckResult result = Check({line}, Q, {});
  std::vector<std::string> said;
  for (const Finding& finding : result.FindingsOf(0))
    said.push_back(std::string(CodeName(finding.code)) + " " + result.ArgsOf(finding)[0]);
  EXPECT_EQ(said, (std::vector<std::string>{"unknown-name n0", "unknown-name n1", "unknown-name n2",
                                            "unknown-name n3", "unknown-name n4", "unknown-name n5",
                                            "exec-unknown-file a.cfg"}));
  EXPECT_EQ(result.Errors(), 6);

  // Names a line calls again and again are said once each, as the script's end judges them.
  std::string calls;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 10; ++i)
      calls += "n" + std::to_string(i) + ";";
  }
  const CheckResult judged = Check({calls, "alias n3 echo"}, Q, {{"S.cfg", "alias n4 echo\n"}});
  said.clear();
  for (const Finding& finding : judged.FindingsOf(0))
    said.push_back(std::string(CodeName(finding.code)) + " " + judged.ArgsOf(finding)[0]);
  EXPECT_EQ(said, (std::vector<std::string>{"unknown-name n0", "unknown-name n1", "unknown-name n2",
                                            "alias-defined-later n3", "unknown-name n5",
                                            "unknown-name n6", "unknown-name n7", "unknown-name n8",
                                            "unknown-name n9", "alias-needs-exec n4"}));
}

// Past the findings a check lists, the rest are counted, judged as the listed ones are
// (a name a support file defines is a note), and said once where the first of them is.
TEST(CheckFile, PastTheFindingsListedTheRestAreCountedAndSaidOnce) {
  const std::size_t listed = FindingCollector::kListed;
  std::vector<std::string> lines(listed + 2, "u");
  lines.insert(lines.end(), {"later", "later;later"});
  const CheckResult result = Check(lines, Q, {{"S.cfg", "alias later echo\n"}});
  ASSERT_EQ(result.Findings().size(), listed + 1);
  const Finding& notice = result.Findings().back();
  EXPECT_EQ(CodeName(notice.code), "findings-not-listed");
  EXPECT_EQ(notice.line, static_cast<int>(listed - 1));
  EXPECT_EQ(result.ArgsOf(notice), (std::vector<std::string>{GroupDigits(listed), "5"}));
  EXPECT_EQ(result.Errors(), static_cast<int>(listed + 3));  // every u, and the file's size
  EXPECT_EQ(result.Notes(), 3);  // both lines that call "later", and the notice
}

}  // namespace
}  // namespace tavrilo::game
