// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: every control of the macro editor, bound to the engine.
#pragma once

#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Paths.h"
#include "core/SafeFile.h"
#include "core/Text.h"
#include "datafiles/Language.h"
#include "game/Game.h"
#include "macros/Composer.h"
#include "macros/MacroDocument.h"
#include "ui/Dialogs.h"
#include "ui/WindowTexts.h"

class QAction;
class QComboBox;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTranslator;

namespace tavrilo::ui {

class KeyCapture;
class WindowControls;
class MacroListModel;
class ProblemsModel;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // Builds the window and runs its creation step with the data of `applicationDirectory`
  // (ending with a separator). An error of the creation step is shown in the error box
  // and ends that step; the window keeps the state reached.
  MainWindow(std::string applicationDirectory, Dialogs& dialogs, QWidget* parent = nullptr);
  // The destruction step: stores the language choice.
  ~MainWindow() override;

  // Loads `pathBytes` into the list as the load button does once its dialog is answered
  // (start-up with a file named on the command line): an error shows in the error box and
  // leaves the list as it was.
  void LoadFile(const std::string& pathBytes);

  // The about box that aboutButton_ opens.
  void SetAboutBox(QDialog* aboutBox) { aboutBox_ = aboutBox; }

  // The engine's state, for those who look at the window from outside.
  game::Game Game() const { return game_; }
  const macros::Composer& Composer() const { return composer_; }
  const datafiles::LanguageState& Languages() const { return language_; }
  const macros::MacroDocument& Document() const { return document_; }
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
  void WireEvents();
  void LoadStartingState();
  void StoreState();

  // Language.
  void ChooseFrench();
  void ChooseEnglish();
  void SelectLanguage(datafiles::Language language);
  void ReloadLanguage();
  void RefreshResources();
  void FollowResourceSelection();

  void StoreGameChoice();
  PathPrompt OfferingInterruptedSave(PathPrompt askPath);
  void OfferInterruptedSaves(const std::vector<InterruptedSave>& saves);
  void FollowLanguageInQtTexts();

  // Key and function fields.
  void FollowKeyField();
  void StartKeyCapture();
  void KeyCaptured(const QString& keyName, bool modifiersDropped);
  void ShowCaptureEnded();
  void ShowStatus(std::optional<Text> message = std::nullopt);
  void ShowFindings();
  void ShowBudget();
  void ShowFindingsOfSelectedLine();
  void SelectLineOfFinding(const QModelIndex& finding);
  void ShowFunctionHint(int position);
  void FollowFunctionField(int position);

  // The add actions.
  void AddBinding();
  void AddResourceBinding();
  bool ResourceChosen();
  void AddDefinableCall();
  void AddDefinableWithResource();
  void AddOwnLine();
  void AppendMacro(const std::optional<std::string>& line);

  // The macro list and its files.
  void SaveList(bool toOwnFile);
  void SaveAs() { SaveList(false); }
  void SaveToOwnFile() { SaveList(true); }
  void ShowTitle();
  // Whether the list may be dropped: it has not changed since it was last saved or loaded,
  // or the player saved it or chose to discard it.
  bool MayDropList();
  void LoadList();
  void NewList();
  void DeleteSelectedLine();
  void SelectLine(int row);

  // The rest of the window.
  void ToggleResourcesPanel();
  void ChooseGame(int index);
  void ShowAboutBox();
  void InstallSupportFiles();

  // Copies engine state into the widgets, without running any handler.
  void ShowLanguage();
  void ShowLanguageButtons();
  void ShowCaptions();
  void ShowToolTips();
  void ShowFunctionNames();
  void ShowResources();
  void ShowDefinableFunctions();
  void ShowMacroSelection();
  void ShowGame();

  PathPrompt AskWith(FileDialog& dialog, const QString& title = {});
  // Runs `action`, showing any error it raises in the error box (`path`: the file it
  // reads or writes). Returns whether it ended without error.
  template <typename Action>
  bool ReportingErrors(Action&& action, const std::string& path = {}) {
    try {
      action();
      return true;
    } catch (const std::exception& error) {
      dialogs_.ShowError(isVisible() ? this : nullptr, texts_.ErrorMessage(error, path));
      return false;
    }
  }

  std::string appDir_;
  macros::Composer composer_;
  datafiles::LanguageState language_;
  WindowTexts texts_;
  Dialogs& dialogs_;
  macros::MacroDocument document_;
  int resourcesPanelShown_ = 0;
  game::Game game_ = game::Game::kQuake2;
  bool showingState_ = false;  // true while the program, not the user, changes widgets
                               // (set through a ShowingState guard)
  std::string filePath_;       // the list's file: the last one loaded or saved; empty for none
  bool titled_ = false;        // the creation step has set the title
  bool placed_ = false;        // fitted to its screen once, when first shown

  FileDialog saveDialog_;
  FileDialog openDialog_;
  FileDialog gameFolderDialog_;
  QDialog* aboutBox_ = nullptr;

  WindowControls* controls_ = nullptr;
  MacroListModel* macroModel_ = nullptr;
  ProblemsModel* problemsModel_ = nullptr;
  KeyCapture* keyCapture_ = nullptr;
  std::optional<Text> statusMessage_;    // a message of the last action, until the next one
  QString textBeforeCapture_;            // the key field's text while a capture waits
  QTranslator* qtTranslator_ = nullptr;  // Qt's own texts in French
};

}  // namespace tavrilo::ui
