// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/FileError.h"

#include "core/Platform.h"

namespace tavrilo {

namespace {

const char* ReasonName(int error, const std::string& path) {
  switch (error) {
    case platform::kNotRegularFile: {
      const std::optional<platform::FileStatus> status = platform::Status(path);
      return status && status->kind == platform::FileKind::kDirectory ? "IsDirectory"
                                                                      : "NotRegularFile";
    }
    case platform::kFileTooBig:
      return "TooBig";
    case platform::kOutOfMemory:
      return "OutOfMemory";
    case platform::kNoBackup:
      return "NoBackup";
    default:
      break;
  }
  if (error < 0) return "System";
  switch (platform::ClassifyError(error, path)) {
    case platform::Reason::kNotFound:
      return "NotFound";
    case platform::Reason::kFolderNotFound:
      return "FolderNotFound";
    case platform::Reason::kTooManyOpenFiles:
      return "TooManyOpenFiles";
    case platform::Reason::kAccessDenied:
      return "AccessDenied";
    case platform::Reason::kReadOnly:
      return "ReadOnly";
    case platform::Reason::kDiskFull:
      return "DiskFull";
    case platform::Reason::kNameTooLong:
      return "NameTooLong";
    case platform::Reason::kLinkLoop:
      return "LinkLoop";
    case platform::Reason::kIsDirectory:
      return "IsDirectory";
    case platform::Reason::kInputOutput:
      return "InputOutput";
    case platform::Reason::kOther:
      break;
  }
  return "System";
}

}  // namespace

Text FileErrorText(int error, const std::string& path) {
  return Text{std::string("FileError.") + ReasonName(error, path),
              {path, std::to_string(error), platform::SystemMessage(error)}};
}

FileError::FileError(int error, const std::string& path)
    : TextError(FileErrorText(error, path)), error_(error) {}

}  // namespace tavrilo
