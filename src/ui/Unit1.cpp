// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Unit1.h"

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

TMainForm::TMainForm(std::string applicationDirectory, QWidget* parent)
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
  FormCreate();
}

TMainForm::~TMainForm() {
  FormDestroy();
  SetTextResolver(nullptr);
}

void TMainForm::CreateControls() {
  LangueGroupBox = Place<QFrame>(this, "LangueGroupBox", 5, 5, 600, 25, kOwnTextPixels);
  LangueGroupBox->setFrameShape(QFrame::StyledPanel);
  LangueGroupBox->setFrameShadow(QFrame::Sunken);
  RBFr = Place<QRadioButton>(this, "RBFr", 15, 13, 186, 15, kOwnTextPixels);
  RBFr->setText(
      FromAnsi("Cochez cette case pour le Fran\xE7"
               "ais"));
  RBEn = Place<QRadioButton>(this, "RBEn", 297, 13, 144, 15, kOwnTextPixels);
  RBEn->setText("Check this box for English");

  // The game the lines are written for, right of the language buttons.
  GameComboBox = Place<QComboBox>(this, "GameComboBox", 450, 8, 150, 19, kOwnTextPixels);
  GameComboBox->addItems({"Quake 2 3.20, Q2PRO", "Yamagi Quake II"});

  MainGroup = Place<QGroupBox>(this, "MainGroup", 5, 35, 600, 190, kOwnTextPixels);
  MainGroup->setTitle(FromAnsi("Menu g\xE9n\xE9ral"));
  // The key field shows its prompt and the longest key names whole; the function field
  // takes what is left up to the add buttons' right edge.
  LetterComboBox = EditableField(MainGroup, "LetterComboBox", "Touches", 10, 16, 172, 21);
  for (std::string_view key : macros::kKeyList)
    LetterComboBox->addItem(FromAnsi(key));
  LetterComboBox->setCurrentIndex(-1);
  LetterComboBox->setEditText("Touches");
  captureAction_ =
      LetterComboBox->lineEdit()->addAction(KeyboardIcon(), QLineEdit::TrailingPosition);
  captureAction_->setObjectName("CaptureKeyAction");
  // The drop-down shows each entry whole, wider than the field when it must be.
  LetterComboBox->view()->setMinimumWidth(LetterComboBox->view()->sizeHintForColumn(0) + 24);
  keyCapture_ = new KeyCapture(this);
  FonctionComboBox = EditableField(MainGroup, "FonctionComboBox", "Fonctions", 187, 16, 133, 21);
  SayEdit = TextField(MainGroup, "SayEdit", "Tapez ici les dialogues macros", 10, 39, 265, 21);
  AddBtn = Button(MainGroup, "AddBtn", "Ajouter", 280, 39, 40, 20, false);
  FonctionUserBox = EditableField(MainGroup, "FonctionUserBox",
                                  "Fonctions d\xE9"
                                  "finissables",
                                  10, 65, 265, 21);
  AddPersoBtn1 = Button(MainGroup, "AddPersoBtn1", "Ajouter", 280, 65, 40, 20, false);
  ParamsUserEdit = TextField(MainGroup, "ParamsUserEdit",
                             "Fonctions d\xE9"
                             "finissables : Arguments",
                             10, 87, 265, 21);
  AddPredefBtn = Button(MainGroup, "AddPredefBtn", "Ajouter", 280, 87, 40, 20, false);
  UserEdit =
      TextField(MainGroup, "UserEdit", "Tapez ici vos commandes personnelles", 10, 115, 265, 21);
  NewFctBtn = Button(MainGroup, "NewFctBtn", "Ajouter", 280, 115, 40, 20, false);

  CommandesListBox =
      Place<QListView>(MainGroup, "CommandesListBox", 330, 16, 260, 121, kOwnTextPixels);
  document_.SetSupportFiles(install::ReadSupportFiles(appDir_));
  macroModel_ = new MacroListModel(document_, this);
  CommandesListBox->setModel(macroModel_);
  CommandesListBox->setUniformItemSizes(true);
  CommandesListBox->setSelectionMode(QAbstractItemView::SingleSelection);
  CommandesListBox->setEditTriggers(QAbstractItemView::NoEditTriggers);
  CommandesListBox->setLayoutMode(QListView::Batched);
  CommandesListBox->setBatchSize(1000);

  LoadBtn = Button(MainGroup, "LoadBtn", "&Charger un fichier", 10, 140, 156, 20, true);
  SauverBtn = Button(MainGroup, "SauverBtn", "&Sauver les macros", 165, 140, 155, 20, true);
  DeleteAllBtn = Button(MainGroup, "DeleteAllBtn", "&Nouvelle liste", 10, 159, 156, 20, true);
  DeleteBtn = Button(MainGroup, "DeleteBtn", "&Effacer macro", 165, 159, 155, 20, true);
  InstallerCfgBtn =
      Button(MainGroup, "InstallerCfgBtn", "Installer les CFG", 330, 140, 260, 20, true);
  RessourcesExternesBtn =
      Button(MainGroup, "RessourcesExternesBtn", "&Ressources Externes", 330, 159, 131, 20, true);
  AboutBtn = Button(MainGroup, "AboutBtn", "&A Propos de...", 460, 159, 130, 20, true);

  RessourcesExternesGroupe =
      Place<QGroupBox>(this, "RessourcesExternesGroupe", 5, 230, 600, 120, kOwnTextPixels);
  RessourcesExternesGroupe->setTitle("Ressources externes");
  TextList = Place<QListWidget>(RessourcesExternesGroupe, "TextList", 10, 16, 580, 64);
  TextList->setSelectionMode(QAbstractItemView::SingleSelection);
  TextList->setUniformItemSizes(true);
  MakeBlue(TextList);
  AddPersoBtn = Button(RessourcesExternesGroupe, "AddPersoBtn", "Ajouter cette commande", 10, 85,
                       291, 25, true);
  RefreshBtn = Button(RessourcesExternesGroupe, "RefreshBtn", "Rafraichir", 300, 85, 290, 25, true);

  setTabOrder(LetterComboBox, FonctionComboBox);
  setTabOrder(FonctionComboBox, SayEdit);
  setTabOrder(SayEdit, FonctionUserBox);
  setTabOrder(FonctionUserBox, ParamsUserEdit);
  setTabOrder(ParamsUserEdit, UserEdit);
  setTabOrder(UserEdit, CommandesListBox);
  setTabOrder(CommandesListBox, TextList);
  setTabOrder(TextList, RBFr);
  setTabOrder(RBFr, RBEn);
  setTabOrder(RBEn, GameComboBox);

  // Delete in the list removes the selected line (see eventFilter).
  CommandesListBox->installEventFilter(this);
  ShowToolTips();

  // The problems panel, below the other controls: the counts and the size of the saved
  // file, then every finding of the list.
  ProblemsGroup =
      Place<QGroupBox>(this, "ProblemsGroup", 5, 355, 600, kProblemsHeight, kOwnTextPixels);
  ProblemsGroup->setTitle(FromAnsi("Probl\xE8mes"));
  ProblemsSummary =
      Place<QLabel>(ProblemsGroup, "ProblemsSummary", 10, 14, 380, 16, kOwnTextPixels);
  ProblemsSummary->setTextFormat(Qt::PlainText);
  BudgetLabel = Place<QLabel>(ProblemsGroup, "BudgetLabel", 390, 14, 200, 16, kOwnTextPixels);
  BudgetLabel->setTextFormat(Qt::PlainText);
  BudgetLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  ProblemsView = Place<QListView>(ProblemsGroup, "ProblemsView", 10, 32, 580, kProblemsHeight - 38,
                                  kOwnTextPixels);
  problemsModel_ = new ProblemsModel(document_, this);
  ProblemsView->setModel(problemsModel_);
  ProblemsView->setItemDelegate(new ProblemDelegate(ProblemsView));
  ProblemsView->setUniformItemSizes(true);  // no row is laid out before it shows
  ProblemsView->setSelectionMode(QAbstractItemView::SingleSelection);
  ProblemsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ProblemsView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabOrder(GameComboBox, ProblemsView);

  DiagnosticLabel =
      Place<QLabel>(this, "DiagnosticLabel", 5, 0, 600, kStatusLineHeight, kOwnTextPixels);
  DiagnosticLabel->setTextFormat(Qt::PlainText);
  LetterComboBox->setFocus();
}

