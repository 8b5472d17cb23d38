#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ConsoleRules.h"
#include "TestSupport.h"
#include "core/LineReader.h"
#include "core/StringList.h"
#include "macros/CommandTranslation.h"
#include "macros/LineComposition.h"
#include "macros/MacroDocument.h"

namespace tavrilo::cli {
namespace {

using testing::ReadFile;
using testing::WriteFile;

// A program folder with the shipped data and support files, and no settings file.
struct Program {
  Program() { testing::InstallShippedData(dir.Path()); }

  // Runs the command line; `out` and `err` keep what it printed.
  int Run(const std::vector<std::string>& args) {
    std::ostringstream outStream, errStream;
    const int status = RunCommandLine(args, dir.Path(), outStream, errStream);
    out = outStream.str();
    err = errStream.str();
    return status;
  }
  std::string File(const std::string& name, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines)
      bytes += line + "\r\n";
    WriteFile(dir / name, bytes);
    return dir / name;
  }
  bool Printed(const std::string& text) const { return out.find(text) != std::string::npos; }

  testing::TempDir dir;
  std::string out, err;
};

TEST(CheckCommand, FlagsEachKindOnTheExamplesOfWhatTheGameDoesWrong) {
  Program program;
  const std::string file =
      program.File("examples.cfg", {
                                       "bind \"q\" \"zoom\"",                               // 1
                                       "bind \"ESC\" \"score\"",                            // 2
                                       "bind \"A\" \"score\"",                              // 3
                                       "bind \"+\" \"score\"",                              // 4
                                       "bind \"~\" \"score\"",                              // 5
                                       "bind \"\xE9\" \"score\"",                           // 6
                                       "bind \"t\" \"say gg; quit\"",                       // 7
                                       "say_team rush; unbindall",                          // 8
                                       "bind \"w\" \"say " + std::string(200, 'w') + "\"",  // 9
                                       "bind \"w\" \"Free-Look",                            // 10
                                       "use \"Railgun\"",                                   // 11
                                       "bind \"e\" \"Hello\"",                              // 12
                                       "bind \"r\" \"say $rcon_password\"",                 // 13
                                       "bind \"y\" \"say go // now\"",                      // 14
                                       "bind \"q\" \"score\"",                              // 15
                                       "echo " + std::string(1030, 'x'),                    // 16
                                   });
  EXPECT_EQ(program.Run({"--check", file}), kFindings);
  const std::vector<std::pair<int, const char*>> expected = {
      {1, "error"},  {1, "note"},  {2, "error"}, {3, "error"},  {4, "error"},  {5, "error"},
      {6, "error"},  {7, "note"},  {8, "note"},  {9, "error"},  {10, "error"}, {11, "note"},
      {12, "error"}, {13, "note"}, {14, "note"}, {16, "error"},
  };
  for (const auto& [line, severity] : expected) {
    EXPECT_TRUE(program.Printed(file + ":" + std::to_string(line) + ": " + severity + ": "))
        << line << " " << severity << "\n"
        << program.out;
  }
  EXPECT_TRUE(program.Printed("ESCAPE")) << "the name the game gives the key";
  EXPECT_TRUE(program.Printed("exec Alias.cfg")) << "how to define zoom";
  EXPECT_TRUE(program.Printed("Files checked: 1, errors: 10, notes: 6")) << program.out;
}

TEST(CheckCommand, FlagsAFileTooBigForExecAndAnExecFollowedByMoreThanFits) {
  Program program;
  // 1,510 bindings: some 37,000 bytes, far over the 8,191 that exec takes.
  const std::vector<std::string> keys = testing::DistinctKeys();
  std::vector<std::string> many;
  for (int i = 0; i < 1510; ++i)
    many.push_back("bind \"" + keys[static_cast<std::size_t>(i) % keys.size()] + "\" \"weapnext\"");
  const std::string big = program.File("big.cfg", many);
  EXPECT_EQ(program.Run({"--check", big}), kFindings);
  EXPECT_TRUE(program.Printed("ignores the whole file")) << program.out;

  // Alias.cfg, then 70 lines of 86 bytes: more than 8,191 bytes together in the buffer.
  std::vector<std::string> lines = {"exec Alias.cfg"};
  for (std::size_t i = 0; i < 70; ++i)
    lines.push_back("bind \"" + keys[i] + "\" \"say " + std::string(70 - keys[i].size(), 'g') +
                    "\"");
  const std::string afterExec = program.File("after.cfg", lines);
  EXPECT_EQ(program.Run({"--check", afterExec}), kRunsAsWritten) << program.out;
  EXPECT_TRUE(program.Printed(afterExec + ":1: note: ")) << program.out;
}

TEST(CheckCommand, PassesTheSupportFilesAndAFileSavedFromEveryCatalogueEntry) {
  Program program;
  std::vector<std::string> args = {"--check"};
  for (const char* name :
       {"Alias.cfg", "GlVid.cfg", "ModBinding.cfg", "NormBinding.cfg", "NormVid.cfg"})
    args.push_back(program.dir / ("Q2Dats/" + std::string(name)));
  EXPECT_EQ(program.Run(args), kRunsAsWritten) << program.out;
  EXPECT_TRUE(program.Printed("errors: 0, notes: 0")) << program.out;

  for (const char* catalogue : {"fcts-fr.dat", "fcts-en.dat"}) {
    LineReader reader(program.dir / ("data/" + std::string(catalogue)));
    StringList names, commands;
    ReadLinePairs(reader, names, commands);
    macros::MacroDocument document;
    document.ResetHeader();
    const std::vector<std::string> keys = testing::DistinctKeys();
    for (int i = 0; i < commands.Count(); ++i) {
      document.List().Add(
          *macros::ComposeBinding({"a", "Zoom", "", ""}, keys[static_cast<std::size_t>(i)],
                                  macros::TranslateCommand(commands.At(i)), "score"));
    }
    const std::string saved = program.dir / (std::string(catalogue) + ".cfg");
    ASSERT_TRUE(document.Save([&] { return std::optional<std::string>(saved); }));
    EXPECT_EQ(program.Run({"--check", saved}), kRunsAsWritten) << catalogue << "\n" << program.out;
  }
}

TEST(CheckCommand, GoesOnPastAFileItCannotReadAndEndsWithStatusTwo) {
  Program program;
  const std::string good = program.File("good.cfg", {"bind \"q\" \"score\""});
  EXPECT_EQ(program.Run({"--check", program.dir / "missing.cfg", good}), kTrouble);
  EXPECT_EQ(program.err, program.dir / "missing.cfg" + ": cannot be read: File not found\n");
  EXPECT_TRUE(program.Printed("Files checked: 2, errors: 0, notes: 0"));
}

TEST(CheckCommand, SpeaksTheStoredLanguageAndChecksForTheStoredGame) {
  Program program;
  WriteFile(program.dir / "data/config.ini", "[General]\r\nfr=1\r\nen=0\r\nGame=yamagi\r\n");
  const std::string file = program.File("yamagi.cfg", {"bind \"SC_APOSTROPHE\" \"score\""});
  EXPECT_EQ(program.Run({"--check", file}), kRunsAsWritten);
  EXPECT_TRUE(program.Printed("Fichiers v\xC3\xA9rifi\xC3\xA9s")) << "French, in UTF-8";
  EXPECT_EQ(program.Run({"--check", "--game", "quake2", file}), kFindings);
  EXPECT_TRUE(program.Printed(file + ":1: erreur: ")) << program.out;
}

TEST(CheckCommand, HelpVersionAndWrongCommandLines) {
  Program program;
  EXPECT_EQ(program.Run({"--help"}), kRunsAsWritten);
  EXPECT_TRUE(program.Printed("--check")) << program.out;
  EXPECT_EQ(program.Run({"--version"}), kRunsAsWritten);
  EXPECT_EQ(program.out, "Tavrilo v1.4b\n");
  EXPECT_EQ(program.Run({"--check", "--game=doom", "a.cfg"}), kTrouble);
  EXPECT_EQ(program.Run({"--check", "--verbose", "a.cfg"}), kTrouble);
  EXPECT_EQ(program.Run({"--check"}), kTrouble);
  EXPECT_FALSE(program.err.empty());

  EXPECT_TRUE(WantsCommandLine({"--version"}));
  EXPECT_TRUE(WantsCommandLine({"--game", "yamagi", "--check", "a.cfg"}));
  EXPECT_FALSE(WantsCommandLine({}));
  EXPECT_FALSE(WantsCommandLine({"-platform", "offscreen"}));
}

}  // namespace
}  // namespace tavrilo::cli
