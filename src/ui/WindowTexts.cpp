// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowTexts.h"

#include "core/ErrorText.h"
#include "core/Errors.h"
#include "ui/TextCodec.h"

namespace tavrilo::ui {

QString WindowTexts::operator()(const Text& text) const {
  return FormatForUser(language_.captions.Get(text.key), text,
                       datafiles::DigitGroupSeparator(language_.Selected()));
}

QString WindowTexts::Caption(std::string_view key) const {
  return FromAnsi(language_.captions.Get(key));
}

QString WindowTexts::ErrorMessage(const std::exception& error, const std::string& path) const {
  const Text text = TextOfError(error);
  const std::string& pattern = language_.captions.Get(text.key);
  std::string message;
  if (!pattern.empty()) {
    message =
        ToAnsi(FormatForUser(pattern, text, datafiles::DigitGroupSeparator(language_.Selected())));
    const bool systemError = dynamic_cast<const InputOutputError*>(&error) != nullptr;
    const std::string& named = language_.captions.Get("Window.FileError");
    if (systemError && !path.empty() && !named.empty())
      message = ToAnsi(FormatForUser(named, Text{"Window.FileError", {path, message}}));
  } else if (dynamic_cast<const TextError*>(&error) != nullptr) {
    message = ToAnsi(FormatForUser({}, text));
  } else {
    // The system's messages are plain ASCII apart from the file names they quote, which
    // keep the file system's bytes.
    return PathFromBytes(ErrorBoxText(error.what()));
  }
  return FromAnsi(ErrorBoxText(message));
}

}  // namespace tavrilo::ui
