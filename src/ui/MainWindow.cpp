// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTranslator>

#include <climits>

#include "Branding.h"
#include "core/Locations.h"
#include "datafiles/GameChoice.h"
#include "install/SupportFiles.h"
#include "macros/KeyTranslation.h"
#include "macros/LineComposition.h"
#include "ui/KeyCapture.h"
#include "ui/MacroListModel.h"
#include "ui/ProblemsModel.h"
#include "ui/TextCodec.h"

namespace tavrilo::ui {

namespace {

using datafiles::Language;

// The window's font: the window's own texts at 10 pixels, the other controls at 11.
QFont WindowFont(int pixelSize, bool bold = false) {
  QFont font;
  font.setFamilies({"MS Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"});
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}
constexpr int kOwnTextPixels = 10;
constexpr int kControlPixels = 11;

template <typename Widget>
Widget* Place(QWidget* parent, const char* name, int left, int top, int width, int height,
              int pixelSize = kControlPixels, bool bold = false) {
  auto* widget = new Widget(parent);
  widget->setObjectName(name);
  widget->setGeometry(left, top, width, height);
  widget->setFont(WindowFont(pixelSize, bold));
  return widget;
}

void MakeBlue(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Text, QColor(0, 0, 255));
  widget->setPalette(palette);
}

// A button that never takes the keyboard focus.
QPushButton* Button(QWidget* parent, const char* name, const char* text, int left, int top,
                    int width, int height, bool bold) {
  auto* button = Place<QPushButton>(parent, name, left, top, width, height, kControlPixels, bold);
  button->setText(FromAnsi(text));
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoDefault(false);
  return button;
}

// An editable drop-down field whose handlers run only on the user's picks and edits.
QComboBox* EditableField(QWidget* parent, const char* name, const char* text, int left, int top,
                         int width, int height) {
  auto* field = Place<QComboBox>(parent, name, left, top, width, height);
  field->setEditable(true);
  field->setInsertPolicy(QComboBox::NoInsert);
  field->setCompleter(nullptr);
  field->setMaxVisibleItems(16);
  field->setValidator(new AnsiValidator(field));
  field->lineEdit()->setMaxLength(INT_MAX);
  // Leaving the field must not turn typed text that equals an entry into a pick.
  QObject::disconnect(field->lineEdit(), &QLineEdit::editingFinished, field, nullptr);
  field->setEditText(FromAnsi(text));
  MakeBlue(field);
  return field;
}

QLineEdit* TextField(QWidget* parent, const char* name, const char* text, int left, int top,
                     int width, int height) {
  auto* field = Place<QLineEdit>(parent, name, left, top, width, height);
  field->setValidator(new AnsiValidator(field));
  field->setMaxLength(INT_MAX);
  field->setText(FromAnsi(text));
  return field;
}

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

// A small keyboard: the picture of the key field's control that chooses a key by
// pressing it.
QIcon KeyboardIcon() {
  QPixmap picture(16, 16);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setPen(QColor(40, 40, 40));
  painter.setBrush(QColor(250, 250, 250));
  painter.drawRoundedRect(QRectF(0.5, 3.5, 15, 10), 2, 2);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(40, 40, 40));
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 5; ++column)
      painter.drawRect(2 + 2 * column + row, 5 + 2 * row, 1, 1);
  }
  painter.drawRect(4, 10, 8, 1);  // the space bar
  return QIcon(picture);
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

