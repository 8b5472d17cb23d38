// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up, measured side by side against the least a program can do, in turn (A B A B...)
// so that the machine's drift falls on both; the ratio of each pair, then their median:
// - tavrilo --check of a list of 32,766 bytes against cat of the same file (aim: 4 x at
//   most): a player's script or a CI job pays this start-up for each file it checks;
// - the window's first frame against a bare Qt window with twenty buttons (aim: 1.2 x at
//   most), each ended by first_frame_probe at its first frame: on an X display (Xvfb, when
//   the machine has it), as a player starts it, and on the offscreen platform, which
//   draws the same frame with no display server to talk to.
// Wall-clock and processor time (user and system, of the program and its children).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Figures {
  double wall = 0;  // milliseconds
  double cpu = 0;
};

// Runs `argv` with `environment`, its standard input and output on /dev/null, and waits
// for it.
Figures Run(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
  std::vector<char*> args, env;
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  for (const std::string& variable : environment)
    env.push_back(const_cast<char*>(variable.c_str()));
  env.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = Clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data()) != 0) {
    std::cerr << "cannot start " << argv[0] << "\n";
    std::exit(1);
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const auto end = Clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
    std::cerr << argv[0] << " failed (status " << status << ")\n";
    std::exit(1);
  }
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return {std::chrono::duration<double, std::milli>(end - start).count(),
          ms(usage.ru_utime) + ms(usage.ru_stime)};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A and B in turn, `pairs` times after two of each not counted; prints the medians and the
// median ratio A/B of the pairs, with the aim if there is one (above 0).
void Compare(const std::string& title, const std::vector<std::string>& a,
             const std::vector<std::string>& b, const std::vector<std::string>& environment,
             int pairs, double aim) {
  for (int i = 0; i < 2; ++i) {
    Run(a, environment);
    Run(b, environment);
  }
  std::vector<double> aWall, bWall, aCpu, bCpu, wallRatio, cpuRatio;
  for (int i = 0; i < pairs; ++i) {
    const Figures first = Run(a, environment);
    const Figures second = Run(b, environment);
    aWall.push_back(first.wall);
    bWall.push_back(second.wall);
    aCpu.push_back(first.cpu);
    bCpu.push_back(second.cpu);
    wallRatio.push_back(first.wall / second.wall);
    if (second.cpu > 0) cpuRatio.push_back(first.cpu / second.cpu);
  }
  std::printf("%s (median of %d pairs)\n", title.c_str(), pairs);
  const std::string aimText =
      aim > 0 ? "aim: " + std::to_string(aim).substr(0, 3) + " at most; " : "";
  std::printf("  wall: %.2f ms against %.2f ms, ratio %.2f (%sfastest %.2f ms against %.2f ms)\n",
              Median(aWall), Median(bWall), Median(wallRatio), aimText.c_str(),
              *std::min_element(aWall.begin(), aWall.end()),
              *std::min_element(bWall.begin(), bWall.end()));
  std::printf("  cpu:  %.2f ms against %.2f ms, ratio %s\n", Median(aCpu), Median(bCpu),
              cpuRatio.empty() ? "n/a (too short to count)"
                               : std::to_string(Median(cpuRatio)).substr(0, 5).c_str());
}

#ifdef TAVRILO_BARE_WINDOW
// The window's first frame against the bare window (the aim); against its own controls and
// texts with nothing behind them, which is what the program's own start adds; and those
// controls against the bare window, which is what drawing them costs Qt.
void CompareWindows(const std::string& program, const std::string& where,
                    const std::vector<std::string>& environment) {
  Compare("the window's first frame against a bare Qt window with 20 buttons, " + where, {program},
          {TAVRILO_BARE_WINDOW}, environment, 21, 1.2);
  Compare("the window's first frame against its controls and texts alone, " + where, {program},
          {TAVRILO_CONTROLS_WINDOW}, environment, 21, 0);
  Compare("its controls and texts alone against the bare window, " + where,
          {TAVRILO_CONTROLS_WINDOW}, {TAVRILO_BARE_WINDOW}, environment, 21, 0);
}
#endif

