// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Output.h"

#include "core/Ansi.h"

namespace tavrilo::cli {

namespace {

constexpr char kHex[] = "0123456789abcdef";

bool IsControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// An invisible character that changes how the text around it shows: the soft hyphen, the
// marks and controls of bidirectional text (U+202E shows "evil\u202egfc.cfg" as
// "evilcfg.exe"...), the line and paragraph separators, the zero-width and other format
// characters, the byte-order mark, the interlinear annotation marks and the tags.
bool IsInvisibleFormat(char32_t c) {
  return c == 0xAD || c == 0x061C || c == 0x180E || (c >= 0x200B && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF ||
         (c >= 0xFFF9 && c <= 0xFFFB) || (c >= 0x1D173 && c <= 0x1D17A) ||
         (c >= 0xE0000 && c <= 0xE007F);
}

// A character shown by its number: \uNNNN (\UNNNNNNNN beyond the first plane) on a
// terminal; in JSON \uNNNN, as two surrogates beyond the first plane.
void AppendEscapedCharacter(std::string& out, char32_t c, Form form) {
  auto hex = [&out](char32_t value, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
      out += kHex[(value >> shift) & 0xF];
  };
  if (c < 0x10000) {
    out += "\\u";
    hex(c, 4);
  } else if (form == Form::kJson) {
    const char32_t offset = c - 0x10000;
    out += "\\u";
    hex(0xD800 + (offset >> 10), 4);
    out += "\\u";
    hex(0xDC00 + (offset & 0x3FF), 4);
  } else {
    out += "\\U";
    hex(c, 8);
  }
}

// A byte shown by its number: \xNN on a terminal, \u00NN in JSON.
void AppendEscapedByte(std::string& out, unsigned byte, Form form) {
  out += form == Form::kJson ? "\\u00" : "\\x";
  out += kHex[(byte >> 4) & 0xF];
  out += kHex[byte & 0xF];
}

// An ASCII character, or the control character of that number.
void AppendAscii(std::string& out, char32_t c, Form form) {
  if (form == Form::kJson) {
    switch (c) {
      case '"':
        out += "\\\"";
        return;
      case '\\':
        out += "\\\\";
        return;
      case '\b':
        out += "\\b";
        return;
      case '\f':
        out += "\\f";
        return;
      case '\n':
        out += "\\n";
        return;
      case '\r':
        out += "\\r";
        return;
      case '\t':
        out += "\\t";
        return;
      default:
        break;
    }
  }
  if (IsControl(c)) {
    AppendEscapedByte(out, static_cast<unsigned>(c), form);
  } else {
    out += static_cast<char>(c);
  }
}

void AppendCharacter(std::string& out, char32_t c, Form form) {
  if (c < 0x80 || IsControl(c)) {
    AppendAscii(out, c, form);
  } else if (IsInvisibleFormat(c)) {
    AppendEscapedCharacter(out, c, form);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The length of the bytes at the start of `text` that need no care: printable ASCII other
// than the two characters JSON escapes.
std::size_t PlainPrefix(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size()) {
    const auto b = static_cast<unsigned char>(text[n]);
    if (b < 0x20 || b >= 0x7F || b == '"' || b == '\\') break;
    ++n;
  }
  return n;
}

// The character of the UTF-8 sequence at the start of `bytes` and its length; length 0
// when the bytes are no valid sequence (overlong forms, surrogates and numbers past
// U+10FFFF included).
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view bytes) {
  const auto b0 = static_cast<unsigned char>(bytes[0]);
  std::size_t length = 0;
  char32_t c = 0, least = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2, c = b0 & 0x1Fu, least = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3, c = b0 & 0x0Fu, least = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4, c = b0 & 0x07u, least = 0x10000;
  } else {
    return {0, 0};
  }
  if (bytes.size() < length) return {0, 0};
  for (std::size_t i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if ((b & 0xC0) != 0x80) return {0, 0};
    c = (c << 6) | (b & 0x3Fu);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {0, 0};
  return {c, length};
}

}  // namespace

void AppendAnsi(std::string& out, std::string_view ansi, Form form) {
  while (!ansi.empty()) {
    const std::size_t plain = PlainPrefix(ansi);
    out.append(ansi.data(), plain);
    ansi.remove_prefix(plain);
    if (ansi.empty()) break;
    AppendCharacter(out, UnicodeOfAnsi(static_cast<unsigned char>(ansi.front())), form);
    ansi.remove_prefix(1);
  }
}

void AppendBytes(std::string& out, std::string_view bytes, Form form) {
  while (!bytes.empty()) {
    const std::size_t plain = PlainPrefix(bytes);
    out.append(bytes.data(), plain);
    bytes.remove_prefix(plain);
    if (bytes.empty()) break;
    const auto byte = static_cast<unsigned char>(bytes.front());
    if (byte < 0x80) {
      AppendAscii(out, byte, form);
      bytes.remove_prefix(1);
      continue;
    }
    const auto [c, length] = DecodeUtf8(bytes);
    if (length == 0) {
      AppendEscapedByte(out, byte, form);
      bytes.remove_prefix(1);
    } else {
      if (IsControl(c)) {
        AppendEscapedByte(out, static_cast<unsigned>(c), form);
      } else if (IsInvisibleFormat(c)) {
        AppendEscapedCharacter(out, c, form);
      } else {
        out.append(bytes.data(), length);
      }
      bytes.remove_prefix(length);
    }
  }
}

void AppendText(std::string& out, std::string_view text, Form form) {
  if (IsUtf8WithHighBytes(text)) {
    AppendBytes(out, text, form);
  } else {
    AppendAnsi(out, text, form);
  }
}

void BufferedWriter::Write() {
  if (!failed_ && !buffer_.empty()) {
    stream_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    failed_ = !stream_;
  }
  buffer_.clear();
}

bool BufferedWriter::Flush() {
  Write();
  if (!failed_) failed_ = !stream_.flush();
  return !failed_;
}

}  // namespace tavrilo::cli
