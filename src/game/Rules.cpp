// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Rules.h"

namespace tavrilo::game {

namespace {

// What setting a cvar does that the line does not say: refused (write-protected), taken at
// the next game only (latched), or Yamagi Quake II's new name set under its old one.
void JudgeSetting(const Say& say, std::string_view name, const CvarInfo& cvar) {
  if (cvar.writeProtected) say(Code::kCvarReadOnly, {name});
  if (cvar.latched) say(Code::kCvarLatched, {name});
  if (!cvar.renamedTo.empty()) say(Code::kCvarRenamed, {name, cvar.renamedTo});
}

// Whether a chat text holds a "//" at the start of a word, which the game says as well.
bool HoldsComment(std::string_view said) {
  for (std::size_t at = said.find("//"); at != std::string_view::npos;
       at = said.find("//", at + 1)) {
    if (at == 0 || IsBlank(said[at - 1])) return true;
  }
  return false;
}

// The chat text as the game module says it.
void JudgeChat(const Say& say, Game game, const Command& command, std::string_view name, Role role,
               std::string_view raw) {
  // The console trims the text of its blanks, bytes above 127 included.
  std::string_view said = TrimBlanks(raw);
  if (HasNonBlank(command.rest)) say(Code::kChatSemicolon, {Excerpt(TrimBlanks(command.rest))});
  ForEachCvarReference(raw, [&](const CvarReference& reference) {
    if (!reference.name.empty()) say(Code::kChatCvar, {reference.name});
  });
  std::string_view written = raw;  // as the player reads it: without ASCII blanks
  while (!written.empty() && static_cast<unsigned char>(written.front()) <= ' ')
    written.remove_prefix(1);
  while (!written.empty() && static_cast<unsigned char>(written.back()) <= ' ')
    written.remove_suffix(1);
  const bool trimmed = written.size() != said.size();
  bool paired = true;
  if (said.starts_with('"')) {
    paired = said.size() >= 2 && said.ends_with('"') &&
             said.substr(1, said.size() - 2).find('"') == std::string_view::npos;
    said = said.size() >= 2 ? said.substr(1, said.size() - 2) : std::string_view();
  }
  // Both say what the game ends up saying.
  if (trimmed) say(Code::kChatTrimmed, {Excerpt(said)});
  if (!paired) say(Code::kChatQuotes, {Excerpt(said)});
  if (said.empty()) {
    say(Code::kChatEmpty, {name});
    return;
  }
  if (HoldsComment(said)) say(Code::kChatComment, {Excerpt(said)});
  // The line said is "NAME: TEXT" or "(NAME): TEXT", cut at 150 characters.
  const std::size_t framing = role == Role::kSay ? 2 : 4;
  const std::size_t room = LimitsOf(game).chatLine - framing;  // for the name and the text
  if (said.size() + 1 > room) {
    say(Code::kChatTooLong, {GroupDigits(said.size()), GroupDigits(room - 1)});
  } else if (said.size() + Bounds::kLongestPlayerName > room) {
    say(Code::kChatMayBeCut,
        {GroupDigits(said.size()), GroupDigits(room - Bounds::kLongestPlayerName)});
  }
}

// The item named by the raw text of use, drop and give: its name exactly, quotes included;
// give tries its first word unquoted as well.
void JudgeItem(const Say& say, Game game, std::string_view name, Role role, std::string_view raw) {
  const std::string_view text = TrimBlanks(raw);
  if (text.starts_with('"')) {
    if (role == Role::kGive) {
      Words words;
      ReadWords(text, game, words);
      if (!words.Empty() && FindItem(words[0]) != nullptr) return;
    }
    say(Code::kQuotedItem, {name, text});
    return;
  }
  if (role == Role::kGive || text.empty()) return;  // give takes "all", "health"... too
  const Item* item = FindItem(text);
  if (item == nullptr) {
    say(Code::kUnknownItem, {text});
  } else if (role == Role::kUse && !item->usable) {
    say(Code::kItemNotUsable, {text});
  } else if (role == Role::kDrop && !item->droppable) {
    say(Code::kItemNotDroppable, {text});
  }
}

}  // namespace

std::string Excerpt(std::string_view text, std::size_t length) {
  if (text.size() <= length) return std::string(text);
  return std::string(text.substr(0, length)) + "\x85";
}

bool HasNonBlank(std::string_view text) {
  return !TrimBlanks(text).empty();
}

Role RoleOf(Game game, std::string_view name) {
  const NameInfo* info = FindName(game, name);
  return info != nullptr ? info->role : Role::kNone;
}

std::optional<std::string_view> JudgeLength(const Say& say, Game game, std::string_view text,
                                            std::size_t length) {
  const Limits limits = LimitsOf(game);
  switch (FateOfCommand(game, length)) {
    case CommandFate::kDiscarded:
      say(Code::kCommandDiscarded, {GroupDigits(length), GroupDigits(limits.command)});
      return std::nullopt;
    case CommandFate::kCut:
      if (HasNonBlank(text.substr(std::min(text.size(), limits.command - 1))))
        say(Code::kCommandCut, {GroupDigits(length), GroupDigits(limits.command - 1)});
      text = text.substr(0, limits.command - 1);
      break;
    case CommandFate::kRuns:
      break;
  }
  if (HasUnmatchedQuote(text)) {
    say(Code::kUnmatchedQuote);
    return std::nullopt;
  }
  return text;
}

void JudgeWords(const Say& say, Game game, const Command& command, const Words& words, bool raw) {
  const Limits limits = LimitsOf(game);
  if (words.dropped > 0 && !raw) {
    say(Code::kTooManyWords,
        {GroupDigits(words.Count() + words.dropped), GroupDigits(limits.words)});
  }
  for (std::size_t i = 0; i < words.Count(); ++i) {
    const Word& word = words.words[i];
    if (!word.cut || (raw && i > 0 && !word.quoted)) continue;
    say(word.quoted ? Code::kWordCut : Code::kWordLost,
        {Excerpt(word.written, 20), GroupDigits(word.written.size()), GroupDigits(limits.word)});
    break;
  }
  if (!raw && command.highBytes) {
    const std::string_view high = HighByteOutsideQuotes(command.text);
    if (!high.empty()) say(Code::kHighByteSplits, {high});
  }
  if (!raw) JudgeEmpty(say, command, words);
}

void JudgeEmpty(const Say& say, const Command& command, const Words& words) {
  if (words.commentAt < command.text.size() && HasNonBlank(command.rest))
    say(Code::kCommentRunsOn, {Excerpt(TrimBlanks(command.rest))});
}

void JudgeServerCommand(const Say& say, Game game, const Command& command, std::string_view name,
                        Role role, std::string_view raw) {
  const std::size_t length = command.text.size() + (command.cr ? 1 : 0);
  const std::size_t forward = LimitsOf(game).forward;
  if (length >= forward) say(Code::kForwardTooLong, {GroupDigits(length), GroupDigits(forward)});
  if (role == Role::kSay || role == Role::kSayTeam) {
    JudgeChat(say, game, command, name, role, raw);
  } else if (role == Role::kUse || role == Role::kDrop || role == Role::kGive) {
    JudgeItem(say, game, name, role, raw);
  }
}

std::optional<KeyVerdict> JudgeBind(const Say& say, Game game, const Words& words) {
  if (words.Count() < 2) {
    say(Code::kBindUsage, {words[0]});
    return std::nullopt;
  }
  const std::string_view key = words[1];
  const KeyVerdict verdict = VerdictOf(game, key);
  switch (verdict) {
    case KeyVerdict::kNotKeyName:
      if (const std::optional<std::string> meant = SuggestKeyName(game, key)) {
        say(Code::kNotKeyNameMeant, {key, *meant});
      } else {
        say(Code::kNotKeyName, {key});
      }
      return std::nullopt;
    case KeyVerdict::kHighByte:
      say(Code::kKeyHighByte, {key});
      return std::nullopt;
    case KeyVerdict::kUpperCase:
      say(Code::kUpperCaseKey, {key, LowerCase(key)});
      break;
    case KeyVerdict::kNoSuchKey:
      say(Code::kNoSuchKey, {key});
      break;
    case KeyVerdict::kConsoleKey:
    case KeyVerdict::kMenuKey:
      if (words.Count() >= 3) {
        const std::string_view job = HardwiredJobOf(game, key);
        const bool own = EqualsIgnoringCase(TrimBlanks(words.Joined(2)), job);
        say(own ? Code::kHardwiredJob : Code::kHardwiredKey, {key, job});
      }
      if (RefusesToBind(game, key)) return std::nullopt;
      break;
    case KeyVerdict::kRuns:
      if (game == Game::kQuake2 && key == ";") say(Code::kSemicolonKey);
      break;
  }
  if (words.Count() == 2) {
    say(Code::kBindShows, {key});
    return std::nullopt;
  }
  return verdict;
}

bool JudgeUnbind(const Say& say, Game game, const Words& words) {
  if (words.Count() != 2) {
    say(Code::kBindUsage, {words[0]});
    return false;
  }
  switch (VerdictOf(game, words[1])) {
    case KeyVerdict::kNotKeyName:
      say(Code::kNotKeyName, {words[1]});
      return false;
    case KeyVerdict::kHighByte:
      say(Code::kKeyHighByte, {words[1]});
      return false;
    default:
      return true;
  }
}

bool JudgeAlias(const Say& say, Game game, const Words& words, const NameInfo* info) {
  if (words.Count() < 2) return false;  // lists the aliases
  const std::string_view name = words[1];
  const std::size_t longest = LimitsOf(game).aliasName;
  if (name.size() >= longest) {
    say(Code::kAliasNameTooLong, {name, GroupDigits(name.size()), GroupDigits(longest)});
    return false;
  }
  if (info != nullptr && info->IsCommand()) say(Code::kAliasHidden, {name});
  return true;
}

void JudgeSet(const Say& say, Game game, const Words& words) {
  if (words.Count() < 3) return;
  if (const CvarInfo* cvar = FindCvar(game, words[1])) JudgeSetting(say, words[1], *cvar);
}

void JudgeCvar(const Say& say, std::string_view name, const Words& words, const CvarInfo* cvar,
               bool made) {
  if (words.Count() >= 3) say(Code::kCvarExtraWords, {name, words[1]});
  if (cvar == nullptr) return;
  if (words.Count() >= 2) JudgeSetting(say, name, *cvar);
  if (!cvar->program && !made) {
    if (!cvar->renderers.empty()) {
      say(Code::kRendererCvar, {name, cvar->renderers});
    } else if (cvar->gameModule) {
      say(Code::kGameCvar, {name});
    }
  }
}

const SupportFile* JudgeExec(const Say& say, Game game, const Words& words,
                             const SupportFile* found) {
  if (words.Count() != 2) {
    say(Code::kExecUsage, {GroupDigits(words.Count() - 1)});
    return nullptr;
  }
  const std::string_view written = words[1];
  if (found == nullptr) {
    say(Code::kExecUnknownFile, {written});
    return nullptr;
  }
  // Yamagi Quake II on Linux opens the name as written, or in lower case.
  if (game == Game::kYamagi && written != found->name && LowerCase(written) != found->name)
    say(Code::kExecLetterCase, {written, found->name});
  return found;
}

}  // namespace tavrilo::game
