// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTranslator>
#include <QUrl>

#include <climits>

#include "Branding.h"
#include "core/Locations.h"
#include "core/Paths.h"
#include "core/Platform.h"
#include "core/SafeFile.h"
#include "datafiles/GameChoice.h"
#include "install/SupportFiles.h"
#include "macros/KeyTranslation.h"
#include "macros/LineComposition.h"
#include "ui/Colours.h"
#include "ui/KeyCapture.h"
#include "ui/MacroListModel.h"
#include "ui/ProblemsModel.h"
#include "ui/PromptSelector.h"
#include "ui/TextCodec.h"
#include "ui/WindowControls.h"

namespace tavrilo::ui {

namespace {

using datafiles::Language;

// Runs `operation`, then `show` to put what it changed into the widgets, also when it
// fails part way: the steps done before an error stay done and must show.
template <typename Operation, typename Show>
void ThenShow(Operation&& operation, Show&& show) {
  try {
    operation();
  } catch (...) {
    show();
    throw;
  }
  show();
}

// While alive, the widgets' signals come from the program showing engine state, not
// from the user: the handlers that only the user's actions run ignore them.
class ShowingState {
 public:
  explicit ShowingState(bool& flag) : flag_(flag), was_(std::exchange(flag, true)) {}
  ~ShowingState() { flag_ = was_; }
  ShowingState(const ShowingState&) = delete;
  ShowingState& operator=(const ShowingState&) = delete;

 private:
  bool& flag_;
  bool was_;
};

// Only the selected language button is in the Tab chain (both while neither is); the
// other still takes the focus when clicked.
void KeepSelectedRadioInTabChain(QRadioButton* first, QRadioButton* second) {
  const bool none = !first->isChecked() && !second->isChecked();
  for (QRadioButton* button : {first, second})
    button->setFocusPolicy(button->isChecked() || none ? Qt::StrongFocus : Qt::ClickFocus);
}

void SetItems(QComboBox* field, const StringList& list) {
  field->clear();
  QStringList items;
  items.reserve(list.Count());
  for (int i = 0; i < list.Count(); ++i)
    items.append(ShownText(list.At(i)));
  field->addItems(items);
  field->setCurrentIndex(-1);
}

}  // namespace

MainWindow::MainWindow(std::string applicationDirectory, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window),
      appDir_(std::move(applicationDirectory)),
      language_(appDir_),
      texts_(language_),
      dialogs_(dialogs),
      saveDialog_(dialogs, this, FileRequest::kSave, QStringLiteral("Macros.cfg")),
      openDialog_(dialogs, this, FileRequest::kOpen),
      gameFolderDialog_(dialogs, this, FileRequest::kGameFolder) {
  setObjectName("MainForm");
  CreateControls();
  WireEvents();
  LoadStartingState();
}

MainWindow::~MainWindow() {
  StoreState();
}

void MainWindow::CreateControls() {
  controls_ = new WindowControls(this);
  for (QWidget* field :
       {static_cast<QWidget*>(controls_->keyField), static_cast<QWidget*>(controls_->functionField),
        static_cast<QWidget*>(controls_->definableField),
        static_cast<QWidget*>(controls_->resourcesList)})
    Paint(field, QPalette::Text, Colour::kFieldText);
  keyCapture_ = new KeyCapture(this);
  document_.SetSupportFiles(install::ReadSupportFiles(appDir_));
  macroModel_ = new MacroListModel(document_, this);
  controls_->linesView->setModel(macroModel_);
  controls_->linesView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  problemsModel_ = new ProblemsModel(document_, texts_, this);
  controls_->problemsView->setModel(problemsModel_);
  controls_->problemsView->setItemDelegate(new ProblemDelegate(controls_->problemsView));
  controls_->problemsView->setResizeMode(QListView::Adjust);  // rows wrap again when it widens
  // A field that shows its prompt selects it on focus: typing replaces it.
  auto* prompts = new PromptSelector(
      [this](const QLineEdit& field) {
        const QWidget* control = qobject_cast<const QComboBox*>(field.parentWidget()) != nullptr
                                     ? field.parentWidget()
                                     : &field;
        for (std::string_view key : datafiles::kCaptionKeys) {
          if (datafiles::PropertyOf(key) == "Text" &&
              control->objectName().toStdString() == datafiles::ControlOf(key))
            return texts_.Caption(key);
        }
        return QString();
      },
      this);
  for (QLineEdit* field : {controls_->keyField->lineEdit(), controls_->functionField->lineEdit(),
                           controls_->definableField->lineEdit(), controls_->chatEdit,
                           controls_->argumentsEdit, controls_->ownLineEdit})
    prompts->Watch(field);
  // The file actions' shortcuts, wherever the focus is.
  const std::pair<QKeySequence, void (MainWindow::*)()> shortcuts[] = {
      {QKeySequence(Qt::CTRL | Qt::Key_N), &MainWindow::NewList},
      {QKeySequence(Qt::CTRL | Qt::Key_O), &MainWindow::LoadList},
      {QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::SaveToOwnFile},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &MainWindow::SaveAs},
  };
  for (const auto& [keys, action] : shortcuts)
    connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
  setAcceptDrops(true);
  // Delete in the list removes the selected line (see eventFilter).
  controls_->linesView->installEventFilter(this);
  ShowToolTips();
  controls_->keyField->setFocus();
}

