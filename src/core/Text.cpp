// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Text.h"

namespace tavrilo {

bool IsGroupedNumber(std::string_view value) {
  const std::size_t mark = value.find(kDigitGroupMark);
  if (mark == std::string_view::npos || mark == 0 || mark > 3) return false;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const bool markHere = i >= mark && (i - mark) % 4 == 0;
    if (markHere ? value[i] != kDigitGroupMark : (value[i] < '0' || value[i] > '9')) return false;
  }
  return (value.size() - mark) % 4 == 0;
}

void AppendValue(std::string& out, std::string_view value, char separator) {
  if (separator == kDigitGroupMark || !IsGroupedNumber(value)) {
    out += value;
    return;
  }
  for (char c : value)
    out += c == kDigitGroupMark ? separator : c;
}

std::string FormatText(std::string_view pattern, const std::vector<std::string>& args,
                       char separator) {
  std::string text;
  text.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (c == '%' && next == '%') {
      text += '%';
      ++i;
    } else if (c == '%' && next >= '1' && next <= '9' &&
               static_cast<std::size_t>(next - '1') < args.size()) {
      AppendValue(text, args[static_cast<std::size_t>(next - '1')], separator);
      ++i;
    } else {
      text += c;
    }
  }
  return text;
}

std::string FallbackText(const Text& text) {
  std::string shown = text.key;
  for (const std::string& arg : text.args)
    shown.append(" [").append(arg).append("]");
  return shown;
}

TextError::TextError(Text text) : Error(FallbackText(text)), text_(std::move(text)) {}

}  // namespace tavrilo
