// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QUrl>

#include "Branding.h"
#include "core/Paths.h"
#include "core/Platform.h"
#include "install/SupportFiles.h"
#include "ui/Colours.h"
#include "ui/FindingsView.h"
#include "ui/KeyCapture.h"
#include "ui/MacroListModel.h"
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

// The fields whose text the window reads, and whose own undo history is dropped once the
// list took what they held: Ctrl+Z then undoes the list.
QList<QLineEdit*> TextFields(const WindowControls& controls) {
  return {controls.keyField->lineEdit(),
          controls.functionField->lineEdit(),
          controls.definableField->lineEdit(),
          controls.chatEdit,
          controls.argumentsEdit,
          controls.ownLineEdit};
}

void PaintFields(const WindowControls& controls) {
  for (QWidget* field :
       {static_cast<QWidget*>(controls.keyField), static_cast<QWidget*>(controls.functionField),
        static_cast<QWidget*>(controls.definableField),
        static_cast<QWidget*>(controls.resourcesList)})
    Paint(field, QPalette::Text, Colour::kFieldText);
}

}  // namespace

template <typename Action>
bool MainWindow::ReportingErrors(Action&& action, const std::string& path) {
  try {
    action();
    return true;
  } catch (const std::exception& error) {
    dialogs_.ShowError(isVisible() ? this : nullptr, texts_.ErrorMessage(error, path));
    return false;
  }
}

MainWindow::MainWindow(std::string applicationDirectory, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(std::move(applicationDirectory), StringList::kMaxCount, false),
      texts_(session_.Language()),
      dialogs_(dialogs),
      saveDialog_(dialogs, this, FileRequest::kSave),
      openDialog_(dialogs, this, FileRequest::kOpen),
      gameFolderDialog_(dialogs, this, FileRequest::kGameFolder) {
  setObjectName("MainForm");
  CreateControls();
  WireFields();
  WireList();
  WireButtons();
  LoadStartingState();
}

// The destruction step: the settings this window changed whose write failed are stored
// (over the file as it is now: another window's choices stay); an error is shown and the
// shut-down goes on.
MainWindow::~MainWindow() {
  ReportingErrors([this] { session_.Language().StoreWaitingSettings(); });
}

void MainWindow::CreateControls() {
  controls_ = new WindowControls(this);
  PaintFields(*controls_);
  languageView_.emplace(*this, *controls_, session_.Language(), texts_, session_.DataRoot());
  keyCapture_ = new KeyCapture(this);
  session_.SetSupportFiles(install::ReadSupportFiles(session_.DataRoot()));
  macroModel_ = new MacroListModel(session_, this);
  controls_->linesView->setModel(macroModel_);
  findingsView_ = new FindingsView(*controls_, session_, texts_, this);
  // A field that shows its prompt selects it on focus: typing replaces it.
  auto* prompts = new PromptSelector(
      [this](const QLineEdit& field) { return languageView_->PromptOf(field); }, this);
  for (QLineEdit* field : TextFields(*controls_)) {
    prompts->Watch(field);
    field->installEventFilter(this);  // Ctrl+Z: see eventFilter
  }
  // The file actions' shortcuts, wherever the focus is.
  const std::pair<QKeySequence, std::function<void()>> shortcuts[] = {
      {QKeySequence(Qt::CTRL | Qt::Key_N), [this] { NewList(); }},
      {QKeySequence(Qt::CTRL | Qt::Key_O), [this] { LoadList(); }},
      {QKeySequence(Qt::CTRL | Qt::Key_S), [this] { SaveList(true); }},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { SaveList(false); }},
  };
  for (const auto& [keys, action] : shortcuts)
    connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
  setAcceptDrops(true);
  controls_->keyField->setFocus();
}