// An X server of its own (Xvfb), on the first free display, while it lives.
class XServer {
 public:
  // Starts one if the machine has Xvfb; `display` is empty if not.
  XServer() {
    const char* program = "/usr/bin/Xvfb";
    if (::access(program, X_OK) != 0) return;
    int ready[2];
    if (::pipe(ready) != 0) return;
    // Xvfb writes its display's number on descriptor 3 once it takes connections.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* args[] = {const_cast<char*>(program),
                    const_cast<char*>("-displayfd"),
                    const_cast<char*>("3"),
                    const_cast<char*>("-screen"),
                    const_cast<char*>("0"),
                    const_cast<char*>("1280x1024x24"),
                    const_cast<char*>("-nolisten"),
                    const_cast<char*>("tcp"),
                    nullptr};
    const bool started = posix_spawn(&pid_, program, &actions, nullptr, args, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(ready[1]);
    std::string number;
    char c = 0;
    while (started && ::read(ready[0], &c, 1) == 1 && c != '\n')
      number += c;
    ::close(ready[0]);
    if (!number.empty()) display = ":" + number;
  }
  ~XServer() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  std::string display;

 private:
  pid_t pid_ = 0;
};

// A list of aliases and one binding, 32,766 bytes with CR LF line ends.
std::string List() {
  std::string list;
  for (int i = 0;; ++i) {
    const std::string line =
        "alias macro" + std::to_string(i) + " \"say hello number " + std::to_string(i) + "\"\r\n";
    if (list.size() + line.size() > 32766 - 40) break;
    list += line;
  }
  list += "bind \"q\" \"macro1\"\r\n";
  list += "//" + std::string(32766 - list.size() - 4, 'x') + "\r\n";
  return list;
}

}  // namespace

// bench_startup [PROGRAM]: PROGRAM in place of the tavrilo of this build (another build's,
// to compare).
int main(int argc, char* argv[]) {
  const std::string program = argc > 1 ? argv[1] : TAVRILO_PROGRAM;
  const fs::path folder =
      fs::temp_directory_path() / ("tavrilo-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder / "config");
  fs::permissions(folder, fs::perms::owner_all);
  const fs::path list = folder / "list.cfg";
  std::ofstream(list, std::ios::binary) << List();

  // The settings of a user of their own, so that no run touches the real ones.
  std::vector<std::string> environment;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string text = *variable;
    if (!text.starts_with("XDG_CONFIG_HOME=") && !text.starts_with("XDG_RUNTIME_DIR=") &&
        !text.starts_with("LD_PRELOAD=") && !text.starts_with("QT_QPA_PLATFORM="))
      environment.push_back(text);
  }
  environment.push_back("XDG_CONFIG_HOME=" + (folder / "config").string());
  environment.push_back("XDG_RUNTIME_DIR=" + folder.string());

  Compare("tavrilo --check of 32,766 bytes against cat", {program, "--check", list.string()},
          {"/bin/cat", list.string()}, environment, 40, 4.0);
#ifdef TAVRILO_BARE_WINDOW
  environment.push_back(std::string("LD_PRELOAD=") + TAVRILO_FIRST_FRAME_PROBE);
  {
    const XServer server;
    if (server.display.empty()) {
      std::printf("the window on an X display: not measured (no Xvfb)\n");
    } else {
      std::vector<std::string> onDisplay = environment;
      for (auto variable = onDisplay.begin(); variable != onDisplay.end();)
        variable = variable->starts_with("DISPLAY=") || variable->starts_with("WAYLAND_DISPLAY=")
                       ? onDisplay.erase(variable)
                       : variable + 1;
      onDisplay.push_back("DISPLAY=" + server.display);
      onDisplay.push_back("QT_QPA_PLATFORM=xcb");
      CompareWindows(program, "on an X display", onDisplay);
    }
  }
  environment.push_back("QT_QPA_PLATFORM=offscreen");
  CompareWindows(program, "offscreen", environment);
#endif
  fs::remove_all(folder);
  return 0;
}
