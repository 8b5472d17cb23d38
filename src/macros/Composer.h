// The binding being composed: the chosen key token and command token.
#pragma once

#include <string>
#include <string_view>

#include "macros/CommandTranslation.h"

namespace tavrilo::macros {

class StringList;

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

  // The function field changed. `position` is the picked entry of the display list, or
  // -1 for typed text. The same position is selected in `commands` (the hidden command
  // column), and CurrentCommand becomes the translation of the command there; no
  // position or an empty command gives the default command.
  void SelectFunction(int position, StringList& commands);

 private:
  std::string currentKey_{"a"};
  std::string currentCommand_{kDefaultCommand};
};

}  // namespace tavrilo::macros