void MainWindow::WireEvents() {
  // The language buttons run their handler only when they become selected.
  connect(controls_->frenchButton, &QRadioButton::toggled, this, [this](bool on) {
    KeepSelectedRadioInTabChain(controls_->frenchButton, controls_->englishButton);
    if (on && !showingState_) ChooseFrench();
  });
  connect(controls_->englishButton, &QRadioButton::toggled, this, [this](bool on) {
    KeepSelectedRadioInTabChain(controls_->frenchButton, controls_->englishButton);
    if (on && !showingState_) ChooseEnglish();
  });

  // A pick runs the click handler, then the change handler; a typed edit only the change
  // handler, with no entry selected. Texts set by the program run nothing.
  connect(controls_->keyField, &QComboBox::activated, this, [this] { FollowKeyField(); });
  connect(controls_->keyField->lineEdit(), &QLineEdit::textEdited, this,
          [this] { FollowKeyField(); });
  connect(controls_->captureAction, &QAction::triggered, this, &MainWindow::StartKeyCapture);
  connect(keyCapture_, &KeyCapture::Captured, this, &MainWindow::KeyCaptured);
  connect(keyCapture_, &KeyCapture::Refused, this, [this](const Text& reason) {
    ShowCaptureEnded();
    controls_->keyField->setEditText(textBeforeCapture_);
    ShowStatus(reason);
  });
  connect(keyCapture_, &KeyCapture::Cancelled, this, [this] {
    ShowCaptureEnded();
    controls_->keyField->setEditText(textBeforeCapture_);
    ShowStatus();
  });
  connect(controls_->functionField, &QComboBox::activated, this, [this](int position) {
    ShowFunctionHint(position);
    FollowFunctionField(position);
  });
  connect(controls_->functionField->lineEdit(), &QLineEdit::textEdited, this,
          [this] { FollowFunctionField(-1); });
  connect(controls_->definableField, &QComboBox::activated, this,
          [this](int position) { language_.definableFunctions.SetItemIndex(position); });
  connect(controls_->definableField->lineEdit(), &QLineEdit::textEdited, this,
          [this] { language_.definableFunctions.SetItemIndex(-1); });

  connect(controls_->addBindingButton, &QPushButton::clicked, this, &MainWindow::AddBinding);
  connect(controls_->addDefinableButton, &QPushButton::clicked, this,
          &MainWindow::AddDefinableCall);
  connect(controls_->addWithResourceButton, &QPushButton::clicked, this,
          &MainWindow::AddDefinableWithResource);
  connect(controls_->addOwnLineButton, &QPushButton::clicked, this, &MainWindow::AddOwnLine);
  connect(controls_->addResourceButton, &QPushButton::clicked, this,
          &MainWindow::AddResourceBinding);

  connect(controls_->chatEdit, &QLineEdit::returnPressed, this, &MainWindow::AddBinding);
  controls_->definableField->lineEdit()->installEventFilter(this);  // Enter: see eventFilter
  connect(controls_->argumentsEdit, &QLineEdit::returnPressed, this,
          &MainWindow::AddDefinableWithResource);
  connect(controls_->ownLineEdit, &QLineEdit::returnPressed, this, &MainWindow::AddOwnLine);
  connect(controls_->resourcesList, &QListWidget::itemActivated, this,
          &MainWindow::AddResourceBinding);
  connect(controls_->saveButton, &QPushButton::clicked, this, &MainWindow::SaveAs);
  connect(controls_->loadButton, &QPushButton::clicked, this, &MainWindow::LoadList);
  connect(controls_->newListButton, &QPushButton::clicked, this, &MainWindow::NewList);
  connect(controls_->deleteButton, &QPushButton::clicked, this, &MainWindow::DeleteSelectedLine);
  // A model reset clears the view's selection without a word: the view is made to show
  // the engine's selection again, so that the two never disagree.
  connect(macroModel_, &QAbstractItemModel::modelReset, this, [this] { ShowMacroSelection(); });
  // A change of the list ends the message of the last action; a change of the findings
  // may concern the selected line.
  for (auto change : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
    connect(macroModel_, change, this, [this] { ShowStatus(); });
  }
  connect(macroModel_, &QAbstractItemModel::modelReset, this, [this] { ShowStatus(); });
  connect(macroModel_, &MacroListModel::FindingsChanged, this, [this] {
    ShowFindings();
    ShowBudget();
  });
  // A click, or Enter, on a finding selects its line in the list.
  for (auto signal : {&QAbstractItemView::clicked, &QAbstractItemView::activated})
    connect(controls_->problemsView, signal, this, &MainWindow::SelectLineOfFinding);
  connect(controls_->linesView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] {
            if (showingState_) return;
            const QModelIndexList rows = controls_->linesView->selectionModel()->selectedRows();
            SelectLine(rows.isEmpty() ? -1 : rows.constFirst().row());
          });

  connect(controls_->gameField, &QComboBox::activated, this, &MainWindow::ChooseGame);
  connect(controls_->resourcesButton, &QPushButton::clicked, this,
          &MainWindow::ToggleResourcesPanel);
  connect(controls_->aboutButton, &QPushButton::clicked, this, &MainWindow::ShowAboutBox);
  connect(controls_->installButton, &QPushButton::clicked, this, &MainWindow::InstallSupportFiles);
  connect(controls_->refreshButton, &QPushButton::clicked, this, &MainWindow::RefreshResources);
  connect(controls_->resourcesList, &QListWidget::itemSelectionChanged, this, [this] {
    if (!showingState_) FollowResourceSelection();
  });
}

