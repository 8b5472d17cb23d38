// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Text.h"

namespace tavrilo {

std::string FormatText(std::string_view pattern, const std::vector<std::string>& args) {
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
      text += args[static_cast<std::size_t>(next - '1')];
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