MainWindow::MainWindow(std::string applicationDirectory, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      appDir_(std::move(applicationDirectory)),
      language_(appDir_),
      saveDialog_(this, FileDialog::Mode::kSave, QString(), "Config (*.cfg)", "cfg", "Macros.cfg"),
      openDialog_(this, FileDialog::Mode::kOpen, QString(), "Config (*.cfg)", QString(), QString()),
      quakePathDialog_(this, FileDialog::Mode::kGameFolder, "Path Quake2.exe", QString(), QString(),
                       QString()) {
  setObjectName("MainForm");
  SetTextResolver(
      [this](const Text& text) { return FormatForUser(language_.captions.Get(text.key), text); });
  setFont(WindowFont(kOwnTextPixels));
  setFixedSize(kDesignSize);
  CreateControls();
  WireEvents();
  LoadStartingState();
}

MainWindow::~MainWindow() {
  StoreState();
  SetTextResolver(nullptr);
}

void MainWindow::CreateControls() {
  languageFrame_ = Place<QFrame>(this, "LangueGroupBox", 5, 5, 600, 25, kOwnTextPixels);
  languageFrame_->setFrameShape(QFrame::StyledPanel);
  languageFrame_->setFrameShadow(QFrame::Sunken);
  frenchButton_ = Place<QRadioButton>(this, "RBFr", 15, 13, 186, 15, kOwnTextPixels);
  frenchButton_->setText(
      FromAnsi("Cochez cette case pour le Fran\xE7"
               "ais"));
  englishButton_ = Place<QRadioButton>(this, "RBEn", 297, 13, 144, 15, kOwnTextPixels);
  englishButton_->setText("Check this box for English");

  // The game the lines are written for, right of the language buttons.
  gameField_ = Place<QComboBox>(this, "GameComboBox", 450, 8, 150, 19, kOwnTextPixels);
  gameField_->addItems({"Quake 2 3.20, Q2PRO", "Yamagi Quake II"});

  mainGroup_ = Place<QGroupBox>(this, "MainGroup", 5, 35, 600, 190, kOwnTextPixels);
  mainGroup_->setTitle(FromAnsi("Menu g\xE9n\xE9ral"));
  // The key field shows its prompt and the longest key names whole; the function field
  // takes what is left up to the add buttons' right edge.
  keyField_ = EditableField(mainGroup_, "LetterComboBox", "Touches", 10, 16, 172, 21);
  for (std::string_view key : macros::kKeyList)
    keyField_->addItem(FromAnsi(key));
  keyField_->setCurrentIndex(-1);
  keyField_->setEditText("Touches");
  captureAction_ = keyField_->lineEdit()->addAction(KeyboardIcon(), QLineEdit::TrailingPosition);
  captureAction_->setObjectName("CaptureKeyAction");
  // The drop-down shows each entry whole, wider than the field when it must be.
  keyField_->view()->setMinimumWidth(keyField_->view()->sizeHintForColumn(0) + 24);
  keyCapture_ = new KeyCapture(this);
  functionField_ = EditableField(mainGroup_, "FonctionComboBox", "Fonctions", 187, 16, 133, 21);
  chatEdit_ = TextField(mainGroup_, "SayEdit", "Tapez ici les dialogues macros", 10, 39, 265, 21);
  addBindingButton_ = Button(mainGroup_, "AddBtn", "Ajouter", 280, 39, 40, 20, false);
  definableField_ = EditableField(mainGroup_, "FonctionUserBox",
                                  "Fonctions d\xE9"
                                  "finissables",
                                  10, 65, 265, 21);
  addDefinableButton_ = Button(mainGroup_, "AddPersoBtn1", "Ajouter", 280, 65, 40, 20, false);
  argumentsEdit_ = TextField(mainGroup_, "ParamsUserEdit",
                             "Fonctions d\xE9"
                             "finissables : Arguments",
                             10, 87, 265, 21);
  addWithResourceButton_ = Button(mainGroup_, "AddPredefBtn", "Ajouter", 280, 87, 40, 20, false);
  ownLineEdit_ =
      TextField(mainGroup_, "UserEdit", "Tapez ici vos commandes personnelles", 10, 115, 265, 21);
  addOwnLineButton_ = Button(mainGroup_, "NewFctBtn", "Ajouter", 280, 115, 40, 20, false);

  linesView_ = Place<QListView>(mainGroup_, "CommandesListBox", 330, 16, 260, 121, kOwnTextPixels);
  document_.SetSupportFiles(install::ReadSupportFiles(appDir_));
  macroModel_ = new MacroListModel(document_, this);
  linesView_->setModel(macroModel_);
  linesView_->setUniformItemSizes(true);
  linesView_->setSelectionMode(QAbstractItemView::SingleSelection);
  linesView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  linesView_->setLayoutMode(QListView::Batched);
  linesView_->setBatchSize(1000);

  loadButton_ = Button(mainGroup_, "LoadBtn", "&Charger un fichier", 10, 140, 156, 20, true);
  saveButton_ = Button(mainGroup_, "SauverBtn", "&Sauver les macros", 165, 140, 155, 20, true);
  newListButton_ = Button(mainGroup_, "DeleteAllBtn", "&Nouvelle liste", 10, 159, 156, 20, true);
  deleteButton_ = Button(mainGroup_, "DeleteBtn", "&Effacer macro", 165, 159, 155, 20, true);
  installButton_ =
      Button(mainGroup_, "InstallerCfgBtn", "Installer les CFG", 330, 140, 260, 20, true);
  resourcesButton_ =
      Button(mainGroup_, "RessourcesExternesBtn", "&Ressources Externes", 330, 159, 131, 20, true);
  aboutButton_ = Button(mainGroup_, "AboutBtn", "&A Propos de...", 460, 159, 130, 20, true);

  resourcesGroup_ =
      Place<QGroupBox>(this, "RessourcesExternesGroupe", 5, 230, 600, 120, kOwnTextPixels);
  resourcesGroup_->setTitle("Ressources externes");
  resourcesList_ = Place<QListWidget>(resourcesGroup_, "TextList", 10, 16, 580, 64);
  resourcesList_->setSelectionMode(QAbstractItemView::SingleSelection);
  resourcesList_->setUniformItemSizes(true);
  MakeBlue(resourcesList_);
  addResourceButton_ =
      Button(resourcesGroup_, "AddPersoBtn", "Ajouter cette commande", 10, 85, 291, 25, true);
  refreshButton_ = Button(resourcesGroup_, "RefreshBtn", "Rafraichir", 300, 85, 290, 25, true);

  setTabOrder(keyField_, functionField_);
  setTabOrder(functionField_, chatEdit_);
  setTabOrder(chatEdit_, definableField_);
  setTabOrder(definableField_, argumentsEdit_);
  setTabOrder(argumentsEdit_, ownLineEdit_);
  setTabOrder(ownLineEdit_, linesView_);
  setTabOrder(linesView_, resourcesList_);
  setTabOrder(resourcesList_, frenchButton_);
  setTabOrder(frenchButton_, englishButton_);
  setTabOrder(englishButton_, gameField_);

  // Delete in the list removes the selected line (see eventFilter).
  linesView_->installEventFilter(this);
  ShowToolTips();

  // The problems panel, below the other controls: the counts and the size of the saved
  // file, then every finding of the list.
  problemsGroup_ =
      Place<QGroupBox>(this, "ProblemsGroup", 5, 355, 600, kProblemsHeight, kOwnTextPixels);
  problemsGroup_->setTitle(FromAnsi("Probl\xE8mes"));
  problemsSummary_ =
      Place<QLabel>(problemsGroup_, "ProblemsSummary", 10, 14, 380, 16, kOwnTextPixels);
  problemsSummary_->setTextFormat(Qt::PlainText);
  budgetLabel_ = Place<QLabel>(problemsGroup_, "BudgetLabel", 390, 14, 200, 16, kOwnTextPixels);
  budgetLabel_->setTextFormat(Qt::PlainText);
  budgetLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  problemsView_ = Place<QListView>(problemsGroup_, "ProblemsView", 10, 32, 580,
                                   kProblemsHeight - 38, kOwnTextPixels);
  problemsModel_ = new ProblemsModel(document_, this);
  problemsView_->setModel(problemsModel_);
  problemsView_->setItemDelegate(new ProblemDelegate(problemsView_));
  problemsView_->setUniformItemSizes(true);  // no row is laid out before it shows
  problemsView_->setSelectionMode(QAbstractItemView::SingleSelection);
  problemsView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  problemsView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabOrder(gameField_, problemsView_);

  statusLine_ =
      Place<QLabel>(this, "DiagnosticLabel", 5, 0, 600, kStatusLineHeight, kOwnTextPixels);
  statusLine_->setTextFormat(Qt::PlainText);
  keyField_->setFocus();
}

void MainWindow::WireEvents() {
  // The language buttons run their handler only when they become selected.
  connect(frenchButton_, &QRadioButton::toggled, this, [this](bool on) {
    KeepSelectedRadioInTabChain(frenchButton_, englishButton_);
    if (on && !showingState_) ChooseFrench();
  });
  connect(englishButton_, &QRadioButton::toggled, this, [this](bool on) {
    KeepSelectedRadioInTabChain(frenchButton_, englishButton_);
    if (on && !showingState_) ChooseEnglish();
  });

  // A pick runs the click handler, then the change handler; a typed edit only the change
  // handler, with no entry selected. Texts set by the program run nothing.
  connect(keyField_, &QComboBox::activated, this, [this] { FollowKeyField(); });
  connect(keyField_->lineEdit(), &QLineEdit::textEdited, this, [this] { FollowKeyField(); });
  connect(captureAction_, &QAction::triggered, this, &MainWindow::StartKeyCapture);
  connect(keyCapture_, &KeyCapture::Captured, this, &MainWindow::KeyCaptured);
  connect(keyCapture_, &KeyCapture::Refused, this, [this](const Text& reason) {
    ShowCaptureEnded();
    keyField_->setEditText(textBeforeCapture_);
    ShowStatus(reason);
  });
  connect(keyCapture_, &KeyCapture::Cancelled, this, [this] {
    ShowCaptureEnded();
    keyField_->setEditText(textBeforeCapture_);
    ShowStatus();
  });
  connect(functionField_, &QComboBox::activated, this, [this](int position) {
    ShowFunctionHint(position);
    FollowFunctionField(position);
  });
  connect(functionField_->lineEdit(), &QLineEdit::textEdited, this,
          [this] { FollowFunctionField(-1); });
  connect(definableField_, &QComboBox::activated, this,
          [this](int position) { language_.definableFunctions.SetItemIndex(position); });
  connect(definableField_->lineEdit(), &QLineEdit::textEdited, this,
          [this] { language_.definableFunctions.SetItemIndex(-1); });

  connect(addBindingButton_, &QPushButton::clicked, this, &MainWindow::AddBinding);
  connect(addDefinableButton_, &QPushButton::clicked, this, &MainWindow::AddDefinableCall);
  connect(addWithResourceButton_, &QPushButton::clicked, this,
          &MainWindow::AddDefinableWithResource);
  connect(addOwnLineButton_, &QPushButton::clicked, this, &MainWindow::AddOwnLine);
  connect(addResourceButton_, &QPushButton::clicked, this, &MainWindow::AddResourceBinding);

  connect(chatEdit_, &QLineEdit::returnPressed, this, &MainWindow::AddBinding);
  definableField_->lineEdit()->installEventFilter(this);  // Enter: see eventFilter
  connect(argumentsEdit_, &QLineEdit::returnPressed, this, &MainWindow::AddDefinableWithResource);
  connect(ownLineEdit_, &QLineEdit::returnPressed, this, &MainWindow::AddOwnLine);
  connect(resourcesList_, &QListWidget::itemActivated, this, &MainWindow::AddResourceBinding);
  connect(saveButton_, &QPushButton::clicked, this, &MainWindow::SaveList);
  connect(loadButton_, &QPushButton::clicked, this, &MainWindow::LoadList);
  connect(newListButton_, &QPushButton::clicked, this, &MainWindow::NewList);
  connect(deleteButton_, &QPushButton::clicked, this, &MainWindow::DeleteSelectedLine);
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
    connect(problemsView_, signal, this, &MainWindow::SelectLineOfFinding);
  connect(linesView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (showingState_) return;
    const QModelIndexList rows = linesView_->selectionModel()->selectedRows();
    SelectLine(rows.isEmpty() ? -1 : rows.constFirst().row());
  });

  connect(gameField_, &QComboBox::activated, this, &MainWindow::ChooseGame);
  connect(resourcesButton_, &QPushButton::clicked, this, &MainWindow::ToggleResourcesPanel);
  connect(aboutButton_, &QPushButton::clicked, this, &MainWindow::ShowAboutBox);
  connect(installButton_, &QPushButton::clicked, this, &MainWindow::InstallSupportFiles);
  connect(refreshButton_, &QPushButton::clicked, this, &MainWindow::RefreshResources);
  connect(resourcesList_, &QListWidget::itemSelectionChanged, this, [this] {
    if (!showingState_) FollowResourceSelection();
  });
}

