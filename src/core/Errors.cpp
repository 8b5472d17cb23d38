#include "core/Errors.h"

#include <sys/stat.h>

#include <cerrno>

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

namespace {

bool ParentIsDirectory(const std::string& path) {
  std::string::size_type slash = path.find_last_of('/');
  std::string parent;
  if (slash == std::string::npos) {
    parent = ".";
  } else if (slash == 0) {
    parent = "/";
  } else {
    parent = path.substr(0, slash);
  }
  struct stat info {};
  return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

EInOutError InOutErrorFor(int osError, const std::string& path) {
  switch (osError) {
    case ENOENT:
      return EInOutError(ParentIsDirectory(path) ? EInOutError::kFileNotFound
                                                 : EInOutError::kPathNotFound);
    case ENOTDIR:
      return EInOutError(EInOutError::kPathNotFound);
    case EMFILE:
    case ENFILE:
      return EInOutError(EInOutError::kTooManyOpenFiles);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return EInOutError(EInOutError::kAccessDenied);
    case ENOSPC:
    case EDQUOT:
      return EInOutError(EInOutError::kDiskFull);
    default:
      return EInOutError::Unmapped(osError);
  }
}

}  // namespace tavrilo
