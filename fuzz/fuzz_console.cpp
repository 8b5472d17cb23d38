// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as a script the way the game's console does, and checks the model
// of the console against the bytes and against itself: the commands of a line put back
// together give the line; every word the game keeps is the start of the word as written
// and within the game's limit; the findings are in line order, within the script, counted
// right; and a script read from bytes and the same lines checked as a list give the same
// findings.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/StringList.h"
#include "game/Check.h"
#include "game/CommandReader.h"

namespace {

using namespace tavrilo;

void Require(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::string_view> LinesOf(std::string_view script) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < script.size()) {
    std::size_t end = script.find('\n', start);
    if (end == std::string_view::npos) end = script.size();
    lines.push_back(script.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void CheckReading(std::string_view script, game::Game game) {
  const std::size_t wordLimit = game::LimitsOf(game).word;
  game::Words words;
  for (std::string_view line : LinesOf(script)) {
    std::string commands;
    game::ForEachCommand(line, [&](std::string_view command, std::size_t begin, std::size_t end) {
      Require(line.substr(begin, command.size()) == command);
      Require(end == line.size() || line[end - 1] == ';');
      if (begin > 0) commands += ';';
      commands.append(command);
      game::ReadWords(command, game, words);
      Require(words.Count() <= game::LimitsOf(game).words);
      for (const game::Word& word : words.words) {
        Require(word.written.starts_with(word.kept));
        Require(word.kept.size() <= wordLimit);
        Require(word.cut == (word.written.size() >= wordLimit));
      }
    });
    Require(commands == line);
  }
}

void CheckFindings(std::string_view script, game::Game game) {
  const game::SupportFiles support = {{"Alias.cfg", "alias zoom \"fov 30\"\nexec Alias.cfg\n"},
                                      {"Big.cfg", std::string(9000, '/')}};
  const game::CheckResult result = game::CheckScript(script, game, support);
  const std::vector<std::string_view> lines = LinesOf(script);
  int errors = 0;
  int notes = 0;
  int previous = 0;
  for (const game::Finding& finding : result.Findings()) {
    Require(finding.line >= previous && finding.line < static_cast<int>(lines.size()));
    Require(finding.column >= -1 &&
            finding.column <=
                static_cast<int>(lines[static_cast<std::size_t>(finding.line)].size()));
    Require(finding.severity == game::SeverityOf(finding.code));
    Require(!result.TextOf(finding).key.empty());
    (finding.severity == game::Severity::kError ? errors : notes) += 1;
    previous = finding.line;
  }
  Require(errors == result.Errors() && notes == result.Notes());

  // The same lines as a list saved with CR LF: the same findings.
  StringList list;
  std::string saved;
  for (std::string_view line : lines) {
    if (line.ends_with('\r')) line.remove_suffix(1);
    list.Add(line);
    saved.append(line).append("\r\n");
  }
  const game::CheckResult fromList = game::CheckList(list, 0, game, support);
  const game::CheckResult fromBytes = game::CheckScript(saved, game, support);
  Require(fromList == fromBytes);  // the same findings, values, counts and size
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 64 * 1024) return 0;
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  for (game::Game game : {game::Game::kQuake2, game::Game::kYamagi}) {
    CheckReading(script, game);
    CheckFindings(script, game);
  }
  return 0;
}
