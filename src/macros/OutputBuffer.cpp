// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/OutputBuffer.h"

#include "Branding.h"

namespace tavrilo::macros {

namespace {
constexpr std::string_view kLineEnd = "\r\n";
}

void OutputBuffer::AppendLine(std::string_view line) {
  text_.append(line).append(kLineEnd);
}

std::array<std::string, 6> HeaderLines() {
  // Windows-1252: 0xE9 e-acute, 0xE2 a-circumflex, 0xEA e-circumflex.
  return {
      std::string("// Fichier macro cr\xE9\xE9 gr\xE2"
                  "ce au ")
          .append(kApplicationTitle),
      std::string("//").append(29, ' ').append(kCopyrightNotice),
      std::string("// Ce programme peut \xEA"
                  "tre obtenu gratuitement via:"),
      std::string("//    Mon E-Mail: ").append(kEmailAddress),
      std::string("//    Mon site: ").append(kWebPage),
      std::string(),
  };
}

void ResetOutputBuffer(OutputBuffer& buffer) {
  buffer.Clear();
  for (const std::string& line : HeaderLines())
    buffer.AppendLine(line);
}

}  // namespace tavrilo::macros