// The creation step. An error ends it; what was done before stays done.
void MainWindow::LoadStartingState() {
  ReportingErrors([this] {
    ShowLanguageButtons();
    game_ = datafiles::ReadGameChoice(datafiles::IniFile(language_.SettingsPath()));
    composer_.SetGame(game_);
    document_.SetGame(game_);
    ShowGame();
    ThenShow([this] { language_.ChooseAtStartup(); },
             [this] {
               if (language_.Selected() != Language::kNone) ShowLanguage();
             });
    composer_.Reset();
    language_.LoadDefinableFunctions();
    ShowDefinableFunctions();
    resourcesPanelShown_ = 1;
    SetApplicationTitle(FromAnsi(kApplicationTitle));
    titled_ = true;
    ShowTitle();
    controls_->ShowResources(true);
    document_.ResetHeader();
    ReloadLanguage();
  });
  // Files of folders that take no new files keep their backups in the settings folder.
  OfferInterruptedSaves(FindInterruptedSaves(platform::BackupFolder(), true));
}

// The destruction step: the settings this window changed whose write failed are stored
// (over the file as it is now: another window's choices stay); an error is shown and the
// shut-down goes on.
void MainWindow::StoreState() {
  ReportingErrors([this] { language_.StoreWaitingSettings(); });
}

// A palette of another lightness (the desktop's theme changed) gives the window's own
// colours their other shade.
void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::PaletteChange || controls_ == nullptr) return;
  for (QWidget* field :
       {static_cast<QWidget*>(controls_->keyField), static_cast<QWidget*>(controls_->functionField),
        static_cast<QWidget*>(controls_->definableField),
        static_cast<QWidget*>(controls_->resourcesList)})
    Paint(field, QPalette::Text, Colour::kFieldText);
  ShowFindings();
  ShowBudget();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (placed_) return;
  placed_ = true;
  controls_->FitScreen(true);
  controls_->keyField->setFocus();
}

