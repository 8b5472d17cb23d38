// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: every control of the macro editor, bound to the engine.
#pragma once

#include <QWidget>

#include <memory>
#include <optional>
#include <string>

#include "core/Text.h"
#include "datafiles/Language.h"
#include "game/Game.h"
#include "macros/Composer.h"
#include "macros/MacroDocument.h"
#include "ui/Dialogs.h"

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
class MacroListModel;
class ProblemsModel;

class TMainForm : public QWidget {
  Q_OBJECT

 public:
  // Builds the window and runs its creation step with the data of `applicationDirectory`
  // (ending with a separator). An error of the creation step is shown in the error box
  // and ends that step; the window keeps the state reached.
  explicit TMainForm(std::string applicationDirectory, QWidget* parent = nullptr);
  // The destruction step: stores the language choice.
  ~TMainForm() override;

  // Loads `pathBytes` into the list as the load button does once its dialog is answered
  // (start-up with a file named on the command line): an error shows in the error box and
  // leaves the list as it was.
  void LoadFile(const std::string& pathBytes);

  // The about box that AboutBtn opens.
  void SetAboutBox(QDialog* aboutBox) { aboutBox_ = aboutBox; }

  // The engine's state, for those who look at the window from outside.
  game::Game Game() const { return game_; }
  const macros::Composer& Composer() const { return composer_; }
  const datafiles::LanguageState& Languages() const { return language_; }
  const macros::MacroDocument& Document() const { return document_; }
  int ExternalPanelShown() const { return externalPanelShown_; }

  // The size of the window before the creation step sets it.
  static constexpr QSize kDesignSize{723, 360};
  // Below the controls, the problems panel, then the status line.
  static constexpr int kProblemsHeight = 140;
  static constexpr int kStatusLineHeight = 20;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateControls();
  void WireEvents();
  void FormCreate();
  void FormDestroy();

  // Language.
  void RBFrClick();
  void RBEnClick();
  void SelectLanguage(datafiles::Language language);
  void ReloadLanguage();
  void RefreshBtnClick();
  void TextListClick();

  void StoreGameChoice();
  void FollowLanguageInQtTexts();

  // Key and function fields.
  void LetterComboBoxChange();
  void CaptureKeyClick();
  void KeyCaptured(const QString& keyName, bool modifiersDropped);
  void ShowCaptureEnded();
  void ShowStatus(std::optional<Text> message = std::nullopt);
  void ShowFindings();
  void ShowBudget();
  void ShowFindingsOfSelectedLine();
  void ProblemsViewClick(const QModelIndex& finding);
  void FonctionComboBoxClick(int position);
  void FonctionComboBoxChange(int position);

  // The add actions.
  void AddBtnClick();
  void AddPersoBtnClick();
  bool ResourceChosen();
  void AddPersoBtn1Click();
  void AddPredefBtnClick();
  void NewFctBtnClick();
  void AppendMacro(const std::optional<std::string>& line);

  // The macro list and its files.
  void SauverBtnClick();
  // Whether the list may be dropped: it has not changed since it was last saved or loaded,
  // or the player saved it or chose to discard it.
  bool MayDropList();
  void LoadBtnClick();
  void DeleteAllBtnClick();
  void CommandesListBoxDblClick();
  void CommandesListBoxClick(int row);

  // The rest of the window.
  void RessourcesExternesBtnClick();
  void GameComboBoxChange(int index);
  void AboutBtnClick();
  void InstallerCfgBtnClick();
  void LayOutBelowTheList();

  // Copies engine state into the widgets, without running any handler.
  void ShowLanguage();
  void ShowCaptions();
  void ShowToolTips();
  void ShowFunctionNames();
  void ShowResources();
  void ShowDefinableFunctions();
  void ShowMacroSelection();
  void ShowGame();

  PathPrompt AskWith(FileDialog& dialog);

  std::string appDir_;
  macros::Composer composer_;
  datafiles::LanguageState language_;
  macros::MacroDocument document_;
  int externalPanelShown_ = 0;
  game::Game game_ = game::Game::kQuake2;
  bool showingState_ = false;  // true while the program, not the user, changes widgets
                               // (set through a ShowingState guard)
  bool centred_ = false;

  FileDialog saveDialog_;
  FileDialog openDialog_;
  FileDialog quakePathDialog_;
  QDialog* aboutBox_ = nullptr;

  QFrame* LangueGroupBox = nullptr;
  QRadioButton* RBFr = nullptr;
  QRadioButton* RBEn = nullptr;
  QComboBox* GameComboBox = nullptr;
  QGroupBox* MainGroup = nullptr;
  QComboBox* LetterComboBox = nullptr;
  QComboBox* FonctionComboBox = nullptr;
  QLineEdit* SayEdit = nullptr;
  QPushButton* AddBtn = nullptr;
  QComboBox* FonctionUserBox = nullptr;
  QPushButton* AddPersoBtn1 = nullptr;
  QLineEdit* ParamsUserEdit = nullptr;
  QPushButton* AddPredefBtn = nullptr;
  QLineEdit* UserEdit = nullptr;
  QPushButton* NewFctBtn = nullptr;
  QListView* CommandesListBox = nullptr;
  QPushButton* LoadBtn = nullptr;
  QPushButton* SauverBtn = nullptr;
  QPushButton* DeleteAllBtn = nullptr;
  QPushButton* DeleteBtn = nullptr;
  QPushButton* InstallerCfgBtn = nullptr;
  QPushButton* RessourcesExternesBtn = nullptr;
  QPushButton* AboutBtn = nullptr;
  QGroupBox* RessourcesExternesGroupe = nullptr;
  QListWidget* TextList = nullptr;
  QPushButton* AddPersoBtn = nullptr;
  QPushButton* RefreshBtn = nullptr;
  QGroupBox* ProblemsGroup = nullptr;  // the problems panel: the counts of the findings,
  QLabel* ProblemsSummary = nullptr;   // the size of the saved file, and every finding
  QLabel* BudgetLabel = nullptr;
  QListView* ProblemsView = nullptr;
  QLabel* DiagnosticLabel = nullptr;  // the status line: a message of the last action, or
                                      // what the game does with the selected line
  MacroListModel* macroModel_ = nullptr;
  ProblemsModel* problemsModel_ = nullptr;
  QAction* captureAction_ = nullptr;  // in the key field: choose the key by pressing it
  KeyCapture* keyCapture_ = nullptr;
  std::optional<Text> statusMessage_;    // a message of the last action, until the next one
  QString textBeforeCapture_;            // the key field's text while a capture waits
  QTranslator* qtTranslator_ = nullptr;  // Qt's own texts in French
};

}  // namespace tavrilo::ui