void MainWindow::WireFields() {
  // The language buttons run their handler only when they become selected.
  for (auto [button, language] : {std::pair{controls_->frenchButton, Language::kFrench},
                                  std::pair{controls_->englishButton, Language::kEnglish}}) {
    connect(button, &QRadioButton::toggled, this, [this, language](bool on) {
      KeepSelectedRadioInTabChain(controls_->frenchButton, controls_->englishButton);
      if (on && !showingState_) ReportingErrors([this, language] { SelectLanguage(language); });
    });
  }
  connect(controls_->gameField, &QComboBox::activated, this, &MainWindow::ChooseGame);

  // A pick runs the click handler, then the change handler; a typed edit only the change
  // handler, with no entry selected. Texts set by the program run nothing.
  macros::Composer& composer = session_.Composer();
  datafiles::LanguageState& language = session_.Language();
  const auto followKey = [this, &composer] {
    composer.SelectKey(ToAnsi(controls_->keyField->currentText()));
  };
  connect(controls_->keyField, &QComboBox::activated, this, followKey);
  connect(controls_->keyField->lineEdit(), &QLineEdit::textEdited, this, followKey);
  connect(controls_->captureAction, &QAction::triggered, this, &MainWindow::StartKeyCapture);
  connect(keyCapture_, &KeyCapture::Captured, this, [this](const QString& key, bool dropped) {
    // The key is already the game's name for it: it is not translated again.
    session_.Composer().SelectCapturedKey(ToAnsi(key));
    EndKeyCapture(key, dropped ? std::optional<Text>(Text{"Status.ModifiersDropped", {ToAnsi(key)}})
                               : std::nullopt);
  });
  connect(keyCapture_, &KeyCapture::Refused, this,
          [this](const Text& reason) { EndKeyCapture(std::nullopt, reason); });
  connect(keyCapture_, &KeyCapture::Cancelled, this,
          [this] { EndKeyCapture(std::nullopt, std::nullopt); });
  const auto followFunction = [this, &composer, &language](int position) {
    language.SelectFunction(position);
    composer.SelectFunction(language.SelectedCommand());
  };
  connect(controls_->functionField, &QComboBox::activated, this,
          [this, &language, followFunction](int position) {
            controls_->functionField->setToolTip(
                PlainToolTip(ShownText(language.functionNames.At(position))));
            followFunction(position);
          });
  connect(controls_->functionField->lineEdit(), &QLineEdit::textEdited, this,
          [followFunction] { followFunction(-1); });
  connect(controls_->definableField, &QComboBox::activated, this,
          [&language](int position) { language.definableFunctions.SetItemIndex(position); });
  connect(controls_->definableField->lineEdit(), &QLineEdit::textEdited, this,
          [&language] { language.definableFunctions.SetItemIndex(-1); });
  connect(controls_->resourcesList, &QListWidget::itemSelectionChanged, this, [this, &language] {
    if (showingState_) return;
    const QList<QListWidgetItem*> selected = controls_->resourcesList->selectedItems();
    language.SelectResource(
        selected.isEmpty() ? -1 : controls_->resourcesList->row(selected.constFirst()));
  });
}

void MainWindow::WireList() {
  // A model reset clears the view's selection without a word: the view is made to show
  // the engine's selection again, so that the two never disagree.
  connect(macroModel_, &QAbstractItemModel::modelReset, this, [this] { ShowSelection(); });
  // A change of the list ends the message of the last action.
  for (auto change : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
    connect(macroModel_, change, this, [this] { ShowStatus(); });
  connect(macroModel_, &QAbstractItemModel::rowsMoved, this, [this] { ShowStatus(); });
  connect(macroModel_, &QAbstractItemModel::modelReset, this, [this] { ShowStatus(); });
  connect(macroModel_, &MacroListModel::FindingsChanged, this, [this] {
    findingsView_->ShowAll();
    ShowListState();
  });
  connect(macroModel_, &MacroListModel::Changed, this, &MainWindow::ShowSelection);
  connect(macroModel_, &MacroListModel::EditRefused, this,
          [this](const Text& reason) { ShowStatus(reason); });
  connect(findingsView_, &FindingsView::LineChosen, this, [this](int line) {
    session_.Select(line);
    ShowSelection();
    controls_->linesView->scrollTo(macroModel_->index(line));
    SelectLine(line);
  });
  connect(controls_->linesView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] {
            if (showingState_) return;
            const QModelIndexList rows = controls_->linesView->selectionModel()->selectedRows();
            SelectLine(rows.isEmpty() ? -1 : rows.constFirst().row());
          });
  connect(controls_->editLineAction, &QAction::triggered, this, &MainWindow::EditSelectedLine);
  connect(controls_->moveUpAction, &QAction::triggered, this, [this] { MoveSelectedLine(-1); });
  connect(controls_->moveDownAction, &QAction::triggered, this, [this] { MoveSelectedLine(1); });
  connect(controls_->deleteLineAction, &QAction::triggered, this, &MainWindow::DeleteSelectedLine);
  connect(controls_->undoAction, &QAction::triggered, this, [this] { UndoOrRedo(true); });
  connect(controls_->redoAction, &QAction::triggered, this, [this] { UndoOrRedo(false); });
  controls_->linesView->installEventFilter(this);  // its keys: see eventFilter
}

