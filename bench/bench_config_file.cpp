// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and saving a configuration file of a million lines, beside `cat` and `cp` of
// the same file, with the peak memory of the process; and a language reload whose
// caption file holds two million sections before its own.
//
// The save puts the new file in place only after fdatasync (a crash must not cost the
// user the old file), which `cp` does not do; the time of one fdatasync of a file of the
// same size is printed separately so that the figures can be compared fairly.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include "BenchTiming.h"
#include "core/Platform.h"
#include "datafiles/Language.h"
#include "macros/MacroDocument.h"

namespace {

using bench::BestOf;
using bench::Clock;
using bench::kRuns;
using bench::Milliseconds;
using bench::Timing;
using tavrilo::macros::MacroDocument;

constexpr int kLines = 1'000'000;

long PeakKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
}

// Binding lines of varied length, CR LF after each, as the program writes them.
std::uintmax_t Generate(const std::string& path) {
  static const char* const kKeys[] = {"q", "w", "MOUSE1", "F12", "KP_ENTER", "AUX3", ";"};
  static const char* const kCommands[] = {"+attack", "use Railgun", "say",
                                          "echo Cette touche ne sert pas", "weapnext"};
  std::mt19937 random(42);
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::exit(1);
  std::string line;
  for (int i = 0; i < kLines; ++i) {
    line = "bind \"";
    line += kKeys[random() % 7];
    line += "\" \"";
    line += kCommands[random() % 5];
    const std::size_t extra = random() % 24;  // 0..23 more characters
    if (extra > 0) line += ' ';
    for (std::size_t k = 1; k < extra; ++k)
      line += static_cast<char>('a' + random() % 26);
    line += "\"\r\n";
    std::fwrite(line.data(), 1, line.size(), out);
  }
  if (std::fclose(out) != 0) std::exit(1);
  return std::filesystem::file_size(path);
}

// One fdatasync of a freshly written file of `size` bytes.
double SyncMilliseconds(const std::string& path, std::uintmax_t size) {
  const std::string block(1 << 20, 'x');
  double best = 1e300;
  for (int i = 0; i < kRuns; ++i) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (std::uintmax_t left = size; left > 0;) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uintmax_t>(left, block.size()));
      if (::write(fd, block.data(), n) != static_cast<ssize_t>(n)) std::exit(1);
      left -= n;
    }
    const auto start = Clock::now();
    ::fdatasync(fd);
    best = std::min(best, Milliseconds(Clock::now() - start));
    ::close(fd);
  }
  return best;
}

// A caption file of `sections` sections of one key each, then the section the program
// reads, with every key of the caption set: the whole file is read to find it.
std::uintmax_t GenerateCaptionFile(const std::string& path, int sections) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::exit(1);
  for (int i = 0; i < sections; ++i)
    std::fprintf(out, "[S%d]\r\nk=v\r\n", i);
  std::fprintf(out, "[General]\r\n");
  for (std::string_view key : tavrilo::datafiles::kCaptionKeys)
    std::fprintf(out, "%.*s=Text\r\n", static_cast<int>(key.size()), key.data());
  if (std::fclose(out) != 0) std::exit(1);
  return std::filesystem::file_size(path);
}

// The best time of a language reload (captions, catalogue, resources) with that file.
void BenchCaptionReload(const std::string& dir) {
  constexpr int kSections = 2'000'000;
  const std::string app = dir + "/app/";
  std::filesystem::create_directories(app + "data");
  const std::uintmax_t size = GenerateCaptionFile(app + "data/dics-en.ini", kSections);
  for (const char* name : {"data/fcts-en.dat", "data/externs-en.dat"}) {
    std::FILE* out = std::fopen((app + name).c_str(), "wb");
    if (out == nullptr || std::fputs("Name\r\ncommand\r\n", out) < 0 || std::fclose(out) != 0)
      std::exit(1);
  }
  tavrilo::datafiles::LanguageState state(app);
  state.Select(tavrilo::datafiles::Language::kEnglish);
  if (state.captions.Get("InstallerCfgBtn.Caption") != "Text") std::exit(1);
  const Timing reload = BestOf([&] { state.ReloadLanguage(); });
  std::printf("language reload, caption file of %d sections (%.1f MB): %.1f ms wall, %.1f ms cpu\n",
              kSections, static_cast<double>(size) / 1e6, reload.wall, reload.cpu);
}

}  // namespace

