// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Filter.h"

#include <algorithm>

#include "game/CommandReader.h"
#include "game/Names.h"

namespace tavrilo::game {

namespace {

bool ContainsIgnoringCase(std::string_view text, std::string_view needle) {
  const auto found = std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                                 [](char a, char b) { return LowerByte(a) == LowerByte(b); });
  return found != text.end();
}

}  // namespace

bool LineMatches(std::string_view line, std::string_view needle, Game game) {
  if (needle.empty()) return true;
  // A quick refusal: no word of the line can hold what the whole line does not.
  if (!ContainsIgnoringCase(line, needle)) return false;
  Words words;
  ReadWords(line, game, words);
  if (words.Empty()) return false;
  const NameInfo* first = FindName(game, words[0]);
  if (first != nullptr && first->role == Role::kBind && words.Count() >= 2)
    return ContainsIgnoringCase(words[1], needle) || ContainsIgnoringCase(words.Joined(2), needle);
  return ContainsIgnoringCase(words.Joined(0), needle);
}

std::vector<int> FilterLines(const StringList& lines, std::string_view needle, Game game) {
  std::vector<int> kept;
  for (int i = 0; i < lines.Count(); ++i) {
    if (LineMatches(lines.At(i), needle, game)) kept.push_back(i);
  }
  return kept;
}

std::vector<Finding> FindingsOfLines(const CheckResult& result, std::span<const int> kept) {
  std::vector<Finding> findings;
  for (const int line : kept) {
    const std::span<const Finding> of = result.FindingsOf(line);
    findings.insert(findings.end(), of.begin(), of.end());
  }
  return findings;
}

}  // namespace tavrilo::game
