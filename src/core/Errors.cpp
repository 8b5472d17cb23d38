// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Errors.h"

#include "core/Platform.h"

namespace tavrilo {

EInOutError::EInOutError(int code) : Error(MessageFor(code)), code_(code) {}

EInOutError::EInOutError(int code, const std::string& message) : Error(message), code_(code) {}

EInOutError EInOutError::Unmapped(int osError) {
  return EInOutError(osError, "I/O error " + std::to_string(osError));
}

std::string EInOutError::MessageFor(int code) {
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

EFOpenError::EFOpenError(std::string_view path) : Error("Cannot open file " + std::string(path)) {}

EFCreateError::EFCreateError(std::string_view path)
    : Error("Cannot create file " + std::string(path)) {}

EWriteError::EWriteError() : Error("Stream write error") {}

EReadError::EReadError() : Error("Stream read error") {}

EIniWriteError::EIniWriteError(std::string_view iniPath)
    : Error("Unable to write to " + std::string(iniPath)) {}

EListError EListError::InsertFailed() {
  return EListError("Unable to insert a line");
}

EListError EListError::IndexOutOfBounds(long long index) {
  return EListError("List index out of bounds (" + std::to_string(index) + ")");
}

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
    text += '.';
  }
  return text;
}

EInOutError InOutErrorFor(int osError, const std::string& path) {
  const int code = platform::TableCodeFor(osError, path);
  return code != 0 ? EInOutError(code) : EInOutError::Unmapped(osError);
}

}  // namespace tavrilo
