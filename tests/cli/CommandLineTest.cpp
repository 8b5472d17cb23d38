// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <iostream>

#include <cstdio>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ShippedFiles.h"
#include "TestSupport.h"
#include "core/LineReader.h"
#include "core/StringList.h"
#include "game/RuleBook.h"
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

  // Runs the command line with `input` on standard input and the locale variables of
  // `environment` (none by default); `out` and `err` keep what it printed.
  int Run(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream inStream(input);
    std::ostringstream outStream, errStream;
    const auto variables = environment;
    Context context{dir.Path(), inStream, outStream, errStream,
                    [&variables](const char* name) -> const char* {
                      const auto found = variables.find(name);
                      return found == variables.end() ? nullptr : found->second.c_str();
                    }};
    context.columns = columns;
    const int status = RunCommandLine(ParseArguments(args), context);
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
  std::map<std::string, std::string> environment;
  int columns = 80;
  std::string out, err;
};

// Lines with one finding each that every game reports the same way.
const std::vector<std::string> kExamples = {
    "bind \"q\" \"score\"",         // 1: runs as written
    "bind \"t\" \"say gg; quit\"",  // 2: note: the chat text ends at the ";"
    "echo \"unmatched",             // 3: error: discarded
};

TEST(CheckCommand, PrintsEachFindingAsFileLineColumnSeverityThenTheCounts) {
  Program program;
  const std::string file = program.File("examples.cfg", kExamples);
  EXPECT_EQ(program.Run({"--check", file}), kFindings);
  EXPECT_TRUE(program.Printed(file + ":2:1: note: The chat text ends at")) << program.out;
  EXPECT_TRUE(program.Printed(file + ":3:1: error: ")) << program.out;
  EXPECT_FALSE(program.Printed(file + ":1:")) << program.out;
  EXPECT_TRUE(program.out.ends_with("Files checked: 1, errors: 1, notes: 1\n")) << program.out;
  EXPECT_EQ(program.err, "");
  EXPECT_FALSE(program.Printed("Check.")) << "every text found in the caption file";

  // Where the finding starts in the line, counted from 1 like compilers do: here the first
  // word of the second command of the line, after the ";" and the blank that follows it.
  const std::string column = program.File("column.cfg", {"echo a; say \"b"});
  EXPECT_EQ(program.Run({"--check", column}), kFindings);
  EXPECT_TRUE(program.Printed(column + ":1:9: error: ")) << program.out;
}

// The worst severity --check prints for each line of `file` ("error", "note" or "").
std::vector<std::string> WorstPrinted(const std::string& out, const std::string& file,
                                      std::size_t lines) {
  std::vector<std::string> worst(lines);
  std::istringstream printed(out);
  for (std::string row; std::getline(printed, row);) {
    if (!row.starts_with(file + ":")) continue;
    const std::size_t line = std::stoul(row.substr(file.size() + 1)) - 1;
    const bool error = row.find(": error: ") != std::string::npos;
    if (line < lines && (error || worst[line].empty())) worst[line] = error ? "error" : "note";
  }
  return worst;
}

TEST(CheckCommand, SaysOfEachExampleWhatTheGameDoesAsAnErrorOrANote) {
  struct Example {
    std::string line;
    const char* quake2;
    const char* yamagi;
  };
  // The game stops, drops, cuts, never runs or runs something else: errors; the line runs
  // as written or its key does its own job anyway: notes.
  const std::vector<Example> examples = {
      {"exec Alias.cfg extra", "error", "error"},
      {"bind a \"+attack; +moveup\"", "error", "error"},
      {"use \"Rocket Launcher\"", "error", "error"},
      {"say caf\xE9", "error", "error"},
      {"name Big Bob", "error", "error"},
      {"bind ! \"say hi\"", "error", ""},
      {"bind A \"+attack\"", "error", ""},
      {"bind BTN_SOUTH \"+attack\"", "error", ""},
      {"bind AUX1 \"+attack\"", "", "error"},
      {"map_noareas 1", "", ""},
      {"alias score \"say hi\"", "", ""},
      {"say hi // there", "note", "note"},
      {"bind ESCAPE \"togglemenu\"", "note", "note"},
      {"bind \"t\" \"say gg; quit\"", "note", "note"},
  };
  for (const char* game : {"quake2", "yamagi"}) {
    Program program;
    std::vector<std::string> lines;
    for (const Example& example : examples)
      lines.push_back(example.line);
    const std::string file = program.File("why.cfg", lines);
    EXPECT_EQ(program.Run({"--check", "--game", game, "--lang", "en", file}), kFindings);
    const std::vector<std::string> worst = WorstPrinted(program.out, file, examples.size());
    for (std::size_t i = 0; i < examples.size(); ++i) {
      EXPECT_EQ(worst[i], std::string(game[0] == 'q' ? examples[i].quake2 : examples[i].yamagi))
          << game << ": " << examples[i].line;
    }
  }
  // A file that makes the game stop is an error, and the exit status says so.
  Program program;
  std::vector<std::string> stop = {"exec ModBinding.cfg"};
  stop.insert(stop.end(), 100, "// " + std::string(60, 'x'));
  EXPECT_EQ(program.Run({"--check", "--game", "quake2", program.File("stop.cfg", stop)}),
            kFindings);
  EXPECT_TRUE(program.Printed("stop.cfg:1:1: error: ")) << program.out;
  // Too big for exec, the same file never runs: it is dropped, and nothing stops the game.
  stop.insert(stop.end(), 200, "// " + std::string(60, 'x'));
  Program dropped;
  EXPECT_EQ(dropped.Run({"--check", "--game", "quake2", dropped.File("big.cfg", stop)}), kFindings);
  EXPECT_FALSE(dropped.Printed("big.cfg:1:1: error: ")) << dropped.out;
  EXPECT_TRUE(dropped.Printed("big.cfg:127: error: ")) << dropped.out;  // past 8,191 bytes
}