void MainWindow::WireButtons() {
  const auto chat = [this] { return ToAnsi(controls_->chatEdit->text()); };
  const auto arguments = [this] { return ToAnsi(controls_->argumentsEdit->text()); };
  const auto addBinding = [=, this] {
    AddLine([=, this] {
      const std::string key = ToAnsi(controls_->keyField->currentText());
      const std::string function = ToAnsi(controls_->functionField->currentText());
      const auto& captions = session_.Language().captions;
      return session_.AddBinding({key, function, captions.Get("LetterComboBox.Text"),
                                  captions.Get("FonctionComboBox.Text")},
                                 chat());
    });
  };
  const auto addDefinable = [=, this] {
    AddLine([=, this] {
      session_.AddDefinableCall(arguments());
      return std::optional<Text>();
    });
  };
  const auto addWithResource = [=, this] {
    AddLine([=, this] {
      return session_.AddDefinableWithExternal(ToAnsi(controls_->definableField->currentText()),
                                               arguments());
    });
  };
  const auto addOwnLine = [this] {
    AddLine([this] {
      session_.AddOwnLine(ToAnsi(controls_->ownLineEdit->text()));
      return std::optional<Text>();
    });
  };
  const auto addResource = [this] { AddLine([this] { return session_.AddExternalBinding(); }); };
  connect(controls_->addBindingButton, &QPushButton::clicked, this, addBinding);
  connect(controls_->chatEdit, &QLineEdit::returnPressed, this, addBinding);
  connect(controls_->addDefinableButton, &QPushButton::clicked, this, addDefinable);
  // Enter in the definable function's field runs its add: see eventFilter.
  connect(controls_->addWithResourceButton, &QPushButton::clicked, this, addWithResource);
  connect(controls_->argumentsEdit, &QLineEdit::returnPressed, this, addWithResource);
  connect(controls_->addOwnLineButton, &QPushButton::clicked, this, addOwnLine);
  connect(controls_->ownLineEdit, &QLineEdit::returnPressed, this, addOwnLine);
  connect(controls_->addResourceButton, &QPushButton::clicked, this, addResource);
  connect(controls_->resourcesList, &QListWidget::itemActivated, this, addResource);

  connect(controls_->saveButton, &QPushButton::clicked, this, [this] { SaveList(false); });
  connect(controls_->loadButton, &QPushButton::clicked, this, &MainWindow::LoadList);
  controls_->loadButton->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(controls_->loadButton, &QWidget::customContextMenuRequested, this,
          &MainWindow::ShowRecentFiles);
  connect(controls_->newListButton, &QPushButton::clicked, this, &MainWindow::NewList);
  connect(controls_->deleteButton, &QPushButton::clicked, this, &MainWindow::DeleteSelectedLine);
  connect(controls_->resourcesButton, &QPushButton::clicked, this,
          &MainWindow::ToggleResourcesPanel);
  connect(controls_->aboutButton, &QPushButton::clicked, this, &MainWindow::ShowAboutBox);
  connect(controls_->installButton, &QPushButton::clicked, this, &MainWindow::InstallSupportFiles);
  connect(controls_->refreshButton, &QPushButton::clicked, this, [this] {
    ReportingErrors([this] {
      session_.Language().RefreshResources();
      const ShowingState showing(showingState_);
      languageView_->ShowResources();
    });
  });
}

