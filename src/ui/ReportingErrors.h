// SPDX-License-Identifier: GPL-3.0-or-later
// How the window's actions report an error: in the error box, in the window's language.
#pragma once

#include <QWidget>

#include <exception>
#include <string>

#include "ui/Dialogs.h"
#include "ui/WindowTexts.h"

namespace tavrilo::ui {

// Runs `action`, showing any error it raises in the error box over `window` (while it is
// visible); `path`: the file it reads or writes, named before a system error's reason.
// Returns whether it ended without error.
template <typename Action>
bool ReportingErrors(Dialogs& dialogs, const QWidget& window, const WindowTexts& texts,
                     Action&& action, const std::string& path = {}) {
  try {
    action();
    return true;
  } catch (const std::exception& error) {
    dialogs.ShowError(window.isVisible() ? const_cast<QWidget*>(&window) : nullptr,
                      texts.ErrorMessage(error, path));
    return false;
  }
}

}  // namespace tavrilo::ui
