// SPDX-License-Identifier: GPL-3.0-or-later
// Windows-1252, the code page of every text of the system, and the Unicode characters of
// its bytes: for the window's widgets and for the terminal of the command line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrilo {

// The character of a byte. The five bytes without a character in Windows-1252 (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) give the control character of the same number, so that every
// byte survives the round trip.
char16_t UnicodeOfAnsi(unsigned char byte);

// The byte of a character; std::nullopt when Windows-1252 has none.
std::optional<unsigned char> AnsiOfUnicode(char16_t c);

// Windows-1252 bytes as UTF-8.
std::string Utf8FromAnsi(std::string_view bytes);

// Whether `bytes` hold a byte above 127 and read as UTF-8: a file name as the file
// system gives it, not a Windows-1252 text.
bool IsUtf8WithHighBytes(std::string_view bytes);

}  // namespace tavrilo
