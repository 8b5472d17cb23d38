// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrilo::cli {
namespace {

using Args = std::vector<std::string>;

// The refusal of `args` as "key value", or "" when they are taken.
std::string Refusal(const Args& args) {
  const ParsedArguments parsed = ParseArguments(args);
  if (!parsed.error) return "";
  std::string shown = parsed.error->key;
  for (const std::string& arg : parsed.error->args)
    shown += " " + arg;
  return shown;
}

Options Taken(const Args& args) {
  const ParsedArguments parsed = ParseArguments(args);
  EXPECT_FALSE(parsed.error) << Refusal(args);
  return parsed.options;
}

TEST(Options, CheckWithItsValuesInBothFormsAndFilesKeptAsGiven) {
  const Options options = Taken({"--game", "yamagi", "--check", "--lang=fr", "--format", "json",
                                 "a b.cfg", "-", "caf\xE9\n.cfg"});
  EXPECT_EQ(options.action, Action::kCheck);
  EXPECT_EQ(options.game, game::Game::kYamagi);
  EXPECT_EQ(options.language, datafiles::Language::kFrench);
  EXPECT_EQ(options.format, Format::kJson);
  EXPECT_EQ(options.files, (Args{"a b.cfg", "-", "caf\xE9\n.cfg"}));

  const Options defaults = Taken({"--check", "--game=quake2", "x.cfg"});
  EXPECT_EQ(defaults.game, game::Game::kQuake2);
  EXPECT_EQ(defaults.format, Format::kText);
  EXPECT_FALSE(defaults.language);
  // The last of an option given twice wins.
  EXPECT_EQ(Taken({"--check", "--format=json", "--format=text", "x"}).format, Format::kText);
  EXPECT_EQ(Taken({"--check", "--format", "sarif", "x"}).format, Format::kSarif);
  const Options folders = Taken({"--check", "--game-dir", "/q2", "--user-dir=my dir/", "x"});
  EXPECT_EQ(folders.gameFolder, "/q2");
  EXPECT_EQ(folders.userFolder, "my dir/");
  EXPECT_FALSE(defaults.gameFolder || defaults.userFolder);
}

TEST(Options, DoubleDashEndsTheOptions) {
  const Options options = Taken({"--check", "--", "--help", "-v", "--", "-"});
  EXPECT_EQ(options.action, Action::kCheck);
  EXPECT_EQ(options.files, (Args{"--help", "-v", "--", "-"}));
  // A window file that looks like an option.
  EXPECT_EQ(Taken({"--", "-platform"}).files, Args{"-platform"});
}

// As getopt reads them: "-hv" is -h then -v, and the first of the two is answered.
TEST(Options, HelpAndVersionInShortLongAndGroupedFormsTheFirstGivenAnswered) {
  for (const Args& args : {Args{"-h"}, Args{"--help"}, Args{"-?"}, Args{"--check", "-h"},
                           Args{"--lang", "fr", "--help"}, Args{"-hv"}, Args{"--help", "-v"}})
    EXPECT_EQ(Taken(args).action, Action::kHelp) << args.front();
  for (const Args& args : {Args{"-v"}, Args{"--version"}, Args{"-vh"}, Args{"--version", "-h"}})
    EXPECT_EQ(Taken(args).action, Action::kVersion) << args.front();
}

TEST(Options, RefusesUnknownOptionsMissingAndWrongValuesWithTheArgumentAtFault) {
  const std::vector<std::pair<Args, std::string>> cases = {
      {{"--bogus"}, "Cli.UnknownOption --bogus"},
      {{"--check", "--bogus=1", "a"}, "Cli.UnknownOption --bogus"},
      {{"-x"}, "Cli.UnknownOption -x"},
      {{"-hx"}, "Cli.UnknownOption -x"},
      {{"-check", "a"}, "Cli.UnknownOption -c"},
      {{"--version", "extra"}, "Cli.ExtraOperand extra"},
      {{"-h", "file.cfg"}, "Cli.ExtraOperand file.cfg"},
      {{"--Check", "a"}, "Cli.UnknownOption --Check"},
      {{"--check", "--game"}, "Cli.MissingValue --game"},
      {{"--check", "a", "--lang"}, "Cli.MissingValue --lang"},
      {{"--format"}, "Cli.MissingValue --format"},
      {{"--check", "--game", "doom", "a"}, "Cli.UnknownGame doom"},
      {{"--check", "--game=", "a"}, "Cli.UnknownGame "},
      {{"--check", "--lang=de", "a"}, "Cli.UnknownLanguage de"},
      {{"--check", "--format=xml", "a"}, "Cli.UnknownFormat xml"},
      {{"--check", "--format=SARIF", "a"}, "Cli.UnknownFormat SARIF"},
      {{"--help=yes"}, "Cli.UnexpectedValue --help"},
      {{"--check=a.cfg"}, "Cli.UnexpectedValue --check"},
      {{"--check"}, "Cli.NoFiles"},
      {{"--check", "--"}, "Cli.NoFiles"},
      // The value of an option is the next argument, whatever it looks like.
      {{"--check", "--game", "--check", "a"}, "Cli.UnknownGame --check"},
  };
  for (const auto& [args, refusal] : cases)
    EXPECT_EQ(Refusal(args), refusal) << args.front();
}

TEST(Options, TheWindowTakesOneFileAndQtsOwnOptionsOnly) {
  const Options none = Taken({});
  EXPECT_EQ(none.action, Action::kWindow);
  EXPECT_TRUE(none.files.empty());
  EXPECT_TRUE(none.windowArguments.empty());

  const Options window =
      Taken({"-platform", "offscreen", "my.cfg", "--style=fusion", "-reverse", "-title", "-x"});
  EXPECT_EQ(window.action, Action::kWindow);
  EXPECT_EQ(window.files, Args{"my.cfg"});
  EXPECT_EQ(window.windowArguments,
            (Args{"-platform", "offscreen", "--style=fusion", "-reverse", "-title", "-x"}));
  EXPECT_TRUE(ChoosesStyle(window));
  EXPECT_FALSE(ChoosesStyle(Taken({"-stylesheet", "a.qss", "-title", "-style"})));

  EXPECT_EQ(Refusal({"a.cfg", "b.cfg"}), "Cli.OneFileOnly b.cfg");
  EXPECT_EQ(Refusal({"--game", "yamagi", "a.cfg"}), "Cli.CheckOnly --game");
  EXPECT_EQ(Refusal({"--format=json"}), "Cli.CheckOnly --format");
  EXPECT_EQ(Refusal({"--game-dir=/q2", "a.cfg"}), "Cli.CheckOnly --game-dir");
  EXPECT_EQ(Refusal({"-platform"}), "Cli.MissingValue -platform");
  // Qt's options are taken as a Qt program takes them, whatever else is asked; without a
  // window they do nothing.
  const Options check = Taken({"--check", "-platform", "offscreen", "a"});
  EXPECT_EQ(check.files, Args{"a"});
  EXPECT_TRUE(check.windowArguments.empty());
  EXPECT_EQ(Taken({"-reverse", "--version"}).action, Action::kVersion);
}

}  // namespace
}  // namespace tavrilo::cli
