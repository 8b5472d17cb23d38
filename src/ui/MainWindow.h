// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: shows the engine's editor session and forwards the player's actions
// to it. The controls and their places are WindowControls'; the texts of the language in
// use LanguageView's; the status line and the problems panel FindingsView's.
#pragma once

#include <QWidget>

#include <optional>
#include <string>

#include "core/Text.h"
#include "macros/EditorSession.h"
#include "ui/Dialogs.h"
#include "ui/LanguageView.h"
#include "ui/WindowTexts.h"

class QDialog;

namespace tavrilo::ui {

class FileActions;
class FontConfigurationReader;
class FindingsView;
class KeyFieldCapture;
class LinesEditor;
class PlayerView;
class WindowControls;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // Builds the window and runs its creation step with the data of `applicationDirectory`
  // (ending with a separator). An error of the creation step is shown in the error box
  // and ends that step; the window keeps the state reached. `fontConfiguration`, if any,
  // is waited for before the first control is made.
  MainWindow(std::string applicationDirectory, Dialogs& dialogs,
             FontConfigurationReader* fontConfiguration = nullptr);
  // The destruction step: stores the language and game choices.
  ~MainWindow() override;

  // Loads `pathBytes` in place of the list, as Load does once its dialog is answered
  // (a file named on the command line, dropped or recent): an error shows in the error
  // box and leaves the list as it was.
  void LoadFile(const std::string& pathBytes);

  // The about box that the about button opens.
  void SetAboutBox(QDialog* aboutBox) { aboutBox_ = aboutBox; }

  // The engine's state, for those who look at the window from outside.
  const macros::EditorSession& Session() const { return session_; }
  game::Game Game() const { return session_.Game(); }
  const macros::Composer& Composer() const { return session_.Composer(); }
  const datafiles::LanguageState& Languages() const { return session_.Language(); }
  const macros::MacroDocument& Document() const { return session_.Document(); }
  int ResourcesPanelShown() const { return resourcesPanelShown_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void WireFields();
  void WireButtons();
  void ShowStartingState(const macros::StartingState& start);

  // Language and game.
  void SelectLanguage(datafiles::Language language);
  void ShowLanguage();
  void ChooseGame(int index);

  // The add actions: `add` changes the list and returns why it did not, if it did not.
  template <typename Add>
  void AddLine(Add&& add);

  void ShowTitle();
  void ToggleResourcesPanel();
  void ShowAboutBox();
  void ShowStatus(std::optional<Text> message = std::nullopt);

  // Runs `action`, showing any error it raises in the error box.
  template <typename Action>
  bool Reporting(Action&& action);

  macros::EditorSession session_;
  WindowTexts texts_;
  Dialogs& dialogs_;
  int resourcesPanelShown_ = 0;
  bool showingState_ = false;  // true while the program, not the user, changes widgets
  bool titled_ = false;        // the creation step has set the title
  bool placed_ = false;        // fitted to its screen once, when first shown

  QDialog* aboutBox_ = nullptr;

  WindowControls* controls_ = nullptr;
  std::optional<LanguageView> languageView_;
  FindingsView* findingsView_ = nullptr;
  LinesEditor* lines_ = nullptr;
  FileActions* files_ = nullptr;
  PlayerView* player_ = nullptr;
  KeyFieldCapture* keyCapture_ = nullptr;
};

}  // namespace tavrilo::ui
