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

// Whether `text` (any letter case) is an item name: item names are short, so a longer
// text is none, and a short one is folded on the stack.
bool IsItemName(std::string_view text) {
  return text.size() <= 32 && IsItem(text);
}

// The first word of a bound text that begins with "+", as the key's release runs it with
// "-" in place of the "+".
std::string ReleaseName(std::string_view text) {
  std::size_t end = 1;
  while (end < text.size() && !IsBlank(text[end]) && text[end] != ';' && text[end] != '"')
    ++end;
  return "-" + std::string(text.substr(1, end - 1));
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
  if (HasUnmatchedQuote(command)) {
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
  if (words.Empty()) return;
  const std::string_view name = words[0];
  if (words.Count() == 1 && !last && EqualsIgnoringCase(name, "bind")) {
    // "bind ;": the ";" ends the command before its key.
    Found(Kind::kNotKeyNameMeant, [] { return std::vector<std::string>{";", "SEMICOLON"}; });
  }
  if (IsChatCommand(name)) {
    if (restRuns) {
      Found(Kind::kChatSemicolon,
            [&] { return std::vector<std::string>{Excerpt(TrimBlanks(rest))}; });
    }
    const std::vector<std::string_view> cvars = CvarReferencesOf(command);
    if (!cvars.empty()) {
      Found(Kind::kChatCvar, [&] { return std::vector<std::string>{std::string(cvars[0])}; });
    }
    if (commented) Found(Kind::kChatComment);
  } else if (!ReadsArgumentsRaw(name)) {
    const char high = HighByteOutsideQuotes(command);
    if (high != '\0') {
      Found(Kind::kHighByteSplits, [&] { return std::vector<std::string>{std::string(1, high)}; });
    }
  }
  Run(words, end, depth);
}

void LineAnalyzer::Run(const Words& words, std::uint32_t end, int depth) {
  const ConsoleCommand command = ReadCommand(words, joined_[depth]);
  switch (command.kind) {
    case CommandKind::kEmpty:
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
      if (command.hasText && depth < kMaxDepth) Script(command.text, depth + 1);
      return;
    }
    case CommandKind::kExec:
      if (depth == 0 && command.hasTarget) {
        auto file = supportIndex_.find(command.target);
        if (file != supportIndex_.end()) AddFact(FactType::kExec, file->second, end, file->first);
      }
      return;
    case CommandKind::kOther:
      Other(words);
      return;
  }
}

void LineAnalyzer::Other(const Words& words) {
  const std::string_view name = words[0];
  if (ReadsArgumentsRaw(name) && !words.args.empty()) {
    if (words.args.front() == '"') {
      Found(Kind::kRawQuotedArgs, [&] {
        return std::vector<std::string>{std::string(name), Excerpt(words.args)};
      });
    } else if (NamesAnItem(name) && !IsItemName(words.args)) {
      Found(Kind::kUnknownItem, [&] { return std::vector<std::string>{Excerpt(words.args)}; });
    }
  }
  if (name.empty()) return;
  const NameInfo& info = Name(name);
  if (!info.known) AddFact(FactType::kCall, info.id, 0, name);
}

void LineAnalyzer::BoundText(std::string_view text, int depth) {
  Script(text, depth);
  if (!text.starts_with('+')) return;
  // The key's release runs the text again with "-" in place of the "+".
  bool several = false;
  ForEachCommand(text, [&](std::string_view command, std::size_t) {
    several = several || (command.data() != text.data() && HasNonBlank(command));
  });
  if (several) {
    Found(Kind::kReleaseRepeats,
          [&] { return std::vector<std::string>{Excerpt("-" + std::string(text.substr(1)))}; });
  }
  const std::string release = ReleaseName(text);
  const NameInfo& info = Name(release);
  if (!info.known) AddFact(FactType::kCall, info.id, 0, release);
}

void LineAnalyzer::Script(std::string_view text, int depth) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    ScriptLine(text.substr(start, end - start), false, depth);
    start = end + 1;
  }
}

std::int32_t LineAnalyzer::CheckKey(std::string_view key) {
  auto found = keys_.find(key);
  if (found == keys_.end()) {
    KeyInfo info;
    auto kindOf = [&](Kind kind) {
      info.hasKind = true;
      info.kind = kind;
    };
    if (key.size() == 1 && static_cast<unsigned char>(key[0]) > 127) {
      kindOf(Kind::kKeyHighByte);
    } else if (!IsKeyName(game_, key)) {
      kindOf(SuggestKeyName(game_, key) ? Kind::kNotKeyNameMeant : Kind::kNotKeyName);
    } else {
      switch (DeadKeyOf(game_, key)) {
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
      info.id = interner_.Key(KeyIdentity(key));
    }
    found = keys_.emplace(std::string(key), info).first;
  }
  const KeyInfo& info = found->second;
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
  auto found = names_.find(name);
  if (found == names_.end()) {
    NameInfo info;
    info.known = IsGameCommand(name) || IsCvar(name);
    info.id = interner_.Name(LowerCase(name));
    found = names_.emplace(std::string(name), info).first;
  }
  return found->second;
}

void LineAnalyzer::AddFact(FactType type, std::int32_t id, std::uint32_t offset,
                           std::string_view spelled) {
  if (out_->facts != nullptr) out_->facts->push_back({type, id, offset});
  if (out_->spelled != nullptr) out_->spelled->emplace_back(spelled);
}

}  // namespace tavrilo::game::check
