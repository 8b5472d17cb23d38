// SPDX-License-Identifier: GPL-3.0-or-later
// The check of hostile shapes of a file, each in a process of its own so that its peak
// memory is its own: one line of distinct findings, notes and errors alternating on one
// line, one-character lines (half a million to the MB), each at about 1 MB, 16 MB and 64 MB
// (the bound a file is read up to). Aim: time linear in the size, memory under five times
// the file. The peak of the check of an empty script is printed first: the process's own
// memory, which the figures per MB include.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "game/Check.h"

namespace {

struct Shape {
  const char* name;
  std::function<std::string(double megabytes)> make;
};

std::string DistinctNames(double megabytes) {  // "n0;n1;n2..." on one line
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(megabytes * 1e6) + 16);
  for (int i = 0; static_cast<double>(bytes.size()) < megabytes * 1e6; ++i)
    bytes += (i > 0 ? ";n" : "n") + std::to_string(i);
  bytes += "\n";
  return bytes;
}

std::string Alternating(double megabytes) {  // "say;u;" again and again: a note, an error
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(megabytes * 1e6) + 16);
  while (static_cast<double>(bytes.size()) < megabytes * 1e6)
    bytes += "say;u;";
  return bytes;
}

std::string OneCharacterLines(double megabytes) {  // "u" lines
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(megabytes * 1e6) + 16);
  while (static_cast<double>(bytes.size()) < megabytes * 1e6)
    bytes += "u\n";
  return bytes;
}

// Makes the file of `megabytes` and runs its check in a child process of its own (the
// parent's memory is not the child's); prints its time and peak memory.
void Measure(const char* name, const std::function<std::string(double)>& make, double megabytes) {
  std::fflush(stdout);  // what is printed so far, once
  const int child = ::fork();
  if (child == 0) {
    const std::string bytes = megabytes > 0 ? make(megabytes) : std::string();
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    const tavrilo::game::CheckResult result =
        tavrilo::game::CheckScript(bytes, tavrilo::game::Game::kQuake2, {});
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    const double mb = static_cast<double>(bytes.size()) / 1e6;
    // The file's bytes are in memory before the check, as the command line holds them.
    const double peak = static_cast<double>(after.ru_maxrss) / 1e3;
    if (bytes.empty()) {
      std::printf("%-28s %6.1f MB %9.1f ms %13s %8.1f MB peak\n", name, mb, ms, "", peak);
    } else {
      std::printf("%-28s %6.1f MB %9.1f ms %7.1f ms/MB %8.1f MB peak %6.1f MB/MB  (%d + %d)\n",
                  name, mb, ms, ms / mb, peak, peak / mb, result.Errors(), result.Notes());
    }
    std::fflush(stdout);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
}

}  // namespace

int main() {
  const Shape shapes[] = {{"one line of distinct names", DistinctNames},
                          {"say;u; on one line", Alternating},
                          {"one-character lines", OneCharacterLines}};
  std::printf("%-28s %9s %12s %13s %16s %12s\n", "shape", "size", "time", "per MB", "memory",
              "per MB");
  Measure("empty script", DistinctNames, 0);
  for (const Shape& shape : shapes) {
    for (const double megabytes : {1.0, 16.0, 64.0})
      Measure(shape.name, shape.make, megabytes);
  }
  return 0;
}
