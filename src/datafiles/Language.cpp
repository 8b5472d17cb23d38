#include "datafiles/Language.h"

#include <algorithm>
#include <utility>

#include "core/LineReader.h"
#include "core/Paths.h"

namespace tavrilo::datafiles {

namespace {

const std::string kNoText;

constexpr std::string_view kFrenchFlag = "fr";
constexpr std::string_view kEnglishFlag = "en";

std::size_t PositionOf(std::string_view captionKey) {
  return static_cast<std::size_t>(std::find(kCaptionKeys.begin(), kCaptionKeys.end(), captionKey) -
                                  kCaptionKeys.begin());
}

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

std::string_view ControlOf(std::string_view captionKey) {
  return captionKey.substr(0, captionKey.find('.'));
}

std::string_view PropertyOf(std::string_view captionKey) {
  const std::size_t point = captionKey.find('.');
  return point == std::string_view::npos ? std::string_view() : captionKey.substr(point + 1);
}

const std::string& Captions::Get(std::string_view key) const {
  const std::size_t position = PositionOf(key);
  return position < texts_.size() ? texts_[position] : kNoText;
}

void Captions::Set(std::string_view key, std::string value) {
  const std::size_t position = PositionOf(key);
  if (position < texts_.size()) texts_[position] = std::move(value);
}

void Captions::Clear() {
  for (std::string& text : texts_)
    text.clear();
}

LanguageState::LanguageState(std::string applicationDirectory)
    : appDir_(std::move(applicationDirectory)) {}

std::string LanguageState::SettingsPath() const {
  return appDir_ + std::string(kSettingsFile);
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

  const IniFile captionFile(appDir_ + files_.captionsPath);
  for (std::string_view key : kCaptionKeys) {
    captions.Set(key, captionFile.ReadString(kGeneralSection, key, ""));
  }
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

void LanguageState::ChooseAtStartup() {
  const IniFile settings(SettingsPath());
  if (settings.ReadBool(kGeneralSection, kFrenchFlag, true)) Select(Language::kFrench);
  if (settings.ReadBool(kGeneralSection, kEnglishFlag, true)) Select(Language::kEnglish);
}

void LanguageState::LoadDefinableFunctions() {
  LineReader reader(appDir_ + std::string(kDefinableFunctionsFile));
  definableFunctions.Clear();
  ReadLines(reader, definableFunctions);
}

void LanguageState::StoreFlags() const {
  const IniFile settings(SettingsPath());
  settings.WriteBool(kGeneralSection, kFrenchFlag, selected_ == Language::kFrench);
  settings.WriteBool(kGeneralSection, kEnglishFlag, selected_ == Language::kEnglish);
}

std::string LanguageState::ReadAboutCaption() const {
  return IniFile(appDir_ + files_.captionsPath)
      .ReadString(kGeneralSection, kAboutBoxCaptionKey, "");
}

}  // namespace tavrilo::datafiles