TEST(CheckCommand, FollowsTheFilesAListRunsFromItsFolderAsTheGameFindsTheirNames) {
  Program program;
  const std::vector<std::string> comments(70, "// " + std::string(60, 'x'));
  std::vector<std::string> mine = {"alias zoom \"fov 30\""};
  mine.insert(mine.end(), comments.begin(), comments.end());
  program.File("Mine.cfg", mine);
  std::vector<std::string> lines = {"exec mine.cfg", "bind e zoom"};
  lines.insert(lines.end(), comments.begin(), comments.end());
  const std::string list = program.File("list.cfg", lines);
  // Quake 2 opens Mine.cfg: what it defines is known, and its size with the rest of the
  // list makes the game stop.
  EXPECT_EQ(program.Run({"--check", "--game=quake2", "--lang=en", list}), kFindings);
  EXPECT_TRUE(program.Printed(list + ":1:1: error: exec Mine.cfg (4")) << program.out;
  EXPECT_FALSE(program.Printed(list + ":2:")) << program.out;
  // Yamagi Quake II opens mine.cfg only: not known (on Windows, whose file system ignores
  // letter case, it opens Mine.cfg, a name Linux would not find); its buffer holds both.
  EXPECT_EQ(program.Run({"--check", "--game=yamagi", "--lang=en", list}), kRunsAsWritten);
  EXPECT_TRUE(program.Printed(list + ":1:1: note: ")) << program.out;
}

TEST(CheckCommand, JsonLinesReadByAJsonParserWithOneFindingOfEachSeverity) {
#ifdef _WIN32
  GTEST_SKIP() << "file names with line breaks and control bytes: Windows has none";
#endif
  Program program;
  // A file name with a line break, a byte that is not UTF-8 and a quote; a line with
  // control bytes of its own.
  std::vector<std::string> lines = kExamples;
  lines.push_back("bind \"\x1b]2;x\x07\" \"score\"");
  const std::string file = program.File("a\n\xE9\".cfg", lines);
  EXPECT_EQ(program.Run({"--check", "--format=json", file, program.dir / "missing.cfg"}), kTrouble);
  EXPECT_FALSE(program.Printed("Files checked")) << "records only";
  EXPECT_EQ(program.err, "tavrilo: " + program.dir / "missing.cfg: No such file or directory\n");
  WriteFile(program.dir / "out.jsonl", program.out);
  const std::string parsed = program.dir / "parsed.txt";
  ASSERT_EQ(std::system(("python3 " + testing::SourceDir() + "tests/cli/json_lines.py " +
                         program.dir / "out.jsonl > " + parsed)
                            .c_str()),
            0)
      << program.out;
  const std::string shown = ReadFile(parsed);
  const std::string name = "\"" + program.dir.Path() + "a\\n\\u00e9\\\".cfg\"";
  EXPECT_NE(shown.find("[" + name + ", 2, "), std::string::npos) << shown;
  EXPECT_NE(shown.find(", \"note\", \"chat-semicolon\", "), std::string::npos) << shown;
  EXPECT_NE(shown.find("[" + name + ", 3, 1, \"error\", \"unmatched-quote\", \"The game"),
            std::string::npos)
      << shown;
  // The key's escape sequence reaches the message escaped, never raw.
  EXPECT_NE(shown.find("\\u001b]2;x\\u0007"), std::string::npos) << shown;
  // The file not read, then the counts.
  EXPECT_TRUE(shown.ends_with("[\"" + program.dir.Path() +
                              "missing.cfg\", \"No such file or directory\"]\n"
                              "[\"counts\", 1, 1, 2, 1]\n"))
      << shown;
}

