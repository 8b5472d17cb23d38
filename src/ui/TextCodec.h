// The one place where texts cross between the system (Windows-1252 bytes) and the
// widgets (QString).
#pragma once

#include <QString>
#include <QValidator>

#include <optional>
#include <string>
#include <string_view>

namespace tavrilo::ui {

// Windows-1252 bytes to a QString. The five bytes without a character in Windows-1252
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number, so
// every byte survives the round trip.
QString FromAnsi(std::string_view bytes);

// A QString to Windows-1252 bytes; std::nullopt when a character has no byte.
std::optional<std::string> TryToAnsi(const QString& text);

// A QString that holds only Windows-1252 characters (the widgets refuse any other) to
// bytes; a character without a byte, which the widgets never let in, becomes "?".
std::string ToAnsi(const QString& text);

// Whether every character of `text` has a Windows-1252 byte.
bool IsAnsi(const QString& text);

// File names cross in the platform's file-name encoding, not in Windows-1252: the
// system keeps them as the bytes the file system takes.
std::string PathToBytes(const QString& path);
QString PathFromBytes(std::string_view bytes);

// Refuses any edit that would bring a character without a Windows-1252 byte into a field.
class AnsiValidator : public QValidator {
  Q_OBJECT
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};

}  // namespace tavrilo::ui
