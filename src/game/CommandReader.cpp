// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/CommandReader.h"

#include <algorithm>

namespace tavrilo::game {

namespace {

bool StartsComment(std::string_view text, std::size_t i) {
  return text[i] == '/' && i + 1 < text.size() && text[i + 1] == '/';
}

}  // namespace

LineCursor LineCursor::OfBytes(std::string_view bytes) {
  LineCursor cursor;
  cursor.bytes_ = bytes;
  return cursor;
}

LineCursor LineCursor::OfList(const StringList& list) {
  LineCursor cursor;
  cursor.list_ = &list;
  return cursor;
}

LineCursor LineCursor::OfLine(Line line) {
  LineCursor cursor;
  cursor.single_ = line;
  cursor.hasSingle_ = true;
  return cursor;
}

bool LineCursor::Next(Line& line) {
  if (list_ != nullptr) {
    if (index_ >= list_->Count()) return false;
    line = Line{list_->At(index_++), true, true};
    return true;
  }
  if (hasSingle_) {
    line = single_;
    hasSingle_ = false;
    return true;
  }
  if (bytes_.empty()) return false;
  const std::size_t end = bytes_.find('\n');
  line.lf = end != std::string_view::npos;
  line.text = bytes_.substr(0, end);
  bytes_.remove_prefix(line.lf ? end + 1 : bytes_.size());
  line.cr = line.text.ends_with('\r');
  if (line.cr) line.text.remove_suffix(1);
  return true;
}

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
  if (command.find('"') == std::string_view::npos) return false;  // most commands have none
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
  const std::size_t most = LimitsOf(game).words;
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
    const std::size_t offset = i;
    const bool quoted = command[i] == '"';
    std::string_view written;
    if (quoted) {
      const std::size_t begin = i + 1;
      std::size_t end = begin;
      while (end < n && command[end] != '"')
        ++end;
      written = command.substr(begin, end - begin);
      i = end < n ? end + 1 : n;
    } else {
      const std::size_t begin = i;
      while (i < n && !IsBlank(command[i]))
        ++i;
      written = command.substr(begin, i - begin);
    }
    if (out.words.size() == most) {
      ++out.dropped;
      continue;
    }
    // Filled where it stands: a word built aside and copied in costs more than reading it.
    Word& word = out.words.emplace_back();
    word.written = written;
    word.offset = offset;
    word.quoted = quoted;
    word.cut = written.size() >= limit;
    // A quoted word keeps its first characters, an unquoted one vanishes.
    word.kept = !word.cut ? written : quoted ? written.substr(0, limit) : std::string_view();
  }
}

std::string_view AfterFirstWord(std::string_view command, const Words& words) {
  const Word& first = words.words.front();
  const std::size_t end = first.offset + first.written.size() + (first.quoted ? 2 : 0);
  return command.substr(std::min(end, command.size()));
}

std::string_view HighByteOutsideQuotes(std::string_view command) {
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
    if (wordStart && StartsComment(command, i)) return {};
    if (static_cast<unsigned char>(c) > 127) {
      std::size_t end = i;
      while (end < command.size() && static_cast<unsigned char>(command[end]) > 127)
        ++end;
      const std::string_view run = command.substr(i, end - i);
      if (run != "\xA0" && run != "\xC2\xA0" && run != "\xEF\xBB\xBF") return run;
      i = end - 1;  // a space the player meant as one, or a byte order mark: a blank
    }
    wordStart = IsBlank(c);
  }
  return {};
}

}  // namespace tavrilo::game
