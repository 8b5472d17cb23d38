// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ErrorText.h"

#include <array>
#include <new>
#include <string>
#include <utility>

namespace tavrilo {

Text TextOfError(const std::exception& error) {
  if (const auto* io = dynamic_cast<const InputOutputError*>(&error)) {
    static constexpr std::array<std::pair<int, const char*>, 7> kTable = {{
        {InputOutputError::kFileNotFound, "Cli.FileNotFound"},
        {InputOutputError::kPathNotFound, "Cli.PathNotFound"},
        {InputOutputError::kTooManyOpenFiles, "Cli.TooManyOpenFiles"},
        {InputOutputError::kAccessDenied, "Cli.AccessDenied"},
        {InputOutputError::kReadBeyondEnd, "Cli.ReadBeyondEnd"},
        {InputOutputError::kDiskFull, "Cli.DiskFull"},
        {InputOutputError::kInvalidNumericInput, "Cli.InvalidNumericInput"},
    }};
    // An unmapped system error may share its number with an entry of the table (EIO is
    // 5): its message then is not the table's.
    if (io->what() == InputOutputError::MessageFor(io->Code())) {
      for (const auto& [code, key] : kTable) {
        if (code == io->Code()) return Text{key, {}};
      }
    }
    return Text{"Cli.IoError", {std::to_string(io->Code())}};
  }
  if (const auto* text = dynamic_cast<const TextError*>(&error)) return text->GetText();
  if (const auto* open = dynamic_cast<const FileOpenError*>(&error))
    return Text{"Error.CannotOpen", {open->Path()}};
  if (const auto* create = dynamic_cast<const FileCreateError*>(&error))
    return Text{"Error.CannotCreate", {create->Path()}};
  if (const auto* setting = dynamic_cast<const SettingWriteError*>(&error))
    return Text{"Error.SettingWrite", {setting->Path()}};
  if (dynamic_cast<const FileWriteError*>(&error) != nullptr) return Text{"Error.WriteFailed", {}};
  if (dynamic_cast<const FileReadError*>(&error) != nullptr) return Text{"Cli.ReadError", {}};
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return Text{"Cli.OutOfMemory", {}};
  return Text{"Cli.OtherError", {error.what()}};
}

}  // namespace tavrilo
