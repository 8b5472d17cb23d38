// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/Composer.h"

#include <utility>

#include "macros/KeyTranslation.h"

namespace tavrilo::macros {

const std::string& Composer::BindableKey() const {
  if (keyRefusal_) throw TextError(*keyRefusal_);
  return currentKey_;
}

// A line the guards let through, for a key the game cannot bind: the key's own reason is
// given, not what the line written with that key would go on to do.
template <typename Compose>
std::optional<std::string> Composer::WithBindableKey(Compose&& compose) const {
  std::optional<std::string> line;
  try {
    line = compose();
  } catch (const TextError&) {
    BindableKey();
    throw;
  }
  if (line) BindableKey();
  return line;
}

std::optional<std::string> Composer::ComposeBinding(const ShownFields& shown,
                                                    std::string_view text) const {
  return WithBindableKey(
      [&] { return macros::ComposeBinding(shown, currentKey_, currentCommand_, text, game_); });
}

std::optional<std::string> Composer::ComposeExternalBinding(int selectedResource,
                                                            std::string_view external) const {
  return WithBindableKey([&] {
    return macros::ComposeExternalBinding(selectedResource, currentKey_, external, game_);
  });
}

void Composer::Reset() {
  const game::Game game = game_;
  *this = Composer();
  game_ = game;
}

void Composer::SelectKey(std::string_view fieldText) {
  game::KeyChoice choice = TranslateKey(game_, fieldText);
  keyRefusal_ = std::move(choice.refusal);
  currentKey_ = keyRefusal_ ? std::string(fieldText) : std::move(choice.name);
}

void Composer::SelectCapturedKey(std::string_view gameName) {
  currentKey_ = gameName;
  keyRefusal_.reset();
}

void Composer::SelectFunction(std::string_view catalogueCommand) {
  currentCommand_ = TranslateCommand(catalogueCommand);
}

}  // namespace tavrilo::macros
