// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Messages.h"

#include "core/Locations.h"
#include "core/WholeFile.h"

namespace tavrilo::cli {

datafiles::Language LanguageOfLocale(std::string_view locale) {
  const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
  return language == "fr" ? datafiles::Language::kFrench : datafiles::Language::kEnglish;
}

datafiles::Language CommandLineLanguage(std::optional<datafiles::Language> chosen,
                                        const Environment& environment,
                                        const std::string& dataRoot) {
  if (chosen) return *chosen;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = environment(name);
    if (value == nullptr || *value == '\0') continue;
    const std::string_view locale = value;
    const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    if (language == "C" || language == "POSIX") return datafiles::Language::kEnglish;
    const char* list = environment("LANGUAGE");
    for (std::string_view rest = list != nullptr ? list : ""; !rest.empty();) {
      const std::size_t colon = rest.find(':');
      const std::string_view item = rest.substr(0, colon);
      const std::string_view itemLanguage = item.substr(0, item.find_first_of("_.@"));
      if (itemLanguage == "fr" || itemLanguage == "en") return LanguageOfLocale(item);
      rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
    }
    return LanguageOfLocale(locale);
  }
  const datafiles::Language window =
      datafiles::LanguageAtStartup(datafiles::IniFile(SettingsForReading(dataRoot)));
  return window == datafiles::Language::kNone ? datafiles::Language::kEnglish : window;
}

Pattern::Pattern(std::string_view ansi, Form form, char separator)
    : form_(form), separator_(separator) {
  Piece piece;
  std::size_t fixedFrom = 0;
  auto endFixed = [&](std::size_t to) {
    AppendAnsi(piece.fixed, ansi.substr(fixedFrom, to - fixedFrom), form);
  };
  for (std::size_t i = 0; i + 1 < ansi.size(); ++i) {
    if (ansi[i] != '%') continue;
    const char next = ansi[i + 1];
    if (next == '%') {
      endFixed(i + 1);  // one "%" kept, the second dropped
      fixedFrom = i + 2;
      ++i;
    } else if (next >= '1' && next <= '9') {
      endFixed(i);
      piece.arg = next - '1';
      pieces_.push_back(std::move(piece));
      piece = Piece();
      fixedFrom = i + 2;
      ++i;
    }
  }
  endFixed(ansi.size());
  if (!piece.fixed.empty() || pieces_.empty()) pieces_.push_back(std::move(piece));
}

Messages::Messages(const std::string& dataRoot, datafiles::Language language)
    : language_(language) {
  std::string captions;
  if (ReadWholeFile(dataRoot + datafiles::FilesOf(language).captionsPath, captions) == 0)
    captions_ = datafiles::ParseIniSection(captions, datafiles::kGeneralSection);
}

const Pattern* Messages::Find(std::string_view key, Form form) const {
  auto& compiled = compiled_[form == Form::kJson ? 1 : 0];
  const std::string name(key);
  auto found = compiled.find(name);
  if (found == compiled.end()) {
    const std::string* text = captions_.Find(key);
    std::unique_ptr<Pattern> pattern;
    if (text != nullptr && !text->empty())
      pattern = std::make_unique<Pattern>(*text, form, datafiles::DigitGroupSeparator(language_));
    found = compiled.emplace(name, std::move(pattern)).first;
  }
  return found->second.get();
}

std::string Messages::Ansi(std::string_view key) const {
  const std::string* text = captions_.Find(key);
  return text != nullptr && !text->empty() ? *text : std::string(key);
}

void Messages::AppendTo(std::string& out, const Text& text, Form form) const {
  if (const Pattern* pattern = Find(text.key, form)) {
    pattern->AppendTo(out, text.args);
  } else {
    AppendText(out, FallbackText(text), form);
  }
}

std::string Messages::Shown(const Text& text, Form form) const {
  std::string shown;
  AppendTo(shown, text, form);
  return shown;
}

}  // namespace tavrilo::cli