TEST(CheckCommand, SarifLogWithARuleForEachCodeAndEachFindingAtItsPlace) {
#ifdef _WIN32
  GTEST_SKIP() << "no python3 where the Windows tests run";
#endif
  Program program;
  // A name with a blank, a letter beyond ASCII and a character a URI escapes.
  const std::string file = program.File("my \xC3\xA9#1.cfg", kExamples);
  program.environment = {{"LANG", "fr_FR.UTF-8"}};
  EXPECT_EQ(program.Run({"--check", "--format=sarif", file, "-", program.dir / "missing.cfg"},
                        "bind \"t\" \"say gg; quit\""),
            kTrouble);
  WriteFile(program.dir / "out.sarif", program.out);
  const std::string parsed = program.dir / "parsed.txt";
  ASSERT_EQ(std::system(("python3 " + testing::SourceDir() + "tests/cli/sarif_check.py " +
                         program.dir / "out.sarif > " + parsed)
                            .c_str()),
            0)
      << program.out;
  const std::string uri = "file://" + program.dir.Path() + "my%20%C3%A9%231.cfg";
  const std::string shown = ReadFile(parsed);
  EXPECT_TRUE(shown.starts_with("[\"" + uri + "\", 2, 1, \"note\", \"chat-semicolon\", \""))
      << shown;
  EXPECT_NE(shown.find("[\"" + uri + "\", 3, 1, \"error\", \"unmatched-quote\", \"Le jeu"),
            std::string::npos)
      << shown;
  EXPECT_NE(shown.find("[\"%3Cstdin%3E\", 1, 1, \"note\", \"chat-semicolon\", "), std::string::npos)
      << shown;
  EXPECT_TRUE(shown.ends_with("[\"unread\", \"file://" + program.dir.Path() +
                              "missing.cfg\", \"Aucun fichier ou dossier de ce nom\"]\n"))
      << shown;
  // Nothing but the log: no line of counts.
  EXPECT_TRUE(program.out.starts_with("{\"$schema\":")) << program.out;
  EXPECT_TRUE(program.out.ends_with("]}]}\n")) << program.out;

  // No file at all with a finding: an empty list of results, a run that succeeded.
  EXPECT_EQ(program.Run({"--check", "--format=sarif", "-"}, ""), kRunsAsWritten);
  WriteFile(program.dir / "out.sarif", program.out);
  EXPECT_EQ(std::system(("python3 " + testing::SourceDir() + "tests/cli/sarif_check.py " +
                         program.dir / "out.sarif > " + parsed)
                            .c_str()),
            0)
      << program.out;
  EXPECT_EQ(ReadFile(parsed), "");
}

TEST(CheckCommand, ControlBytesOfFileNamesAndContentsAreShownEscaped) {
#ifdef _WIN32
  GTEST_SKIP() << "file names with line breaks and control bytes: Windows has none";
#endif
  Program program;
  const std::string file =
      program.File("fake.cfg:1: error: injected\n.cfg", {"bind \"\x1b]2;PWNED\x07\" \"score\""});
  EXPECT_EQ(program.Run({"--check", file}), kFindings);
  EXPECT_TRUE(program.Printed("\\x1b]2;PWNED\\x07")) << program.out;
  EXPECT_TRUE(program.Printed("injected\\x0a.cfg:1:")) << program.out;
  for (char c : program.out)
    EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << static_cast<int>(c);
  EXPECT_EQ(std::count(program.out.begin(), program.out.end(), '\n'), 2) << "finding and counts";

  EXPECT_EQ(program.Run({"--check", program.dir / "\x1b[2Jmissing.cfg"}), kTrouble);
  EXPECT_EQ(program.err,
            "tavrilo: " + program.dir / "\\x1b[2Jmissing.cfg: No such file or directory\n");
}

TEST(CheckCommand, ReadsStandardInputAsAFileNamedStdin) {
  Program program;
  std::string script;
  for (const std::string& line : kExamples)
    script += line + "\r\n";
  const std::string good = program.File("good.cfg", {"bind \"q\" \"score\""});
  EXPECT_EQ(program.Run({"--check", good, "-"}, script), kFindings);
  EXPECT_TRUE(program.Printed("<stdin>:3:1: error: ")) << program.out;
  EXPECT_TRUE(program.Printed("Files checked: 2, errors: 1, notes: 1")) << program.out;
  // After "--" too; an empty input is an empty script.
  EXPECT_EQ(program.Run({"--check", "--", "-"}, ""), kRunsAsWritten) << program.out;
}

