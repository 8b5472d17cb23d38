// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/MacroList.h"

#include "core/Errors.h"

namespace tavrilo::macros {

void MacroList::UserSelect(int index) {
  if (index == -1) {
    // Taking the selection away selects no entry: the tool-tip keeps the last one.
    SetItemIndex(-1);
    return;
  }
  hint_ = At(index);  // outside the list: ListIndexError, and nothing changes
  SetItemIndex(index);
}

void MacroList::DeleteSelected() {
  if (ItemIndex() < 0) return;
  Delete(ItemIndex());
}

}  // namespace tavrilo::macros
