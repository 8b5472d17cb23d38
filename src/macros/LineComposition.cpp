#include "macros/LineComposition.h"

#include "core/Errors.h"

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

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != text.npos;
}

// The game has no escape for a double quote inside a quoted text, and a line break
// would cut the line in two: either lets the rest of the line run as other commands.
void RequireQuotable(std::string_view text, std::string_view what) {
  if (text.find('"') != text.npos) {
    throw EInvalidLine(std::string(what) + " must not contain a double quote");
  }
  if (HasLineBreak(text)) throw EInvalidLine(std::string(what) + " must not contain a line break");
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

std::optional<std::string> ComposeBinding(const ShownFields& shown, std::string_view key,
                                          std::string_view command, std::string_view text) {
  if (ShowsPrompt(shown.keyFieldText, kKeyGuardText, shown.keyPrompt)) return std::nullopt;
  if (ShowsPrompt(shown.functionFieldText, kFunctionGuardText, shown.functionPrompt)) {
    return std::nullopt;
  }
  RequireQuotable(key, "The key");

  std::string line = BindPrefix(key);
  if (command == kSay || command == kSayTeam) {
    RequireQuotable(text, "The chat text");
    line.append(command).append(" ").append(text);
  } else if (command == kUser) {
    RequireQuotable(text, "The user-defined command");
    line.append(text);
  } else {
    RequireQuotable(command, "The command");
    line.append(command);
  }
  line += '"';
  return line;
}

std::optional<std::string> ComposeExternalBinding(int selectedResource, std::string_view key,
                                                  std::string_view external) {
  if (selectedResource < 0) return std::nullopt;
  RequireQuotable(key, "The key");
  RequireQuotable(external, "The external command");
  std::string line = BindPrefix(key);
  line.append(external).append("\"");
  return line;
}

std::string ComposeDefinableCall(std::string_view picked, std::string_view args) {
  RequireQuotable(picked, "The function name");
  RequireQuotable(args, "The arguments");
  std::string line;
  line.append(picked).append(" \"").append(args).append("\"");
  return line;
}

std::optional<std::string> ComposeDefinableWithExternal(int selectedResource,
                                                        std::string_view typed,
                                                        std::string_view args,
                                                        std::string_view external) {
  // Any selected resource will do, the first one included.
  if (selectedResource < 0) return std::nullopt;
  RequireQuotable(typed, "The function name");
  RequireQuotable(args, "The arguments");
  RequireQuotable(external, "The external command");
  std::string line;
  line.append(typed)
      .append(" \"")
      .append(args)
      .append(kQuoteBlankQuote)
      .append(external)
      .append("\"");
  return line;
}

std::string ComposeFreeLine(std::string_view freeLine) {
  // The user's own console text may quote as it likes, but it must stay one line.
  if (HasLineBreak(freeLine))
    throw EInvalidLine("The personal command must not contain a line break");
  return std::string(freeLine);
}

}  // namespace tavrilo::macros
