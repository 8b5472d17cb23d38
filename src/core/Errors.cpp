// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Errors.h"

#include "core/Platform.h"

namespace tavrilo {

InputOutputError::InputOutputError(int code) : Error(MessageFor(code)), code_(code) {}

InputOutputError::InputOutputError(int code, const std::string& message)
    : Error(message), code_(code) {}

InputOutputError InputOutputError::Unmapped(int osError) {
  return InputOutputError(osError, "I/O error " + std::to_string(osError));
}

std::string InputOutputError::MessageFor(int code) {
  switch (code) {
    case kFileNotFound:
      return "File not found";
    case kPathNotFound:
      return "Invalid filename";
    case kTooManyOpenFiles:
      return "Too many open files";
    case kAccessDenied:
      return "File access denied";
    case kReadBeyondEnd:
      return "Read beyond end of file";
    case kDiskFull:
      return "Disk full";
    case kInvalidNumericInput:
      return "Invalid numeric input";
    default:
      return "I/O error " + std::to_string(code);
  }
}

FileOpenError::FileOpenError(std::string_view path)
    : Error("Cannot open file " + std::string(path)), path_(path) {}

FileCreateError::FileCreateError(std::string_view path)
    : Error("Cannot create file " + std::string(path)), path_(path) {}

FileWriteError::FileWriteError() : Error("Stream write error") {}

FileReadError::FileReadError() : Error("Stream read error") {}

SettingWriteError::SettingWriteError(std::string_view iniPath)
    : Error("Unable to write to " + std::string(iniPath)), path_(iniPath) {}

ListIndexError ListIndexError::InsertFailed() {
  return ListIndexError("Unable to insert a line");
}

ListIndexError ListIndexError::IndexOutOfBounds(long long index) {
  return ListIndexError("List index out of bounds (" + std::to_string(index) + ")");
}

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
    text += '.';
  }
  return text;
}

InputOutputError InOutErrorFor(int osError, const std::string& path) {
  const int code = platform::TableCodeFor(osError, path);
  return code != 0 ? InputOutputError(code) : InputOutputError::Unmapped(osError);
}

}  // namespace tavrilo
