// SPDX-License-Identifier: GPL-3.0-or-later
// The window's one text formatter: the texts of the caption file of the language in use,
// with their values filled in, and the messages of errors in that language.
#pragma once

#include <QString>

#include <exception>
#include <string>
#include <string_view>

#include "core/Text.h"
#include "datafiles/Language.h"

namespace tavrilo::ui {

class WindowTexts {
 public:
  explicit WindowTexts(const datafiles::LanguageState& language) : language_(language) {}

  // `text` as the user reads it; a text the caption file lacks shows its key and values.
  QString operator()(const Text& text) const;
  // The caption file's text under `key` as it is; empty when it has none.
  QString Caption(std::string_view key) const;
  // What the error box says of `error`, with its final full stop. `path`: the file the
  // action read or wrote, named before the reason of a system error. A text the caption
  // file lacks falls back to the error's own message.
  QString ErrorMessage(const std::exception& error, const std::string& path = {}) const;

 private:
  const datafiles::LanguageState& language_;
};

}  // namespace tavrilo::ui
