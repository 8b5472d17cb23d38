#include "game/Console.h"

#include <algorithm>

namespace tavrilo::game {

namespace {

char LowerByte(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsComment(std::string_view text, std::size_t i) {
  return text[i] == '/' && i + 1 < text.size() && text[i + 1] == '/';
}

// Calls `each(i)` for every byte outside double quotes that comes before a comment.
template <typename Each>
void ForEachUnquotedByte(std::string_view command, Each&& each) {
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
    if (wordStart && StartsComment(command, i)) return;
    if (!each(i)) return;
    wordStart = IsBlank(c);
  }
}

}  // namespace

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

std::vector<std::string_view> CommandsOf(std::string_view line) {
  std::vector<std::string_view> commands;
  ForEachCommand(line, [&](std::string_view command, std::size_t) { commands.push_back(command); });
  return commands;
}

bool HasUnmatchedQuote(std::string_view command) {
  return ScanCommand(command).unmatchedQuote;
}

CommandBytes ScanCommand(std::string_view command) {
  std::size_t quotes = 0;
  unsigned char any = 0;
  for (char c : command) {
    quotes += c == '"' ? 1 : 0;
    any |= static_cast<unsigned char>(c);
  }
  return {quotes % 2 != 0, any >= 0x80};
}

Words WordsOf(std::string_view command, std::size_t wordLimit) {
  Words words;
  WordsOf(command, wordLimit, words);
  return words;
}

void WordsOf(std::string_view command, std::size_t wordLimit, Words& out) {
  out.words.clear();
  out.args = {};
  out.commentAt = command.size();
  const std::size_t n = command.size();
  std::size_t i = 0;
  for (;;) {
    while (i < n && IsBlank(command[i]))
      ++i;
    if (i >= n) return;
    if (out.words.size() == 1) {
      std::size_t end = n;
      while (end > i && IsBlank(command[end - 1]))
        --end;
      out.args = command.substr(i, end - i);
    }
    if (StartsComment(command, i)) {
      out.commentAt = i;
      return;
    }
    // The word is made in locals and stored once: storing its parts one by one and
    // reading them back costs more than the scan.
    std::string_view written;
    bool quoted = false;
    if (command[i] == '"') {
      const std::size_t begin = i + 1;
      std::size_t end = begin;
      while (end < n && command[end] != '"')
        ++end;
      written = command.substr(begin, end - begin);
      quoted = true;
      i = end < n ? end + 1 : n;
    } else {
      const std::size_t begin = i;
      while (i < n && !IsBlank(command[i]))
        ++i;
      written = command.substr(begin, i - begin);
    }
    const bool cut = written.size() >= wordLimit;
    // A quoted word keeps its first characters, an unquoted one vanishes.
    const std::string_view kept = !cut     ? written
                                  : quoted ? written.substr(0, wordLimit)
                                           : std::string_view();
    out.words.push_back(Word{written, kept, quoted, cut});
  }
}

std::vector<std::string_view> CvarReferencesOf(std::string_view command) {
  std::vector<std::string_view> names;
  ForEachUnquotedByte(command, [&](std::size_t i) {
    if (command[i] == '$') {
      std::size_t end = i + 1;
      while (end < command.size() && !IsBlank(command[end]) && command[end] != '"')
        ++end;
      if (end > i + 1) names.push_back(command.substr(i + 1, end - i - 1));
    }
    return true;
  });
  return names;
}

char HighByteOutsideQuotes(std::string_view command) {
  if (!ScanCommand(command).highByte) return '\0';  // most commands are plain ASCII
  char found = '\0';
  ForEachUnquotedByte(command, [&](std::size_t i) {
    if (static_cast<unsigned char>(command[i]) > 127) found = command[i];
    return found == '\0';
  });
  return found;
}

ConsoleCommand ReadCommand(const Words& words, std::string& storage) {
  ConsoleCommand command;
  if (words.Empty()) return command;
  command.name = words[0];
  // Most commands are none of the four: their size or first letter tells at once.
  const char first = command.name.empty() ? '\0' : LowerByte(command.name[0]);
  if (command.name.size() < 4 || command.name.size() > 6 ||
      (first != 'b' && first != 'u' && first != 'a' && first != 'e')) {
    command.kind = CommandKind::kOther;
    return command;
  }
  if (EqualsIgnoringCase(command.name, "bind")) {
    command.kind = CommandKind::kBind;
  } else if (EqualsIgnoringCase(command.name, "unbind")) {
    command.kind = CommandKind::kUnbind;
  } else if (EqualsIgnoringCase(command.name, "alias")) {
    command.kind = CommandKind::kAlias;
  } else if (EqualsIgnoringCase(command.name, "exec")) {
    command.kind = CommandKind::kExec;
  } else {
    command.kind = CommandKind::kOther;
    return command;
  }
  if (words.Count() >= 2) {
    command.target = words[1];
    command.hasTarget = true;
  }
  if ((command.kind == CommandKind::kBind || command.kind == CommandKind::kAlias) &&
      words.Count() >= 3) {
    command.hasText = true;
    if (words.Count() == 3) {
      command.text = words[2];
    } else {
      storage.clear();
      for (std::size_t i = 2; i < words.Count(); ++i) {
        if (i > 2) storage += ' ';
        storage += words[i];
      }
      command.text = storage;
    }
  }
  return command;
}

CommandFate FateOfCommand(Game game, std::size_t length, bool crAfter) {
  const std::size_t limit = LimitsOf(game).command;
  if (game == Game::kYamagi) return length >= limit ? CommandFate::kCut : CommandFate::kRuns;
  return length + (crAfter ? 1 : 0) >= limit ? CommandFate::kDiscarded : CommandFate::kRuns;
}

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = LowerByte(c);
  return lower;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerByte(a[i]) != LowerByte(b[i])) return false;
  }
  return true;
}

}  // namespace tavrilo::game
