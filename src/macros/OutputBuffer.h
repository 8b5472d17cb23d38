// SPDX-License-Identifier: GPL-3.0-or-later
// The output buffer: the lines written before the macro list when it is saved. It holds
// the header comment after start-up and after a new list, and nothing after a save.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tavrilo::macros {

class OutputBuffer {
 public:
  // Every line followed by CR LF.
  const std::string& Text() const { return text_; }
  bool Empty() const { return text_.empty(); }
  void AppendLine(std::string_view line);
  void Clear() { text_.clear(); }

 private:
  std::string text_;
};

// The six lines of the header comment, Windows-1252.
std::array<std::string, 6> HeaderLines();

// Empties the buffer and appends the six header lines.
void ResetOutputBuffer(OutputBuffer& buffer);

}  // namespace tavrilo::macros