// Enter in the definable function's field runs the add beside it (the drop-down field
// hands an Enter its line edit ignores back to that line edit, so the key is taken here,
// once); Delete in the list removes the selected line, as the delete button does.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const auto* press = static_cast<QKeyEvent*>(event);
  const bool plain = (press->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (watched == controls_->definableField->lineEdit() && plain &&
      (press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter)) {
    AddDefinableCall();
    return true;
  }
  if (watched == controls_->linesView && plain && press->key() == Qt::Key_Delete) {
    DeleteSelectedLine();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// A list changed since it was last saved or loaded is not lost without a word.
void MainWindow::closeEvent(QCloseEvent* event) {
  if (!MayDropList()) {
    event->ignore();
    return;
  }
  keyCapture_->Cancel();
  QWidget::closeEvent(event);
}

// ---- Language --------------------------------------------------------------------

void MainWindow::ChooseFrench() {
  ReportingErrors([this] { SelectLanguage(Language::kFrench); });
}

void MainWindow::ChooseEnglish() {
  ReportingErrors([this] { SelectLanguage(Language::kEnglish); });
}

// The choice is stored at once: a session ended by the desktop keeps it too.
void MainWindow::SelectLanguage(datafiles::Language language) {
  ThenShow([&] { language_.Select(language); }, [this] { ShowLanguage(); });
  language_.StoreFlags();
}

void MainWindow::ReloadLanguage() {
  ThenShow([this] { language_.ReloadLanguage(); }, [this] { ShowLanguage(); });
}

void MainWindow::RefreshResources() {
  ReportingErrors([this] {
    language_.RefreshResources();
    ShowResources();
  });
}

void MainWindow::FollowResourceSelection() {
  const QList<QListWidgetItem*> selected = controls_->resourcesList->selectedItems();
  language_.SelectResource(
      selected.isEmpty() ? -1 : controls_->resourcesList->row(selected.constFirst()));
}

// ---- Key and function fields -----------------------------------------------------

void MainWindow::FollowKeyField() {
  composer_.SelectKey(ToAnsi(controls_->keyField->currentText()));
}

// The key field's control: the next key, button or wheel notch becomes the key.
void MainWindow::StartKeyCapture() {
  if (keyCapture_->IsCapturing()) return;  // the control's own click ends the capture
  QWidget* control =
      controls_->captureAction->associatedObjects().isEmpty()
          ? nullptr
          : qobject_cast<QWidget*>(controls_->captureAction->associatedObjects().constLast());
  keyCapture_->Start(controls_->keyField, game_, control);
  // The field itself shows that it waits for a key.
  textBeforeCapture_ = controls_->keyField->currentText();
  const std::string& waiting = language_.captions.Get("Main.CaptureWaiting");
  controls_->keyField->setEditText(waiting.empty() ? QStringLiteral("\u2026") : FromAnsi(waiting));
  controls_->keyField->lineEdit()->setCursorPosition(0);  // its beginning, if it is long
  Paint(controls_->keyField, QPalette::Base, Colour::kWaitingForKey);
  controls_->keyField->setProperty("waitingForKey", true);
  ShowStatus(Text{"Key.CapturePrompt", {}});
}

void MainWindow::ShowCaptureEnded() {
  controls_->keyField->setPalette(QPalette());
  Paint(controls_->keyField, QPalette::Text, Colour::kFieldText);
  controls_->keyField->setProperty("waitingForKey", false);
}

// The key is already the game's name for it: the field shows it, and it is not
// translated again as a label of the key list would be.
void MainWindow::KeyCaptured(const QString& keyName, bool modifiersDropped) {
  ShowCaptureEnded();
  controls_->keyField->setEditText(keyName);
  composer_.SelectCapturedKey(ToAnsi(keyName));
  ShowStatus(modifiersDropped
                 ? std::optional<Text>(Text{"Status.ModifiersDropped", {ToAnsi(keyName)}})
                 : std::nullopt);
}

// The status line shows the message of the last action, or else what the game makes of
// the selected line.
void MainWindow::ShowStatus(std::optional<Text> message) {
  ShowTitle();  // the list may have changed
  statusMessage_ = std::move(message);
  ShowFindings();
}

void MainWindow::ShowFindings() {
  QStringList texts;
  game::Severity worst = game::Severity::kNone;
  const int row = document_.List().ItemIndex();
  if (statusMessage_) {
    texts << texts_(*statusMessage_);  // in the language shown now
  } else if (row >= 0) {
    for (const game::Finding& finding : document_.Findings().FindingsOf(row)) {
      texts << texts_(document_.Findings().TextOf(finding));
      worst = std::max(worst, finding.severity);
    }
  }
  QPalette palette = controls_->statusLine->palette();
  palette.setColor(QPalette::WindowText, SeverityColour(worst, this->palette()));
  controls_->statusLine->setPalette(palette);
  controls_->statusLine->setText(texts.join(QStringLiteral("  \u2022  ")));
  controls_->statusLine->setToolTip(PlainToolTip(texts.join('\n')));
}

// The size the saved file will have against what the game's exec takes.
// Above the problems panel, the counts of its findings.
void MainWindow::ShowBudget() {
  const game::CheckResult& findings = document_.Findings();
  controls_->budgetLabel->setText(texts_(findings.SizeText()));
  QPalette palette = controls_->budgetLabel->palette();
  palette.setColor(QPalette::WindowText, SeverityColour(findings.TooBig() ? game::Severity::kError
                                                                          : game::Severity::kNone,
                                                        this->palette()));
  controls_->budgetLabel->setPalette(palette);
  controls_->problemsSummary->setText(texts_(Text{
      "Panel.Summary", {std::to_string(findings.Errors()), std::to_string(findings.Notes())}}));
  controls_->problemsView->setUniformItemSizes(
      findings.Findings().size() > static_cast<std::size_t>(ProblemDelegate::kWrappedRows));
  problemsModel_->Refresh();
  ShowFindingsOfSelectedLine();
}

// The findings of the selected line come first in the panel.
void MainWindow::ShowFindingsOfSelectedLine() {
  if (problemsModel_->ShowFirst(document_.List().ItemIndex()) == 0) return;
  controls_->problemsView->scrollToTop();
  controls_->problemsView->selectionModel()->setCurrentIndex(problemsModel_->index(0),
                                                             QItemSelectionModel::ClearAndSelect);
}

void MainWindow::SelectLineOfFinding(const QModelIndex& finding) {
  const int line = finding.data(ProblemsModel::kLineRole).toInt();
  if (!finding.isValid() || line < 0 || line >= document_.List().Count()) return;
  document_.List().UserSelect(line);
  ShowMacroSelection();
  controls_->linesView->scrollTo(macroModel_->index(line));
  controls_->linesView->setToolTip(PlainToolTip(ShownText(document_.List().Hint())));
  ShowStatus();
}

void MainWindow::ShowFunctionHint(int position) {
  controls_->functionField->setToolTip(
      PlainToolTip(ShownText(language_.functionNames.At(position))));
}

void MainWindow::FollowFunctionField(int position) {
  language_.SelectFunction(position);
  composer_.SelectFunction(language_.SelectedCommand());
}

// ---- The add actions -------------------------------------------------------------

void MainWindow::AppendMacro(const std::optional<std::string>& line) {
  if (!line) return;
  document_.Append(*line);
  controls_->linesView->scrollToBottom();
}

void MainWindow::AddBinding() {
  ReportingErrors([this] {
    const std::string keyShown = ToAnsi(controls_->keyField->currentText());
    const std::string functionShown = ToAnsi(controls_->functionField->currentText());
    const macros::ShownFields shown{keyShown, functionShown,
                                    language_.captions.Get("LetterComboBox.Text"),
                                    language_.captions.Get("FonctionComboBox.Text")};
    // An add the guard blocks says why on the status line.
    if (const std::optional<Text> blocked = macros::GuardText(shown)) {
      ShowStatus(*blocked);
      return;
    }
    AppendMacro(composer_.ComposeBinding(shown, ToAnsi(controls_->chatEdit->text())));
  });
}

// Whether an external resource is selected; else the status line says that one must be.
bool MainWindow::ResourceChosen() {
  const std::optional<Text> blocked = macros::ResourceGuardText(language_.SelectedResource());
  if (blocked) ShowStatus(*blocked);
  return !blocked;
}

void MainWindow::AddResourceBinding() {
  ReportingErrors([this] {
    if (!ResourceChosen()) return;
    AppendMacro(composer_.ComposeExternalBinding(language_.SelectedResource(),
                                                 language_.SelectedExternal()));
  });
}

void MainWindow::AddDefinableCall() {
  ReportingErrors([this] {
    AppendMacro(macros::ComposeDefinableCall(language_.definableFunctions.Text(),
                                             ToAnsi(controls_->argumentsEdit->text()), game_));
  });
}

void MainWindow::AddDefinableWithResource() {
  ReportingErrors([this] {
    if (!ResourceChosen()) return;
    AppendMacro(macros::ComposeDefinableWithExternal(
        language_.SelectedResource(), ToAnsi(controls_->definableField->currentText()),
        ToAnsi(controls_->argumentsEdit->text()), language_.SelectedExternal(), game_));
  });
}

void MainWindow::AddOwnLine() {
  ReportingErrors([this] {
    AppendMacro(macros::ComposeFreeLine(ToAnsi(controls_->ownLineEdit->text()), game_));
  });
}

// ---- The macro list and its files --------------------------------------------------

PathPrompt MainWindow::AskWith(FileDialog& dialog, const QString& title) {
  return [&dialog, title]() -> std::optional<std::string> {
    std::optional<QString> chosen = dialog.Execute(title);
    if (!chosen) return std::nullopt;
    return PathToBytes(*chosen);
  };
}

// Save asks for a name, and before replacing a file that is not the list's own; Ctrl+S
// saves to the list's own file when it has one.
void MainWindow::SaveList(bool toOwnFile) {
  std::string chosen;
  ReportingErrors(
      [&] {
        // A file the game's exec would ignore is saved all the same, and the player told.
        std::optional<Text> tooBig;
        for (const game::Finding& finding : document_.Findings().Findings()) {
          if (finding.code == game::Code::kFileTooBig)
            tooBig = document_.Findings().TextOf(finding);
        }
        const PathPrompt ask = AskWith(saveDialog_);
        const bool saved = document_.Save([&]() -> std::optional<std::string> {
          std::optional<std::string> path =
              toOwnFile && !filePath_.empty() ? std::optional(filePath_) : ask();
          if (path && *path != filePath_ && QFileInfo(PathFromBytes(*path)).isFile() &&
              !dialogs_.AskYes(
                  this,
                  texts_(Text{"Ask.Replace", {ToAnsi(QFileInfo(PathFromBytes(*path)).fileName())}}),
                  texts_.Caption("Ask.ReplaceYes"), texts_.Caption("Ask.Cancel")))
            return std::nullopt;
          if (path) chosen = *path;
          return path;
        });
        if (saved) filePath_ = chosen;
        if (saved && tooBig) ShowStatus(*tooBig);
        if (saved) OfferInterruptedSaves(FindInterruptedSaves(DirectoryPart(chosen)));
      },
      chosen);
  ShowTitle();
}

void MainWindow::LoadList() {
  if (!MayDropList()) return;
  std::string chosen;
  const PathPrompt ask = AskWith(openDialog_);
  ReportingErrors(
      [&] {
        if (document_.Load(OfferingInterruptedSave([&] {
              std::optional<std::string> path = ask();
              if (path) chosen = *path;
              return path;
            })))
          filePath_ = chosen;
      },
      chosen);
  ShowTitle();
}

void MainWindow::LoadFile(const std::string& pathBytes) {
  if (ReportingErrors(
          [&] {
            document_.Load(OfferingInterruptedSave([&] { return std::optional(pathBytes); }));
          },
          pathBytes))
    filePath_ = pathBytes;
  ShowTitle();
}

// The file chosen by `askPath`, once the player has answered for an interrupted save of it.
PathPrompt MainWindow::OfferingInterruptedSave(PathPrompt askPath) {
  return [this, askPath = std::move(askPath)] {
    std::optional<std::string> path = askPath();
    if (path) {
      if (std::optional<InterruptedSave> save = FindInterruptedSave(*path))
        OfferInterruptedSaves({*save});
    }
    return path;
  };
}

// Each file torn by a killed save: the player restores the text it had before that save,
// or keeps it as it is. The engine restores only a file that holds nothing else.
void MainWindow::OfferInterruptedSaves(const std::vector<InterruptedSave>& saves) {
  for (const InterruptedSave& save : saves) {
    const bool restore = dialogs_.AskYes(
        isVisible() ? this : nullptr, texts_(Text{"Ask.InterruptedSave", {save.file}}),
        texts_.Caption("Ask.Restore"), texts_.Caption("Ask.KeepFile"));
    ReportingErrors(
        [&] {
          if (!restore) {
            KeepAfterInterruptedSave(save);
          } else if (!RestoreInterruptedSave(save)) {
            ShowStatus(Text{"Status.ChangedSinceInterruptedSave", {save.file}});
          }
        },
        save.file);
  }
}

void MainWindow::NewList() {
  if (!MayDropList()) return;
  document_.NewList();
  filePath_.clear();
  ShowTitle();
}

// The list's file name, and a mark while it has unsaved changes, before the program's
// own title.
void MainWindow::ShowTitle() {
  if (!titled_) return;
  const QString name = filePath_.empty() ? texts_.Caption("Main.Untitled")
                                         : QFileInfo(PathFromBytes(filePath_)).fileName();
  QString title = FromAnsi(std::string(kApplicationTitle) + std::string(kCopyrightNotice));
  if (!name.isEmpty()) title = name + (document_.Modified() ? "*" : "") + " - " + title;
  setWindowTitle(title);
}

// A configuration file dropped on the window is loaded as Load does.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.size() == 1 && urls.constFirst().isLocalFile() &&
      urls.constFirst().toLocalFile().endsWith(".cfg", Qt::CaseInsensitive))
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString path = event->mimeData()->urls().constFirst().toLocalFile();
  event->acceptProposedAction();
  if (MayDropList()) LoadFile(PathToBytes(path));
}

