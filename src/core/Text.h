// SPDX-License-Identifier: GPL-3.0-or-later
// A text of the program in the user's language: the key under which the caption files
// hold it and the values of its placeholders %1, %2, ... The engine names its texts;
// the window and the command line look them up in the caption file of the language in
// use, so that every message exists in French and in English.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Errors.h"

namespace tavrilo {

struct Text {
  std::string key;
  std::vector<std::string> args;

  bool operator==(const Text&) const = default;
};

// `pattern` with each placeholder %1 to %9 replaced by the value of that number; "%%" is
// one "%". A placeholder without a value, and a "%" before anything else, stay as they are.
std::string FormatText(std::string_view pattern, const std::vector<std::string>& args);

// The text shown when the caption file has no pattern for `text`: its key, then its
// values in brackets.
std::string FallbackText(const Text& text);

// An error whose message is a text of the caption files. what() is FallbackText.
class TextError : public Error {
 public:
  explicit TextError(Text text);
  const Text& GetText() const { return text_; }

 private:
  Text text_;
};

}  // namespace tavrilo
