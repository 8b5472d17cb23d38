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
#include <QScrollArea>
#include <QShortcut>
#include <QUrl>

#include <type_traits>

#include "Branding.h"
#include "core/Paths.h"
#include "core/Platform.h"
#include "install/SupportFiles.h"
#include "ui/Colours.h"
#include "ui/FileActions.h"
#include "ui/FindingsView.h"
#include "ui/FontConfigurationReader.h"
#include "ui/KeyFieldCapture.h"
#include "ui/KeyboardView.h"
#include "ui/LinesEditor.h"
#include "ui/PlayerView.h"
#include "ui/PromptSelector.h"
#include "ui/ReportingErrors.h"
#include "ui/ShowingState.h"
#include "ui/TextCodec.h"
#include "ui/WindowControls.h"

namespace tavrilo::ui {

namespace {

using datafiles::Language;

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
bool MainWindow::Reporting(Action&& action) {
  return ReportingErrors(dialogs_, *this, texts_, std::forward<Action>(action));
}

MainWindow::MainWindow(std::string applicationDirectory, Dialogs& dialogs,
                       FontConfigurationReader* fontConfiguration)
    : QWidget(nullptr, Qt::Window),
      session_(std::move(applicationDirectory), StringList::kMaxCount, false),
      texts_(session_.Language()),
      dialogs_(dialogs) {
  setObjectName("MainForm");
  // The session reads its files and does its part of the creation step first, while the
  // fonts' configuration, which the controls' texts need, may still be being read.
  const macros::StartingState start =
      session_.Start(install::ReadSupportFiles(session_.DataRoot()));
  if (fontConfiguration != nullptr) fontConfiguration->Wait();
  CreateControls();
  WireFields();
  WireButtons();
  ShowStartingState(start);
}

// The destruction step: the settings this window changed whose write failed are stored
// (over the file as it is now: another window's choices stay); an error is shown and the
// shut-down goes on.
MainWindow::~MainWindow() {
  Reporting([this] { session_.Language().StoreWaitingSettings(); });
  // The controls go first, while the parts that watch them and their table still exist.
  delete controls_->scrolled;
}

void MainWindow::CreateControls() {
  controls_ = new WindowControls(this);
  PaintFields(*controls_);
  languageView_.emplace(*this, *controls_, session_.Language(), texts_);
  findingsView_ = new FindingsView(*controls_, session_, texts_, this);
  keyCapture_ = new KeyFieldCapture(
      *controls_, texts_, [this] { return session_.Game(); }, this);
  lines_ = new LinesEditor(*controls_, session_, *findingsView_, dialogs_, texts_);
  connect(lines_, &LinesEditor::ListStateChanged, this, &MainWindow::ShowTitle);
  files_ = new FileActions(*this, session_, dialogs_, texts_);
  player_ = new PlayerView(*controls_, session_, *findingsView_, *lines_, texts_);
  connect(lines_, &LinesEditor::ListStateChanged, player_, &PlayerView::ShowList);
  connect(player_, &PlayerView::Status, findingsView_, &FindingsView::ShowStatus);
  connect(files_, &FileActions::Status, findingsView_, &FindingsView::ShowStatus);
  connect(files_, &FileActions::FileChanged, findingsView_, &FindingsView::ShowAll);
  connect(files_, &FileActions::FileChanged, lines_, &LinesEditor::ShowListState);
  // A field that shows its prompt selects it on focus: typing replaces it.
  auto* prompts = new PromptSelector(
      [this](const QLineEdit& field) { return languageView_->PromptOf(field); }, this);
  for (QLineEdit* field : TextFields(*controls_)) {
    prompts->Watch(field);
    lines_->WatchField(field);
  }
  controls_->definableField->lineEdit()->installEventFilter(this);  // Enter: see eventFilter
  setAcceptDrops(true);
  controls_->keyField->setFocus();
}

void MainWindow::WireFields() {
  // The language buttons run their handler only when they become selected.
  for (auto [button, language] : {std::pair{controls_->frenchButton, Language::kFrench},
                                  std::pair{controls_->englishButton, Language::kEnglish}}) {
    connect(button, &QRadioButton::toggled, this, [this, language](bool on) {
      KeepSelectedRadioInTabChain(controls_->frenchButton, controls_->englishButton);
      if (on && !showingState_) Reporting([this, language] { SelectLanguage(language); });
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
  // The key is already the game's name for it: it is not translated again.
  const auto chooseKey = [this, &composer](const QString& key) {
    controls_->keyField->setEditText(key);
    composer.SelectCapturedKey(ToAnsi(key));
  };
  connect(keyCapture_, &KeyFieldCapture::Captured, this, chooseKey);
  connect(player_, &PlayerView::KeyChosen, this, chooseKey);
  connect(keyCapture_, &KeyFieldCapture::Status, findingsView_, &FindingsView::ShowStatus);
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
    AddLine([=, this] { session_.AddDefinableCall(arguments()); });
  };
  const auto addWithResource = [=, this] {
    AddLine([=, this] {
      return session_.AddDefinableWithExternal(ToAnsi(controls_->definableField->currentText()),
                                               arguments());
    });
  };
  const auto addOwnLine = [this] {
    AddLine([this] { session_.AddOwnLine(ToAnsi(controls_->ownLineEdit->text())); });
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

  files_->Wire(*controls_);
  connect(controls_->deleteButton, &QPushButton::clicked, lines_, &LinesEditor::DeleteSelectedLine);
  connect(controls_->resourcesButton, &QPushButton::clicked, this,
          &MainWindow::ToggleResourcesPanel);
  connect(controls_->aboutButton, &QPushButton::clicked, this, &MainWindow::ShowAboutBox);
  connect(controls_->installButton, &QPushButton::clicked, this, [this] {
    files_->InstallSupportFiles();
    player_->ReadPlayerGame();  // the game folder may be another
  });
  connect(controls_->refreshButton, &QPushButton::clicked, this, [this] {
    Reporting([this] {
      session_.Language().RefreshResources();
      const ShowingState showing(showingState_);
      languageView_->ShowResources();
    });
  });
}

// The creation step: the session has done its part (EditorSession::Start); the window
// shows what each step reached, in order. An error ends it; what was done before stays
// done, and shows.
void MainWindow::ShowStartingState(const macros::StartingState& start) {
  using Step = macros::StartingStep;
  Reporting([this, &start] {
    start.ThrowUnlessDone(Step::kButtonCaptions);
    languageView_->ShowLanguageButtons();
    start.ThrowUnlessDone(Step::kGame);
    controls_->gameField->setCurrentIndex(session_.Game() == game::Game::kYamagi ? 1 : 0);
    // A language loaded before an error of the start-up choice shows.
    if (session_.Language().Selected() != Language::kNone) ShowLanguage();
    start.ThrowUnlessDone(Step::kDefinableFunctions);  // or the language's error
    languageView_->ShowDefinableFunctions();
    resourcesPanelShown_ = 1;
    SetApplicationTitle(FromAnsi(kApplicationTitle));
    titled_ = true;
    ShowTitle();
    controls_->ShowResources(true);
    start.ThrowUnlessDone(Step::kHeader);
    findingsView_->ShowAll();  // the list's findings, now with its header
  });
  player_->ShowPlayerGame();
  files_->OfferInterruptedSaves();
  lines_->ShowListState();
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
// once).
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const auto* press = static_cast<QKeyEvent*>(event);
  if (watched == controls_->definableField->lineEdit() &&
      (press->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
      (press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter)) {
    controls_->addDefinableButton->click();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// A list changed since it was last saved or loaded is not lost without a word.
void MainWindow::closeEvent(QCloseEvent* event) {
  if (!files_->MayDropList()) {
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

void MainWindow::ShowLanguage() {
  const ShowingState showing(showingState_);
  languageView_->ShowAll();
  player_->Keyboard().SetLayout(session_.KeyboardLayout());
  player_->ShowCaptions();
  findingsView_->ShowAll();  // the texts of the status line are the language's
  ShowTitle();
}

void MainWindow::ChooseGame(int index) {
  session_.SetGame(index == 1 ? game::Game::kYamagi : game::Game::kQuake2);
  player_->ShowPlayerGame();
  Reporting([this] { session_.StoreGameChoice(); });
}

// ---- The add actions ------------------------------------------------------------------

template <typename Add>
void MainWindow::AddLine(Add&& add) {
  const int count = session_.List().Count();
  Reporting([&] {
    if constexpr (std::is_void_v<decltype(add())>) {
      add();
    } else if (std::optional<Text> blocked = add()) {
      ShowStatus(*blocked);  // why nothing was added
    }
  });
  lines_->ShowListState();
  if (session_.List().Count() == count) return;
  controls_->linesView->scrollToBottom();
  // The fields keep their texts; Ctrl+Z in them now undoes the add.
  for (QLineEdit* field : TextFields(*controls_)) {
    const int cursor = field->cursorPosition();
    field->setText(field->text());
    field->setCursorPosition(cursor);
  }
}

// ---- The rest of the window -----------------------------------------------------------

void MainWindow::LoadFile(const std::string& pathBytes) {
  files_->LoadFile(pathBytes);
}

// A configuration file dropped on the window is loaded as Load does.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (FileActions::IsDroppable(*event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  files_->Drop(*event->mimeData());
}

void MainWindow::ShowTitle() {
  if (titled_)
    setWindowTitle(
        files_->Title(FromAnsi(std::string(kApplicationTitle) + std::string(kCopyrightNotice))));
}

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

}  // namespace tavrilo::ui