bool MainWindow::MayDropList() {
  if (!document_.Modified()) return true;
  switch (dialogs_.AskUnsaved(this, texts_.Caption("Ask.Unsaved"), texts_.Caption("Ask.Save"),
                              texts_.Caption("Ask.Discard"), texts_.Caption("Ask.Cancel"))) {
    case UnsavedAnswer::kSave:
      SaveList(false);
      return !document_.Modified();  // a cancelled or failed save keeps the list
    case UnsavedAnswer::kDiscard:
      return true;
    case UnsavedAnswer::kCancel:
      break;
  }
  return false;
}

void MainWindow::DeleteSelectedLine() {
  {
    const ShowingState showing(showingState_);
    document_.DeleteSelected();
  }
  ShowMacroSelection();
}

void MainWindow::SelectLine(int row) {
  document_.List().UserSelect(row);
  ShowStatus();
  ShowFindingsOfSelectedLine();
  controls_->linesView->setToolTip(PlainToolTip(ShownText(document_.List().Hint())));
}

void MainWindow::ShowMacroSelection() {
  const ShowingState showing(showingState_);
  const int row = document_.List().ItemIndex();
  if (row < 0) {
    controls_->linesView->selectionModel()->clearSelection();
    controls_->linesView->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
  } else {
    controls_->linesView->setCurrentIndex(macroModel_->index(row));
  }
}

