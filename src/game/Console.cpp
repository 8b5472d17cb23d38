// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Console.h"

#include <algorithm>

namespace tavrilo::game {

namespace {

bool StartsComment(std::string_view text, std::size_t i) {
  return text[i] == '/' && i + 1 < text.size() && text[i + 1] == '/';
}

constexpr std::size_t kMaxWords = 80;

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

std::size_t CountCommands(std::string_view line) {
  std::size_t count = 0;
  ForEachCommand(line, [&](std::string_view, std::size_t, std::size_t) { ++count; });
  return count;
}

bool HasUnmatchedQuote(std::string_view command) {
  return std::count(command.begin(), command.end(), '"') % 2 != 0;
}

CommandFate FateOfCommand(Game game, std::size_t length) {
  if (length < LimitsOf(game).command) return CommandFate::kRuns;
  return game == Game::kYamagi ? CommandFate::kCut : CommandFate::kDiscarded;
}

std::string Words::Joined(std::size_t first) const {
  std::string text;
  for (std::size_t i = first; i < words.size(); ++i) {
    if (i > first) text += ' ';
    text += words[i].kept;
  }
  return text;
}

void ReadWords(std::string_view command, Game game, Words& out) {
  out.words.clear();
  out.dropped = 0;
  out.args = {};
  out.commentAt = command.size();
  const std::size_t limit = LimitsOf(game).word;
  const std::size_t n = command.size();
  std::size_t i = 0;
  for (;;) {
    while (i < n && IsBlank(command[i]))
      ++i;
    if (i >= n) return;
    if (out.words.size() == 1 && out.dropped == 0) out.args = TrimBlanks(command.substr(i));
    if (StartsComment(command, i)) {
      out.commentAt = i;
      return;
    }
    Word word;
    word.offset = i;
    if (command[i] == '"') {
      const std::size_t begin = i + 1;
      std::size_t end = begin;
      while (end < n && command[end] != '"')
        ++end;
      word.written = command.substr(begin, end - begin);
      word.quoted = true;
      i = end < n ? end + 1 : n;
    } else {
      const std::size_t begin = i;
      while (i < n && !IsBlank(command[i]))
        ++i;
      word.written = command.substr(begin, i - begin);
    }
    word.cut = word.written.size() >= limit;
    // A quoted word keeps its first characters, an unquoted one vanishes.
    word.kept = !word.cut ? word.written : word.quoted ? word.written.substr(0, limit) : "";
    if (out.words.size() < kMaxWords) {
      out.words.push_back(word);
    } else {
      ++out.dropped;
    }
  }
}

std::vector<CvarReference> CvarReferencesOf(std::string_view command) {
  std::vector<CvarReference> references;
  if (command.find('$') == std::string_view::npos) return references;
  bool quoted = false;
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (command[i] == '"') {
      quoted = !quoted;
      continue;
    }
    if (quoted || command[i] != '$') continue;
    CvarReference reference;
    reference.begin = i;
    std::size_t j = i + 1;
    while (j < command.size() && IsBlank(command[j]))
      ++j;
    if (j < command.size() && command[j] == '"') {
      const std::size_t close = command.find('"', j + 1);
      const std::size_t end = close == std::string_view::npos ? command.size() : close;
      reference.name = command.substr(j + 1, end - j - 1);
      reference.end = std::min(end + 1, command.size());
    } else {
      std::size_t end = j;
      while (end < command.size() && !IsBlank(command[end]))
        ++end;
      reference.name = command.substr(j, end - j);
      reference.end = end;
    }
    references.push_back(reference);
    i = reference.end > 0 ? reference.end - 1 : i;
  }
  return references;
}

char HighByteOutsideQuotes(std::string_view command) {
  bool quoted = false;
  bool wordStart = true;
  for (std::size_t i = 0; i < command.size(); ++i) {
    const char c = command[i];
    if (c == '"') {
      quoted = !quoted;
      wordStart = !quoted;  // a word may begin right after a closing quote
      continue;
    }
    if (quoted) continue;
    if (wordStart && StartsComment(command, i)) return '\0';
    if (static_cast<unsigned char>(c) > 127) return c;
    wordStart = IsBlank(c);
  }
  return '\0';
}

}  // namespace tavrilo::game