// The creation step. An error ends it; what was done before stays done.
void MainWindow::LoadStartingState() {
  ReportingErrors([this] {
    languageView_->ShowLanguageButtons();
    session_.RestoreGameChoice();
    controls_->gameField->setCurrentIndex(session_.Game() == game::Game::kYamagi ? 1 : 0);
    ThenShow([this] { session_.Language().ChooseAtStartup(); },
             [this] {
               if (session_.Language().Selected() != Language::kNone) ShowLanguage();
             });
    session_.Composer().Reset();
    session_.Language().LoadDefinableFunctions();
    languageView_->ShowDefinableFunctions();
    resourcesPanelShown_ = 1;
    SetApplicationTitle(FromAnsi(kApplicationTitle));
    titled_ = true;
    ShowTitle();
    controls_->ShowResources(true);
    session_.ResetHeader();
    ReloadLanguage();
  });
  // Files of folders that take no new files keep their backups in the settings folder.
  OfferInterruptedSaves(FindInterruptedSaves(platform::BackupFolder(), true));
  ShowListState();
}

// A palette of another lightness (the desktop's theme changed) gives the window's own
// colours their other shade.
void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::PaletteChange || controls_ == nullptr) return;
  PaintFields(*controls_);
  findingsView_->ShowAll();
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
// once); the list's keys run its actions while it has the focus; Ctrl+Z (and redo) in a field with
// nothing of its own to undo undoes the list (the event is kept from the field, so the window's
// action takes it).
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const auto* press = static_cast<QKeyEvent*>(event);
  const bool enter = event->type() == QEvent::KeyPress &&
                     (press->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
                     (press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter);
  if (enter && watched == controls_->definableField->lineEdit()) {
    controls_->addDefinableButton->click();
    return true;
  }
  if (event->type() == QEvent::KeyPress && watched == controls_->linesView) {
    const QKeyCombination key(press->modifiers() & ~Qt::KeypadModifier, Qt::Key(press->key()));
    for (const auto& [listKey, action] : controls_->listKeys) {
      if (listKey == key && action->isEnabled()) {
        action->trigger();
        return true;
      }
    }
  }
  if (event->type() == QEvent::ShortcutOverride) {
    if (auto* field = qobject_cast<QLineEdit*>(watched)) {
      if ((press->matches(QKeySequence::Undo) && !field->isUndoAvailable()) ||
          ((press->matches(QKeySequence::Redo) ||
            press->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y)) &&
           !field->isRedoAvailable()))
        return true;
    }
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

// ---- Language and game --------------------------------------------------------------

// The choice is stored at once: a session ended by the desktop keeps it too.
void MainWindow::SelectLanguage(datafiles::Language language) {
  ThenShow([&] { session_.Language().Select(language); }, [this] { ShowLanguage(); });
  session_.Language().StoreFlags();
}

void MainWindow::ReloadLanguage() {
  ThenShow([this] { session_.Language().ReloadLanguage(); }, [this] { ShowLanguage(); });
}

void MainWindow::ShowLanguage() {
  const ShowingState showing(showingState_);
  languageView_->ShowAll();
  findingsView_->ShowAll();  // the texts of the status line are the language's
  ShowTitle();
}

void MainWindow::ChooseGame(int index) {
  session_.SetGame(index == 1 ? game::Game::kYamagi : game::Game::kQuake2);
  ReportingErrors([this] { session_.StoreGameChoice(); });
}

// ---- The key field's capture ----------------------------------------------------------

// The next key, button or wheel notch becomes the key; the field shows that it waits.
void MainWindow::StartKeyCapture() {
  if (keyCapture_->IsCapturing()) return;  // the control's own click ends the capture
  const QObjectList triggers = controls_->captureAction->associatedObjects();
  keyCapture_->Start(controls_->keyField, session_.Game(),
                     triggers.isEmpty() ? nullptr : qobject_cast<QWidget*>(triggers.constLast()));
  textBeforeCapture_ = controls_->keyField->currentText();
  const QString waiting = texts_.Caption("Main.CaptureWaiting");
  controls_->keyField->setEditText(waiting.isEmpty() ? QStringLiteral("\u2026") : waiting);
  controls_->keyField->lineEdit()->setCursorPosition(0);  // its beginning, if it is long
  Paint(controls_->keyField, QPalette::Base, Colour::kWaitingForKey);
  controls_->keyField->setProperty("waitingForKey", true);
  ShowStatus(Text{"Key.CapturePrompt", {}});
}

// The field shows `key`, or its text from before the capture.
void MainWindow::EndKeyCapture(std::optional<QString> key, std::optional<Text> message) {
  controls_->keyField->setPalette(QPalette());
  Paint(controls_->keyField, QPalette::Text, Colour::kFieldText);
  controls_->keyField->setProperty("waitingForKey", false);
  controls_->keyField->setEditText(key.value_or(textBeforeCapture_));
  ShowStatus(std::move(message));
}

// ---- The add actions ------------------------------------------------------------------

template <typename Add>
void MainWindow::AddLine(Add&& add) {
  const int count = session_.List().Count();
  ReportingErrors([&] {
    if (std::optional<Text> blocked = add()) ShowStatus(*blocked);  // why nothing was added
  });
  ShowListState();
  if (session_.List().Count() == count) return;
  controls_->linesView->scrollToBottom();
  // The fields keep their texts; Ctrl+Z in them now undoes the add.
  for (QLineEdit* field : TextFields(*controls_)) {
    const int cursor = field->cursorPosition();
    field->setText(field->text());
    field->setCursorPosition(cursor);
  }
}

// ---- The list -------------------------------------------------------------------------

void MainWindow::SelectLine(int row) {
  session_.Select(row);
  ShowStatus();
  controls_->linesView->setToolTip(PlainToolTip(ShownText(session_.List().Hint())));
  ShowListState();
}

// The view shows the session's selection.
void MainWindow::ShowSelection() {
  const ShowingState showing(showingState_);
  const int row = session_.List().ItemIndex();
  if (row < 0) {
    controls_->linesView->selectionModel()->clearSelection();
    controls_->linesView->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
  } else {
    controls_->linesView->setCurrentIndex(macroModel_->index(row));
    controls_->linesView->scrollTo(macroModel_->index(row));
  }
  ShowListState();
}

// The title and the actions that the list's state allows now.
void MainWindow::ShowListState() {
  const int row = session_.List().ItemIndex();
  controls_->editLineAction->setEnabled(row >= 0);
  controls_->moveUpAction->setEnabled(row > 0);
  controls_->moveDownAction->setEnabled(row >= 0 && row + 1 < session_.List().Count());
  controls_->deleteLineAction->setEnabled(row >= 0);
  controls_->undoAction->setEnabled(session_.CanUndo());
  controls_->redoAction->setEnabled(session_.CanRedo());
  ShowTitle();
}

void MainWindow::EditSelectedLine() {
  const int row = session_.List().ItemIndex();
  if (row >= 0) controls_->linesView->edit(macroModel_->index(row));
}

void MainWindow::MoveSelectedLine(int direction) {
  ReportingErrors([&] { session_.MoveSelected(direction); });
  ShowSelection();
}

void MainWindow::DeleteSelectedLine() {
  {
    const ShowingState showing(showingState_);
    ReportingErrors([this] { session_.DeleteSelected(); });
  }
  ShowSelection();
}

// The list and its selection as they were before the last change, or after it again; the
// fields and buttons stay as they are.
void MainWindow::UndoOrRedo(bool undo) {
  {
    const ShowingState showing(showingState_);
    ReportingErrors([&] { undo ? session_.Undo() : session_.Redo(); });
  }
  ShowSelection();
  ShowStatus();
}

// ---- The list's files -----------------------------------------------------------------

// Save asks for a name (Ctrl+S: not when the list has its file), and before replacing a
// file that is not the list's own.
void MainWindow::SaveList(bool toOwnFile) {
  if (session_.NothingToSave()) return;
  std::string path = toOwnFile ? session_.FilePath() : std::string();
  if (path.empty()) {
    saveDialog_.ProposeIfNone(PathFromBytes(session_.ProposedSavePath("Macros.cfg")));
    const std::optional<QString> chosen = saveDialog_.Execute();
    if (!chosen) return;
    path = PathToBytes(*chosen);
  }
  ReportingErrors(
      [&] {
        bool answered = false;
        if (const std::optional<Text> question = session_.ReplaceQuestion(path)) {
          if (!dialogs_.AskYes(this, texts_(*question), texts_.Caption("Ask.ReplaceYes"),
                               texts_.Caption("Ask.Cancel")))
            return;
          answered = true;
        }
        // A file the game's exec would ignore is saved all the same, and the player told.
        if (session_.Save(path, answered) != macros::EditorSession::SaveOutcome::kSaved) return;
        if (session_.TooBigText()) ShowStatus(session_.TooBigText());
        OfferInterruptedSaves(FindInterruptedSaves(DirectoryPart(path)));
      },
      path);
  ShowListState();
}

void MainWindow::LoadList() {
  if (!MayDropList()) return;
  openDialog_.ProposeIfNone(PathFromBytes(session_.DialogFolder()));
  if (const std::optional<QString> chosen = openDialog_.Execute()) LoadFile(PathToBytes(*chosen));
}

void MainWindow::LoadFile(const std::string& pathBytes) {
  if (std::optional<InterruptedSave> save = FindInterruptedSave(pathBytes))
    OfferInterruptedSaves({*save});
  ReportingErrors([&] { session_.Load(pathBytes); }, pathBytes);
  if (session_.FilePath() == pathBytes && session_.LoadNote()) ShowStatus(session_.LoadNote());
  ShowListState();
}

// The recent files, under the load button's menu (its right click, or the menu key).
void MainWindow::ShowRecentFiles(const QPoint& where) {
  QMenu menu(this);
  menu.addSection(texts_.Caption("Main.Recent"));
  const std::vector<std::string> files = session_.RecentFiles();
  for (const std::string& file : files) {
    menu.addAction(QDir::toNativeSeparators(PathFromBytes(file)), this, [this, file] {
      if (MayDropList()) LoadFile(file);
    });
  }
  if (files.empty()) menu.addAction(texts_.Caption("Main.RecentNone"))->setEnabled(false);
  menu.exec(controls_->loadButton->mapToGlobal(where));
}

void MainWindow::NewList() {
  if (!MayDropList()) return;
  session_.NewList();
  ShowListState();
}

bool MainWindow::MayDropList() {
  if (!session_.Modified()) return true;
  switch (dialogs_.AskUnsaved(this, texts_.Caption("Ask.Unsaved"), texts_.Caption("Ask.Save"),
                              texts_.Caption("Ask.Discard"), texts_.Caption("Ask.Cancel"))) {
    case UnsavedAnswer::kSave:
      SaveList(true);
      return !session_.Modified();  // a cancelled or failed save keeps the list
    case UnsavedAnswer::kDiscard:
      return true;
    case UnsavedAnswer::kCancel:
      break;
  }
  return false;
}

// The list's file name, and a mark while it has unsaved changes, before the program's
// own title.
void MainWindow::ShowTitle() {
  if (!titled_) return;
  const QString name = session_.FilePath().empty()
                           ? texts_.Caption("Main.Untitled")
                           : QFileInfo(PathFromBytes(session_.FilePath())).fileName();
  QString title = FromAnsi(std::string(kApplicationTitle) + std::string(kCopyrightNotice));
  if (!name.isEmpty()) title = name + (session_.Modified() ? "*" : "") + " - " + title;
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

// ---- The rest of the window -----------------------------------------------------------

void MainWindow::ShowStatus(std::optional<Text> message) {
  findingsView_->ShowStatus(std::move(message));
}

void MainWindow::ToggleResourcesPanel() {
  resourcesPanelShown_ = resourcesPanelShown_ == 1 ? 0 : 1;
  controls_->ShowResources(resourcesPanelShown_ == 1);
}

void MainWindow::ShowAboutBox() {
  if (aboutBox_ == nullptr) return;
  aboutBox_->setWindowTitle(FromAnsi(session_.Language().ReadAboutCaption()));
  dialogs_.ShowModal(aboutBox_);
}

// The dialog asks for the game only when a support file is missing; it opens where the
// game is (the stored game path, or the first usual game folder) until a choice is made.
// A cancel says nothing; a copy says on the status line which files went where.
void MainWindow::InstallSupportFiles() {
  ReportingErrors([this] {
    const std::string& dataRoot = session_.DataRoot();
    const install::InstallResult result = install::InstallSupportFiles(dataRoot, [&, this] {
      gameFolderDialog_.ProposeIfNone(PathFromBytes(install::GameDialogStartFolderFor(dataRoot)));
      const std::optional<QString> chosen =
          gameFolderDialog_.Execute(texts_.Caption("Dialog.GameFolder"));
      return chosen ? std::optional(PathToBytes(*chosen)) : std::nullopt;
    });
    if (result.outcome == install::InstallResult::Outcome::kCancelled) return;
    ShowStatus(result.Status());
    if (result.error) std::rethrow_exception(result.error);
  });
}

}  // namespace tavrilo::ui