// ---- The rest of the window ------------------------------------------------------

void MainWindow::ChooseGame(int index) {
  game_ = index == 1 ? game::Game::kYamagi : game::Game::kQuake2;
  composer_.SetGame(game_);
  document_.SetGame(game_);  // the findings and the limit are the game's
  ReportingErrors([this] { StoreGameChoice(); });
}

void MainWindow::StoreGameChoice() {
  language_.StoreSetting(datafiles::kGameKey, std::string(game::SettingsNameOf(game_)));
}

void MainWindow::ShowGame() {
  controls_->gameField->setCurrentIndex(game_ == game::Game::kYamagi ? 1 : 0);
}

void MainWindow::ToggleResourcesPanel() {
  resourcesPanelShown_ = resourcesPanelShown_ == 1 ? 0 : 1;
  controls_->ShowResources(resourcesPanelShown_ == 1);
}

void MainWindow::ShowAboutBox() {
  if (aboutBox_ == nullptr) return;
  aboutBox_->setWindowTitle(FromAnsi(language_.ReadAboutCaption()));
  dialogs_.ShowModal(aboutBox_);
}

// The dialog asks for the game only when a support file is missing; it opens where the
// game is (the stored game path, or the first usual game folder) until a choice is made.
// A cancel says nothing; a copy says on the status line which files went where.
void MainWindow::InstallSupportFiles() {
  ReportingErrors([this] {
    const install::InstallResult result = install::InstallSupportFiles(appDir_, [this]() {
      gameFolderDialog_.ProposeIfNone(PathFromBytes(install::GameDialogStartFolderFor(appDir_)));
      return AskWith(gameFolderDialog_, texts_.Caption("Dialog.GameFolder"))();
    });
    if (result.outcome == install::InstallResult::Outcome::kCancelled) return;
    ShowStatus(result.Status());
    if (result.error) std::rethrow_exception(result.error);
  });
}