// The creation step. An error ends it; what was done before stays done.
void MainWindow::LoadStartingState() {
  ReportingErrors(nullptr, [this] {
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
    setWindowTitle(FromAnsi(std::string(kApplicationTitle) + std::string(kCopyrightNotice)));
    LayOutBelowTheList();
    document_.ResetHeader();
    ReloadLanguage();
  });
}

// The destruction step: the language choice is stored; an error is shown and the
// shut-down goes on.
void MainWindow::StoreState() {
  ReportingErrors(nullptr, [this] {
    language_.StoreFlags();
    StoreGameChoice();
  });
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centred_) return;
  centred_ = true;
  if (const QScreen* display = screen()) {
    const QRect area = display->availableGeometry();
    move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  keyField_->setFocus();
}

// Enter in the definable function's field runs the add beside it (the drop-down field
// hands an Enter its line edit ignores back to that line edit, so the key is taken here,
// once); Delete in the list removes the selected line, as the delete button does.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const auto* press = static_cast<QKeyEvent*>(event);
  const bool plain = (press->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (watched == definableField_->lineEdit() && plain &&
      (press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter)) {
    AddDefinableCall();
    return true;
  }
  if (watched == linesView_ && plain && press->key() == Qt::Key_Delete) {
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
  ReportingErrors(this, [this] { SelectLanguage(Language::kFrench); });
}

void MainWindow::ChooseEnglish() {
  ReportingErrors(this, [this] { SelectLanguage(Language::kEnglish); });
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
  ReportingErrors(this, [this] {
    language_.RefreshResources();
    ShowResources();
  });
}

void MainWindow::FollowResourceSelection() {
  const QList<QListWidgetItem*> selected = resourcesList_->selectedItems();
  language_.SelectResource(selected.isEmpty() ? -1 : resourcesList_->row(selected.constFirst()));
}

// ---- Key and function fields -----------------------------------------------------

void MainWindow::FollowKeyField() {
  composer_.SelectKey(ToAnsi(keyField_->currentText()));
}

// The key field's control: the next key, button or wheel notch becomes the key.
void MainWindow::StartKeyCapture() {
  if (keyCapture_->IsCapturing()) return;  // the control's own click ends the capture
  QWidget* control = captureAction_->associatedObjects().isEmpty()
                         ? nullptr
                         : qobject_cast<QWidget*>(captureAction_->associatedObjects().constLast());
  keyCapture_->Start(keyField_, game_, control);
  // The field itself shows that it waits for a key.
  textBeforeCapture_ = keyField_->currentText();
  const std::string& waiting = language_.captions.Get("Main.CaptureWaiting");
  keyField_->setEditText(waiting.empty() ? QStringLiteral("\u2026") : FromAnsi(waiting));
  keyField_->lineEdit()->setCursorPosition(0);  // its beginning, if it is long
  QPalette palette = keyField_->palette();
  palette.setColor(QPalette::Base, QColor(255, 236, 150));
  keyField_->setPalette(palette);
  keyField_->setProperty("waitingForKey", true);
  ShowStatus(Text{"Key.CapturePrompt", {}});
}

void MainWindow::ShowCaptureEnded() {
  keyField_->setPalette(QPalette());
  MakeBlue(keyField_);
  keyField_->setProperty("waitingForKey", false);
}

// The key is already the game's name for it: the field shows it, and it is not
// translated again as a label of the key list would be.
void MainWindow::KeyCaptured(const QString& keyName, bool modifiersDropped) {
  ShowCaptureEnded();
  keyField_->setEditText(keyName);
  composer_.SelectCapturedKey(ToAnsi(keyName));
  ShowStatus(modifiersDropped
                 ? std::optional<Text>(Text{"Status.ModifiersDropped", {ToAnsi(keyName)}})
                 : std::nullopt);
}

// The status line shows the message of the last action, or else what the game makes of
// the selected line.
void MainWindow::ShowStatus(std::optional<Text> message) {
  statusMessage_ = std::move(message);
  ShowFindings();
}

void MainWindow::ShowFindings() {
  QStringList texts;
  game::Severity worst = game::Severity::kNone;
  const int row = document_.List().ItemIndex();
  if (statusMessage_) {
    texts << ResolveText(*statusMessage_);  // in the language shown now
  } else if (row >= 0) {
    for (const game::Finding& finding : document_.Findings().FindingsOf(row)) {
      texts << ResolveText(document_.Findings().TextOf(finding));
      worst = std::max(worst, finding.severity);
    }
  }
  QPalette palette = statusLine_->palette();
  palette.setColor(QPalette::WindowText, worst == game::Severity::kError  ? QColor(180, 0, 0)
                                         : worst == game::Severity::kNote ? QColor(0, 70, 170)
                                                                          : QColor(Qt::black));
  statusLine_->setPalette(palette);
  statusLine_->setText(texts.join(QStringLiteral("  \u2022  ")));
  statusLine_->setToolTip(PlainToolTip(texts.join('\n')));
}

// The size the saved file will have against what the game's exec takes.
// Above the problems panel, the counts of its findings.
void MainWindow::ShowBudget() {
  const game::CheckResult& findings = document_.Findings();
  budgetLabel_->setText(ResolveText(findings.SizeText()));
  QPalette palette = budgetLabel_->palette();
  palette.setColor(QPalette::WindowText, findings.TooBig() ? QColor(180, 0, 0) : QColor(Qt::black));
  budgetLabel_->setPalette(palette);
  problemsSummary_->setText(ResolveText(Text{
      "Panel.Summary", {std::to_string(findings.Errors()), std::to_string(findings.Notes())}}));
  problemsModel_->Refresh();
  ShowFindingsOfSelectedLine();
}

// The findings of the selected line come first in the panel.
void MainWindow::ShowFindingsOfSelectedLine() {
  if (problemsModel_->ShowFirst(document_.List().ItemIndex()) == 0) return;
  problemsView_->scrollToTop();
  problemsView_->selectionModel()->setCurrentIndex(problemsModel_->index(0),
                                                   QItemSelectionModel::ClearAndSelect);
}

void MainWindow::SelectLineOfFinding(const QModelIndex& finding) {
  const int line = finding.data(ProblemsModel::kLineRole).toInt();
  if (!finding.isValid() || line < 0 || line >= document_.List().Count()) return;
  document_.List().UserSelect(line);
  ShowMacroSelection();
  linesView_->scrollTo(macroModel_->index(line));
  linesView_->setToolTip(PlainToolTip(ShownText(document_.List().Hint())));
  ShowStatus();
}

void MainWindow::ShowFunctionHint(int position) {
  functionField_->setToolTip(PlainToolTip(ShownText(language_.functionNames.At(position))));
}

void MainWindow::FollowFunctionField(int position) {
  language_.SelectFunction(position);
  composer_.SelectFunction(language_.SelectedCommand());
}

// ---- The add actions -------------------------------------------------------------

void MainWindow::AppendMacro(const std::optional<std::string>& line) {
  if (!line) return;
  document_.Append(*line);
  linesView_->scrollToBottom();
}

void MainWindow::AddBinding() {
  ReportingErrors(this, [this] {
    const std::string keyShown = ToAnsi(keyField_->currentText());
    const std::string functionShown = ToAnsi(functionField_->currentText());
    const macros::ShownFields shown{keyShown, functionShown,
                                    language_.captions.Get("LetterComboBox.Text"),
                                    language_.captions.Get("FonctionComboBox.Text")};
    // An add the guard blocks says why on the status line.
    if (const std::optional<Text> blocked = macros::GuardText(shown)) {
      ShowStatus(*blocked);
      return;
    }
    AppendMacro(composer_.ComposeBinding(shown, ToAnsi(chatEdit_->text())));
  });
}

// Whether an external resource is selected; else the status line says that one must be.
bool MainWindow::ResourceChosen() {
  const std::optional<Text> blocked = macros::ResourceGuardText(language_.SelectedResource());
  if (blocked) ShowStatus(*blocked);
  return !blocked;
}

void MainWindow::AddResourceBinding() {
  ReportingErrors(this, [this] {
    if (!ResourceChosen()) return;
    AppendMacro(composer_.ComposeExternalBinding(language_.SelectedResource(),
                                                 language_.SelectedExternal()));
  });
}

void MainWindow::AddDefinableCall() {
  ReportingErrors(this, [this] {
    AppendMacro(macros::ComposeDefinableCall(language_.definableFunctions.Text(),
                                             ToAnsi(argumentsEdit_->text()), game_));
  });
}

void MainWindow::AddDefinableWithResource() {
  ReportingErrors(this, [this] {
    if (!ResourceChosen()) return;
    AppendMacro(macros::ComposeDefinableWithExternal(
        language_.SelectedResource(), ToAnsi(definableField_->currentText()),
        ToAnsi(argumentsEdit_->text()), language_.SelectedExternal(), game_));
  });
}

void MainWindow::AddOwnLine() {
  ReportingErrors(
      this, [this] { AppendMacro(macros::ComposeFreeLine(ToAnsi(ownLineEdit_->text()), game_)); });
}

// ---- The macro list and its files --------------------------------------------------

PathPrompt MainWindow::AskWith(FileDialog& dialog) {
  return [&dialog]() -> std::optional<std::string> {
    std::optional<QString> chosen = dialog.Execute();
    if (!chosen) return std::nullopt;
    return PathToBytes(*chosen);
  };
}

void MainWindow::SaveList() {
  ReportingErrors(this, [this] {
    // A file the game's exec would ignore is saved all the same, and the player told.
    std::optional<Text> tooBig;
    for (const game::Finding& finding : document_.Findings().Findings()) {
      if (finding.code == game::Code::kFileTooBig) tooBig = document_.Findings().TextOf(finding);
    }
    if (document_.Save(AskWith(saveDialog_)) && tooBig) ShowStatus(*tooBig);
  });
}

void MainWindow::LoadList() {
  if (!MayDropList()) return;
  ReportingErrors(this, [this] { document_.Load(AskWith(openDialog_)); });
}

void MainWindow::LoadFile(const std::string& pathBytes) {
  ReportingErrors(this, [&] { document_.Load([&] { return std::optional(pathBytes); }); });
}

void MainWindow::NewList() {
  if (!MayDropList()) return;
  document_.NewList();
}

bool MainWindow::MayDropList() {
  if (!document_.Modified()) return true;
  const auto text = [this](std::string_view key, const char* fallback) {
    const std::string& given = language_.captions.Get(key);
    return FromAnsi(given.empty() ? std::string(fallback) : given);
  };
  switch (AskUnsavedChanges(this,
                            text("Ask.Unsaved",
                                 "La liste a chang\xE9 depuis qu'elle a \xE9t\xE9 "
                                 "enregistr\xE9"
                                 "e. L'enregistrer ?"),
                            text("Ask.Save", "Enregistrer"), text("Ask.Discard", "Abandonner"),
                            text("Ask.Cancel", "Annuler"))) {
    case UnsavedAnswer::kSave:
      SaveList();
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
  linesView_->setToolTip(PlainToolTip(ShownText(document_.List().Hint())));
}

void MainWindow::ShowMacroSelection() {
  const ShowingState showing(showingState_);
  const int row = document_.List().ItemIndex();
  if (row < 0) {
    linesView_->selectionModel()->clearSelection();
    linesView_->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
  } else {
    linesView_->setCurrentIndex(macroModel_->index(row));
  }
}

// ---- The rest of the window ------------------------------------------------------

// Below the main group: the external resources when shown, the problems panel, then the
// status line; the window is as tall as they need.
void MainWindow::LayOutBelowTheList() {
  const QRect resources = resourcesGroup_->geometry();
  resourcesGroup_->setVisible(resourcesPanelShown_ == 1);
  const int top = resourcesPanelShown_ == 1 ? resources.bottom() + 1 + 5 : resources.top();
  problemsGroup_->move(problemsGroup_->x(), top);
  statusLine_->move(statusLine_->x(), top + kProblemsHeight);
  setFixedSize(2 * resources.left() + resources.width(), top + kProblemsHeight + kStatusLineHeight);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  statusLine_->move(statusLine_->x(), height() - kStatusLineHeight);
}

void MainWindow::ChooseGame(int index) {
  game_ = index == 1 ? game::Game::kYamagi : game::Game::kQuake2;
  composer_.SetGame(game_);
  document_.SetGame(game_);  // the findings and the limit are the game's
  ReportingErrors(this, [this] { StoreGameChoice(); });
}

void MainWindow::StoreGameChoice() {
  datafiles::WriteGameChoice(datafiles::IniFile(SettingsForWriting(appDir_)), game_);
}

void MainWindow::ShowGame() {
  gameField_->setCurrentIndex(game_ == game::Game::kYamagi ? 1 : 0);
}

void MainWindow::ToggleResourcesPanel() {
  resourcesPanelShown_ = resourcesPanelShown_ == 1 ? 0 : 1;
  LayOutBelowTheList();
}

void MainWindow::ShowAboutBox() {
  if (aboutBox_ == nullptr) return;
  aboutBox_->setWindowTitle(FromAnsi(language_.ReadAboutCaption()));
  ShowModal(aboutBox_);
}

// The dialog asks for the game only when a support file is missing; it opens where the
// game is (the stored game path, or the first usual game folder) until a choice is made.
// A cancel says nothing; a copy says on the status line which files went where.
void MainWindow::InstallSupportFiles() {
  ReportingErrors(this, [this] {
    const install::InstallResult result = install::InstallSupportFiles(appDir_, [this]() {
      quakePathDialog_.ProposeIfNone(PathFromBytes(install::GameDialogStartFolderFor(appDir_)));
      return AskWith(quakePathDialog_)();
    });
    using Outcome = install::InstallResult::Outcome;
    if (result.outcome == Outcome::kCancelled) return;
    if (result.outcome == Outcome::kAlreadyInstalled) {
      ShowStatus(Text{"Status.AlreadyInstalled", {}});
      return;
    }
    std::string files;
    for (const std::string& name : result.files)
      files += (files.empty() ? "" : ", ") + name;
    ShowStatus(Text{"Status.Installed", {files, result.folder}});
  });
}

// ---- Engine state into the widgets -------------------------------------------------

void MainWindow::ShowLanguage() {
  const ShowingState showing(showingState_);
  frenchButton_->setChecked(language_.Selected() == Language::kFrench);
  englishButton_->setChecked(language_.Selected() == Language::kEnglish);
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
  setIfGiven("Main.GameQuake2", [this](const QString& text) { gameField_->setItemText(0, text); });
  setIfGiven("Main.GameYamagi", [this](const QString& text) { gameField_->setItemText(1, text); });
  setIfGiven("Panel.Title", [this](const QString& text) { problemsGroup_->setTitle(text); });
  // Tool-tips are plain text, whatever the caption file holds.
  setIfGiven("Main.GameHint",
             [this](const QString& text) { gameField_->setToolTip(PlainToolTip(text)); });
  setIfGiven("Key.CaptureHint",
             [this](const QString& text) { captureAction_->setToolTip(PlainToolTip(text)); });
}

// The controls' tool-tips in the window's language; a text the caption file does not give
// keeps the one the control has.
void MainWindow::ShowToolTips() {
  struct Tip {
    QWidget* control;
    std::string_view key;
    const char* text;  // the French text, until a caption file gives one
  };
  const Tip tips[] = {
      {frenchButton_, "Main.TipFrench",
       "Fran\xE7"
       "ais"},
      {englishButton_, "Main.TipEnglish", "English"},
      {keyField_, "Main.TipKey",
       "Touche qui sera associ\xE9"
       "e \xE0 une action"},
      {functionField_, "Main.TipFunction",
       "Fonction qui sera affect\xE9"
       "e \xE0 cette touche"},
      {chatEdit_, "Main.TipChat", "Taper les messages \xE0 envoyer en mode Chat"},
      {definableField_, "Main.TipDefinable",
       "Fonction dont le param\xE8tre est sp\xE9"
       "cifi\xE9 ci-dessous"},
      {argumentsEdit_, "Main.TipArguments", "Param\xE8tres de la fonction ci-dessus"},
      {ownLineEdit_, "Main.TipOwnLine", "Commandes personnelles"},
      {addBindingButton_, "Main.TipAddBinding",
       "Ajouter la touche et sa fonction (Entr\xE9"
       "e dans le champ de dialogue)"},
      {addDefinableButton_, "Main.TipAddDefinable",
       "Ajouter la fonction et ses arguments (Entr\xE9"
       "e dans le champ de la fonction)"},
      {addWithResourceButton_, "Main.TipAddWithResource",
       "Ajouter la fonction avec la ressource choisie (Entr\xE9"
       "e dans le champ des arguments)"},
      {addOwnLineButton_, "Main.TipAddOwnLine",
       "Ajouter cette ligne (Entr\xE9"
       "e dans le champ)"},
      {addResourceButton_, "Main.TipAddResource",
       "Ajouter la commande choisie (Entr\xE9"
       "e ou double-clic dans la liste)"},
      {deleteButton_, "Main.TipDelete", "Effacer la ligne choisie (touche Suppr dans la liste)"},
  };
  for (const Tip& tip : tips) {
    const std::string& given = language_.captions.Get(tip.key);
    tip.control->setToolTip(PlainToolTip(FromAnsi(given.empty() ? std::string(tip.text) : given)));
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
  SetItems(functionField_, language_.functionNames);
  functionField_->view()->setMinimumWidth(functionField_->view()->sizeHintForColumn(0) + 24);
}

void MainWindow::ShowResources() {
  const ShowingState showing(showingState_);
  resourcesList_->clear();
  QStringList items;
  items.reserve(language_.resourceDescriptions.Count());
  for (int i = 0; i < language_.resourceDescriptions.Count(); ++i) {
    items.append(ShownText(language_.resourceDescriptions.At(i)));
  }
  resourcesList_->addItems(items);
}

void MainWindow::ShowDefinableFunctions() {
  SetItems(definableField_, language_.definableFunctions);
  definableField_->setEditText(QString());
}

}  // namespace tavrilo::ui
