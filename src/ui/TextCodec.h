// SPDX-License-Identifier: GPL-3.0-or-later
// The one place where texts cross between the system (Windows-1252 bytes) and the
// widgets (QString).
#pragma once

#include <QString>
#include <QValidator>

#include <optional>
#include <string>
#include <string_view>

#include "core/Text.h"

namespace tavrilo::ui {

// Windows-1252 bytes to a QString. The five bytes without a character in Windows-1252
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number, so
// every byte survives the round trip.
QString FromAnsi(std::string_view bytes);

// A QString that holds only Windows-1252 characters (the widgets refuse any other) to
// bytes; a character without a byte, which the widgets never let in, becomes "?".
std::string ToAnsi(const QString& text);

// What a list or a tool-tip shows of an entry: the entry itself, or, when it is longer
// than kMaxShownLength characters, its beginning and a mark that there is more. Laying
// out a line of megabytes would freeze the window; the entry itself stays whole.
inline constexpr qsizetype kMaxShownLength = 4095;
inline constexpr char16_t kMoreMark = u'\u2026';  // the ellipsis
QString ShownText(std::string_view bytes);

// A tool-tip that shows `text` exactly as it is: tool-tips take a text that looks like
// markup as rich text, so the text is escaped into a paragraph that keeps its blanks and
// wraps a long text to the screen instead of running past it.
QString PlainToolTip(const QString& text);

// Whether every character of `text` has a Windows-1252 byte.
bool IsAnsi(const QString& text);

// File names cross in the platform's file-name encoding, not in Windows-1252: the
// system keeps them as the bytes the file system takes.
std::string PathToBytes(const QString& path);
QString PathFromBytes(std::string_view bytes);

// A text of the caption files as the user reads it: `pattern` (Windows-1252) with the
// text's values in its placeholders. A value that is a file name the file system gave
// (valid UTF-8 with bytes above 127) is read as such; any other value is Windows-1252.
// An empty pattern shows the text's key and values. A grouped number among the values gets
// `separator` between its groups (datafiles::DigitGroupSeparator of the language).
QString FormatForUser(std::string_view pattern, const Text& text, char separator = kDigitGroupMark);

// Refuses any edit that would bring a character without a Windows-1252 byte into a field.
class AnsiValidator : public QValidator {
  Q_OBJECT
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};

}  // namespace tavrilo::ui
