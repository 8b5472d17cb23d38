// Reads arbitrary bytes as a script the way the game's console does, and checks the
// console module against the bytes themselves and against itself: the lines and the
// commands put back together give the script; every word the game keeps is the start of
// the word as written and within the game's limit; and the diagnostics of a list followed
// one append or one removal at a time are those of the same list checked from scratch.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/StringList.h"
#include "game/Console.h"
#include "game/Diagnostics.h"

namespace {

using namespace tavrilo;

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckCutting(std::string_view script, game::Game game) {
  const std::vector<std::string_view> lines = game::LinesOf(script);
  std::string joined;
  for (std::string_view line : lines) {
    Require(line.find('\n') == std::string_view::npos);
    joined.append(line).append("\n");
  }
  Require(joined == script || joined == std::string(script) + "\n");

  const std::size_t wordLimit = game::LimitsOf(game).word;
  for (std::string_view line : lines) {
    std::string commands;
    for (std::string_view command : game::CommandsOf(line)) {
      if (!commands.empty() || command.data() != line.data()) commands += ';';
      commands.append(command);
      for (const game::Word& word : game::WordsOf(command, wordLimit).words) {
        Require(word.written.starts_with(word.kept));
        Require(word.kept.size() <= wordLimit);
        Require(word.cut == (word.written.size() >= wordLimit));
      }
    }
    Require(commands == line);
  }
}

void RequireSameFindings(const game::ListDiagnostics& followed, const StringList& list,
                         game::Game game, const game::SupportFiles& support) {
  const game::ListDiagnostics fresh(list, game, support);
  Require(followed.SavedSize() == fresh.SavedSize());
  for (int i = 0; i < list.Count(); ++i) {
    Require(followed.WorstOf(i) == fresh.WorstOf(i));
    Require(followed.FindingsOf(i) == fresh.FindingsOf(i));
  }
}

void CheckDiagnostics(std::string_view script, game::Game game) {
  const game::SupportFiles support = {{"Alias.cfg", "alias zoom \"fov 30\"\n"}};
  StringList list;
  game::ListDiagnostics followed(list, game, support);
  for (std::string_view line : game::LinesOf(script)) {
    list.Add(line);
    followed.Appended();
  }
  RequireSameFindings(followed, list, game, support);
  if (!list.Empty()) {
    const int removed = static_cast<int>(script.size() % static_cast<std::size_t>(list.Count()));
    list.Delete(removed);
    followed.Removed(removed);
    RequireSameFindings(followed, list, game, support);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 64 * 1024) return 0;
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  for (game::Game game : {game::Game::kQuake2, game::Game::kYamagi}) {
    CheckCutting(script, game);
    CheckDiagnostics(script, game);
  }
  return 0;
}