int main() {
  tavrilo::platform::ReleaseLargeBlocksAtOnce();  // as the program does at start-up
  std::string dir = (std::filesystem::temp_directory_path() / "tavrilo-bench-XXXXXX").string();
  if (::mkdtemp(dir.data()) == nullptr) return 1;
  const std::string input = dir + "/big.cfg";
  const std::string output = dir + "/saved.cfg";
  const std::string copy = dir + "/copy.cfg";

  const std::uintmax_t size = Generate(input);
  const double sizeMb = static_cast<double>(size) / 1e6;
  std::printf("file: %d lines, %.1f MB\n", kLines, sizeMb);

  const long baseline = PeakKilobytes();
  MacroDocument doc;
  const tavrilo::PathPrompt chooseInput = [&] { return std::optional<std::string>(input); };
  const tavrilo::PathPrompt chooseOutput = [&] { return std::optional<std::string>(output); };

  // The first load of the process takes fresh memory from the system; later loads into
  // an empty list reuse it; a reload also frees the entries of the list it replaces.
  const Timing first = BestOf([&] { doc.Load(chooseInput); }, 1);
  if (doc.List().Count() != kLines) return 1;
  const long afterLoad = PeakKilobytes();
  const Timing load = BestOf([&] { doc.Load(chooseInput); }, kRuns, [&] { doc.NewList(); });
  const Timing reload = BestOf([&] { doc.Load(chooseInput); });
  const Timing save = BestOf([&] { doc.Save(chooseOutput); });
  if (std::filesystem::file_size(output) != size) return 1;  // the last saves: entries alone
  const long afterSave = PeakKilobytes();

  const double cat = BestOf([&] { Shell("cat '" + input + "' > /dev/null"); }).wall;
  const double cp = BestOf([&] { Shell("cp '" + input + "' '" + copy + "'"); }).wall;
  const double shell = BestOf([&] { Shell("true"); }).wall;
  const double sync = SyncMilliseconds(copy, size);

  std::printf("                                       wall ms    cpu ms\n");
  auto row = [](const char* name, const Timing& t) {
    std::printf("%-38s %8.1f  %8.1f\n", name, t.wall, t.cpu);
  };
  row("first load of the process", first);
  row("load into an empty list (best)", load);
  row("reload over the loaded list (best)", reload);
  row("save, fdatasync included (best)", save);
  std::printf("%-38s %8.1f\n", "  one fdatasync of the same size", sync);
  std::printf("%-38s %8.1f\n", "cat file > /dev/null", cat);
  std::printf("%-38s %8.1f            (no sync)\n", "cp file copy", cp);
  std::printf("%-38s %8.1f            (included in cat and cp)\n",
              "  starting a shell command alone", shell);
  auto ratio = [](const char* name, double value) { std::printf("%-38s %8.2f\n", name, value); };
  ratio("(load + save) / cp", (load.wall + save.wall) / cp);
  ratio("(first load + save) / cp", (first.wall + save.wall) / cp);
  ratio("(reload + save) / cp", (reload.wall + save.wall) / cp);
  ratio("(load + save - fdatasync) / cp", (load.wall + save.wall - sync) / cp);
  ratio("(load + save) / (cp + fdatasync)", (load.wall + save.wall) / (cp + sync));

  const double baselineMb = static_cast<double>(baseline) / 1024.0;
  const double peakMb = static_cast<double>(std::max(afterLoad, afterSave)) / 1024.0;
  std::printf("peak memory: baseline %.1f MiB, after load %.1f MiB, after save %.1f MiB\n",
              baselineMb, static_cast<double>(afterLoad) / 1024.0,
              static_cast<double>(afterSave) / 1024.0);
  std::printf("peak above baseline / file size:   %8.2f\n",
              (peakMb - baselineMb) * 1024.0 * 1024.0 / static_cast<double>(size));

  BenchCaptionReload(dir);

  std::filesystem::remove_all(dir);
  return 0;
}
