// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafiles/Language.h"

#include <utility>

#include "core/Errors.h"
#include "core/LineReader.h"
#include "core/Locations.h"
#include "core/Paths.h"

namespace tavrilo::datafiles {

namespace {

const std::string kNoText;

constexpr std::string_view kFrenchFlag = "fr";
constexpr std::string_view kEnglishFlag = "en";

}  // namespace

LanguageFiles FilesOf(Language language) {
  switch (language) {
    case Language::kFrench:
      return {"data/externs-fr.dat", "data/fcts-fr.dat", "data/dics-fr.ini"};
    case Language::kEnglish:
      return {"data/externs-en.dat", "data/fcts-en.dat", "data/dics-en.ini"};
    case Language::kNone:
      break;
  }
  return {};
}

char DigitGroupSeparator(Language language) {
  return language == Language::kEnglish ? ',' : kDigitGroupMark;
}

std::string_view ControlOf(std::string_view captionKey) {
  return captionKey.substr(0, captionKey.find('.'));
}

std::string_view PropertyOf(std::string_view captionKey) {
  const std::size_t point = captionKey.find('.');
  return point == std::string_view::npos ? std::string_view() : captionKey.substr(point + 1);
}

const std::string& Captions::Get(std::string_view key) const {
  const std::string* text = Find(key);
  return text != nullptr ? *text : kNoText;
}

LanguageState::LanguageState(std::string applicationDirectory)
    : appDir_(std::move(applicationDirectory)) {}

std::string LanguageState::SettingsPath() const {
  return SettingsForReading(appDir_);
}

bool LanguageState::Select(Language language) {
  if (language == Language::kNone || language == selected_) return false;
  selected_ = language;
  files_ = FilesOf(language);
  ReloadLanguage();
  return true;
}

void LanguageState::ReloadLanguage() {
  functionNames.Clear();
  resourceDescriptions.Clear();
  resourceCommands.Clear();

  captions.Assign(IniFile(appDir_ + files_.captionsPath).ReadSection(kGeneralSection));
  // The definable-function field now shows its caption, not the entry picked before.
  definableFunctions.SetItemIndex(-1);

  {
    LineReader catalogue(appDir_ + files_.functionsPath);
    // The old commands go only once the new catalogue is open.
    functionCommands.Clear();
    ReadLinePairs(catalogue, functionNames, functionCommands);
  }

  LineReader resources(appDir_ + files_.externsPath);
  ReadLinePairs(resources, resourceDescriptions, resourceCommands);
}

void LanguageState::RefreshResources() {
  LineReader resources(appDir_ + files_.externsPath);
  resourceDescriptions.Clear();
  resourceCommands.Clear();
  ReadLinePairs(resources, resourceDescriptions, resourceCommands);
}

void LanguageState::SelectFunction(int position) {
  functionNames.SetItemIndex(position);
  functionCommands.SetItemIndex(position);
}

void LanguageState::SelectResource(int position) {
  resourceDescriptions.SetItemIndex(position);
  resourceCommands.SetItemIndex(resourceDescriptions.ItemIndex());
}

Language LanguageAtStartup(const IniFile& settings) {
  try {
    if (settings.ReadBool(kGeneralSection, kEnglishFlag, true)) return Language::kEnglish;
    if (settings.ReadBool(kGeneralSection, kFrenchFlag, true)) return Language::kFrench;
  } catch (const Error&) {
    // Settings that cannot be read (over 64 MiB) choose no language.
  }
  return kDefaultLanguage;
}

void LanguageState::ChooseAtStartup() {
  const IniFile settings(SettingsPath());
  bool french = false;
  bool english = false;
  try {
    french = settings.ReadBool(kGeneralSection, kFrenchFlag, true);
    english = settings.ReadBool(kGeneralSection, kEnglishFlag, true);
  } catch (const Error&) {
    // The error is shown in the default language, never as a bare key.
    Select(kDefaultLanguage);
    throw;
  }
  if (french) Select(Language::kFrench);
  if (english) Select(Language::kEnglish);
  if (selected_ == Language::kNone) Select(kDefaultLanguage);
}

void LanguageState::LoadDefinableFunctions() {
  LineReader reader(appDir_ + std::string(kDefinableFunctionsFile));
  definableFunctions.Clear();
  ReadLines(reader, definableFunctions);
}

void LanguageState::StoreFlags() {
  settingsChanges_.Set(kFrenchFlag, selected_ == Language::kFrench ? "1" : "0");
  settingsChanges_.Set(kEnglishFlag, selected_ == Language::kEnglish ? "1" : "0");
  StoreWaitingSettings();
}

void LanguageState::StoreSetting(std::string_view key, std::string value) {
  settingsChanges_.Set(key, std::move(value));
  StoreWaitingSettings();
}

void LanguageState::StoreWaitingSettings() {
  if (settingsChanges_.Waiting()) settingsChanges_.WriteTo(IniFile(SettingsForWriting(appDir_)));
}

std::string LanguageState::Format(const Text& text) const {
  const std::string* pattern = captions.Find(text.key);
  if (pattern == nullptr || pattern->empty()) return FallbackText(text);
  return FormatText(*pattern, text.args, DigitGroupSeparator(selected_));
}

void LanguageState::ReadButtonCaptions() {
  for (Language language : {Language::kFrench, Language::kEnglish}) {
    buttonCaptions_[language == Language::kFrench ? 0 : 1] =
        IniFile(appDir_ + FilesOf(language).captionsPath)
            .ReadString(kGeneralSection, "Main.LanguageButton", "");
  }
}

std::string LanguageState::ReadAboutCaption() const {
  return IniFile(appDir_ + files_.captionsPath)
      .ReadString(kGeneralSection, kAboutBoxCaptionKey, "");
}

}  // namespace tavrilo::datafiles
