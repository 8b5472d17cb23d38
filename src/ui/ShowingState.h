// SPDX-License-Identifier: GPL-3.0-or-later
// Two helpers of the window's handlers: a guard that marks the widgets' signals as the
// program's own, and the order "change the engine, then show it, even when it fails".
#pragma once

#include <utility>

namespace tavrilo::ui {

// While alive, the widgets' signals come from the program showing engine state, not
// from the user: the handlers that only the user's actions run ignore them.
class ShowingState {
 public:
  explicit ShowingState(bool& flag) : flag_(flag), was_(std::exchange(flag, true)) {}
  ~ShowingState() { flag_ = was_; }
  ShowingState(const ShowingState&) = delete;
  ShowingState& operator=(const ShowingState&) = delete;

 private:
  bool& flag_;
  bool was_;
};

// Runs `operation`, then `show` to put what it changed into the widgets, also when it
// fails part way: the steps done before an error stay done and must show.
template <typename Operation, typename Show>
void ThenShow(Operation&& operation, Show&& show) {
  try {
    operation();
  } catch (...) {
    show();
    throw;
  }
  show();
}

}  // namespace tavrilo::ui
