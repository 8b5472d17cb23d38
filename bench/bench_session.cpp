// SPDX-License-Identifier: GPL-3.0-or-later
// The editor session with a list of a million lines (each a binding that a later line
// overrides, so the list has about as many findings): how long each action takes, its
// undo and redo included (every one should stay under a second), and the memory the
// session holds against the file's size (it should stay under three times the file).
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "BenchTiming.h"
#include "core/Platform.h"
#include "macros/EditorSession.h"

namespace {

constexpr int kLines = 1'000'000;

double PeakMegabytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

}  // namespace

int main() {
  tavrilo::platform::ReleaseLargeBlocksAtOnce();  // as the program does at start-up
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / "tavrilo-bench-session";
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "data");
  const std::string config = (root / "million.cfg").string();
  {
    std::ofstream out(config, std::ios::binary);
    for (int i = 0; i < kLines; ++i)
      out << "bind \"F" << (i % 12 + 1) << "\" \"say line " << i << " of the big file\"\r\n";
  }
  const double fileMegabytes =
      static_cast<double>(std::filesystem::file_size(config)) / (1024.0 * 1024.0);

  tavrilo::macros::EditorSession session(root.string() + "/");
  const double baseline = PeakMegabytes();
  std::printf("list of %d lines, %.1f MB\n", kLines, fileMegabytes);

  const auto timed = [](const char* what, const std::function<void()>& action) {
    const auto start = bench::Clock::now();
    const double cpuStart = bench::CpuMilliseconds();
    action();
    std::printf("%-32s %8.1f ms wall %8.1f ms cpu\n", what,
                bench::Milliseconds(bench::Clock::now() - start),
                bench::CpuMilliseconds() - cpuStart);
  };
  timed("load", [&] { session.Load(config); });
  // What every change costs at least: the whole list checked again for the game.
  timed("the list checked again alone", [&] { session.SetGame(session.Game()); });
  timed("add a line", [&] { session.AddOwnLine("echo added"); });
  timed("undo the add", [&] { session.Undo(); });
  timed("delete the middle line", [&] {
    session.Select(kLines / 2);
    session.DeleteSelected();
  });
  timed("undo the delete", [&] { session.Undo(); });
  timed("redo the delete", [&] { session.Redo(); });
  timed("edit the middle line", [&] { session.EditLine(kLines / 2, "bind F1 \"say edited\""); });
  timed("undo the edit", [&] { session.Undo(); });
  timed("move the first line to the end", [&] { session.MoveLine(0, session.List().Count() - 1); });
  timed("undo the move", [&] { session.Undo(); });
  timed("move the selected line down", [&] {
    session.Select(kLines / 2);
    session.MoveSelected(+1);
  });
  timed("new list", [&] { session.NewList(); });
  timed("undo the new list", [&] { session.Undo(); });
  timed("save", [&] { session.Save((root / "saved.cfg").string()); });
  const double peak = PeakMegabytes() - baseline;
  std::printf("peak memory above the empty session: %.1f MB = %.2f x the file\n", peak,
              peak / fileMegabytes);
  std::filesystem::remove_all(root);
  return 0;
}