// ---- Engine state into the widgets -------------------------------------------------

// Each language button speaks its own language, whichever is chosen: its text comes
// from that language's caption file.
void MainWindow::ShowLanguageButtons() {
  const std::pair<QRadioButton*, Language> buttons[] = {
      {controls_->frenchButton, Language::kFrench}, {controls_->englishButton, Language::kEnglish}};
  for (const auto& [button, language] : buttons) {
    const datafiles::IniFile captions(appDir_ + datafiles::FilesOf(language).captionsPath);
    button->setText(FromAnsi(captions.ReadString("General", "Main.LanguageButton", "")));
  }
}

void MainWindow::ShowLanguage() {
  const ShowingState showing(showingState_);
  controls_->frenchButton->setChecked(language_.Selected() == Language::kFrench);
  controls_->englishButton->setChecked(language_.Selected() == Language::kEnglish);
  ShowFunctionNames();
  ShowResources();
  ShowCaptions();
  ShowToolTips();
  FollowLanguageInQtTexts();
  ShowFindings();  // the texts of the status line are the language's
  ShowBudget();
}

void MainWindow::ShowCaptions() {
  for (std::string_view key : datafiles::kCaptionKeys) {
    const QString name = QString::fromLatin1(datafiles::ControlOf(key));
    const QString text = FromAnsi(language_.captions.Get(key));
    QWidget* control = findChild<QWidget*>(name);
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
      group->setTitle(text);
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
      button->setText(text);
    } else if (auto* field = qobject_cast<QComboBox*>(control)) {
      field->setEditText(text);
      field->lineEdit()->setCursorPosition(0);  // a long prompt shows its beginning
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
      edit->setText(text);
      edit->setCursorPosition(0);
    }
  }
  // The texts the window has beyond the caption set: a missing one keeps its default.
  const auto setIfGiven = [this](std::string_view key, auto&& apply) {
    const std::string& text = language_.captions.Get(key);
    if (!text.empty()) apply(FromAnsi(text));
  };
  setIfGiven("Main.GameQuake2",
             [this](const QString& text) { controls_->gameField->setItemText(0, text); });
  setIfGiven("Main.GameYamagi",
             [this](const QString& text) { controls_->gameField->setItemText(1, text); });
  setIfGiven("Panel.Title",
             [this](const QString& text) { controls_->problemsGroup->setTitle(text); });
  // Tool-tips are plain text, whatever the caption file holds.
  setIfGiven("Main.GameHint",
             [this](const QString& text) { controls_->gameField->setToolTip(PlainToolTip(text)); });
  setIfGiven("Key.CaptureHint", [this](const QString& text) {
    controls_->captureAction->setToolTip(PlainToolTip(text));
  });
}

