// The diagnostics of a list of a million lines: the full check beside the load of the
// same file (aim: at most twice the load), and one append to that list with what the
// window then asks for (aim: well under a millisecond).
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "core/LineReader.h"
#include "core/StringList.h"
#include "game/Diagnostics.h"

namespace {

using bench::BestOf;
using bench::Clock;
using bench::Milliseconds;
using bench::Timing;
using tavrilo::StringList;
using tavrilo::game::Game;
using tavrilo::game::ListDiagnostics;

constexpr int kLines = 1'000'000;
constexpr int kAppends = 1000;

// The lines the window composes: bindings of keys to catalogue commands, aliases, chat
// with text of varied length, and now and then a line with something to say.
std::string RandomLine(std::mt19937& random) {
  static const char* const kKeys[] = {"q", "w", "MOUSE1", "F12", "KP_ENTER", "AUX3", "SEMICOLON"};
  static const char* const kCommands[] = {"+attack",  "use Railgun", "zoom",    "CycleWeap",
                                          "weapnext", "say",         "say_team"};
  std::string line = "bind \"";
  line += kKeys[random() % 7];
  line += "\" \"";
  line += kCommands[random() % 7];
  const std::size_t extra = random() % 24;
  if (extra > 0) line += ' ';
  for (std::size_t k = 1; k < extra; ++k)
    line += static_cast<char>('a' + random() % 26);
  line += '"';
  if (random() % 50 == 0) line = "bind \"ESC\" \"score\"";
  if (random() % 50 == 0) line = "bind \"t\" \"say gg; quit\"";
  return line;
}

tavrilo::game::SupportFiles SupportFiles() {
  tavrilo::game::SupportFiles files;
  files["Alias.cfg"] =
      "alias zoom_in \"fov 30; alias zoom zoom_out\"\r\nalias zoom_out \"fov 90; alias zoom "
      "zoom_in\"\r\nalias zoom zoom_in\r\nalias CycleWeap \"use Railgun\"\r\n";
  return files;
}

}  // namespace

int main() {
  std::string dir = (std::filesystem::temp_directory_path() / "tavrilo-bench-XXXXXX").string();
  if (::mkdtemp(dir.data()) == nullptr) return 1;
  const std::string path = dir + "/big.cfg";
  std::mt19937 random(42);
  {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return 1;
    std::fputs("exec Alias.cfg\r\n", out);
    for (int i = 1; i < kLines; ++i) {
      const std::string line = RandomLine(random) + "\r\n";
      std::fwrite(line.data(), 1, line.size(), out);
    }
    if (std::fclose(out) != 0) return 1;
  }
  std::printf("file: %d lines, %.1f MB\n", kLines,
              static_cast<double>(std::filesystem::file_size(path)) / 1e6);

  StringList list;
  const Timing load = BestOf(
      [&] {
        tavrilo::LineReader reader(path);
        tavrilo::ReadLines(reader, list);
      },
      bench::kRuns, [&] { list.Clear(); });
  if (list.Count() != kLines) return 1;

  const tavrilo::game::SupportFiles support = SupportFiles();
  std::optional<ListDiagnostics> diagnostics;
  const Timing check = BestOf([&] { diagnostics.emplace(list, Game::kQuake2, support); },
                              bench::kRuns, [&] { diagnostics.reset(); });
  const Timing recheck = BestOf([&] { diagnostics->Reset(); });
  int errors = 0;
  for (int row = 0; row < list.Count(); ++row)
    errors += diagnostics->WorstOf(row) == tavrilo::game::Severity::kError;

  // One append as the window does it: the entry, its diagnostics, then the row's
  // severity and texts and the size text for the view.
  std::vector<double> appends;
  for (int i = 0; i < kAppends; ++i) {
    const std::string line = RandomLine(random);
    const auto start = Clock::now();
    list.Add(line);
    diagnostics->Appended();
    const auto changes = diagnostics->TakeChanges();
    const int row = list.Count() - 1;
    const auto worst = diagnostics->WorstOf(row);
    const auto findings = diagnostics->FindingsOf(row);
    const auto size = diagnostics->SizeText();
    appends.push_back(Milliseconds(Clock::now() - start));
    if (changes.last != row || (worst == tavrilo::game::Severity::kNone) != findings.empty() ||
        size.args.empty())
      return 1;
  }
  std::sort(appends.begin(), appends.end());
  double total = 0;
  for (double t : appends)
    total += t;

  const Timing removal = BestOf([&] {
    list.Delete(0);
    diagnostics->Removed(0);
  });

  std::printf("                                            wall ms    cpu ms\n");
  auto row = [&](const char* name, const Timing& t) {
    std::printf("%-42s %8.1f  %8.1f   (%.2f x load, cpu %.2f x)\n", name, t.wall, t.cpu,
                t.wall / load.wall, t.cpu / load.cpu);
  };
  std::printf("%-42s %8.1f  %8.1f\n", "load (line reader into a list, best)", load.wall, load.cpu);
  row("full check of the loaded list (best)", check);
  row("check again after a load (best)", recheck);
  row("removal of the first line (best)", removal);
  std::printf("one append with its diagnostics, over %d appends to the %d-line list:\n", kAppends,
              kLines);
  std::printf("  mean %.4f ms, median %.4f ms, 99th percentile %.4f ms, max %.4f ms\n",
              total / kAppends, appends[kAppends / 2], appends[kAppends * 99 / 100],
              appends.back());
  std::printf("lines with an error: %d (most bind a key that a later line binds again)\n", errors);
  std::filesystem::remove_all(dir);
  return 0;
}