TEST(CheckCommand, FilesNotReadGetTheSystemsReasonAreCountedApartAndEndWithStatusTwo) {
  Program program;
  const std::string good = program.File("good.cfg", {"bind \"q\" \"score\""});
  std::filesystem::create_directory(program.dir / "folder.cfg");
  EXPECT_EQ(program.Run({"--check", program.dir / "missing.cfg", program.dir / "folder.cfg", good,
                         program.dir / "none/a.cfg"}),
            kTrouble);
  EXPECT_EQ(program.err, "tavrilo: " + program.dir / "missing.cfg: No such file or directory\n" +
                             "tavrilo: " + program.dir / "folder.cfg: Is a directory\n" +
                             "tavrilo: " + program.dir / "none/a.cfg: No such file or directory\n");
  EXPECT_TRUE(program.Printed("Files checked: 1, not read: 3, errors: 0, notes: 0")) << program.out;

  // A file over the bound of what is read whole is refused, named once.
  std::filesystem::resize_file(program.File("huge.cfg", {}), std::uintmax_t{65} << 20);
  EXPECT_EQ(program.Run({"--check", program.dir / "huge.cfg"}), kTrouble);
  EXPECT_EQ(program.err, "tavrilo: " + program.dir / "huge.cfg: File too large (over 64 MiB)\n");
  EXPECT_EQ(program.Run({"--check", "-"}, std::string((std::size_t{64} << 20) + 1, '\n')),
            kTrouble);
  EXPECT_EQ(program.err, "tavrilo: <stdin>: File too large (over 64 MiB)\n");
#ifndef _WIN32
  const std::string name(300, 'n');
  EXPECT_EQ(program.Run({"--check", name, good + "/a.cfg"}), kTrouble);
  EXPECT_EQ(program.err, "tavrilo: " + name + ": File name too long\ntavrilo: " + good +
                             "/a.cfg: Not a directory\n");
#endif
}

// With the game's folder, a file is checked on what the player's start-up files leave: their
// aliases are known, and a line that changes one of their bindings gets a note saying
// where it was made. A start-up file that cannot be read is named and left out.
TEST(CheckCommand, ChecksOnThePlayersStartupFilesOfTheGameFolder) {
  Program program;
  std::filesystem::create_directories(program.dir / "q2/baseq2");
  WriteFile(program.dir / "q2/baseq2/config.cfg",
            "bind F6 \"echo saved\"\nbind F8 \"+attack\"\nalias mine \"echo hi\"\n");
  std::filesystem::resize_file(program.File("q2/baseq2/autoexec.cfg", {}),
                               std::uintmax_t{65} << 20);
  const std::string list =
      program.File("list.cfg", {"bind F6 \"say hi\"", "bind F7 \"mine\"", "bind F8 \"+attack\""});

  EXPECT_EQ(program.Run({"--check", "--game", "quake2", list}), kFindings);
  EXPECT_TRUE(program.Printed(list + ":2:")) << "an alias no file defines: " << program.out;

  EXPECT_EQ(program.Run({"--check", "--game", "quake2", "--game-dir", program.dir / "q2", list}),
            kRunsAsWritten);
  // Paths as the program builds them, with the system's separator.
  EXPECT_TRUE(program.err.starts_with("tavrilo: ") &&
              program.err.ends_with("autoexec.cfg: File too large (over 64 MiB)\n") &&
              std::count(program.err.begin(), program.err.end(), '\n') == 1)
      << program.err;
  EXPECT_TRUE(program.Printed(list + ":1:1: note: This replaces your own binding of F6, which ran "
                                     "\"echo saved\" (") &&
              program.Printed("config.cfg, line 1)\n"))
      << program.out;
  EXPECT_FALSE(program.Printed(list + ":2:") || program.Printed(list + ":3:")) << program.out;
  EXPECT_TRUE(program.Printed("Files checked: 1, errors: 0, notes: 1")) << program.out;

  EXPECT_EQ(program.Run({"--check", "--format=json", "--game=quake2",
                         "--game-dir=" + program.dir / "q2/", list}),
            kRunsAsWritten);
  EXPECT_TRUE(program.Printed("\"code\":\"replaces-own-binding\"")) << program.out;

  // Yamagi's own folder is looked in first, also for the files a start-up file runs; a
  // folder without baseq2 is said, not fatal.
  std::filesystem::create_directories(program.dir / "mine");
  WriteFile(program.dir / "mine/config.cfg", "exec aliases.cfg\n");
  WriteFile(program.dir / "mine/aliases.cfg", "alias mine \"echo hi\"\n");
  EXPECT_EQ(program.Run({"--check", "--game", "yamagi", "--game-dir", program.dir / "none",
                         "--user-dir", program.dir / "mine", list}),
            kRunsAsWritten);
  EXPECT_TRUE(program.err.starts_with("tavrilo: " + program.dir / "none") &&
              program.err.ends_with(": no baseq2 folder: the game's start-up files are not read\n"))
      << program.err;
  EXPECT_TRUE(program.Printed("Files checked: 1, errors: 0, notes: 0")) << program.out;
}

