// The binding being composed: the chosen key token and command token.
#pragma once

#include <string>
#include <string_view>

#include "macros/CommandTranslation.h"

namespace tavrilo::macros {

class Composer {
 public:
  // CurrentKey: "a" (untranslated) until a key is chosen.
  const std::string& CurrentKey() const { return currentKey_; }
  // CurrentCommand: the default command until a function is chosen.
  const std::string& CurrentCommand() const { return currentCommand_; }

  // Back to the initial key and command.
  void Reset();

  // The key field's text changed (picked or typed): CurrentKey becomes its translation.
  void SelectKey(std::string_view fieldText);

  // The function field changed: CurrentCommand becomes the translation of the catalogue
  // command now selected in the hidden command column (empty when no entry is selected,
  // which gives the default command).
  void SelectFunction(std::string_view catalogueCommand);

 private:
  std::string currentKey_{"a"};
  std::string currentCommand_{kDefaultCommand};
};

}  // namespace tavrilo::macros
