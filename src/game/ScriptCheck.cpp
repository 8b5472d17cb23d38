#include "game/ScriptCheck.h"

#include <array>
#include <cstring>

#include "game/Keys.h"
#include "game/Names.h"

namespace tavrilo::game::check {

namespace {

struct KindRow {
  std::string_view name;
  Severity severity;
};

constexpr std::array<KindRow, static_cast<std::size_t>(Kind::kCount)> kKinds = {{
    {"UnmatchedQuote", Severity::kError},   {"CommandDiscarded", Severity::kError},
    {"CommandCut", Severity::kError},       {"WordCut", Severity::kError},
    {"WordLost", Severity::kError},         {"KeyHighByte", Severity::kError},
    {"NotKeyName", Severity::kError},       {"NotKeyNameMeant", Severity::kError},
    {"UpperCaseKey", Severity::kError},     {"NoSuchKey", Severity::kError},
    {"ConsoleKey", Severity::kError},       {"MenuKey", Severity::kError},
    {"AliasNameTooLong", Severity::kError}, {"AliasHidden", Severity::kError},
    {"CommentRunsOn", Severity::kError},    {"ChatSemicolon", Severity::kNote},
    {"ChatCvar", Severity::kNote},          {"ChatComment", Severity::kNote},
    {"RawQuotedArgs", Severity::kNote},     {"UnknownItem", Severity::kNote},
    {"HighByteSplits", Severity::kNote},    {"ReleaseRepeats", Severity::kNote},
    {"Overridden", Severity::kError},       {"UnknownName", Severity::kError},
    {"AliasNeedsExec", Severity::kNote},    {"ExecOverflow", Severity::kNote},
}};

constexpr std::uint32_t ErrorMask() {
  std::uint32_t mask = 0;
  for (std::size_t i = 0; i < kKinds.size(); ++i) {
    if (kKinds[i].severity == Severity::kError) mask |= std::uint32_t{1} << i;
  }
  return mask;
}

bool HasNonBlank(std::string_view text) {
  for (char c : text) {
    if (!IsBlank(c)) return true;
  }
  return false;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

std::string LowerKey(std::string_view key) {
  return LowerCase(key);
}

}  // namespace

Severity SeverityOf(Kind kind) {
  return kKinds[static_cast<std::size_t>(kind)].severity;
}

std::string KeyOf(Kind kind) {
  return "Check." + std::string(kKinds[static_cast<std::size_t>(kind)].name);
}

Severity WorstOfKinds(std::uint32_t mask) {
  if ((mask & ErrorMask()) != 0) return Severity::kError;
  return mask != 0 ? Severity::kNote : Severity::kNone;
}

std::int32_t Interner::Intern(StringMap<std::int32_t>& map, std::string_view text) {
  auto found = map.find(text);
  if (found != map.end()) return found->second;
  const auto id = static_cast<std::int32_t>(map.size());
  map.emplace(std::string(text), id);
  return id;
}

std::string Excerpt(std::string_view text, std::size_t length) {
  if (text.size() <= length) return std::string(text);
  return std::string(text.substr(0, length)) + "\x85";  // the ellipsis
}

LineAnalyzer::LineAnalyzer(Game game, Interner& interner, const SupportFiles& supportFiles)
    : game_(game), limits_(LimitsOf(game)), interner_(interner) {
  std::int32_t index = 0;
  for (const auto& [name, bytes] : supportFiles)
    supportIndex_.emplace(name, index++);
}

void LineAnalyzer::Analyze(std::string_view line, bool crAfter, LineOutput& out) {
  out_ = &out;
  ScriptLine(line, crAfter, 0);
  out_ = nullptr;
}

void LineAnalyzer::ScriptLine(std::string_view line, bool crAfter, int depth) {
  const char* lineEnd = line.data() + line.size();
  ForEachCommand(line, [&](std::string_view command, std::size_t end) {
    const bool last = command.data() + command.size() == lineEnd;
    Command(command, line.substr(end), last, crAfter && last, static_cast<std::uint32_t>(end),
            depth);
  });
}

void LineAnalyzer::Command(std::string_view command, std::string_view rest, bool last, bool crAfter,
                           std::uint32_t end, int depth) {
  if (depth == 0) {
    const std::size_t limit = limits_.command;
    switch (FateOfCommand(game_, command.size(), crAfter)) {
      case CommandFate::kDiscarded:
        Found(Kind::kCommandDiscarded, [&] {
          return std::vector<std::string>{GroupDigits(command.size() + (crAfter ? 1 : 0)),
                                          GroupDigits(limit)};
        });
        return;
      case CommandFate::kCut:
        Found(Kind::kCommandCut, [&] {
          return std::vector<std::string>{GroupDigits(command.size()), GroupDigits(limit - 1)};
        });
        command = command.substr(0, limit - 1);
        break;
      case CommandFate::kRuns:
        break;
    }
  }
  const CommandBytes bytes = ScanCommand(command);
  if (bytes.unmatchedQuote) {
    Found(Kind::kUnmatchedQuote);
    return;
  }
  Words& words = words_[depth];
  WordsOf(command, limits_.word, words);
  for (const Word& word : words.words) {
    if (!word.cut) continue;
    Found(word.quoted ? Kind::kWordCut : Kind::kWordLost, [&] {
      return std::vector<std::string>{Excerpt(word.written, 20), GroupDigits(word.written.size()),
                                      GroupDigits(limits_.word)};
    });
    break;
  }
  const bool restRuns = !last && HasNonBlank(rest);
  const bool commented = words.commentAt < command.size();
  if (commented && restRuns) {
    Found(Kind::kCommentRunsOn,
          [&] { return std::vector<std::string>{Excerpt(TrimBlanks(rest))}; });
  }
  const ConsoleCommand read = ReadCommand(words, joined_[depth]);
  if (read.kind == CommandKind::kEmpty) return;
  if (read.kind == CommandKind::kBind && !read.hasTarget && !last) {
    // "bind ;": the ";" ends the command before its key.
    Found(Kind::kNotKeyNameMeant, [] { return std::vector<std::string>{";", "SEMICOLON"}; });
  }
  const NameInfo* info = read.kind == CommandKind::kOther ? &Name(read.name) : nullptr;
  if (info != nullptr && info->chat) {
    if (restRuns) {
      Found(Kind::kChatSemicolon,
            [&] { return std::vector<std::string>{Excerpt(TrimBlanks(rest))}; });
    }
    const std::vector<std::string_view> cvars = CvarReferencesOf(command);
    if (!cvars.empty()) {
      Found(Kind::kChatCvar, [&] { return std::vector<std::string>{std::string(cvars[0])}; });
    }
    if (commented) Found(Kind::kChatComment);
  } else if (bytes.highByte && (info == nullptr || !info->raw)) {
    const char high = HighByteOutsideQuotes(command);
    if (high != '\0') {
      Found(Kind::kHighByteSplits, [&] { return std::vector<std::string>{std::string(1, high)}; });
    }
  }
  if (info != nullptr) {
    Other(words, *info);
  } else {
    Run(read, end, depth);
  }
}

void LineAnalyzer::Run(const ConsoleCommand& command, std::uint32_t end, int depth) {
  switch (command.kind) {
    case CommandKind::kEmpty:
    case CommandKind::kOther:
      return;
    case CommandKind::kBind: {
      if (!command.hasTarget) return;
      const std::int32_t key = CheckKey(command.target);
      if (!command.hasText) return;
      if (depth == 0 && key >= 0) AddFact(FactType::kBind, key, 0, command.target);
      if (depth < kMaxDepth) BoundText(command.text, depth + 1);
      return;
    }
    case CommandKind::kUnbind:
      if (command.hasTarget) CheckKey(command.target);
      return;
    case CommandKind::kAlias: {
      if (!command.hasTarget) return;
      const std::string_view alias = command.target;
      if (alias.size() >= limits_.aliasName) {
        Found(Kind::kAliasNameTooLong, [&] {
          return std::vector<std::string>{std::string(alias), GroupDigits(alias.size()),
                                          GroupDigits(limits_.aliasName)};
        });
      } else if (IsGameCommand(alias)) {
        Found(Kind::kAliasHidden, [&] { return std::vector<std::string>{std::string(alias)}; });
      } else {
        AddFact(FactType::kDefine, interner_.Name(LowerCase(alias)), 0, alias);
      }
      if (command.hasText && depth < kMaxDepth) ScriptLine(command.text, false, depth + 1);
      return;
    }
    case CommandKind::kExec:
      if (depth == 0 && command.hasTarget) {
        auto file = supportIndex_.find(command.target);
        if (file != supportIndex_.end()) AddFact(FactType::kExec, file->second, end, file->first);
      }
      return;
  }
}

void LineAnalyzer::Other(const Words& words, const NameInfo& info) {
  const std::string_view name = words[0];
  if (info.raw && !words.args.empty()) {
    if (words.args.front() == '"') {
      Found(Kind::kRawQuotedArgs, [&] {
        return std::vector<std::string>{std::string(name), Excerpt(words.args)};
      });
    } else if (info.item && !IsItem(words.args)) {
      Found(Kind::kUnknownItem, [&] { return std::vector<std::string>{Excerpt(words.args)}; });
    }
  }
  if (!info.known && !name.empty()) AddFact(FactType::kCall, info.id, 0, name);
}

// A bound or alias text comes from a word of a line: it holds no LF, so it is one line.
void LineAnalyzer::BoundText(std::string_view text, int depth) {
  ScriptLine(text, false, depth);
  if (!text.starts_with('+')) return;
  // The key's release runs the text again with "-" in place of the "+".
  bool several = false;
  ForEachCommand(text, [&](std::string_view command, std::size_t) {
    several = several || (command.data() != text.data() && HasNonBlank(command));
  });
  if (several) {
    Found(Kind::kReleaseRepeats, [&] {
      std::string release(text);
      release[0] = '-';
      return std::vector<std::string>{Excerpt(release)};
    });
  }
  std::size_t end = 1;
  while (end < text.size() && !IsBlank(text[end]) && text[end] != ';' && text[end] != '"')
    ++end;
  release_.assign(text.substr(0, end));
  release_[0] = '-';
  const NameInfo& info = Name(release_);
  if (!info.known) AddFact(FactType::kCall, info.id, 0, release_);
}

std::int32_t LineAnalyzer::CheckKey(std::string_view key) {
  const KeyInfo& info = keys_.Get(key, [&](std::string_view name) {
    KeyInfo made;
    auto kindOf = [&](Kind kind) {
      made.hasKind = true;
      made.kind = kind;
    };
    if (name.size() == 1 && static_cast<unsigned char>(name[0]) > 127) {
      kindOf(Kind::kKeyHighByte);
    } else if (!IsKeyName(game_, name)) {
      kindOf(SuggestKeyName(game_, name) ? Kind::kNotKeyNameMeant : Kind::kNotKeyName);
    } else {
      switch (DeadKeyOf(game_, name)) {
        case DeadKey::kNone:
          break;
        case DeadKey::kUpperCaseLetter:
          kindOf(Kind::kUpperCaseKey);
          break;
        case DeadKey::kNoKeyProducesIt:
          kindOf(Kind::kNoSuchKey);
          break;
        case DeadKey::kConsoleKey:
          kindOf(Kind::kConsoleKey);
          break;
        case DeadKey::kMenuKey:
          kindOf(Kind::kMenuKey);
          break;
      }
      made.id = interner_.Key(KeyIdentity(name));
    }
    return made;
  });
  if (info.hasKind) {
    Found(info.kind, [&] {
      std::vector<std::string> args{std::string(key)};
      if (info.kind == Kind::kNotKeyNameMeant) args.push_back(*SuggestKeyName(game_, key));
      if (info.kind == Kind::kUpperCaseKey) args.push_back(LowerKey(key));
      return args;
    });
  }
  return info.id;
}

const LineAnalyzer::NameInfo& LineAnalyzer::Name(std::string_view name) {
  return names_.Get(name, [&](std::string_view text) {
    NameInfo made;
    made.known = IsGameCommand(text) || IsCvar(text);
    made.chat = IsChatCommand(text);
    made.raw = ReadsArgumentsRaw(text);
    made.item = NamesAnItem(text);
    made.id = interner_.Name(LowerCase(text));
    return made;
  });
}

void LineAnalyzer::AddFact(FactType type, std::int32_t id, std::uint32_t offset,
                           std::string_view spelled) {
  if (out_->facts != nullptr) out_->facts->emplace_back(type, id, offset);
  if (out_->spelled != nullptr) out_->spelled->emplace_back(spelled);
}

}  // namespace tavrilo::game::check
