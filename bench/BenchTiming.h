// SPDX-License-Identifier: GPL-3.0-or-later
// Timing for the benchmarks: the best wall-clock and processor time of a few runs.
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <functional>

namespace bench {

using Clock = std::chrono::steady_clock;

inline constexpr int kRuns = 3;

inline double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Processor time of this process (user and system), which other programs running on
// the machine disturb less than the wall-clock time.
inline double CpuMilliseconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

struct Timing {
  double wall = 1e300;  // best wall-clock time, ms
  double cpu = 1e300;   // best processor time of this process, ms
};

// The best of `runs` runs; `prepare` runs before each, untimed.
inline Timing BestOf(
    const std::function<void()>& run, int runs = kRuns,
    const std::function<void()>& prepare = [] {}) {
  Timing best;
  for (int i = 0; i < runs; ++i) {
    prepare();
    const double cpuStart = CpuMilliseconds();
    const auto start = Clock::now();
    run();
    best.wall = std::min(best.wall, Milliseconds(Clock::now() - start));
    best.cpu = std::min(best.cpu, CpuMilliseconds() - cpuStart);
  }
  return best;
}

}  // namespace bench