#ifndef _WIN32
// A FIFO, /dev/stdin and a character device are read to their end as standard input is,
// within the same bound; a device that is no stream is refused.
TEST(CheckCommand, ReadsAFifoAndCharacterDevicesAsStreams) {
  Program program;
  const std::string fifo = program.dir / "fifo.cfg";
  ASSERT_EQ(std::system(("mkfifo '" + fifo + "'").c_str()), 0);
  std::thread writer([&] { std::ofstream(fifo) << "echo \"unmatched\r\n"; });
  EXPECT_EQ(program.Run({"--check", fifo, "/dev/null"}), kFindings);
  writer.join();
  EXPECT_TRUE(program.Printed(fifo + ":1:1: error: ")) << program.out;
  EXPECT_TRUE(program.Printed("Files checked: 2, errors: 1")) << program.out;
  EXPECT_EQ(program.Run({"--check", "/dev/zero"}), kTrouble);
  EXPECT_EQ(program.err, "tavrilo: /dev/zero: File too large (over 64 MiB)\n");
  for (const auto& entry : std::filesystem::directory_iterator("/dev")) {
    if (!entry.is_block_file()) continue;
    EXPECT_EQ(program.Run({"--check", entry.path().string()}), kTrouble);
    EXPECT_EQ(program.err,
              "tavrilo: " + entry.path().string() + ": Neither a regular file nor a stream\n");
    break;
  }
  // The program itself, with its standard input a pipe and a process substitution.
  const std::string tavrilo =
      (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tavrilo").string();
  if (!std::filesystem::exists(tavrilo)) GTEST_SKIP() << tavrilo << " is not built";
  const std::string out = program.dir / "out.txt";
  const std::string a = program.File("a.cfg", {"echo \"a"}),
                    b = program.File("b.cfg", {"echo \"b"});
  const std::string command = "cat " + a + " | bash -c '" + tavrilo +
                              " --check --lang=en /dev/stdin <(cat " + b + ")' >" + out;
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kFindings) << command;
  const std::string printed = ReadFile(out);
  EXPECT_TRUE(printed.starts_with("/dev/stdin:1:1: error: ")) << printed;
  EXPECT_NE(printed.find("\n/dev/fd/"), std::string::npos) << printed;
  EXPECT_NE(printed.find("Files checked: 2, errors: 2"), std::string::npos) << printed;
}
#endif

// The program's own standard input, opened on a folder: every read fails, which the C
// stream std::cin reads through shows as an end of file; it is not a file checked.
TEST(CheckCommand, StandardInputThatCannotBeReadIsNotAFileChecked) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows opens no folder as a stream";
#else
  Program program;
  ASSERT_NE(std::freopen(program.dir.Path().c_str(), "r", stdin), nullptr);
  std::cin.clear();
  std::ostringstream out, err;
  const int status =
      RunCommandLine(ParseArguments({"--check", "--game", "quake2", "--lang", "en", "-"}),
                     Context{program.dir.Path(), std::cin, out, err});
  std::clearerr(stdin);
  EXPECT_EQ(status, kTrouble);
  EXPECT_EQ(err.str(), "tavrilo: <stdin>: Is a directory\n");
  EXPECT_NE(out.str().find("not read: 1"), std::string::npos) << out.str();
#endif
}

TEST(CheckCommand, SpeaksTheLanguageOfTheOptionThenTheLocaleThenTheWindow) {
  Program program;
  WriteFile(program.dir / "data/config.ini", "[General]\r\nfr=1\r\nen=0\r\nGame=yamagi\r\n");
  std::filesystem::create_directory(program.dir / "folder");
  const std::string file = program.File("yamagi.cfg", {"bind \"SC_APOSTROPHE\" \"score\""});
  // The window's language and game.
  EXPECT_EQ(program.Run({"--check", file}), kRunsAsWritten) << program.out;
  EXPECT_TRUE(program.Printed("Fichiers v\xC3\xA9rifi\xC3\xA9s")) << "French, in UTF-8";
  EXPECT_EQ(program.Run({"--check", "--game", "quake2", file}), kFindings);
  EXPECT_TRUE(program.Printed(file + ":1:")) << program.out;
  EXPECT_TRUE(program.Printed(": erreur: ")) << program.out;

  program.environment = {{"LC_ALL", ""}, {"LC_MESSAGES", "C.UTF-8"}, {"LANG", "fr_FR.UTF-8"}};
  EXPECT_EQ(program.Run({"--check", file, program.dir / "missing.cfg"}), kTrouble);
  EXPECT_TRUE(program.Printed("Files checked: 1, not read: 1")) << program.out;
  EXPECT_TRUE(program.err.ends_with("missing.cfg: No such file or directory\n")) << program.err;

  // The system's reasons in French too, never an English text inside a French one.
  program.environment = {{"LANG", "fr_FR.UTF-8"}};
  EXPECT_EQ(program.Run({"--check", program.dir / "missing.cfg", program.dir / "folder"}),
            kTrouble);
  EXPECT_EQ(program.err,
            "tavrilo: " + program.dir / "missing.cfg: Aucun fichier ou dossier de ce nom\n" +
                "tavrilo: " + program.dir / "folder: Est un dossier\n");
  EXPECT_EQ(program.Run({"--lang=en", "--check", program.dir / "missing.cfg"}), kTrouble);
  EXPECT_TRUE(program.err.ends_with("missing.cfg: No such file or directory\n")) << program.err;

  // LANGUAGE, a list by preference, comes first as gettext reads it: its first language
  // that the program speaks, unless the locale is C.
  program.environment = {{"LANGUAGE", "de:fr_CA:en"}, {"LANG", "en_US.UTF-8"}};
  EXPECT_EQ(program.Run({"--check", program.dir / "missing.cfg"}), kTrouble);
  EXPECT_TRUE(program.err.ends_with("Aucun fichier ou dossier de ce nom\n")) << program.err;
  program.environment = {{"LANGUAGE", "fr"}, {"LC_ALL", "C"}, {"LANG", "fr_FR.UTF-8"}};
  EXPECT_EQ(program.Run({"--check", program.dir / "missing.cfg"}), kTrouble);
  EXPECT_TRUE(program.err.ends_with("No such file or directory\n")) << program.err;
}

