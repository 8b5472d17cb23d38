// SPDX-License-Identifier: GPL-3.0-or-later
// The line reader on a large file: a million lines, about 35 MB, with CR LF line ends.
// Prints the best of three runs of the reader beside the best of three runs of `wc -l`
// on the same file (started through the shell, as a user would), which the reader should
// stay within two times of.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/LineReader.h"
#include "core/StringList.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kLines = 1'000'000;
constexpr int kRuns = 3;

// Lines of 4 to 63 characters, like the entries of a catalogue or a saved configuration.
// The file is synced before it is read, so that no write-back runs during the timings.
std::uintmax_t WriteBenchFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  std::string chunk;
  std::string line;
  std::uint32_t random = 12345;
  std::uintmax_t bytes = 0;
  bool written = fd >= 0;
  for (long i = 0; i < kLines && written; ++i) {
    random = random * 1664525u + 1013904223u;
    const std::size_t length = 4 + (random >> 16) % 60;
    line.assign("bind \"");
    while (line.size() < length)
      line += static_cast<char>('a' + (random >> (line.size() % 24)) % 26);
    line += "\r\n";
    chunk += line;
    bytes += line.size();
    if (chunk.size() >= (1 << 20) || i + 1 == kLines) {
      written = ::write(fd, chunk.data(), chunk.size()) == static_cast<ssize_t>(chunk.size());
      chunk.clear();
    }
  }
  if (!written || ::fsync(fd) != 0 || ::close(fd) != 0) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
  return bytes;
}

// Processor time used so far by this process and by its finished children (wc -l and
// the shell that starts it), in milliseconds.
double CpuMilliseconds() {
  rusage self{};
  rusage children{};
  ::getrusage(RUSAGE_SELF, &self);
  ::getrusage(RUSAGE_CHILDREN, &children);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return ms(self.ru_utime) + ms(self.ru_stime) + ms(children.ru_utime) + ms(children.ru_stime);
}

// The best wall time and the best processor time of an action over the runs. The
// actions take turns, so that a busy moment of the machine does not fall on one of them
// only; the processor time is the steadier figure on a shared machine.
struct Timing {
  double best = 1e300;
  double bestCpu = 1e300;
  template <typename Action>
  void Run(Action action) {
    const double cpuStart = CpuMilliseconds();
    const Clock::time_point start = Clock::now();
    action();
    const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
    best = std::min(best, elapsed.count());
    bestCpu = std::min(bestCpu, CpuMilliseconds() - cpuStart);
  }
};

// The most memory the process has held so far, in KiB.
long PeakKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "benchmark check failed: %s\n", what);
    std::exit(1);
  }
}

}  // namespace

int main() {
  const std::string path = "/tmp/tavrilo-bench-lines-" + std::to_string(::getpid()) + ".txt";
  const std::uintmax_t size = WriteBenchFile(path);
  const double megabytes = static_cast<double>(size) / 1e6;
  const long baselineKilobytes = PeakKilobytes();

  long lines = 0;
  std::uintmax_t textBytes = 0;
  const auto readEveryLine = [&] {
    tavrilo::LineReader reader(path);
    std::string line;
    lines = 0;
    textBytes = 0;
    while (!reader.AtEnd()) {
      reader.ReadLine(line);
      ++lines;
      textBytes += line.size();
    }
  };
  int listCount = 0;
  const auto readIntoAList = [&] {
    tavrilo::LineReader reader(path);
    tavrilo::StringList list;
    tavrilo::ReadLines(reader, list);
    listCount = list.Count();
  };
  long wcLines = 0;
  const std::string command = "wc -l < '" + path + "'";
  const auto countWithWc = [&] {
    FILE* pipe = ::popen(command.c_str(), "r");
    Check(pipe != nullptr, "wc -l started");
    Check(std::fscanf(pipe, "%ld", &wcLines) == 1, "wc -l printed a count");
    Check(::pclose(pipe) == 0, "wc -l succeeded");
  };

  Timing reader;
  Timing list;
  Timing wc;
  for (int run = 0; run < kRuns; ++run) {
    reader.Run(readEveryLine);
    wc.Run(countWithWc);
    list.Run(readIntoAList);
  }
  Check(lines == kLines, "the reader saw every line");
  Check(textBytes + 2 * static_cast<std::uintmax_t>(kLines) == size, "the reader saw every byte");
  Check(listCount == kLines, "ReadLines kept every line");
  Check(wcLines == kLines, "wc -l counted every line");

  std::remove(path.c_str());

  std::printf("file: %ld lines, %.1f MB; best of %d runs\n", kLines, megabytes, kRuns);
  std::printf("%-38s %9s %9s %9s\n", "", "wall ms", "MB/s", "cpu ms");
  const auto print = [&](const char* name, const Timing& timing) {
    std::printf("%-38s %9.1f %9.1f %9.1f\n", name, timing.best, megabytes / (timing.best / 1000),
                timing.bestCpu);
  };
  print("LineReader, ReadLine into one string", reader);
  print("ReadLines into a StringList", list);
  print("wc -l (through the shell)", wc);
  std::printf("reader / wc -l: %.2f wall, %.2f cpu\n", reader.best / wc.best,
              reader.bestCpu / wc.bestCpu);
  const long peakKilobytes = PeakKilobytes();
  std::printf(
      "peak memory: baseline %.1f MiB, with the list %.1f MiB; above baseline / file "
      "size: %.2f\n",
      static_cast<double>(baselineKilobytes) / 1024, static_cast<double>(peakKilobytes) / 1024,
      static_cast<double>(peakKilobytes - baselineKilobytes) * 1024 / static_cast<double>(size));
  return 0;
}
