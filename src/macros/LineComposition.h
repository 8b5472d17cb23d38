// The five add actions: each composes the one console line to append to the macro
// list, or nothing when its guard fails. A text that would break the line for the game
// (a double quote, CR or LF between quotes or in a function name; CR or LF in a free
// line) is refused with EInvalidLine, and nothing is appended.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrilo::macros {

// The fixed prompts that mean "nothing chosen yet" whatever the language.
inline constexpr std::string_view kKeyGuardText = "Choisissez une touche";
inline constexpr std::string_view kFunctionGuardText = "Choisissez une fonction";

// What the key and function fields show, and the prompts the current caption file gave
// them: while a field shows its prompt (or the fixed French guard text), nothing is bound.
struct ShownFields {
  std::string_view keyFieldText;
  std::string_view functionFieldText;
  std::string_view keyPrompt;
  std::string_view functionPrompt;
};

// Add binding: `bind "KEY" "COMMAND"`. For say and say_team the chat text follows the
// command word (`bind "KEY" "say TEXT"`); for User the chat field's whole text is the
// bound command (`bind "KEY" "TEXT"`). Nothing while a field shows nothing chosen.
std::optional<std::string> ComposeBinding(const ShownFields& shown, std::string_view key,
                                          std::string_view command, std::string_view text);

// Add external binding: `bind "KEY" "EXTERNAL"`, when a resource is selected (>= 0).
std::optional<std::string> ComposeExternalBinding(int selectedResource, std::string_view key,
                                                  std::string_view external);

// Add definable-function call: `PICKED "ARGS"` (PICKED empty when nothing was picked).
std::string ComposeDefinableCall(std::string_view picked, std::string_view args);

// Add definable function with external command: `TYPED "ARGS" "EXTERNAL"`, when a
// resource is selected (>= 0).
std::optional<std::string> ComposeDefinableWithExternal(int selectedResource,
                                                        std::string_view typed,
                                                        std::string_view args,
                                                        std::string_view external);

// Add free line: the user's own console text, as typed.
std::string ComposeFreeLine(std::string_view freeLine);

}  // namespace tavrilo::macros