TEST(CheckCommand, HelpVersionAndWrongCommandLines) {
  Program program;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, {"-h"}, {"-?"}}) {
    EXPECT_EQ(program.Run(args), kRunsAsWritten);
    EXPECT_TRUE(program.Printed("--check")) << program.out;
    EXPECT_TRUE(program.Printed("--format")) << program.out;
  }
  // Wrapped to the terminal's width, in characters, each section under its heading and
  // each option's text in one column.
  program.columns = 50;
  for (const char* language : {"en", "fr"}) {
    EXPECT_EQ(program.Run({"--lang", language, "-h"}), kRunsAsWritten);
    std::istringstream lines(program.out);
    std::size_t widest = 0, count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
      std::size_t characters = 0;
      for (unsigned char c : line)
        characters += (c & 0xC0) != 0x80;
      widest = std::max(widest, characters);
    }
    EXPECT_EQ(widest, 50u) << program.out;
    EXPECT_GT(count, 40u) << program.out;
  }
  EXPECT_TRUE(program.out.starts_with("Utilisation\xC2\xA0: tavrilo ")) << program.out;
  program.columns = 80;
  EXPECT_EQ(program.Run({"-h"}), kRunsAsWritten);
  EXPECT_TRUE(program.Printed("\nChecking files:\n  --check FILE...")) << program.out;
  EXPECT_TRUE(program.Printed("\nExit status:\n  0  ")) << program.out;
  const std::size_t formatLine = program.out.find("\n  --format=FORMAT") + 1;
  const std::size_t column = program.out.find("text (the default)", formatLine) - formatLine;
  const std::size_t nextLine = program.out.find('\n', formatLine) + 1;
  EXPECT_EQ(program.out.find_first_not_of(' ', nextLine) - nextLine, column)
      << "the text goes on in its column";
  EXPECT_EQ(program.Run({"-v"}), kRunsAsWritten);
  EXPECT_TRUE(program.out.starts_with("Tavrilo ")) << program.out;
  EXPECT_EQ(std::count(program.out.begin(), program.out.end(), '\n'), 1);
  EXPECT_EQ(program.Run({"-hv"}), kRunsAsWritten);
  EXPECT_TRUE(program.out.starts_with("Usage: ")) << "-h, then -v";

  const std::string tryHelp = "Try 'tavrilo --help' for more information.\n";
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--bogus"}, "tavrilo: unknown option '--bogus'\n"},
      {{"-vx"}, "tavrilo: unknown option '-x'\n"},
      {{"--version", "extra"}, "tavrilo: extra operand 'extra'\n"},
      {{"--check", "--game"}, "tavrilo: missing value after '--game'\n"},
      {{"--check", "--game=doom", "a.cfg"}, "tavrilo: unknown game 'doom' (quake2 or yamagi)\n"},
      {{"--check"}, "tavrilo: name the files to check after --check ('-' reads standard input)\n"},
      {{"a.cfg"}, "tavrilo: this program has no window: use --check, --help or --version\n"},
  };
  for (const auto& [args, message] : refused) {
    EXPECT_EQ(program.Run(args), kTrouble) << args.front();
    EXPECT_EQ(program.err, message + tryHelp);
    EXPECT_EQ(program.out, "");
  }
  EXPECT_EQ(program.Run({"--lang=fr", "--bogus"}), kTrouble);
  EXPECT_TRUE(
      program.err.ends_with("\nEssayez \xC2\xAB\xC2\xA0tavrilo --help\xC2\xA0\xC2\xBB pour plus "
                            "d'informations.\n"))
      << program.err;
  EXPECT_TRUE(WantsCommandLine({"--version"}));
  EXPECT_TRUE(WantsCommandLine({"--bogus", "a.cfg"}));
  EXPECT_FALSE(WantsCommandLine({}));
  EXPECT_FALSE(WantsCommandLine({"-platform", "offscreen", "a.cfg"}));
}