// The controls' tool-tips in the window's language; a text the caption file does not give
// leaves the control without one.
void MainWindow::ShowToolTips() {
  const std::pair<QWidget*, std::string_view> tips[] = {
      {controls_->frenchButton, "Main.TipFrench"},
      {controls_->englishButton, "Main.TipEnglish"},
      {controls_->keyField, "Main.TipKey"},
      {controls_->functionField, "Main.TipFunction"},
      {controls_->chatEdit, "Main.TipChat"},
      {controls_->definableField, "Main.TipDefinable"},
      {controls_->argumentsEdit, "Main.TipArguments"},
      {controls_->ownLineEdit, "Main.TipOwnLine"},
      {controls_->addBindingButton, "Main.TipAddBinding"},
      {controls_->addDefinableButton, "Main.TipAddDefinable"},
      {controls_->addWithResourceButton, "Main.TipAddWithResource"},
      {controls_->addOwnLineButton, "Main.TipAddOwnLine"},
      {controls_->addResourceButton, "Main.TipAddResource"},
      {controls_->deleteButton, "Main.TipDelete"},
      {controls_->newListButton, "Main.TipNewList"},
      {controls_->loadButton, "Main.TipLoad"},
      {controls_->saveButton, "Main.TipSave"},
  };
  for (const auto& [control, key] : tips) {
    const QString given = texts_.Caption(key);
    control->setToolTip(given.isEmpty() ? QString() : PlainToolTip(given));
  }
}

// Qt's own texts (the file dialogs, the buttons of its boxes, the context menus of the
// fields) follow the window's language.
void MainWindow::FollowLanguageInQtTexts() {
  if (qtTranslator_ == nullptr) qtTranslator_ = new QTranslator(this);
  QCoreApplication::removeTranslator(qtTranslator_);
  if (language_.Selected() == Language::kFrench &&
      qtTranslator_->load(QStringLiteral("qtbase_fr"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(qtTranslator_);
  }
}

void MainWindow::ShowFunctionNames() {
  SetItems(controls_->functionField, language_.functionNames);
  controls_->functionField->view()->setMinimumWidth(
      controls_->functionField->view()->sizeHintForColumn(0) + 24);
}

void MainWindow::ShowResources() {
  const ShowingState showing(showingState_);
  controls_->resourcesList->clear();
  QStringList items;
  items.reserve(language_.resourceDescriptions.Count());
  for (int i = 0; i < language_.resourceDescriptions.Count(); ++i) {
    items.append(ShownText(language_.resourceDescriptions.At(i)));
  }
  controls_->resourcesList->addItems(items);
}

void MainWindow::ShowDefinableFunctions() {
  SetItems(controls_->definableField, language_.definableFunctions);
  controls_->definableField->setEditText(QString());
}

}  // namespace tavrilo::ui
