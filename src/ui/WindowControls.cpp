// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowControls.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <vector>

#include "macros/KeyTranslation.h"
#include "ui/Colours.h"
#include "ui/TextCodec.h"

namespace tavrilo::ui {

namespace {

// The window's typefaces in order of preference. Only the first the system has is named:
// each one it lacks would cost a search of the system's fonts and their substitutes at
// every size. With none of them, all are named and the system picks its nearest.
const QStringList& WindowFamilies() {
  static const QStringList families = [] {
    const QStringList preferred = {"MS Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"};
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : preferred) {
      if (installed.contains(family, Qt::CaseInsensitive)) return QStringList{family};
    }
    return preferred;
  }();
  return families;
}

QFont WindowFont(int pixelSize, bool bold = false) {
  QFont font;
  font.setFamilies(WindowFamilies());
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}
constexpr int kOwnTextPixels = 10;
constexpr int kControlPixels = 11;

// Where the bands stand at the default size.
constexpr int kMargin = 5;
constexpr int kWidth = 600;
constexpr int kLanguageHeight = 25;
constexpr int kMainHeight = 190;
constexpr int kResourcesHeight = 120;
constexpr int kKeyboardHeight = 235;
constexpr int kFilterHeight = 20;

template <typename Widget>
Widget* Place(QWidget* parent, const char* name, int left, int top, int width, int height,
              int pixelSize = kControlPixels, bool bold = false) {
  auto* widget = new Widget(parent);
  widget->setObjectName(name);
  widget->setGeometry(left, top, width, height);
  widget->setFont(WindowFont(pixelSize, bold));
  return widget;
}

// A button that never takes the keyboard focus.
QPushButton* Button(QWidget* parent, const char* name, int left, int top, int width, int height,
                    bool bold) {
  auto* button = Place<QPushButton>(parent, name, left, top, width, height, kControlPixels, bold);
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoDefault(false);
  return button;
}

// Only the entries whose letters are about as wide as the widest are laid out whole:
// laying out every entry costs as much as the rest of the window's start.
int WidestEntry(const QComboBox& field) {
  const QAbstractItemView& view = *field.view();
  const QFontMetrics metrics(view.font());
  std::vector<int> letters(static_cast<std::size_t>(field.count()));
  int widest = 0;
  for (int row = 0; row < field.count(); ++row) {
    int width = 0;
    for (QChar letter : field.itemText(row))
      width += metrics.horizontalAdvance(letter);
    letters[static_cast<std::size_t>(row)] = width;
    widest = std::max(widest, width);
  }
  // Kerning and rounding make a whole entry a few pixels narrower than its letters.
  constexpr int kLayoutSlack = 8;
  int entry = 0;
  for (int row = 0; row < field.count(); ++row) {
    if (letters[static_cast<std::size_t>(row)] >= widest - kLayoutSlack)
      entry = std::max(entry, view.sizeHintForIndex(field.model()->index(row, 0)).width());
  }
  return entry;
}

// A drop-down field whose list shows each entry whole, wider than the field when it must
// be. The entries change with the language; they are measured as the list opens, which
// spares the window's start the work.
class EntryField : public QComboBox {
 public:
  using QComboBox::QComboBox;

