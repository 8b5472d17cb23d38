// SPDX-License-Identifier: GPL-3.0-or-later
// The two language file sets, the settings file's language flags, and the language
// reload that fills the window's texts and lists from the current set.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "core/StringList.h"
#include "core/Text.h"
#include "datafiles/IniFile.h"

namespace tavrilo::datafiles {

enum class Language { kNone, kFrench, kEnglish };

// The language of a program whose settings choose none.
inline constexpr Language kDefaultLanguage = Language::kEnglish;

// The relative paths of one language's files, empty while no language is chosen.
struct LanguageFiles {
  std::string externsPath;    // external resources: description, command
  std::string functionsPath;  // function catalogue: display name, command
  std::string captionsPath;   // caption file
};

LanguageFiles FilesOf(Language language);

// How the language separates groups of three digits: a comma in English, a no-break
// space (Windows-1252) in French.
char DigitGroupSeparator(Language language);

// The language the start-up choice ends in with these settings: English when its flag
// is true (the default), else French when its flag is, else (no language set, or settings
// that cannot be read) the default language.
Language LanguageAtStartup(const IniFile& settings);

// The 21 texts of the caption set in reading order: "<control>.Caption" for a label,
// "<control>.Text" for a field's content.
inline constexpr std::array<std::string_view, 21> kCaptionKeys = {
    "MainGroup.Caption",
    "RessourcesExternesGroupe.Caption",
    "LetterComboBox.Text",
    "FonctionComboBox.Text",
    "SayEdit.Text",
    "FonctionUserBox.Text",
    "ParamsUserEdit.Text",
    "UserEdit.Text",
    "LoadBtn.Caption",
    "DeleteAllBtn.Caption",
    "DeleteBtn.Caption",
    "SauverBtn.Caption",
    "RessourcesExternesBtn.Caption",
    "AboutBtn.Caption",
    "AddPersoBtn.Caption",
    "RefreshBtn.Caption",
    "AddBtn.Caption",
    "AddPersoBtn1.Caption",
    "AddPredefBtn.Caption",
    "NewFctBtn.Caption",
    "InstallerCfgBtn.Caption",
};
// The about box's caption, read at each opening rather than by the reload.
inline constexpr std::string_view kAboutBoxCaptionKey = "AboutBox.Caption";

// The control a caption key names ("SayEdit" of "SayEdit.Text") and its property.
std::string_view ControlOf(std::string_view captionKey);
std::string_view PropertyOf(std::string_view captionKey);

// The texts of the caption file read by the last reload: the caption set and any other
// key of its section "General" (the texts of messages among them), looked up with the
// INI rules (see IniSection).
class Captions {
 public:
  // The text of `key`; the empty text when the caption file has no such key.
  const std::string& Get(std::string_view key) const;
  // The text of `key`; nullptr when the caption file has no such key.
  const std::string* Find(std::string_view key) const { return texts_.Find(key); }
  void Assign(IniSection texts) { texts_ = std::move(texts); }
  void Clear() { texts_ = IniSection(); }

 private:
  IniSection texts_;
};

// The language state of the main window, with the lists and texts it fills. Every
// operation opens its files anew.
class LanguageState {
 public:
  // `dataRoot`: the folder that holds data/ and Q2Dats/ (the application directory of
  // a portable program), ending with a separator.
  explicit LanguageState(std::string dataRoot);

  const std::string& ApplicationDirectory() const { return appDir_; }
  // The settings file to read (see Locations.h); the flags are written to the one
  // SettingsForWriting gives.
  std::string SettingsPath() const;

  // Which language button is selected (kNone before the first choice).
  Language Selected() const { return selected_; }
  const LanguageFiles& Files() const { return files_; }

  // The user (or the start-up choice) selects a language button. Selecting the button
  // that is already selected does nothing and returns false. Otherwise the selection
  // moves, the language's file paths are assigned and the reload runs (its errors
  // propagate, the selection and paths staying on the new language); returns true.
  // Language::kNone is no button: it selects nothing and returns false.
  bool Select(Language language);

  // The language reload, steps in order: clear the function names and both resource
  // lists; read the caption file (once, for every key); open the function catalogue (its error
  // stops here); clear the function commands and read the catalogue's pairs; open the resource file
  // (its error stops here) and read its pairs. Every list is left without selection,
  // the definable functions too, since their field now shows its caption.
  void ReloadLanguage();

  // The refresh of the external resources: open the resource file (its error leaves
  // both lists as they were), clear both lists, read the pairs.
  void RefreshResources();

  // The user picked a function (-1: typed text): the same position is selected among the
  // function commands (-1: none).
  void SelectFunction(int position);
  // The command of the selected function; empty when none is selected.
  std::string_view SelectedCommand() const { return functionCommands.Text(); }

  // The user selected a resource description: the same position is selected among the
  // resource commands (-1: none).
  void SelectResource(int position);
  // The selected resource (-1 when none) and its command.
  int SelectedResource() const { return resourceCommands.ItemIndex(); }
  std::string_view SelectedExternal() const { return resourceCommands.Text(); }

  // The start-up choice: flag "fr" selects French when true, then flag "en" selects
  // English when true (both default to true); when neither is (both "0", as a write
  // killed between them could leave them), the default language. Settings that cannot be
  // read (over 64 MiB) select the default language, so that their error, which
  // propagates, shows in it.
  void ChooseAtStartup();

  // Fills the definable functions from data/user.dat; when the file cannot be opened
  // the error propagates and the list is unchanged.
  void LoadDefinableFunctions();

  // Writes the flags "fr" and "en" from the selected button ("1" or "0"), both in one
  // write with this window's other waiting settings (SettingsChanges, datafiles/IniFile.h).
  void StoreFlags();
  // Writes the setting `key` of section General the same way.
  void StoreSetting(std::string_view key, std::string value);
  // Writes the settings this window changed whose write failed (at close): only those, over
  // the file as it is on disk then. Nothing when none waits.
  void StoreWaitingSettings();

  // The about box's caption from the current caption file (empty when absent).
  std::string ReadAboutCaption() const;

  // Reads each language button's caption, "Main.LanguageButton", from its own language's
  // caption file (empty when absent): a button always speaks its language.
  void ReadButtonCaptions();
  // The caption read for `language`'s button (kFrench or kEnglish).
  const std::string& ButtonCaption(Language language) const {
    return buttonCaptions_[language == Language::kFrench ? 0 : 1];
  }

  // `text` in the language of the last reload: its pattern from the caption file with
  // the placeholders filled in (FormatText); FallbackText when the caption file has no
  // text for its key (absent or empty).
  std::string Format(const Text& text) const;

  StringList functionNames;         // shown in the function field
  StringList functionCommands;      // the hidden command column
  StringList resourceDescriptions;  // shown in the list of resources
  StringList resourceCommands;      // the hidden command column
  StringList definableFunctions;    // shown in the definable-function field
  Captions captions;

 private:
  std::string appDir_;
  Language selected_ = Language::kNone;
  std::array<std::string, 2> buttonCaptions_;  // French, English
  LanguageFiles files_;
  SettingsChanges settingsChanges_;
};

}  // namespace tavrilo::datafiles
