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

// The mark between groups of three digits in the numbers of the system's texts
// (game::GroupDigits): the no-break space (Windows-1252) that French writes there. Each
// language shows it as its own separator.
inline constexpr char kDigitGroupMark = '\xA0';

// Whether `value` is a number grouped with kDigitGroupMark: one to three digits, then
// groups of three, each after a mark ("8\xA0191"; "8191" is not).
bool IsGroupedNumber(std::string_view value);

// Appends `value`, with its marks replaced by `separator` when it is a grouped number.
void AppendValue(std::string& out, std::string_view value, char separator);

// `pattern` with each placeholder %1 to %9 replaced by the value of that number; "%%" is
// one "%". A placeholder without a value, and a "%" before anything else, stay as they are.
// A grouped number among the values gets `separator` between its groups.
std::string FormatText(std::string_view pattern, const std::vector<std::string>& args,
                       char separator = kDigitGroupMark);

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
