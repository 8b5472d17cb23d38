// SPDX-License-Identifier: GPL-3.0-or-later
// The five add actions: each composes the one console line to append to the macro
// list, or nothing when its guard fails. A line that the game would not run as shown is
// refused with TextError (a "Refusal." text of the caption files), and nothing is
// appended:
// - a double quote, CR or LF in a text between quotes or in a function name, CR or LF
//   in a free line: the game has no escape for a quote, and a line break cuts the line;
// - ";" in a chat message: the game would run the rest of the message as a command;
// - a key with a byte above 127: the game would take it for a negative key number and
//   write outside its key table;
// - a word of the line that the game cuts (the game's word limit), and a line that the
//   game discards or cuts (1,024 characters with the CR the saved file puts after it).
// Everything else is written as it is; the diagnostics of the list explain it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/Text.h"
#include "game/Game.h"

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

// Why Add binding appends nothing: the key field shows that no key is chosen
// ("Guard.NoKey") or the function field that no function is ("Guard.NoFunction");
// std::nullopt when the guard lets the line through.
std::optional<Text> GuardText(const ShownFields& shown);

// Why the actions that take the selected external resource append nothing: none is
// selected ("Guard.NoResource").
std::optional<Text> ResourceGuardText(int selectedResource);

// Add binding: `bind "KEY" "COMMAND"`. For say and say_team the chat text follows the
// command word (`bind "KEY" "say TEXT"`); for User the chat field's whole text is the
// bound command (`bind "KEY" "TEXT"`). Nothing while a field shows nothing chosen.
std::optional<std::string> ComposeBinding(const ShownFields& shown, std::string_view key,
                                          std::string_view command, std::string_view text,
                                          game::Game game = game::Game::kQuake2);

// Add external binding: `bind "KEY" "EXTERNAL"`, when a resource is selected (>= 0).
std::optional<std::string> ComposeExternalBinding(int selectedResource, std::string_view key,
                                                  std::string_view external,
                                                  game::Game game = game::Game::kQuake2);

// Add definable-function call: `PICKED "ARGS"` (PICKED empty when nothing was picked).
std::string ComposeDefinableCall(std::string_view picked, std::string_view args,
                                 game::Game game = game::Game::kQuake2);

// Add definable function with external command: `TYPED "ARGS" "EXTERNAL"`, when a
// resource is selected (>= 0).
std::optional<std::string> ComposeDefinableWithExternal(int selectedResource,
                                                        std::string_view typed,
                                                        std::string_view args,
                                                        std::string_view external,
                                                        game::Game game = game::Game::kQuake2);

// Add free line: the user's own console text, as typed.
std::string ComposeFreeLine(std::string_view freeLine, game::Game game = game::Game::kQuake2);

}  // namespace tavrilo::macros
