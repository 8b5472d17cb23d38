// SPDX-License-Identifier: GPL-3.0-or-later
// Where the findings of a check are gathered while the interpreter runs, in the order
// they are found, and then put in the order the result gives them.
#pragma once

#include <cstddef>
#include <deque>
#include <initializer_list>
#include <string_view>

#include "game/Check.h"

namespace tavrilo::game {

class FindingCollector {
 public:
  void Add(int line, int column, Code code, std::initializer_list<std::string_view> args = {});

  // The result: the findings by line, errors first within a line, each finding once per
  // line (one note per support file to run); `lines` is the number of lines of the script.
  // Time linear in the findings (a sort for a line with many of them).
  CheckResult Finish(std::size_t lines, std::size_t size, std::size_t limit);

 private:
  std::string_view KeyOf(const Finding& finding) const;
  Finding* Settle(Finding* first, Finding* last) const;

  // A deque grows without moving what it holds; sorted into the result's vector at the end.
  std::deque<Finding> findings_;
  PackedValues args_;
};

}  // namespace tavrilo::game
