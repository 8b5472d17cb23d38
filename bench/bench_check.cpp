// SPDX-License-Identifier: GPL-3.0-or-later
// tavrilo --check against the load of the same file into the window's list: a file of a
// million lines, a third of them with something to say, checked with every finding printed
// (to a file, through the command line's own buffered writer); aim: at most three times the
// load (LineReader + ReadLines into a StringList). Then the check of a file of 32,766
// bytes, the most Yamagi Quake II runs.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "cli/CommandLine.h"
#include "cli/Findings.h"
#include "core/LineReader.h"
#include "core/Locations.h"
#include "core/Platform.h"
#include "core/StringList.h"
#include "core/WholeFile.h"
#include "game/Check.h"
#include "game/Names.h"
#include "install/SupportFiles.h"

namespace {

using bench::BestOf;
using bench::Timing;

constexpr int kLines = 1'000'000;

// Line i of a player's file: two lines of three run as written, the third has a finding
// (an error or a note, in turn).
std::string LineOf(int i) {
  const std::string n = std::to_string(i);
  switch (i % 6) {
    case 2:
      return "say \"gg " + n;  // an unmatched quote: discarded
    case 5:
      return "say_team on my way $name " + n;  // a cvar in a chat text
    case 0:
    case 3:
      return "echo line " + n;
    default:
      return "fov 9" + n.substr(n.size() - 1);
  }
}

bool WriteLines(const std::string& path, int count, std::size_t maxBytes = SIZE_MAX) {
  std::string bytes;
  for (int i = 0; i < count; ++i) {
    const std::string line = LineOf(i) + "\r\n";
    if (bytes.size() + line.size() > maxBytes) break;
    bytes += line;
  }
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// tavrilo --check FILE with its output to `outPath`.
int CheckFile(const std::string& file, const std::string& outPath, const std::string& dataRoot) {
  std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
  std::istringstream in;
  std::ostringstream err;
  return tavrilo::cli::RunCommandLine(
      tavrilo::cli::ParseArguments({"--check", "--game", "quake2", "--lang", "en", file}),
      tavrilo::cli::Context{dataRoot, in, out, err});
}

void Row(const char* name, const Timing& t, const Timing& load) {
  std::printf("%-48s %9.1f %9.1f   (%.2f x load, cpu %.2f x)\n", name, t.wall, t.cpu,
              t.wall / load.wall, t.cpu / load.cpu);
}

}  // namespace

int main() {
  tavrilo::platform::ReleaseLargeBlocksAtOnce();  // as the program does at start-up
  const std::string dataRoot = tavrilo::DataRoot();
  std::string dir = (std::filesystem::temp_directory_path() / "tavrilo-bench-XXXXXX").string();
  if (::mkdtemp(dir.data()) == nullptr) return 1;
  const std::string big = dir + "/big.cfg", small = dir + "/small.cfg", out = dir + "/out.txt";
  if (!WriteLines(big, kLines) || !WriteLines(small, kLines, 32766)) return 1;

  tavrilo::StringList list;
  const Timing load = BestOf(
      [&] {
        tavrilo::LineReader reader(big);
        tavrilo::ReadLines(reader, list);
      },
      bench::kRuns, [&] { list.Clear(); });
  if (list.Count() != kLines) return 1;

  // The parts of the check, then the whole as the command line runs it.
  std::string bytes;
  const Timing read = BestOf([&] { tavrilo::ReadWholeFile(big, bytes); });
  const tavrilo::game::SupportFiles support = tavrilo::install::ReadSupportFiles(dataRoot);
  std::optional<tavrilo::game::CheckResult> result;
  const Timing model = BestOf([&] {
    result.emplace(tavrilo::game::CheckScript(bytes, tavrilo::game::Game::kQuake2, support));
  });
  // The least any check of the file does: find each line and its first word, and look the
  // word up among the game's names. No rule, no finding: a floor under the model's figure.
  std::size_t named = 0;
  const Timing floor = BestOf([&] {
    named = 0;
    for (std::string_view rest = bytes; !rest.empty();) {
      const std::size_t end = std::min(rest.find('\n'), rest.size());
      std::string_view line = rest.substr(0, end);
      rest.remove_prefix(std::min(end + 1, rest.size()));
      while (!line.empty() && static_cast<unsigned char>(line.front()) <= ' ')
        line.remove_prefix(1);
      std::size_t word = 0;
      while (word < line.size() && static_cast<unsigned char>(line[word]) > ' ')
        ++word;
      named +=
          tavrilo::game::FindName(tavrilo::game::Game::kQuake2, line.substr(0, word)) != nullptr;
    }
  });
  if (named != static_cast<std::size_t>(kLines)) return 1;
  int withFindings = 0;
  for (int i = 0; i < kLines; ++i)
    withFindings += result->WorstOf(i) != tavrilo::game::Severity::kNone;
  const std::size_t findings = result->Findings().size();
  // The findings printed alone, as --check prints them, to a file.
  const tavrilo::cli::Messages messages(dataRoot, tavrilo::datafiles::Language::kEnglish);
  const Timing print = BestOf([&] {
    std::ofstream stream(out, std::ios::binary | std::ios::trunc);
    tavrilo::cli::BufferedWriter writer(stream);
    tavrilo::cli::FindingPrinter(messages, tavrilo::cli::Format::kText).Print(big, *result, writer);
    writer.Flush();
  });
  int status = 0;
  const Timing check = BestOf([&] { status = CheckFile(big, out, dataRoot); });
  const auto printed = std::filesystem::file_size(out);

  const Timing smallCheck = BestOf([&] { status = CheckFile(small, out, dataRoot); }, 20);

  // A million lines that each run support files and an alias fanning out to many
  // commands: what they make the game run is followed up to a bound, not a million times.
  std::string running = "alias w \"" + std::string(200, ';') + "echo\"\r\n";
  for (int i = 0; i < kLines / 2; ++i)
    running += "exec ModBinding.cfg\r\nw\r\n";
  const Timing followed = BestOf([&] {
    result.emplace(tavrilo::game::CheckScript(running, tavrilo::game::Game::kQuake2, support));
  });

  std::printf(
      "file: %d lines, %.1f MB; %d lines with findings (%.1f %%), %zu findings, %.1f MB "
      "printed; exit status %d\n",
      kLines, static_cast<double>(std::filesystem::file_size(big)) / 1e6, withFindings,
      100.0 * withFindings / kLines, findings, static_cast<double>(printed) / 1e6, status);
  std::printf("%-48s %9s %9s\n", "", "wall ms", "cpu ms");
  std::printf("%-48s %9.1f %9.1f\n", "load: LineReader + ReadLines into a list (best)", load.wall,
              load.cpu);
  Row("  the file read whole", read, load);
  Row("  each line's first word looked up (FindName)", floor, load);
  Row("  the console model's check (CheckScript)", model, load);
  Row("  the findings printed (FindingPrinter)", print, load);
  Row("tavrilo --check, findings printed (best)", check, load);
  std::printf("%-48s %9.3f %9.3f   (%.0f bytes)\n", "tavrilo --check of a 32,766-byte file (best)",
              smallCheck.wall, smallCheck.cpu,
              static_cast<double>(std::filesystem::file_size(small)));
  std::printf("%-48s %9.1f %9.1f   (%.1f MB)\n",
              "the model's check of a million exec and alias lines", followed.wall, followed.cpu,
              static_cast<double>(running.size()) / 1e6);
  std::filesystem::remove_all(dir);
  return 0;
}