void TMainForm::WireEvents() {
  // The language buttons run their handler only when they become selected.
  connect(RBFr, &QRadioButton::toggled, this, [this](bool on) {
    KeepSelectedRadioInTabChain(RBFr, RBEn);
    if (on && !showingState_) RBFrClick();
  });
  connect(RBEn, &QRadioButton::toggled, this, [this](bool on) {
    KeepSelectedRadioInTabChain(RBFr, RBEn);
    if (on && !showingState_) RBEnClick();
  });

  // A pick runs the click handler, then the change handler; a typed edit only the change
  // handler, with no entry selected. Texts set by the program run nothing.
  connect(LetterComboBox, &QComboBox::activated, this, [this] { LetterComboBoxChange(); });
  connect(LetterComboBox->lineEdit(), &QLineEdit::textEdited, this,
          [this] { LetterComboBoxChange(); });
  connect(captureAction_, &QAction::triggered, this, &TMainForm::CaptureKeyClick);
  connect(keyCapture_, &KeyCapture::Captured, this, &TMainForm::KeyCaptured);
  connect(keyCapture_, &KeyCapture::Refused, this, [this](const Text& reason) {
    ShowCaptureEnded();
    LetterComboBox->setEditText(textBeforeCapture_);
    ShowStatus(reason);
  });
  connect(keyCapture_, &KeyCapture::Cancelled, this, [this] {
    ShowCaptureEnded();
    LetterComboBox->setEditText(textBeforeCapture_);
    ShowStatus();
  });
  connect(FonctionComboBox, &QComboBox::activated, this, [this](int position) {
    FonctionComboBoxClick(position);
    FonctionComboBoxChange(position);
  });
  connect(FonctionComboBox->lineEdit(), &QLineEdit::textEdited, this,
          [this] { FonctionComboBoxChange(-1); });
  connect(FonctionUserBox, &QComboBox::activated, this,
          [this](int position) { language_.definableFunctions.SetItemIndex(position); });
  connect(FonctionUserBox->lineEdit(), &QLineEdit::textEdited, this,
          [this] { language_.definableFunctions.SetItemIndex(-1); });

  connect(AddBtn, &QPushButton::clicked, this, &TMainForm::AddBtnClick);
  connect(AddPersoBtn1, &QPushButton::clicked, this, &TMainForm::AddPersoBtn1Click);
  connect(AddPredefBtn, &QPushButton::clicked, this, &TMainForm::AddPredefBtnClick);
  connect(NewFctBtn, &QPushButton::clicked, this, &TMainForm::NewFctBtnClick);
  connect(AddPersoBtn, &QPushButton::clicked, this, &TMainForm::AddPersoBtnClick);

  connect(SayEdit, &QLineEdit::returnPressed, this, &TMainForm::AddBtnClick);
  FonctionUserBox->lineEdit()->installEventFilter(this);  // Enter: see eventFilter
  connect(ParamsUserEdit, &QLineEdit::returnPressed, this, &TMainForm::AddPredefBtnClick);
  connect(UserEdit, &QLineEdit::returnPressed, this, &TMainForm::NewFctBtnClick);
  connect(TextList, &QListWidget::itemActivated, this, &TMainForm::AddPersoBtnClick);
  connect(SauverBtn, &QPushButton::clicked, this, &TMainForm::SauverBtnClick);
  connect(LoadBtn, &QPushButton::clicked, this, &TMainForm::LoadBtnClick);
  connect(DeleteAllBtn, &QPushButton::clicked, this, &TMainForm::DeleteAllBtnClick);
  connect(DeleteBtn, &QPushButton::clicked, this, &TMainForm::CommandesListBoxDblClick);
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
    connect(ProblemsView, signal, this, &TMainForm::ProblemsViewClick);
  connect(CommandesListBox->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (showingState_) return;
    const QModelIndexList rows = CommandesListBox->selectionModel()->selectedRows();
    CommandesListBoxClick(rows.isEmpty() ? -1 : rows.constFirst().row());
  });

  connect(GameComboBox, &QComboBox::activated, this, &TMainForm::GameComboBoxChange);
  connect(RessourcesExternesBtn, &QPushButton::clicked, this,
          &TMainForm::RessourcesExternesBtnClick);
  connect(AboutBtn, &QPushButton::clicked, this, &TMainForm::AboutBtnClick);
  connect(InstallerCfgBtn, &QPushButton::clicked, this, &TMainForm::InstallerCfgBtnClick);
  connect(RefreshBtn, &QPushButton::clicked, this, &TMainForm::RefreshBtnClick);
  connect(TextList, &QListWidget::itemSelectionChanged, this, [this] {
    if (!showingState_) TextListClick();
  });
}