TEST(CheckCommand, TheWindowOpensOnlyWhereADisplayCanShowIt) {
  Program program;
  const auto windowRun = [&](const std::vector<std::string>& args,
                             std::map<std::string, std::string> variables) {
    std::istringstream in;
    std::ostringstream out, err;
    const std::optional<int> status = RunUnlessWindow(
        ParseArguments(args),
        Context{program.dir.Path(), in, out, err, [&variables](const char* name) -> const char* {
                  const auto found = variables.find(name);
                  return found == variables.end() ? nullptr : found->second.c_str();
                }});
    program.err = err.str();
    return status;
  };
  EXPECT_EQ(windowRun({"a.cfg"}, {{"DISPLAY", ":0"}}), std::nullopt);
  EXPECT_EQ(windowRun({}, {{"WAYLAND_DISPLAY", "wayland-0"}}), std::nullopt);
  EXPECT_EQ(windowRun({"a.cfg"}, {{"QT_QPA_PLATFORM", "offscreen"}}), std::nullopt);
  EXPECT_EQ(windowRun({"-platform", "offscreen", "a.cfg"}, {}), std::nullopt);
  EXPECT_EQ(windowRun({"-v"}, {}), kRunsAsWritten);
  EXPECT_EQ(windowRun({"--bogus"}, {{"DISPLAY", ":0"}}), kTrouble);
#if defined(__unix__) && !defined(__APPLE__)
  EXPECT_EQ(windowRun({"a.cfg"}, {{"DISPLAY", ""}, {"LANG", "fr_FR.UTF-8"}}), kTrouble);
  EXPECT_TRUE(
      program.err.starts_with("tavrilo: aucun \xC3\xA9"
                              "cran"))
      << program.err;
#endif
}

TEST(CheckCommand, AnOutputThatCannotBeWrittenEndsWithStatusTwo) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  Program program;
  const std::string file = program.File("examples.cfg", kExamples);
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"},
                                               {"--version"},
                                               {"--check", file},
                                               {"--check", "--format=json", file}}) {
    std::ofstream full("/dev/full");
    std::istringstream in;
    std::ostringstream err;
    EXPECT_EQ(RunCommandLine(ParseArguments(args), Context{program.dir.Path(), in, full, err}),
              kTrouble)
        << args.back();
    EXPECT_TRUE(err.str().starts_with("tavrilo: the output could not be written")) << err.str();
  }
}