  void showPopup() override {
    constexpr int kScrollBarRoom = 24;
    view()->setMinimumWidth(WidestEntry(*this) + kScrollBarRoom);
    QComboBox::showPopup();
  }
};

// An editable drop-down field whose handlers run only on the user's picks and edits.
QComboBox* EditableField(QWidget* parent, const char* name, int left, int top, int width,
                         int height) {
  QComboBox* field = Place<EntryField>(parent, name, left, top, width, height);
  field->setEditable(true);
  field->setInsertPolicy(QComboBox::NoInsert);
  field->setCompleter(nullptr);
  field->setMaxVisibleItems(16);
  field->setValidator(new AnsiValidator(field));
  field->lineEdit()->setMaxLength(INT_MAX);
  // Leaving the field must not turn typed text that equals an entry into a pick.
  QObject::disconnect(field->lineEdit(), &QLineEdit::editingFinished, field, nullptr);
  return field;
}

QLineEdit* TextField(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* field = Place<QLineEdit>(parent, name, left, top, width, height);
  field->setValidator(new AnsiValidator(field));
  field->setMaxLength(INT_MAX);
  return field;
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

// A band of fixed height, as wide as the window.
void FixHeight(QWidget* band, int height) {
  band->setMinimumSize(kWidth, height);
  band->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

// A band that takes its share of the extra height.
void Grow(QWidget* band, int height) {
  band->setMinimumSize(kWidth, height);
  band->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

}  // namespace

QFont OwnTextFont() {
  return WindowFont(kOwnTextPixels);
}

WindowControls::WindowControls(QWidget* owner) : QObject(owner), window(owner) {
  window->setFont(WindowFont(kOwnTextPixels));
  auto* content = new QWidget;
  content->setObjectName("Bands");
  bands = new QVBoxLayout(content);
  bands->setContentsMargins(kMargin, kMargin, kMargin, 0);
  bands->setSpacing(kMargin);

  languageFrame =
      Place<QFrame>(content, "LangueGroupBox", 0, 0, kWidth, kLanguageHeight, kOwnTextPixels);
  languageFrame->setFrameShape(QFrame::StyledPanel);
  languageFrame->setFrameShadow(QFrame::Sunken);
  FixHeight(languageFrame, kLanguageHeight);
  frenchButton = Place<QRadioButton>(languageFrame, "RBFr", 10, 8, 186, 15, kOwnTextPixels);
  englishButton = Place<QRadioButton>(languageFrame, "RBEn", 292, 8, 144, 15, kOwnTextPixels);
  // The game the lines are written for, right of the language buttons.
  gameField = Place<QComboBox>(languageFrame, "GameComboBox", 445, 3, 150, 19, kOwnTextPixels);
  gameField->addItems({"Quake 2 3.20, Q2PRO", "Yamagi Quake II"});

  mainGroup = Place<QGroupBox>(content, "MainGroup", 0, 0, kWidth, kMainHeight, kOwnTextPixels);
  Grow(mainGroup, kMainHeight);
  // The key field shows its prompt and the longest key names whole; the function field
  // takes what is left up to the add buttons' right edge.
  keyField = EditableField(mainGroup, "LetterComboBox", 10, 16, 172, 21);
  for (std::string_view key : macros::kKeyList)
    keyField->addItem(FromAnsi(key));
  keyField->setCurrentIndex(-1);
  captureAction = keyField->lineEdit()->addAction(KeyboardIcon(), QLineEdit::TrailingPosition);
  captureAction->setObjectName("CaptureKeyAction");
  functionField = EditableField(mainGroup, "FonctionComboBox", 187, 16, 133, 21);
  chatEdit = TextField(mainGroup, "SayEdit", 10, 39, 265, 21);
  addBindingButton = Button(mainGroup, "AddBtn", 280, 39, 40, 20, false);
  definableField = EditableField(mainGroup, "FonctionUserBox", 10, 65, 265, 21);
  addDefinableButton = Button(mainGroup, "AddPersoBtn1", 280, 65, 40, 20, false);
  argumentsEdit = TextField(mainGroup, "ParamsUserEdit", 10, 87, 265, 21);
  addWithResourceButton = Button(mainGroup, "AddPredefBtn", 280, 87, 40, 20, false);
  ownLineEdit = TextField(mainGroup, "UserEdit", 10, 115, 265, 21);
  addOwnLineButton = Button(mainGroup, "NewFctBtn", 280, 115, 40, 20, false);
  linesView = Place<QListView>(mainGroup, "CommandesListBox", 330, 16, 260, 121, kOwnTextPixels);
  linesView->setUniformItemSizes(true);
  linesView->setSelectionMode(QAbstractItemView::SingleSelection);
  linesView->setLayoutMode(QListView::Batched);
  linesView->setBatchSize(1000);
  // A line is edited in place (a double-click, or a key of listKeys) and moved by a drag
  // within the list.
  linesView->setEditTriggers(QAbstractItemView::DoubleClicked);
  linesView->setDragDropMode(QAbstractItemView::InternalMove);
  linesView->setDefaultDropAction(Qt::MoveAction);
  linesView->setDropIndicatorShown(true);
  linesView->setContextMenuPolicy(Qt::ActionsContextMenu);
  // The list's own keys work while it has the focus (the window reads them: listKeys);
  // undo and redo anywhere in the window.
  const auto listAction = [this](const char* name, std::initializer_list<QKeyCombination> keys) {
    auto* action = new QAction(linesView);
    action->setObjectName(name);
    for (QKeyCombination key : keys)
      listKeys.emplace_back(key, action);
    linesView->addAction(action);
    return action;
  };
  editLineAction = listAction("EditLineAction", {Qt::Key_F2, Qt::Key_Return, Qt::Key_Enter});
  moveUpAction = listAction("MoveUpAction", {Qt::ALT | Qt::Key_Up});
  moveDownAction = listAction("MoveDownAction", {Qt::ALT | Qt::Key_Down});
  deleteLineAction = listAction("DeleteLineAction", {Qt::Key_Delete});
  undoAction = listAction("UndoAction", {});
  undoAction->setShortcut(QKeySequence::Undo);
  redoAction = listAction("RedoAction", {});
  redoAction->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  for (QAction* anywhere : {undoAction, redoAction})
    anywhere->setShortcutContext(Qt::WindowShortcut);
  loadButton = Button(mainGroup, "LoadBtn", 10, 140, 156, 20, true);
  saveButton = Button(mainGroup, "SauverBtn", 165, 140, 155, 20, true);
  newListButton = Button(mainGroup, "DeleteAllBtn", 10, 159, 156, 20, true);
  deleteButton = Button(mainGroup, "DeleteBtn", 165, 159, 155, 20, true);
  installButton = Button(mainGroup, "InstallerCfgBtn", 330, 140, 260, 20, true);
  resourcesButton = Button(mainGroup, "RessourcesExternesBtn", 330, 159, 131, 20, true);
  aboutButton = Button(mainGroup, "AboutBtn", 460, 159, 130, 20, true);

  resourcesGroup = Place<QGroupBox>(content, "RessourcesExternesGroupe", 0, 0, kWidth,
                                    kResourcesHeight, kOwnTextPixels);
  FixHeight(resourcesGroup, kResourcesHeight);
  resourcesList = Place<QListWidget>(resourcesGroup, "TextList", 10, 16, 580, 64);
  resourcesList->setSelectionMode(QAbstractItemView::SingleSelection);
  resourcesList->setUniformItemSizes(true);
  addResourceButton = Button(resourcesGroup, "AddPersoBtn", 10, 85, 291, 25, true);
  refreshButton = Button(resourcesGroup, "RefreshBtn", 300, 85, 290, 25, true);

  problemsGroup =
      Place<QGroupBox>(content, "ProblemsGroup", 0, 0, kWidth, kProblemsHeight, kOwnTextPixels);
  Grow(problemsGroup, kProblemsHeight);
  problemsSummary =
      Place<QLabel>(problemsGroup, "ProblemsSummary", 10, 14, 280, 16, kOwnTextPixels);
  problemsSummary->setTextFormat(Qt::PlainText);
  keyboardButton = Button(problemsGroup, "KeyboardBtn", 300, 12, 85, 19, true);
  keyboardButton->setCheckable(true);
  budgetLabel = Place<QLabel>(problemsGroup, "BudgetLabel", 390, 14, 200, 16, kOwnTextPixels);
  budgetLabel->setTextFormat(Qt::PlainText);
  budgetLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  problemsView = Place<QListView>(problemsGroup, "ProblemsView", 10, 32, 580, kProblemsHeight - 38,
                                  kOwnTextPixels);
  problemsView->setSelectionMode(QAbstractItemView::SingleSelection);
  problemsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  problemsView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  // The keyboard view, shown on demand below the problems; the filter above the list.
  keyboardGroup =
      Place<QGroupBox>(content, "KeyboardGroup", 0, 0, kWidth, kKeyboardHeight, kOwnTextPixels);
  FixHeight(keyboardGroup, kKeyboardHeight);
  auto* keyboardRow = new QVBoxLayout(keyboardGroup);
  keyboardRow->setContentsMargins(kMargin, 14, kMargin, kMargin);
  keyboardGroup->hide();
  filterEdit = Place<QLineEdit>(mainGroup, "FilterEdit", 330, 16, 260, kFilterHeight);
  filterEdit->hide();

  for (QWidget* band : {static_cast<QWidget*>(languageFrame), static_cast<QWidget*>(mainGroup),
                        static_cast<QWidget*>(resourcesGroup), static_cast<QWidget*>(problemsGroup),
                        static_cast<QWidget*>(keyboardGroup)})
    bands->addWidget(band);
  // Each grows in proportion to its height.
  bands->setStretchFactor(mainGroup, kMainHeight);
  bands->setStretchFactor(problemsGroup, kProblemsHeight);
  for (QWidget* band : {mainGroup, resourcesGroup, problemsGroup})
    band->installEventFilter(this);

  scrolled = new QScrollArea(window);
  scrolled->setObjectName("ScrolledBands");
  scrolled->setFrameShape(QFrame::NoFrame);
  scrolled->setWidgetResizable(true);
  scrolled->setWidget(content);
  statusLine = new QLabel(window);
  statusLine->setObjectName("DiagnosticLabel");
  statusLine->setFont(WindowFont(kOwnTextPixels));
  statusLine->setTextFormat(Qt::PlainText);
  statusLine->setFixedHeight(kStatusLineHeight);
  auto* column = new QVBoxLayout(window);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(scrolled, 1);
  auto* statusRow = new QHBoxLayout;
  statusRow->setContentsMargins(kMargin, 0, kMargin, 0);
  statusRow->addWidget(statusLine);
  column->addLayout(statusRow);

  window->setTabOrder(keyField, functionField);
  window->setTabOrder(functionField, chatEdit);
  window->setTabOrder(chatEdit, definableField);
  window->setTabOrder(definableField, argumentsEdit);
  window->setTabOrder(argumentsEdit, ownLineEdit);
  window->setTabOrder(ownLineEdit, linesView);
  window->setTabOrder(linesView, resourcesList);
  window->setTabOrder(resourcesList, frenchButton);
  window->setTabOrder(frenchButton, englishButton);
  window->setTabOrder(englishButton, gameField);
  window->setTabOrder(gameField, problemsView);
  resourcesGroup->hide();  // until the creation step shows it
  window->resize(DefaultSize());
}

QSize WindowControls::DefaultSize() const {
  int height = kMargin + kLanguageHeight + kMargin + kMainHeight + kMargin + kProblemsHeight +
               kStatusLineHeight;
  if (!resourcesGroup->isHidden()) height += kResourcesHeight + kMargin;
  if (!keyboardGroup->isHidden()) height += kKeyboardHeight + kMargin;
  return {kMargin + kWidth + kMargin, height};
}

void WindowControls::ShowResources(bool shown) {
  ShowBand(resourcesGroup, kResourcesHeight, shown);
}

void WindowControls::ShowKeyboard(bool shown) {
  keyboardButton->setChecked(shown);
  ShowBand(keyboardGroup, kKeyboardHeight, shown);
}

void WindowControls::ShowBand(QWidget* band, int bandHeight, bool shown) {
  if (band->isHidden() == !shown) return;
  band->setVisible(shown);
  const int height = window->height() + (bandHeight + kMargin) * (shown ? 1 : -1);
  FitScreen(false);
  window->resize(window->width(), height);
}

void WindowControls::ShowFilter(bool shown) {
  // Its clear button's picture is made the first time it is shown, not at the window's
  // start.
  if (shown) filterEdit->setClearButtonEnabled(true);
  filterEdit->setVisible(shown);
  LayOutMainGroup();
}

void WindowControls::FitScreen(bool opening) {
  const QScreen* screen = window->screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize frame = window->frameGeometry().size() - window->size();
  const QSize room = area.size() - frame;
  window->setMaximumSize(room);
  window->setMinimumSize(DefaultSize().boundedTo(room));
  if (!opening) return;
  window->resize(DefaultSize().boundedTo(room));
  window->move(area.center() -
               QPoint(window->frameGeometry().width() / 2, window->frameGeometry().height() / 2));
}

bool WindowControls::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (watched == mainGroup) LayOutMainGroup();
    if (watched == resourcesGroup) LayOutResources();
    if (watched == problemsGroup) LayOutProblems();
  }
  return QObject::eventFilter(watched, event);
}

// The list of lines takes the extra room; the buttons below it follow its bottom edge.
void WindowControls::LayOutMainGroup() {
  const int wider = mainGroup->width() - kWidth;
  const int taller = mainGroup->height() - kMainHeight;
  const int filter = filterEdit->isHidden() ? 0 : kFilterHeight + 2;
  filterEdit->setGeometry(330, 16, 260 + wider, kFilterHeight);
  linesView->setGeometry(330, 16 + filter, 260 + wider, 121 + taller - filter);
  loadButton->move(10, 140 + taller);
  saveButton->move(165, 140 + taller);
  newListButton->move(10, 159 + taller);
  deleteButton->move(165, 159 + taller);
  installButton->setGeometry(330, 140 + taller, 260 + wider, 20);
  resourcesButton->setGeometry(330, 159 + taller, 131 + wider / 2, 20);
  aboutButton->setGeometry(460 + wider / 2, 159 + taller, 130 + wider - wider / 2, 20);
}

void WindowControls::LayOutResources() {
  const int wider = resourcesGroup->width() - kWidth;
  resourcesList->setGeometry(10, 16, 580 + wider, 64);
  addResourceButton->setGeometry(10, 85, 291 + wider / 2, 25);
  refreshButton->setGeometry(300 + wider / 2, 85, 290 + wider - wider / 2, 25);
}

void WindowControls::LayOutProblems() {
  const int wider = problemsGroup->width() - kWidth;
  problemsSummary->setGeometry(10, 14, 280 + wider / 2, 16);
  keyboardButton->move(300 + wider / 2, 12);
  budgetLabel->setGeometry(390 + wider, 14, 200, 16);
  problemsView->setGeometry(10, 32, 580 + wider, problemsGroup->height() - 38);
}

}  // namespace tavrilo::ui
