// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/LineComposition.h"

#include "core/Text.h"
#include "game/Check.h"

namespace tavrilo::macros {

namespace {

// Every binding line begins with `bind "KEY" "`.
constexpr std::string_view kBindOpening = "bind \"";
constexpr std::string_view kQuoteBlankQuote = "\" \"";

// Commands with a line of their own. Every other command, the game's own "zoom" and
// the aliases of the support files included, is bound by name and closed by a double
// quote like every binding: the game's console discards a line whose double quotes do
// not pair up.
constexpr std::string_view kSay = "say";
constexpr std::string_view kSayTeam = "say_team";
constexpr std::string_view kUser = "User";

// The texts a line is composed of, each with its two refusals (a double quote, a line
// break).
struct Field {
  std::string_view quoteRefusal;
  std::string_view lineBreakRefusal;
};
constexpr Field kKey{"Refusal.QuoteInKey", "Refusal.LineBreakInKey"};
constexpr Field kChatText{"Refusal.QuoteInChatText", "Refusal.LineBreakInChatText"};
constexpr Field kUserCommand{"Refusal.QuoteInUserCommand", "Refusal.LineBreakInUserCommand"};
constexpr Field kCommand{"Refusal.QuoteInCommand", "Refusal.LineBreakInCommand"};
constexpr Field kExternal{"Refusal.QuoteInExternalCommand", "Refusal.LineBreakInExternalCommand"};
constexpr Field kFunction{"Refusal.QuoteInFunctionName", "Refusal.LineBreakInFunctionName"};
constexpr Field kArguments{"Refusal.QuoteInArguments", "Refusal.LineBreakInArguments"};

[[noreturn]] void Refuse(std::string_view key, std::vector<std::string> args = {}) {
  throw TextError(Text{std::string(key), std::move(args)});
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != text.npos;
}

// The game has no escape for a double quote inside a quoted text, and a line break
// would cut the line in two: either lets the rest of the line run as other commands.
void RequireQuotable(std::string_view text, const Field& field) {
  if (text.find('"') != text.npos) Refuse(field.quoteRefusal);
  if (HasLineBreak(text)) Refuse(field.lineBreakRefusal);
}

void RequireKey(std::string_view key) {
  RequireQuotable(key, kKey);
}

// A ";" in a chat message ends the say command: the rest runs as a command of its own.
void RequireChatText(std::string_view text) {
  RequireQuotable(text, kChatText);
  if (text.find(';') != text.npos) Refuse("Refusal.SemicolonInChatText");
}

// The composed line as the game reads it from the saved file: the model of the game's
// console reads it on its own, and what would make the game lose part of it, or damage its
// memory, refuses it.
void RequireKeptWhole(std::string_view line, game::Game game) {
  const game::CheckResult result = game::CheckLine(line, game);
  for (const game::Finding& finding : result.Findings()) {
    const std::vector<std::string> args = result.ArgsOf(finding);
    switch (finding.code) {
      case game::Code::kCommandDiscarded:
      case game::Code::kCommandCut:
        Refuse("Refusal.LongLine", {game::GroupDigits(line.size() + 1),
                                    game::GroupDigits(game::LimitsOf(game).command)});
      case game::Code::kWordCut:
      case game::Code::kWordLost:
        Refuse("Refusal.LongWord", args);
      case game::Code::kKeyHighByte:
        Refuse("Refusal.HighByteInKey", args);
      default:
        break;
    }
  }
}

// A field shows "nothing chosen yet" when it shows the fixed French guard text, or the
// prompt the caption file gave it. An empty prompt guards nothing: a field the user has
// emptied binds the empty text like any other, whatever the caption file says.
bool ShowsPrompt(std::string_view shown, std::string_view guardText, std::string_view prompt) {
  return shown == guardText || (!prompt.empty() && shown == prompt);
}

std::string BindPrefix(std::string_view key) {
  std::string line;
  line.reserve(kBindOpening.size() + key.size() + kQuoteBlankQuote.size());
  line.append(kBindOpening).append(key).append(kQuoteBlankQuote);
  return line;
}

}  // namespace

std::optional<Text> GuardText(const ShownFields& shown) {
  if (ShowsPrompt(shown.keyFieldText, kKeyGuardText, shown.keyPrompt)) {
    return Text{"Guard.NoKey", {}};
  }
  if (ShowsPrompt(shown.functionFieldText, kFunctionGuardText, shown.functionPrompt)) {
    return Text{"Guard.NoFunction", {}};
  }
  return std::nullopt;
}

std::optional<Text> ResourceGuardText(int selectedResource) {
  if (selectedResource < 0) return Text{"Guard.NoResource", {}};
  return std::nullopt;
}

std::optional<std::string> ComposeBinding(const ShownFields& shown, std::string_view key,
                                          std::string_view command, std::string_view text,
                                          game::Game game) {
  if (GuardText(shown)) return std::nullopt;
  RequireKey(key);

  std::string line = BindPrefix(key);
  if (command == kSay || command == kSayTeam) {
    RequireChatText(text);
    line.append(command).append(" ").append(text);
  } else if (command == kUser) {
    RequireQuotable(text, kUserCommand);
    line.append(text);
  } else {
    RequireQuotable(command, kCommand);
    line.append(command);
  }
  line += '"';
  RequireKeptWhole(line, game);
  return line;
}

std::optional<std::string> ComposeExternalBinding(int selectedResource, std::string_view key,
                                                  std::string_view external, game::Game game) {
  if (ResourceGuardText(selectedResource)) return std::nullopt;
  RequireKey(key);
  RequireQuotable(external, kExternal);
  std::string line = BindPrefix(key);
  line.append(external).append("\"");
  RequireKeptWhole(line, game);
  return line;
}

std::string ComposeDefinableCall(std::string_view picked, std::string_view args, game::Game game) {
  RequireQuotable(picked, kFunction);
  RequireQuotable(args, kArguments);
  std::string line;
  line.append(picked).append(" \"").append(args).append("\"");
  RequireKeptWhole(line, game);
  return line;
}

std::optional<std::string> ComposeDefinableWithExternal(int selectedResource,
                                                        std::string_view typed,
                                                        std::string_view args,
                                                        std::string_view external,
                                                        game::Game game) {
  // Any selected resource will do, the first one included.
  if (ResourceGuardText(selectedResource)) return std::nullopt;
  RequireQuotable(typed, kFunction);
  RequireQuotable(args, kArguments);
  RequireQuotable(external, kExternal);
  std::string line;
  line.append(typed)
      .append(" \"")
      .append(args)
      .append(kQuoteBlankQuote)
      .append(external)
      .append("\"");
  RequireKeptWhole(line, game);
  return line;
}

std::string ComposeFreeLine(std::string_view freeLine, game::Game game) {
  // The user's own console text may quote as it likes, but it must stay one line.
  if (HasLineBreak(freeLine)) Refuse("Refusal.LineBreakInFreeLine");
  RequireKeptWhole(freeLine, game);
  return std::string(freeLine);
}

}  // namespace tavrilo::macros