#ifndef _WIN32
// The program itself, started as a user would without a display: the arguments are read
// before any window.
TEST(Program, AnswersAtOnceWithoutADisplay) {
  const std::string program =
      (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tavrilo").string();
  if (!std::filesystem::exists(program)) GTEST_SKIP() << program << " is not built";
  const auto run = [&](const std::string& args, const std::string& output = "/dev/null") {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + program +
                                " " + args + " >" + output + " 2>/dev/null </dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(run("-h"), kRunsAsWritten);
  EXPECT_EQ(run("-v"), kRunsAsWritten);
  EXPECT_EQ(run("--bogus"), kTrouble);
  EXPECT_EQ(run("--bogus bad.cfg"), kTrouble);
  EXPECT_EQ(run("--check --game"), kTrouble);
  EXPECT_EQ(run("a.cfg b.cfg"), kTrouble);
  EXPECT_EQ(run("a.cfg"), kTrouble) << "no display for the window";
  EXPECT_EQ(run("--help", "/dev/full"), kTrouble);
  EXPECT_EQ(run("--check -", "/dev/full"), kTrouble);
  EXPECT_EQ(run("--check -"), kRunsAsWritten);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

// The command line loads none of Qt's libraries; where the window is built, the program
// starts it in its place with the arguments it was given.
TEST(Program, LoadsNoQtLibraryAndStartsTheWindowProgramForTheWindow) {
  const std::filesystem::path folder =
      std::filesystem::read_symlink("/proc/self/exe").parent_path();
  const std::string program = (folder / "tavrilo").string();
  if (!std::filesystem::exists(program)) GTEST_SKIP() << program << " is not built";
  testing::TempDir dir;
  const std::string libraries = dir / "ldd.txt";
  ASSERT_EQ(std::system(("ldd " + program + " >" + libraries).c_str()), 0);
  EXPECT_EQ(ReadFile(libraries).find("libQt"), std::string::npos) << ReadFile(libraries);
  if (!std::filesystem::exists(folder / "tavrilo-window")) GTEST_SKIP() << "no window built";
  // A platform Qt does not have: only the window's Qt can refuse it.
  const std::string err = dir / "err.txt";
  const int status = std::system(
      (program + " -platform no-such-platform >/dev/null 2>" + err + " </dev/null").c_str());
  EXPECT_NE(status, 0);
  EXPECT_NE(ReadFile(err).find("no-such-platform"), std::string::npos) << ReadFile(err);
}
#endif

TEST(CheckCommand, FlagsAFileTooBigForExecAndAnExecFollowedByMoreThanFits) {
  Program program;
  // 1,510 bindings: some 37,000 bytes, far over the 8,191 that exec takes.
  const std::vector<std::string> keys = testing::DistinctKeys();
  std::vector<std::string> many;
  for (int i = 0; i < 1510; ++i)
    many.push_back("bind \"" + keys[static_cast<std::size_t>(i) % keys.size()] + "\" \"weapnext\"");
  const std::string big = program.File("big.cfg", many);
  EXPECT_EQ(program.Run({"--check", "--format=json", big}), kFindings);
  // The whole file is at fault: no column.
  EXPECT_TRUE(program.Printed("\"column\":null,\"severity\":\"error\",\"code\":\"file-too-big\""))
      << program.out;
  EXPECT_EQ(program.Run({"--check", big}), kFindings);
  const std::size_t tooBig = program.out.find(": error: This file is ");
  ASSERT_NE(tooBig, std::string::npos) << program.out;
  const std::size_t lineStart = program.out.rfind('\n', tooBig) + 1;
  const std::string place = program.out.substr(lineStart, tooBig - lineStart);  // FILE:LINE
  EXPECT_TRUE(place.starts_with(big + ":")) << place;
  EXPECT_EQ(place.find_first_not_of("0123456789", big.size() + 1), std::string::npos) << place;
  // Numbers grouped as each language writes them: 37,502 and 37 502 (a no-break space).
  const std::string size = program.out.substr(tooBig + 22, 6);
  EXPECT_TRUE(size[2] == ',' && std::isdigit(size[1]) && std::isdigit(size[3])) << size;
  EXPECT_EQ(program.Run({"--check", "--lang=fr", big}), kFindings);
  EXPECT_TRUE(program.Printed(size.substr(0, 2) + "\xC2\xA0" + size.substr(3))) << program.out;

  // Alias.cfg, then 70 lines of 86 bytes: more than 8,191 bytes together in the buffer,
  // and the game stops.
  std::vector<std::string> lines = {"exec Alias.cfg"};
  for (std::size_t i = 0; i < 70; ++i)
    lines.push_back("bind \"" + keys[i] + "\" \"say " + std::string(70 - keys[i].size(), 'g') +
                    "\"");
  const std::string afterExec = program.File("after.cfg", lines);
  EXPECT_EQ(program.Run({"--check", afterExec}), kFindings) << program.out;
  EXPECT_TRUE(program.Printed(afterExec + ":1:1: error: ")) << program.out;
}

TEST(CheckCommand, PassesTheSupportFilesAndAFileSavedFromEveryCatalogueEntry) {
  Program program;
  for (const char* game : {"quake2", "yamagi"}) {
    std::vector<std::string> args = {"--check", "--game", game};
    for (const char* name :
         {"Alias.cfg", "GlVid.cfg", "ModBinding.cfg", "NormBinding.cfg", "NormVid.cfg"})
      args.push_back(program.dir / ("Q2Dats/" + std::string(name)));
    EXPECT_EQ(program.Run(args), kRunsAsWritten) << program.out;
    // Yamagi Quake II takes GlVid.cfg's renderer settings under their old names, with a note.
    EXPECT_TRUE(program.Printed(std::string(game) == "quake2" ? "errors: 0, notes: 0"
                                                              : "errors: 0, notes: 9"))
        << program.out;
  }

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

TEST(RuleBookCommands, ListCodesInTheLanguageOfTheMessagesAndExplainOne) {
  Program program;
  EXPECT_EQ(program.Run({"--list-codes", "--lang", "en"}), kRunsAsWritten);
  EXPECT_EQ(static_cast<std::size_t>(std::count(program.out.begin(), program.out.end(), '\n')),
            game::AllRules().size());
  EXPECT_TRUE(program.out.starts_with("command-discarded     error     A command of 1,024"))
      << program.out;
  EXPECT_TRUE(program.Printed("\nchat-cvar             note      `$name` of a cvar"))
      << program.out;
  EXPECT_EQ(program.Run({"--lang=fr", "--list-codes"}), kRunsAsWritten);
  EXPECT_TRUE(program.Printed("\nchat-cvar             remarque  `$nom` d'une variable"))
      << program.out;

  EXPECT_EQ(program.Run({"--lang", "fr", "--explain", "button-chain"}), kRunsAsWritten);
  EXPECT_TRUE(program.out.starts_with("button-chain (error)\n\nA binding that begins with `+`"))
      << program.out;
  EXPECT_TRUE(program.Printed("releases nothing")) << program.out;
  EXPECT_EQ(program.Run({"--explain=bogus-code"}), kTrouble);
  EXPECT_EQ(program.err,
            "tavrilo: unknown finding code 'bogus-code': tavrilo --list-codes lists them\n");
  EXPECT_EQ(program.out, "");
  EXPECT_EQ(program.Run({"--explain"}), kTrouble);
  EXPECT_EQ(
      program.err,
      "tavrilo: missing value after '--explain'\nTry 'tavrilo --help' for more information.\n");
  EXPECT_EQ(program.Run({"--list-codes", "extra"}), kTrouble);
  EXPECT_TRUE(program.err.starts_with("tavrilo: extra operand 'extra'\n")) << program.err;
  EXPECT_EQ(program.Run({"--help"}), kRunsAsWritten);
  EXPECT_TRUE(program.Printed("--list-codes") && program.Printed("--explain CODE")) << program.out;
}

}  // namespace
}  // namespace tavrilo::cli
