// SPDX-License-Identifier: GPL-3.0-or-later
// The five support files the install action copies into the game: Windows-1252 with
// CR LF, small enough to be run from a player's own file, opening with comments that say
// how to use them, every line one the game runs as written, and the aliases, bindings
// and video settings doing what their comments promise, checked by pressing them in the
// engine's console kept from one text to the next.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ShippedFiles.h"
#include "TestSupport.h"
#include "core/LineReader.h"
#include "core/StringList.h"
#include "game/Check.h"
#include "game/CommandReader.h"
#include "game/ConsoleSession.h"
#include "game/Names.h"
#include "install/SupportFiles.h"

namespace tavrilo {
namespace {

using testing::kSupportFileNames;
using testing::ReadFile;

std::string SupportFile(std::string_view name) {
  return ReadFile(testing::ShippedSupportDir() + std::string(name));
}

game::SupportFiles AllSupportFiles() {
  game::SupportFiles files;
  for (std::string_view name : kSupportFileNames)
    files.emplace(std::string(name), SupportFile(name));
  return files;
}

std::optional<std::string> SupportFileByName(const std::string& name) {
  for (std::string_view file : kSupportFileNames) {
    if (file == name) return SupportFile(file);
  }
  return std::nullopt;
}

// The commands (second lines of the pairs) of a shipped pair file.
std::vector<std::string> ShippedCommands(const std::string& name) {
  LineReader reader(testing::ShippedDataDir() + name);
  StringList first, second;
  ReadLinePairs(reader, first, second);
  return second.Items();
}

// Runs `text` in the console as a line typed and returns what reached the game; a finding
// fails the test.
std::vector<std::string> Press(game::ConsoleSession& game, const std::string& text) {
  game::ConsoleSession::Outcome outcome = game.Run(text + "\n");
  for (const game::Finding& finding : outcome.findings.Findings())
    ADD_FAILURE() << text << ": " << FallbackText(outcome.findings.TextOf(finding));
  EXPECT_EQ(outcome.findings.Findings().size(), 0u);
  return outcome.reached;
}

game::ConsoleSession Quake2() {
  return game::ConsoleSession(game::Game::kQuake2, AllSupportFiles());
}

game::ConsoleSession ConsoleWithAliases() {
  game::ConsoleSession game = Quake2();
  Press(game, "exec Alias.cfg");
  return game;
}

// Presses a cycling alias `steps` + 1 times; each press must run exactly one command.
// Returns the commands in order.
std::vector<std::string> PressCycle(game::ConsoleSession& game, const std::string& name,
                                    int steps) {
  std::vector<std::string> commands;
  for (int i = 0; i <= steps; ++i) {
    const std::vector<std::string> log = Press(game, name);
    EXPECT_EQ(log.size(), 1u) << name << " press " << i + 1;
    commands.push_back(log.empty() ? "" : log.front());
  }
  return commands;
}

// ------------------------------------------------------------------- the console kept

TEST(ConsoleSession, KeepsAliasesBetweenTextsAndRunsNothingTheGameWouldNot) {
  const auto codes = [](const game::CheckResult& result) {
    std::vector<std::string> names;
    for (const game::Finding& finding : result.Findings())
      names.emplace_back(game::CodeName(finding.code));
    return names;
  };
  game::ConsoleSession game(game::Game::kQuake2, {});
  const game::ConsoleSession::Outcome first = game.Run(
      "alias c \"fov 30\"\r\nalias a \"c; alias b c\"\r\nalias loop loop\r\n"
      "bind q \"Free-Look\r\n");
  EXPECT_TRUE(first.reached.empty());
  EXPECT_EQ(codes(first.findings), (std::vector<std::string>{"alias-loop", "unmatched-quote"}));
  EXPECT_FALSE(game.Binding("q").has_value()) << "the unmatched quote discards the bind";
  const game::ConsoleSession::Outcome second = game.Run("a; b; loop\n");
  EXPECT_EQ(second.reached, (std::vector<std::string>{"fov 30", "fov 30"}));
  EXPECT_EQ(game.Cvar("fov"), "30");
  EXPECT_EQ(codes(second.findings), std::vector<std::string>{"alias-loop"});
  // A binding of an earlier text replaced: that text's lines are gone, nothing is said.
  game.Run("bind q \"say one\"\n");
  EXPECT_TRUE(game.Run("bind q \"say two\"\n").findings.Findings().empty());
  EXPECT_EQ(game.Binding("q"), "say two");
}

// ------------------------------------------------------------------- the files

TEST(SupportFiles, AreWindows1252WithCrLfAndSmallEnoughToRunFromAPlayersOwnFile) {
  // exec puts a file into the command buffer beside the text still waiting after the
  // exec line: a player's file that runs a support file first keeps most of the room.
  for (std::string_view name : kSupportFileNames) {
    SCOPED_TRACE(name);
    const std::string bytes = SupportFile(name);
    for (const std::string& fault : testing::TextFileFaults(bytes))
      ADD_FAILURE() << fault;
    EXPECT_LE(bytes.size(), name == "Alias.cfg" ? 2500u : 2048u);
  }
}

TEST(SupportFiles, AreTheFilesTheInstallActionCopies) {
  ASSERT_EQ(std::size(kSupportFileNames), install::kSupportFiles.size());
  for (std::size_t i = 0; i < install::kSupportFiles.size(); ++i) {
    EXPECT_EQ(install::kSupportFiles[i].sourceName, kSupportFileNames[i]);
  }
}

TEST(SupportFiles, OpenWithCommentsThatNameThemAndSayHowToRunThem) {
  for (std::string_view name : kSupportFileNames) {
    SCOPED_TRACE(name);
    const std::vector<std::string> lines = testing::ShippedLines(SupportFile(name));
    ASSERT_FALSE(lines.empty());
    std::string header;
    for (const std::string& line : lines) {
      if (!line.starts_with("//")) break;
      header += line + "\n";
    }
    ASSERT_FALSE(header.empty()) << "the file does not open with // comments";
    EXPECT_TRUE(lines[0].starts_with("// " + std::string(name))) << lines[0];
    EXPECT_NE(header.find("exec " + std::string(name)), std::string::npos)
        << "the comments do not say how to run the file";
  }
}

TEST(SupportFiles, BothGamesRunEveryLineAsWritten) {
  game::SupportFiles support;
  for (std::string_view name : kSupportFileNames)
    support.emplace(std::string(name), SupportFile(name));
  for (game::Game which : {game::Game::kQuake2, game::Game::kYamagi}) {
    for (std::string_view name : kSupportFileNames) {
      SCOPED_TRACE(std::string(name) + (which == game::Game::kYamagi ? " for Yamagi" : ""));
      const game::CheckResult result = game::CheckScript(SupportFile(name), which, support);
      for (const game::Finding& finding : result.Findings()) {
        // The renderer settings under the names Quake 2 knows, which Yamagi still takes.
        if (finding.code == game::Code::kCvarRenamed) continue;
        ADD_FAILURE() << "line " << finding.line + 1 << ": "
                      << FallbackText(result.TextOf(finding));
      }
    }
  }
}

TEST(SupportFiles, ExecOnlySupportFilesAsDoTheResourceLists) {
  std::vector<std::pair<std::string, std::vector<std::string>>> sources;
  for (const char* resources : {"externs-fr.dat", "externs-en.dat"}) {
    sources.emplace_back(resources, ShippedCommands(resources));
  }
  for (std::string_view name : kSupportFileNames)
    sources.emplace_back(std::string(name), testing::ShippedLines(SupportFile(name)));
  for (const auto& [source, lines] : sources) {
    std::set<std::string> executed;
    game::Words words;
    for (const std::string& line : lines) {
      game::ForEachCommand(line, [&](std::string_view text, std::size_t, std::size_t) {
        game::ReadWords(text, game::Game::kQuake2, words);
        if (words.Count() != 2 || !game::EqualsIgnoringCase(words[0], "exec")) return;
        const std::string target(words[1]);
        executed.emplace(target);
        EXPECT_TRUE(SupportFileByName(target).has_value())
            << source << " runs exec " << target << ", which is not a support file";
      });
    }
    if (source.starts_with("externs-")) {
      EXPECT_EQ(executed.size(), std::size(kSupportFileNames)) << source;
    }
  }
}

// ------------------------------------------------------------------- Alias.cfg

TEST(AliasCfg, ZoomAndFreeLookToggle) {
  game::ConsoleSession game = ConsoleWithAliases();
  const std::vector<std::string> zoom = PressCycle(game, "zoom", 3);
  EXPECT_NE(zoom[0], zoom[1]);
  EXPECT_EQ(zoom[2], zoom[0]);
  EXPECT_EQ(zoom[3], zoom[1]);
  EXPECT_TRUE(zoom[0].starts_with("fov ")) << zoom[0];
  EXPECT_EQ(zoom[1], "fov 90") << "the second press goes back to the normal view";

  const std::vector<std::string> look = PressCycle(game, "Free-Look", 2);
  EXPECT_EQ(look, (std::vector<std::string>{"+mlook", "-mlook", "+mlook"}));
}

TEST(AliasCfg, CyclesVisitEveryValueOnceAndStartAgain) {
  struct Cycle {
    const char* alias;
    std::vector<std::string> values;
  };
  const Cycle cycles[] = {
      {"Cycle-Hand", {"hand 0", "hand 1", "hand 2"}},
      {"Cycle-Wave", {"wave 0", "wave 1", "wave 2", "wave 3", "wave 4"}},
      {"Cycle-Crosshair", {"crosshair 0", "crosshair 1", "crosshair 2", "crosshair 3"}},
      {"Cycle-Weapon",
       {"use Blaster", "use Shotgun", "use Super Shotgun", "use Machinegun", "use Chaingun",
        "use Grenade Launcher", "use Rocket Launcher", "use HyperBlaster", "use Railgun",
        "use BFG10K"}},
  };
  game::ConsoleSession game = ConsoleWithAliases();
  for (const Cycle& cycle : cycles) {
    SCOPED_TRACE(cycle.alias);
    const int steps = static_cast<int>(cycle.values.size());
    std::vector<std::string> pressed = PressCycle(game, cycle.alias, steps);
    EXPECT_EQ(pressed.back(), pressed.front()) << "the cycle does not start again";
    pressed.pop_back();
    std::sort(pressed.begin(), pressed.end());
    std::vector<std::string> expected = cycle.values;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(pressed, expected);
  }
}

TEST(AliasCfg, PowerUpAndGrenadeAliasesRunTheGamesCommands) {
  game::ConsoleSession game = ConsoleWithAliases();
  EXPECT_EQ(Press(game, "NextPowerUp"), std::vector<std::string>{"invnextp"});
  EXPECT_EQ(Press(game, "UsePowerUp"), std::vector<std::string>{"invuse"});
  // The game runs the + alias with the key's number and time, the - alias on release.
  EXPECT_EQ(Press(game, "+QuickGrenades 34 1000"),
            (std::vector<std::string>{"use Grenades", "+attack"}));
  EXPECT_EQ(Press(game, "-QuickGrenades 34 1250"),
            (std::vector<std::string>{"-attack", "weaplast"}));
}

TEST(AliasCfg, QuickMapModeSwitchesBetweenTwoViewsOfTheSameSettings) {
  game::ConsoleSession game = ConsoleWithAliases();
  const std::vector<std::string> first = Press(game, "QuickMapMode");
  const std::vector<std::string> second = Press(game, "QuickMapMode");
  const std::vector<std::string> third = Press(game, "QuickMapMode");
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(third, first);
  auto names = [](const std::vector<std::string>& settings) {
    std::set<std::string> cvars;
    for (const std::string& setting : settings) {
      game::Words words;
      game::ReadWords(setting, game::Game::kQuake2, words);
      EXPECT_EQ(words.Count(), 2u) << setting << " is not a cvar setting";
      const game::NameInfo* info =
          words.Count() > 0 ? game::FindName(game::Game::kQuake2, words[0]) : nullptr;
      EXPECT_TRUE(info != nullptr && info->IsCvar()) << setting;
      if (words.Count() > 0) cvars.emplace(words[0]);
    }
    return cvars;
  };
  EXPECT_EQ(names(first), names(second)) << "the second press must undo every change";
}

// ------------------------------------------------------------------- key bindings

TEST(ModBindingCfg, MovesWithZqsdOnAzertyAndPutsTheAliasesOnKeys) {
  game::ConsoleSession game = Quake2();
  Press(game, "exec ModBinding.cfg");
  EXPECT_EQ(game.Cvar("freelook"), "1");
  // The French Z, Q, S and D keys sit where a US keyboard has w, a, s and d.
  EXPECT_EQ(game.Binding("w"), "+forward");
  EXPECT_EQ(game.Binding("s"), "+back");
  EXPECT_EQ(game.Binding("a"), "+moveleft");
  EXPECT_EQ(game.Binding("d"), "+moveright");
  int boundAliases = 0;
  for (const auto& [key, text] : game.Bindings()) {
    if (game.HasAlias(text)) ++boundAliases;
  }
  EXPECT_GE(boundAliases, 8) << "the aliases belong on keys";
}

TEST(NormBindingCfg, BindsTheStandardActionsWithoutRemovingOtherKeys) {
  game::ConsoleSession game = Quake2();
  Press(game, "bind F7 \"say my own key\"");
  for (const std::string& entry : Press(game, "exec NormBinding.cfg")) {
    EXPECT_NE(entry, "unbindall");
  }
  EXPECT_EQ(game.Binding("F7"), "say my own key");
  std::set<std::string> bound;
  for (const auto& [key, text] : game.Bindings())
    bound.insert(text);
  for (const char* action : {"+forward",
                             "+back",
                             "+left",
                             "+right",
                             "+moveleft",
                             "+moveright",
                             "+moveup",
                             "+movedown",
                             "+attack",
                             "+speed",
                             "+strafe",
                             "inven",
                             "invuse",
                             "use Blaster",
                             "use Shotgun",
                             "use Super Shotgun",
                             "use Machinegun",
                             "use Chaingun",
                             "use Grenade Launcher",
                             "use Rocket Launcher",
                             "use HyperBlaster",
                             "use Railgun",
                             "use BFG10K"}) {
    EXPECT_TRUE(bound.contains(action)) << action << " is on no key";
  }
}

// ------------------------------------------------------------------- video settings

TEST(VideoFiles, SelectTheirRendererSetOnlyItsSettingsAndRestartLast) {
  struct Video {
    const char* file;
    const char* renderer;
    const char* yamagiRenderer;  // Yamagi Quake II's vid_renderer
    const char* ownPrefix;
    const char* otherPrefix;
  };
  for (const Video& video : {Video{"GlVid.cfg", "gl", "gl1", "gl_", "sw_"},
                             Video{"NormVid.cfg", "soft", "soft", "sw_", "gl_"}}) {
    SCOPED_TRACE(video.file);
    game::ConsoleSession game = Quake2();
    const std::vector<std::string> log = Press(game, std::string("exec ") + video.file);
    EXPECT_EQ(game.Cvar("vid_ref"), video.renderer);
    EXPECT_EQ(game.Cvar("vid_renderer"), video.yamagiRenderer);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "vid_restart");
    int ownSettings = 0;
    for (const std::string& entry : log) {
      EXPECT_FALSE(entry.starts_with(video.otherPrefix)) << entry;
      if (entry.starts_with(video.ownPrefix)) ++ownSettings;
    }
    EXPECT_GE(ownSettings, 1);
  }
}

}  // namespace
}  // namespace tavrilo
