// SPDX-License-Identifier: GPL-3.0-or-later
// An ordered list of texts with at most one selected position, the shape of every
// list and drop-down field of the macro editor. Positions count from 0; -1 is "none".
//
// The entries stand one after the other in a single block of bytes, with the end of
// each kept beside it: a list of a million lines costs its bytes and eight more per
// entry, not a separate allocation per entry.
#pragma once

#include <climits>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavrilo {

class StringList {
 public:
  // Positions are ints, so a list holds at most INT_MAX entries.
  static constexpr std::size_t kMaxCount = INT_MAX;

  StringList() = default;
  // A list that takes at most `maxCount` entries (never more than kMaxCount).
  explicit StringList(std::size_t maxCount);

  int Count() const { return static_cast<int>(ends_.size()); }
  bool Empty() const { return ends_.empty(); }

  // The entry at `index`, valid until the list changes; throws ListIndexError "List index
  // out of bounds (%d)" outside the list.
  std::string_view At(int index) const;

  // Appends at the end; throws ListIndexError "Unable to insert a line" when the list cannot
  // take another entry. The list keeps its former entries.
  void Add(std::string_view text);

  // Puts `text` at `index` (0 to Count(); Count() appends), the later entries one place
  // further; fails like Add, and outside 0 to Count() with ListIndexError. The selection is
  // removed. Either way a failure leaves the list as it was.
  void Insert(int index, std::string_view text);

  // Removes the entry at `index` (out of bounds: ListIndexError); the selection is removed.
  void Delete(int index);

  // The entry at `index` becomes `text` (out of bounds: ListIndexError; no room: ListIndexError
  // "Unable to insert a line", the list as it was). The selection stays.
  void Replace(int index, std::string_view text);

  // The entry at `from` moves to `to`, the entries between one place towards `from`
  // (either out of bounds: ListIndexError, nothing changes). The selection is removed.
  void Move(int from, int to);

  // Removes every entry and the selection.
  void Clear();

  // The selected position, or -1.
  int ItemIndex() const { return itemIndex_; }
  // Selects `index`; -1 or a position outside the list removes the selection.
  void SetItemIndex(int index);
  // The selected entry, or the empty text when nothing is selected.
  std::string_view Text() const;

  // A copy of every entry, in order.
  std::vector<std::string> Items() const;

  // Makes room for `count` more entries holding `bytes` more bytes, so that a long list
  // is not moved from one ever larger block to the next while it fills. Only a hint:
  // when the room cannot be had the list grows as it goes.
  void Reserve(std::size_t count, std::size_t bytes);

 private:
  std::size_t Begin(std::size_t index) const { return index == 0 ? 0 : ends_[index - 1]; }

  std::string bytes_;              // the entries, one after the other
  std::vector<std::size_t> ends_;  // where each entry ends in bytes_
  std::size_t maxCount_ = kMaxCount;
  int itemIndex_ = -1;
};

}  // namespace tavrilo
