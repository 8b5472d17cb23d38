// SPDX-License-Identifier: GPL-3.0-or-later
// The macro list: the console lines the user builds, shown in the list of macros, with
// the list's tool-tip, which keeps the last entry the user selected.
#pragma once

#include <string>

#include "core/StringList.h"

namespace tavrilo::macros {

class MacroList : public StringList {
 public:
  using StringList::StringList;

  // The tool-tip text: the last entry the user selected; empty until then. Deleting,
  // loading, saving and a new list leave it as it is.
  const std::string& Hint() const { return hint_; }

  // The user selected `index` (by mouse or keyboard): it becomes the selection and its
  // text the tool-tip.
  void UserSelect(int index);

  // Removes the selected entry; afterwards nothing is selected. Does nothing when no
  // entry is selected.
  void DeleteSelected();

 private:
  std::string hint_;
};

}  // namespace tavrilo::macros
