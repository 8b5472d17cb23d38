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
  if (ends_.size() >= maxCount_) throw ListIndexError::InsertFailed();
  const std::size_t oldSize = bytes_.size();
  try {
    if (ends_.size() == ends_.capacity())
      ends_.reserve(std::max<std::size_t>(16, 2 * ends_.size()));
    bytes_.append(text);
    ends_.push_back(bytes_.size());  // cannot throw: the room was made above
  } catch (const std::bad_alloc&) {
    bytes_.resize(oldSize);
    throw ListIndexError::InsertFailed();
  } catch (const std::length_error&) {
    bytes_.resize(oldSize);
    throw ListIndexError::InsertFailed();
  }
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
