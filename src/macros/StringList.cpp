#include "macros/StringList.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "Errors.h"

namespace tavrilo::macros {

namespace {
const std::string kEmpty;
}

StringList::StringList(std::size_t maxCount) : maxCount_(std::min(maxCount, kMaxCount)) {}

const std::string& StringList::At(int index) const {
  if (index < 0 || index >= Count()) throw EListError::IndexOutOfBounds(index);
  return items_[static_cast<std::size_t>(index)];
}

void StringList::Add(std::string text) {
  if (items_.size() >= maxCount_) throw EListError::InsertFailed();
  try {
    items_.push_back(std::move(text));
  } catch (const std::bad_alloc&) {
    throw EListError::InsertFailed();
  } catch (const std::length_error&) {
    throw EListError::InsertFailed();
  }
}

void StringList::Delete(int index) {
  if (index < 0 || index >= Count()) throw EListError::IndexOutOfBounds(index);
  items_.erase(items_.begin() + index);
  itemIndex_ = -1;
}

void StringList::Clear() {
  std::vector<std::string>().swap(items_);
  itemIndex_ = -1;
}

void StringList::SetItemIndex(int index) {
  itemIndex_ = (index >= 0 && index < Count()) ? index : -1;
}

const std::string& StringList::Text() const {
  return itemIndex_ < 0 ? kEmpty : items_[static_cast<std::size_t>(itemIndex_)];
}

void StringList::Reserve(std::size_t count) {
  items_.reserve(std::min(count, maxCount_));
}

}  // namespace tavrilo::macros
