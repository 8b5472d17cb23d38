// SPDX-License-Identifier: GPL-3.0-or-later
// The actions of the window on a list of 10,000 lines over a player's config.cfg of 2,000
// lines: each must answer within a frame (16 ms). Add (a line appended and the whole list
// checked again), filter (the lines and their findings), the keyboard's state, and the
// check of the list again from the player's state.
#include <cstdio>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "core/StringList.h"
#include "game/Check.h"
#include "game/ConsoleSession.h"
#include "game/Filter.h"
#include "game/KeyboardState.h"

namespace {

using bench::BestOf;
using bench::Timing;
using namespace tavrilo;
using namespace tavrilo::game;

constexpr int kListLines = 10'000;
constexpr int kConfigLines = 2'000;

const char* const kKeys[] = {"a",  "b",  "c",  "d",  "e",  "f",  "g",      "h",     "i",
                             "j",  "k",  "l",  "m",  "n",  "o",  "p",      "r",     "s",
                             "t",  "u",  "v",  "w",  "x",  "y",  "z",      "F1",    "F2",
                             "F3", "F4", "F5", "F6", "F7", "F8", "MOUSE1", "MOUSE2"};
constexpr int kKeyCount = static_cast<int>(sizeof kKeys / sizeof kKeys[0]);

// Line i of the list: bindings, aliases, chat and a finding now and then.
std::string ListLine(int i) {
  const std::string n = std::to_string(i);
  switch (i % 5) {
    case 0:
      return "bind " + std::string(kKeys[i % kKeyCount]) + " \"say gg " + n + "\"";
    case 1:
      return "alias step" + n + " \"+attack; wait; -attack\"";
    case 2:
      return "bind " + std::string(kKeys[(i / 5) % kKeyCount]) + " step" + std::to_string(i - 1);
    case 3:
      return "fov 9" + n.substr(n.size() - 1);
    default:
      return "sya oops " + n;
  }
}

// Line i of the player's config.cfg as the game writes it: bindings, then archived cvars.
std::string ConfigLine(int i) {
  if (i < kKeyCount) return "bind " + std::string(kKeys[i]) + " \"+forward\"";
  return "set cvar" + std::to_string(i) + " \"" + std::to_string(i) + "\"";
}

// What each action gives, kept so that the work is not left out.
volatile std::size_t sink = 0;

void Row(const char* name, const Timing& t) {
  std::printf("%-52s %8.2f ms  (cpu %.2f ms)%s\n", name, t.wall, t.cpu,
              t.wall <= 16.0 ? "" : "  OVER 16 ms");
}

}  // namespace

int main() {
  StringList list;
  for (int i = 0; i < kListLines; ++i)
    list.Add(ListLine(i));
  std::string config;
  for (int i = 0; i < kConfigLines; ++i)
    config += ConfigLine(i) + "\n";
  const Game game = Game::kQuake2;
  std::printf("list: %d lines; config.cfg: %d lines (%zu bytes)\n", list.Count(), kConfigLines,
              config.size());

  CheckResult result;
  Row("add: one line appended, the list checked again", BestOf([&] {
        list.Add("bind q \"say added\"");
        result = CheckList(list, 0, game, {});
        list.Delete(list.Count() - 1);
      }));
  std::vector<int> kept;
  Row("filter: \"gg\", the lines and their findings", BestOf([&] {
        kept = FilterLines(list, "GG", game);
        sink = FindingsOfLines(result, kept).size();
      }));
  ConsoleSession player(game, {});
  Row("the player's config.cfg run (once per change of it)",
      BestOf([&] { ConsoleSession(game, {}).Run(config, "config.cfg"); }));
  player.Run(config, "config.cfg");
  ConsoleSession::ListOutcome outcome;
  Row("re-check: the list on the player's state",
      BestOf([&] { outcome = player.CheckList(list, 0); }));
  const GameState before = player.Current();
  Row("keyboard state (AZERTY), before and after the list", BestOf([&] {
        sink = LayOutKeys(game, Layout::kAzerty, before, outcome.after, outcome.findings).size();
      }));
  std::printf("findings of the list on the player's state: %d errors, %d notes\n",
              outcome.findings.Errors(), outcome.findings.Notes());
  return 0;
}
