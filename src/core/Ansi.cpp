// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Ansi.h"

#include <array>

namespace tavrilo {

namespace {

// The characters of the bytes 0x80 to 0x9F; the five bytes without one keep their number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char16_t UnicodeOfAnsi(unsigned char byte) {
  return (byte >= 0x80 && byte <= 0x9F) ? kHighControls[byte - 0x80] : char16_t{byte};
}

std::optional<unsigned char> AnsiOfUnicode(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == c) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

std::string Utf8FromAnsi(std::string_view bytes) {
  std::string utf8;
  utf8.reserve(bytes.size());
  for (char byte : bytes) {
    const unsigned c = UnicodeOfAnsi(static_cast<unsigned char>(byte));
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xE0 | (c >> 12));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

bool IsUtf8WithHighBytes(std::string_view bytes) {
  bool high = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = b < 0x80           ? 1
                               : (b >> 5) == 0x6  ? 2
                               : (b >> 4) == 0xE  ? 3
                               : (b >> 3) == 0x1E ? 4
                                                  : 0;
    if (length == 0 || i + length > bytes.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    high = high || length > 1;
    i += length;
  }
  return high;
}

}  // namespace tavrilo
