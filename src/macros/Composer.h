// SPDX-License-Identifier: GPL-3.0-or-later
// The binding being composed: the chosen key token and command token, for the game the
// player chose.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/Text.h"
#include "game/Game.h"
#include "macros/CommandTranslation.h"
#include "macros/LineComposition.h"

namespace tavrilo::macros {

class Composer {
 public:
  // CurrentKey: "a" (untranslated) until a key is chosen. For a key the game cannot bind,
  // the key field's text as it stands.
  const std::string& CurrentKey() const { return currentKey_; }
  // Whether the game can bind CurrentKey.
  bool KeyIsBindable() const { return !keyRefusal_.has_value(); }
  // CurrentKey for a line to add; TextError saying why when the game cannot bind it.
  const std::string& BindableKey() const;
  // CurrentCommand: the default command until a function is chosen.
  const std::string& CurrentCommand() const { return currentCommand_; }

  // The game the next key choice is translated for (Quake 2 at first). CurrentKey stays
  // as it is.
  void SetGame(game::Game game) { game_ = game; }
  game::Game GetGame() const { return game_; }

  // Back to the initial key and command, for the same game.
  void Reset();

  // The key field's text changed (picked or typed): CurrentKey becomes its translation.
  void SelectKey(std::string_view fieldText);

  // A key chosen by pressing it: `gameName` is already the game's name for it, and
  // becomes CurrentKey as it is.
  void SelectCapturedKey(std::string_view gameName);

  // The two add actions that bind CurrentKey, for the chosen game: the line of
  // ComposeBinding (with CurrentCommand and the chat field's `text`) and of
  // ComposeExternalBinding. When a guard lets a line through, a key the game cannot bind
  // is refused with TextError, like any other refusal.
  std::optional<std::string> ComposeBinding(const ShownFields& shown, std::string_view text) const;
  std::optional<std::string> ComposeExternalBinding(int selectedResource,
                                                    std::string_view external) const;

  // The function field changed: CurrentCommand becomes the translation of the catalogue
  // command now selected in the hidden command column (empty when no entry is selected,
  // which gives the default command).
  void SelectFunction(std::string_view catalogueCommand);

 private:
  template <typename Compose>
  std::optional<std::string> WithBindableKey(Compose&& compose) const;

  game::Game game_ = game::Game::kQuake2;
  std::string currentKey_{"a"};
  std::optional<Text> keyRefusal_;
  std::string currentCommand_{kDefaultCommand};
};

}  // namespace tavrilo::macros
