// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/StringList.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "core/Errors.h"

namespace tavrilo {

StringList::StringList(std::size_t maxCount) : maxCount_(std::min(maxCount, kMaxCount)) {}

std::string_view StringList::At(int index) const {
  if (index < 0 || index >= Count()) throw ListIndexError::IndexOutOfBounds(index);
  const std::size_t begin = Begin(static_cast<std::size_t>(index));
  return std::string_view(bytes_).substr(begin, ends_[static_cast<std::size_t>(index)] - begin);
}

void StringList::Add(std::string_view text) {
  Insert(Count(), text);
}

void StringList::Insert(int index, std::string_view text) {
  if (index < 0 || index > Count()) throw ListIndexError::IndexOutOfBounds(index);
  if (ends_.size() >= maxCount_) throw ListIndexError::InsertFailed();
  const auto position = static_cast<std::size_t>(index);
  const std::size_t begin = Begin(position);
  try {
    // The room is made first: once it is there, nothing below can fail.
    if (ends_.size() == ends_.capacity())
      ends_.reserve(std::max<std::size_t>(16, 2 * ends_.size()));
    bytes_.insert(begin, text);  // all or nothing
  } catch (const std::bad_alloc&) {
    throw ListIndexError::InsertFailed();
  } catch (const std::length_error&) {
    throw ListIndexError::InsertFailed();
  }
  ends_.insert(ends_.begin() + index, begin + text.size());
  for (std::size_t i = position + 1; i < ends_.size(); ++i)
    ends_[i] += text.size();
  if (position + 1 < ends_.size()) itemIndex_ = -1;  // an entry moved under the selection
}

void StringList::Delete(int index) {
  if (index < 0 || index >= Count()) throw ListIndexError::IndexOutOfBounds(index);
  const auto position = static_cast<std::size_t>(index);
  const std::size_t begin = Begin(position);
  const std::size_t length = ends_[position] - begin;
  bytes_.erase(begin, length);
  ends_.erase(ends_.begin() + index);
  for (std::size_t i = position; i < ends_.size(); ++i)
    ends_[i] -= length;
  itemIndex_ = -1;
}

void StringList::Replace(int index, std::string_view text) {
  if (index < 0 || index >= Count()) throw ListIndexError::IndexOutOfBounds(index);
  const auto position = static_cast<std::size_t>(index);
  const std::size_t begin = Begin(position);
  const std::size_t length = ends_[position] - begin;
  try {
    bytes_.replace(begin, length, text);  // all or nothing
  } catch (const std::bad_alloc&) {
    throw ListIndexError::InsertFailed();
  } catch (const std::length_error&) {
    throw ListIndexError::InsertFailed();
  }
  for (std::size_t i = position; i < ends_.size(); ++i)
    ends_[i] = ends_[i] - length + text.size();
}

void StringList::Move(int from, int to) {
  if (from < 0 || from >= Count()) throw ListIndexError::IndexOutOfBounds(from);
  if (to < 0 || to >= Count()) throw ListIndexError::IndexOutOfBounds(to);
  itemIndex_ = -1;
  if (from == to) return;
  // The bytes from the first to the last entry concerned turn round in place: no entry
  // is copied out, so the move cannot fail half way.
  const auto low = static_cast<std::size_t>(std::min(from, to));
  const auto high = static_cast<std::size_t>(std::max(from, to));
  const std::size_t first = Begin(low);
  const std::size_t last = ends_[high];
  const std::size_t movedLength =
      ends_[static_cast<std::size_t>(from)] - Begin(static_cast<std::size_t>(from));
  if (from < to) {
    // The entry goes down: the ones after it come up by its length.
    std::rotate(bytes_.begin() + static_cast<std::ptrdiff_t>(first),
                bytes_.begin() + static_cast<std::ptrdiff_t>(first + movedLength),
                bytes_.begin() + static_cast<std::ptrdiff_t>(last));
    for (std::size_t i = low; i < high; ++i)
      ends_[i] = ends_[i + 1] - movedLength;
    ends_[high] = last;
  } else {
    // The entry goes up: the ones before it go down by its length.
    std::rotate(bytes_.begin() + static_cast<std::ptrdiff_t>(first),
                bytes_.begin() + static_cast<std::ptrdiff_t>(last - movedLength),
                bytes_.begin() + static_cast<std::ptrdiff_t>(last));
    for (std::size_t i = high; i > low; --i)
      ends_[i] = ends_[i - 1] + movedLength;
    ends_[low] = first + movedLength;
  }
}

void StringList::Clear() {
  std::string().swap(bytes_);
  std::vector<std::size_t>().swap(ends_);
  itemIndex_ = -1;
}

void StringList::SetItemIndex(int index) {
  itemIndex_ = (index >= 0 && index < Count()) ? index : -1;
}

std::string_view StringList::Text() const {
  return itemIndex_ < 0 ? std::string_view() : At(itemIndex_);
}

std::vector<std::string> StringList::Items() const {
  std::vector<std::string> items;
  items.reserve(ends_.size());
  for (int i = 0; i < Count(); ++i)
    items.emplace_back(At(i));
  return items;
}

void StringList::Reserve(std::size_t count, std::size_t bytes) {
  try {
    ends_.reserve(ends_.size() + std::min(count, maxCount_ - ends_.size()));
    bytes_.reserve(bytes_.size() + bytes);
  } catch (const std::exception&) {
    // Only a hint: the list grows as it goes.
  }
}

}  // namespace tavrilo