// The creation step. An error ends it; what was done before stays done.
void TMainForm::FormCreate() {
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
    externalPanelShown_ = 1;
    SetApplicationTitle(FromAnsi(kApplicationTitle));
    setWindowTitle(FromAnsi(std::string(kApplicationTitle) + std::string(kCopyrightNotice)));
    LayOutBelowTheList();
    document_.ResetHeader();
    ReloadLanguage();
  });
}

// The destruction step: the language choice is stored; an error is shown and the
// shut-down goes on.
void TMainForm::FormDestroy() {
  ReportingErrors(nullptr, [this] {
    language_.StoreFlags();
    StoreGameChoice();
  });
}

void TMainForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centred_) return;
  centred_ = true;
  if (const QScreen* display = screen()) {
    const QRect area = display->availableGeometry();
    move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  LetterComboBox->setFocus();
}

// Enter in the definable function's field runs the add beside it (the drop-down field
// hands an Enter its line edit ignores back to that line edit, so the key is taken here,
// once); Delete in the list removes the selected line, as the delete button does.
bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const auto* press = static_cast<QKeyEvent*>(event);
  const bool plain = (press->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (watched == FonctionUserBox->lineEdit() && plain &&
      (press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter)) {
    AddPersoBtn1Click();
    return true;
  }
  if (watched == CommandesListBox && plain && press->key() == Qt::Key_Delete) {
    CommandesListBoxDblClick();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

// A list changed since it was last saved or loaded is not lost without a word.
void TMainForm::closeEvent(QCloseEvent* event) {
  if (!MayDropList()) {
    event->ignore();
    return;
  }
  keyCapture_->Cancel();
  QWidget::closeEvent(event);
}

// ---- Language --------------------------------------------------------------------

void TMainForm::RBFrClick() {
  ReportingErrors(this, [this] { SelectLanguage(Language::kFrench); });
}

void TMainForm::RBEnClick() {
  ReportingErrors(this, [this] { SelectLanguage(Language::kEnglish); });
}

// The choice is stored at once: a session ended by the desktop keeps it too.
void TMainForm::SelectLanguage(datafiles::Language language) {
  ThenShow([&] { language_.Select(language); }, [this] { ShowLanguage(); });
  language_.StoreFlags();
}

void TMainForm::ReloadLanguage() {
  ThenShow([this] { language_.ReloadLanguage(); }, [this] { ShowLanguage(); });
}

void TMainForm::RefreshBtnClick() {
  ReportingErrors(this, [this] {
    language_.RefreshResources();
    ShowResources();
  });
}

void TMainForm::TextListClick() {
  const QList<QListWidgetItem*> selected = TextList->selectedItems();
  language_.SelectResource(selected.isEmpty() ? -1 : TextList->row(selected.constFirst()));
}

// ---- Key and function fields -----------------------------------------------------

void TMainForm::LetterComboBoxChange() {
  composer_.SelectKey(ToAnsi(LetterComboBox->currentText()));
}

// The key field's control: the next key, button or wheel notch becomes the key.
void TMainForm::CaptureKeyClick() {
  if (keyCapture_->IsCapturing()) return;  // the control's own click ends the capture
  QWidget* control = captureAction_->associatedObjects().isEmpty()
                         ? nullptr
                         : qobject_cast<QWidget*>(captureAction_->associatedObjects().constLast());
  keyCapture_->Start(LetterComboBox, game_, control);
  // The field itself shows that it waits for a key.
  textBeforeCapture_ = LetterComboBox->currentText();
  const std::string& waiting = language_.captions.Get("Main.CaptureWaiting");
  LetterComboBox->setEditText(waiting.empty() ? QStringLiteral("\u2026") : FromAnsi(waiting));
  LetterComboBox->lineEdit()->setCursorPosition(0);  // its beginning, if it is long
  QPalette palette = LetterComboBox->palette();
  palette.setColor(QPalette::Base, QColor(255, 236, 150));
  LetterComboBox->setPalette(palette);
  LetterComboBox->setProperty("waitingForKey", true);
  ShowStatus(Text{"Key.CapturePrompt", {}});
}

void TMainForm::ShowCaptureEnded() {
  LetterComboBox->setPalette(QPalette());
  MakeBlue(LetterComboBox);
  LetterComboBox->setProperty("waitingForKey", false);
}

// The key is already the game's name for it: the field shows it, and it is not
// translated again as a label of the key list would be.
void TMainForm::KeyCaptured(const QString& keyName, bool modifiersDropped) {
  ShowCaptureEnded();
  LetterComboBox->setEditText(keyName);
  composer_.SelectCapturedKey(ToAnsi(keyName));
  ShowStatus(modifiersDropped
                 ? std::optional<Text>(Text{"Status.ModifiersDropped", {ToAnsi(keyName)}})
                 : std::nullopt);
}

// The status line shows the message of the last action, or else what the game makes of
// the selected line.
void TMainForm::ShowStatus(std::optional<Text> message) {
  statusMessage_ = std::move(message);
  ShowFindings();
}

void TMainForm::ShowFindings() {
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
  QPalette palette = DiagnosticLabel->palette();
  palette.setColor(QPalette::WindowText, worst == game::Severity::kError  ? QColor(180, 0, 0)
                                         : worst == game::Severity::kNote ? QColor(0, 70, 170)
                                                                          : QColor(Qt::black));
  DiagnosticLabel->setPalette(palette);
  DiagnosticLabel->setText(texts.join(QStringLiteral("  \u2022  ")));
  DiagnosticLabel->setToolTip(PlainToolTip(texts.join('\n')));
}

// The size the saved file will have against what the game's exec takes.
// Above the problems panel, the counts of its findings.
void TMainForm::ShowBudget() {
  const game::CheckResult& findings = document_.Findings();
  BudgetLabel->setText(ResolveText(findings.SizeText()));
  QPalette palette = BudgetLabel->palette();
  palette.setColor(QPalette::WindowText, findings.TooBig() ? QColor(180, 0, 0) : QColor(Qt::black));
  BudgetLabel->setPalette(palette);
  ProblemsSummary->setText(ResolveText(Text{
      "Panel.Summary", {std::to_string(findings.Errors()), std::to_string(findings.Notes())}}));
  problemsModel_->Refresh();
  ShowFindingsOfSelectedLine();
}

// The findings of the selected line come first in the panel.
void TMainForm::ShowFindingsOfSelectedLine() {
  if (problemsModel_->ShowFirst(document_.List().ItemIndex()) == 0) return;
  ProblemsView->scrollToTop();
  ProblemsView->selectionModel()->setCurrentIndex(problemsModel_->index(0),
                                                  QItemSelectionModel::ClearAndSelect);
}

void TMainForm::ProblemsViewClick(const QModelIndex& finding) {
  const int line = finding.data(ProblemsModel::kLineRole).toInt();
  if (!finding.isValid() || line < 0 || line >= document_.List().Count()) return;
  document_.List().UserSelect(line);
  ShowMacroSelection();
  CommandesListBox->scrollTo(macroModel_->index(line));
  CommandesListBox->setToolTip(PlainToolTip(ShownText(document_.List().Hint())));
  ShowStatus();
}

void TMainForm::FonctionComboBoxClick(int position) {
  FonctionComboBox->setToolTip(PlainToolTip(ShownText(language_.functionNames.At(position))));
}

void TMainForm::FonctionComboBoxChange(int position) {
  language_.SelectFunction(position);
  composer_.SelectFunction(language_.SelectedCommand());
}

// ---- The add actions -------------------------------------------------------------

void TMainForm::AppendMacro(const std::optional<std::string>& line) {
  if (!line) return;
  document_.Append(*line);
  CommandesListBox->scrollToBottom();
}

void TMainForm::AddBtnClick() {
  ReportingErrors(this, [this] {
    const std::string keyShown = ToAnsi(LetterComboBox->currentText());
    const std::string functionShown = ToAnsi(FonctionComboBox->currentText());
    const macros::ShownFields shown{keyShown, functionShown,
                                    language_.captions.Get("LetterComboBox.Text"),
                                    language_.captions.Get("FonctionComboBox.Text")};
    // An add the guard blocks says why on the status line.
    if (const std::optional<Text> blocked = macros::GuardText(shown)) {
      ShowStatus(*blocked);
      return;
    }
    AppendMacro(composer_.ComposeBinding(shown, ToAnsi(SayEdit->text())));
  });
}

// Whether an external resource is selected; else the status line says that one must be.
bool TMainForm::ResourceChosen() {
  const std::optional<Text> blocked = macros::ResourceGuardText(language_.SelectedResource());
  if (blocked) ShowStatus(*blocked);
  return !blocked;
}

void TMainForm::AddPersoBtnClick() {
  ReportingErrors(this, [this] {
    if (!ResourceChosen()) return;
    AppendMacro(composer_.ComposeExternalBinding(language_.SelectedResource(),
                                                 language_.SelectedExternal()));
  });
}

void TMainForm::AddPersoBtn1Click() {
  ReportingErrors(this, [this] {
    AppendMacro(macros::ComposeDefinableCall(language_.definableFunctions.Text(),
                                             ToAnsi(ParamsUserEdit->text()), game_));
  });
}

void TMainForm::AddPredefBtnClick() {
  ReportingErrors(this, [this] {
    if (!ResourceChosen()) return;
    AppendMacro(macros::ComposeDefinableWithExternal(
        language_.SelectedResource(), ToAnsi(FonctionUserBox->currentText()),
        ToAnsi(ParamsUserEdit->text()), language_.SelectedExternal(), game_));
  });
}

void TMainForm::NewFctBtnClick() {
  ReportingErrors(
      this, [this] { AppendMacro(macros::ComposeFreeLine(ToAnsi(UserEdit->text()), game_)); });
}

// ---- The macro list and its files --------------------------------------------------

PathPrompt TMainForm::AskWith(FileDialog& dialog) {
  return [&dialog]() -> std::optional<std::string> {
    std::optional<QString> chosen = dialog.Execute();
    if (!chosen) return std::nullopt;
    return PathToBytes(*chosen);
  };
}

void TMainForm::SauverBtnClick() {
  ReportingErrors(this, [this] {
    // A file the game's exec would ignore is saved all the same, and the player told.
    std::optional<Text> tooBig;
    for (const game::Finding& finding : document_.Findings().Findings()) {
      if (finding.code == game::Code::kFileTooBig) tooBig = document_.Findings().TextOf(finding);
    }
    if (document_.Save(AskWith(saveDialog_)) && tooBig) ShowStatus(*tooBig);
  });
}

void TMainForm::LoadBtnClick() {
  if (!MayDropList()) return;
  ReportingErrors(this, [this] { document_.Load(AskWith(openDialog_)); });
}

void TMainForm::LoadFile(const std::string& pathBytes) {
  ReportingErrors(this, [&] { document_.Load([&] { return std::optional(pathBytes); }); });
}

void TMainForm::DeleteAllBtnClick() {
  if (!MayDropList()) return;
  document_.NewList();
}

bool TMainForm::MayDropList() {
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
      SauverBtnClick();
      return !document_.Modified();  // a cancelled or failed save keeps the list
    case UnsavedAnswer::kDiscard:
      return true;
    case UnsavedAnswer::kCancel:
      break;
  }
  return false;
}

void TMainForm::CommandesListBoxDblClick() {
  {
    const ShowingState showing(showingState_);
    document_.DeleteSelected();
  }
  ShowMacroSelection();
}

void TMainForm::CommandesListBoxClick(int row) {
  document_.List().UserSelect(row);
  ShowStatus();
  ShowFindingsOfSelectedLine();
  CommandesListBox->setToolTip(PlainToolTip(ShownText(document_.List().Hint())));
}

void TMainForm::ShowMacroSelection() {
  const ShowingState showing(showingState_);
  const int row = document_.List().ItemIndex();
  if (row < 0) {
    CommandesListBox->selectionModel()->clearSelection();
    CommandesListBox->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
  } else {
    CommandesListBox->setCurrentIndex(macroModel_->index(row));
  }
}

// ---- The rest of the window ------------------------------------------------------

// Below the main group: the external resources when shown, the problems panel, then the
// status line; the window is as tall as they need.
void TMainForm::LayOutBelowTheList() {
  const QRect resources = RessourcesExternesGroupe->geometry();
  RessourcesExternesGroupe->setVisible(externalPanelShown_ == 1);
  const int top = externalPanelShown_ == 1 ? resources.bottom() + 1 + 5 : resources.top();
  ProblemsGroup->move(ProblemsGroup->x(), top);
  DiagnosticLabel->move(DiagnosticLabel->x(), top + kProblemsHeight);
  setFixedSize(2 * resources.left() + resources.width(), top + kProblemsHeight + kStatusLineHeight);
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  DiagnosticLabel->move(DiagnosticLabel->x(), height() - kStatusLineHeight);
}

void TMainForm::GameComboBoxChange(int index) {
  game_ = index == 1 ? game::Game::kYamagi : game::Game::kQuake2;
  composer_.SetGame(game_);
  document_.SetGame(game_);  // the findings and the limit are the game's
  ReportingErrors(this, [this] { StoreGameChoice(); });
}

void TMainForm::StoreGameChoice() {
  datafiles::WriteGameChoice(datafiles::IniFile(SettingsForWriting(appDir_)), game_);
}

void TMainForm::ShowGame() {
  GameComboBox->setCurrentIndex(game_ == game::Game::kYamagi ? 1 : 0);
}

void TMainForm::RessourcesExternesBtnClick() {
  externalPanelShown_ = externalPanelShown_ == 1 ? 0 : 1;
  LayOutBelowTheList();
}

void TMainForm::AboutBtnClick() {
  if (aboutBox_ == nullptr) return;
  aboutBox_->setWindowTitle(FromAnsi(language_.ReadAboutCaption()));
  ShowModal(aboutBox_);
}

// The dialog asks for the game only when a support file is missing; it opens where the
// game is (the stored game path, or the first usual game folder) until a choice is made.
// A cancel says nothing; a copy says on the status line which files went where.
void TMainForm::InstallerCfgBtnClick() {
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

void TMainForm::ShowLanguage() {
  const ShowingState showing(showingState_);
  RBFr->setChecked(language_.Selected() == Language::kFrench);
  RBEn->setChecked(language_.Selected() == Language::kEnglish);
  ShowFunctionNames();
  ShowResources();
  ShowCaptions();
  ShowToolTips();
  FollowLanguageInQtTexts();
  ShowFindings();  // the texts of the status line are the language's
  ShowBudget();
}

void TMainForm::ShowCaptions() {
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
             [this](const QString& text) { GameComboBox->setItemText(0, text); });
  setIfGiven("Main.GameYamagi",
             [this](const QString& text) { GameComboBox->setItemText(1, text); });
  setIfGiven("Panel.Title", [this](const QString& text) { ProblemsGroup->setTitle(text); });
  // Tool-tips are plain text, whatever the caption file holds.
  setIfGiven("Main.GameHint",
             [this](const QString& text) { GameComboBox->setToolTip(PlainToolTip(text)); });
  setIfGiven("Key.CaptureHint",
             [this](const QString& text) { captureAction_->setToolTip(PlainToolTip(text)); });
}

// The controls' tool-tips in the window's language; a text the caption file does not give
// keeps the one the control has.
void TMainForm::ShowToolTips() {
  struct Tip {
    QWidget* control;
    std::string_view key;
    const char* text;  // the French text, until a caption file gives one
  };
  const Tip tips[] = {
      {RBFr, "Main.TipFrench",
       "Fran\xE7"
       "ais"},
      {RBEn, "Main.TipEnglish", "English"},
      {LetterComboBox, "Main.TipKey",
       "Touche qui sera associ\xE9"
       "e \xE0 une action"},
      {FonctionComboBox, "Main.TipFunction",
       "Fonction qui sera affect\xE9"
       "e \xE0 cette touche"},
      {SayEdit, "Main.TipChat", "Taper les messages \xE0 envoyer en mode Chat"},
      {FonctionUserBox, "Main.TipDefinable",
       "Fonction dont le param\xE8tre est sp\xE9"
       "cifi\xE9 ci-dessous"},
      {ParamsUserEdit, "Main.TipArguments", "Param\xE8tres de la fonction ci-dessus"},
      {UserEdit, "Main.TipOwnLine", "Commandes personnelles"},
      {AddBtn, "Main.TipAddBinding",
       "Ajouter la touche et sa fonction (Entr\xE9"
       "e dans le champ de dialogue)"},
      {AddPersoBtn1, "Main.TipAddDefinable",
       "Ajouter la fonction et ses arguments (Entr\xE9"
       "e dans le champ de la fonction)"},
      {AddPredefBtn, "Main.TipAddWithResource",
       "Ajouter la fonction avec la ressource choisie (Entr\xE9"
       "e dans le champ des arguments)"},
      {NewFctBtn, "Main.TipAddOwnLine",
       "Ajouter cette ligne (Entr\xE9"
       "e dans le champ)"},
      {AddPersoBtn, "Main.TipAddResource",
       "Ajouter la commande choisie (Entr\xE9"
       "e ou double-clic dans la liste)"},
      {DeleteBtn, "Main.TipDelete", "Effacer la ligne choisie (touche Suppr dans la liste)"},
  };
  for (const Tip& tip : tips) {
    const std::string& given = language_.captions.Get(tip.key);
    tip.control->setToolTip(PlainToolTip(FromAnsi(given.empty() ? std::string(tip.text) : given)));
  }
}

// Qt's own texts (the file dialogs, the buttons of its boxes, the context menus of the
// fields) follow the window's language.
void TMainForm::FollowLanguageInQtTexts() {
  if (qtTranslator_ == nullptr) qtTranslator_ = new QTranslator(this);
  QCoreApplication::removeTranslator(qtTranslator_);
  if (language_.Selected() == Language::kFrench &&
      qtTranslator_->load(QStringLiteral("qtbase_fr"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(qtTranslator_);
  }
}

void TMainForm::ShowFunctionNames() {
  SetItems(FonctionComboBox, language_.functionNames);
  FonctionComboBox->view()->setMinimumWidth(FonctionComboBox->view()->sizeHintForColumn(0) + 24);
}

void TMainForm::ShowResources() {
  const ShowingState showing(showingState_);
  TextList->clear();
  QStringList items;
  items.reserve(language_.resourceDescriptions.Count());
  for (int i = 0; i < language_.resourceDescriptions.Count(); ++i) {
    items.append(ShownText(language_.resourceDescriptions.At(i)));
  }
  TextList->addItems(items);
}

void TMainForm::ShowDefinableFunctions() {
  SetItems(FonctionUserBox, language_.definableFunctions);
  FonctionUserBox->setEditText(QString());
}

}  // namespace tavrilo::ui
