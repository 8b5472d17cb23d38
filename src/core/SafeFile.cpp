// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SafeFile.h"

#include "core/Errors.h"

namespace tavrilo {

SafeFileWriter::SafeFileWriter(const std::string& path, WriteFunction write) : path_(path) {
  if (save_.Begin(path, write) != platform::kNoError) throw FileCreateError(path_);
}

SafeFileWriter::~SafeFileWriter() = default;

void SafeFileWriter::Write(std::string_view data) {
  if (save_.Write(data.data(), data.size()) != platform::kNoError) throw FileWriteError();
}

void SafeFileWriter::Commit() {
  platform::ErrorCode error = platform::kNoError;
  switch (save_.Commit(error)) {
    case platform::FileSave::Step::kDone:
      committed_ = true;
      return;
    case platform::FileSave::Step::kWriteFailed:
      throw FileWriteError();
    case platform::FileSave::Step::kPlaceFailed:
      throw FileCreateError(path_);
  }
}

}  // namespace tavrilo
