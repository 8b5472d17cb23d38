// An ordered list of texts with at most one selected position, the shape of every
// list and drop-down field of the macro editor. Positions count from 0; -1 is "none".
#pragma once

#include <climits>
#include <cstddef>
#include <string>
#include <vector>

namespace tavrilo::macros {

class StringList {
 public:
  // Positions are ints, so a list holds at most INT_MAX entries.
  static constexpr std::size_t kMaxCount = INT_MAX;

  StringList() = default;
  // A list that takes at most `maxCount` entries (never more than kMaxCount).
  explicit StringList(std::size_t maxCount);

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }

  // The entry at `index`; throws EListError "List index out of bounds (%d)" outside the list.
  const std::string& At(int index) const;

  // Appends at the end; throws EListError "Unable to insert a line" when the list cannot
  // take another entry. The list keeps its former entries.
  void Add(std::string text);

  // Removes the entry at `index` (out of bounds: EListError); the selection is removed.
  void Delete(int index);

  // Removes every entry and the selection.
  void Clear();

  // The selected position, or -1.
  int ItemIndex() const { return itemIndex_; }
  // Selects `index`; -1 or a position outside the list removes the selection.
  void SetItemIndex(int index);
  // The selected entry, or the empty text when nothing is selected.
  const std::string& Text() const;

  const std::vector<std::string>& Items() const { return items_; }
  void Reserve(std::size_t count);

 private:
  std::vector<std::string> items_;
  std::size_t maxCount_ = kMaxCount;
  int itemIndex_ = -1;
};

}  // namespace tavrilo::macros
