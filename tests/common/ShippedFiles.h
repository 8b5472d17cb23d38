// SPDX-License-Identifier: GPL-3.0-or-later
// Test helpers for the shipped data and support files: the byte rules of the shipped
// text files, their lines, the support files' names, and key names to compose lists with.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavrilo::testing {

// ---------------------------------------------------------------------------------------
// The shipped text files: Windows-1252 bytes, CR LF after every line, no byte-order
// mark, no 0x1A.

// The faults of a shipped text file's bytes; empty when the file is sound.
inline std::vector<std::string> TextFileFaults(std::string_view bytes) {
  std::vector<std::string> faults;
  auto at = [&](std::size_t offset) {
    std::size_t line =
        1 + static_cast<std::size_t>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
    return " (line " + std::to_string(line) + ", offset " + std::to_string(offset) + ")";
  };
  if (bytes.empty()) {
    faults.push_back("the file is empty");
    return faults;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) faults.push_back("a UTF-8 byte-order mark");
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == 0x1A) {
      faults.push_back("the end-of-file mark 0x1A" + at(i));
    } else if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) {
      faults.push_back("byte " + std::to_string(byte) + " is not a Windows-1252 character" + at(i));
    } else if (byte == '\r') {
      if (i + 1 >= bytes.size() || bytes[i + 1] != '\n') faults.push_back("a lone CR" + at(i));
    } else if (byte == '\n') {
      if (i == 0 || bytes[i - 1] != '\r') faults.push_back("a lone LF" + at(i));
    } else if (byte < 0x20 || byte == 0x7F) {
      faults.push_back("control byte " + std::to_string(byte) + at(i));
    } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < bytes.size() &&
               static_cast<unsigned char>(bytes[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(bytes[i + 1]) <= 0xBF) {
      faults.push_back("a UTF-8 sequence where Windows-1252 was expected" + at(i));
    }
  }
  if (!bytes.ends_with("\r\n")) faults.push_back("the last line does not end with CR LF");
  return faults;
}

// The lines of a shipped text file, without their CR LF.
inline std::vector<std::string> ShippedLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The support files, in the order the game's data directory receives them.
// Key names of both games, each a different key: one per line of a list to compose.
inline std::vector<std::string> DistinctKeys() {
  std::vector<std::string> keys;
  for (char c : std::string("abcdefghijklmnopqrstuvwxyz0123456789"))
    keys.emplace_back(1, c);
  for (int i = 1; i <= 12; ++i)
    keys.push_back("F" + std::to_string(i));
  for (const char* name :
       {"KP_HOME",    "KP_UPARROW",   "KP_PGUP",  "KP_LEFTARROW", "KP_5",      "KP_RIGHTARROW",
        "KP_END",     "KP_DOWNARROW", "KP_PGDN",  "KP_ENTER",     "KP_INS",    "KP_DEL",
        "KP_SLASH",   "KP_MINUS",     "KP_PLUS",  "UPARROW",      "DOWNARROW", "LEFTARROW",
        "RIGHTARROW", "INS",          "DEL",      "PGDN",         "PGUP",      "HOME",
        "END",        "TAB",          "ENTER",    "SPACE",        "BACKSPACE", "MOUSE1",
        "MOUSE2",     "MOUSE3",       "MWHEELUP", "MWHEELDOWN",   "PAUSE",     "SHIFT",
        "CTRL",       "ALT"})
    keys.emplace_back(name);
  return keys;
}

inline constexpr std::string_view kSupportFileNames[] = {"Alias.cfg", "GlVid.cfg", "ModBinding.cfg",
                                                         "NormBinding.cfg", "NormVid.cfg"};

}  // namespace tavrilo::testing
