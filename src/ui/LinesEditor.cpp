// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/LinesEditor.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

#include <utility>

#include "ui/FindingsView.h"
#include "ui/MacroListModel.h"
#include "ui/ReportingErrors.h"
#include "ui/TextCodec.h"
#include "ui/WindowControls.h"

namespace tavrilo::ui {

LinesEditor::LinesEditor(WindowControls& controls, macros::EditorSession& session,
                         FindingsView& findings, Dialogs& dialogs, const WindowTexts& texts)
    : QObject(controls.window),
      controls_(controls),
      session_(session),
      findings_(findings),
      dialogs_(dialogs),
      texts_(texts),
      model_(new MacroListModel(session, this)) {
  QListView* view = controls_.linesView;
  view->setModel(model_);
  // A model reset clears the view's selection without a word: the view is made to show
  // the engine's selection again, so that the two never disagree. A change of the list
  // ends the message of the last action.
  connect(model_, &QAbstractItemModel::modelReset, this, [this] {
    ShowSelection();
    findings_.ShowStatus();
  });
  for (auto change : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
    connect(model_, change, this, [this] { findings_.ShowStatus(); });
  connect(model_, &QAbstractItemModel::rowsMoved, this, [this] { findings_.ShowStatus(); });
  connect(model_, &MacroListModel::FindingsChanged, this, [this] {
    findings_.ShowAll();
    ShowListState();
  });
  connect(model_, &MacroListModel::Changed, this, &LinesEditor::ShowSelection);
  connect(model_, &MacroListModel::EditRefused, this,
          [this](const Text& reason) { findings_.ShowStatus(reason); });
  connect(&findings_, &FindingsView::LineChosen, this, [this](int line) {
    session_.Select(line);
    ShowSelection();
    SelectLine(line);
  });
  connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, view] {
    if (showingSelection_) return;
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    SelectLine(rows.isEmpty() ? -1 : rows.constFirst().row());
  });
  connect(controls_.editLineAction, &QAction::triggered, this, &LinesEditor::EditSelectedLine);
  connect(controls_.moveUpAction, &QAction::triggered, this,
          [this] { ChangeList([this] { session_.MoveSelected(-1); }); });
  connect(controls_.moveDownAction, &QAction::triggered, this,
          [this] { ChangeList([this] { session_.MoveSelected(1); }); });
  connect(controls_.deleteLineAction, &QAction::triggered, this, &LinesEditor::DeleteSelectedLine);
  // The list and its selection as they were before the last change, or after it again;
  // the fields and buttons stay as they are.
  connect(controls_.undoAction, &QAction::triggered, this,
          [this] { ChangeList([this] { session_.Undo(); }); });
  connect(controls_.redoAction, &QAction::triggered, this,
          [this] { ChangeList([this] { session_.Redo(); }); });
  view->installEventFilter(this);
}

void LinesEditor::WatchField(QLineEdit* field) {
  field->installEventFilter(this);
}

template <typename Change>
void LinesEditor::ChangeList(Change&& change) {
  const bool was = std::exchange(showingSelection_, true);
  ReportingErrors(dialogs_, *controls_.window, texts_, std::forward<Change>(change));
  showingSelection_ = was;
  ShowSelection();
  findings_.ShowStatus();
}

void LinesEditor::DeleteSelectedLine() {
  ChangeList([this] { session_.DeleteSelected(); });
}

void LinesEditor::SelectLine(int row) {
  session_.Select(row);
  findings_.ShowStatus();
  controls_.linesView->setToolTip(PlainToolTip(ShownText(session_.List().Hint())));
  ShowListState();
}

void LinesEditor::ShowSelection() {
  const int row = session_.List().ItemIndex();
  const bool was = std::exchange(showingSelection_, true);
  QItemSelectionModel* selection = controls_.linesView->selectionModel();
  if (row < 0) {
    selection->clearSelection();
    selection->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
  } else {
    controls_.linesView->setCurrentIndex(model_->index(row));
    controls_.linesView->scrollTo(model_->index(row));
  }
  showingSelection_ = was;
  ShowListState();
}

void LinesEditor::ShowListState() {
  const int row = session_.List().ItemIndex();
  controls_.editLineAction->setEnabled(row >= 0);
  controls_.moveUpAction->setEnabled(row > 0);
  controls_.moveDownAction->setEnabled(row >= 0 && row + 1 < session_.List().Count());
  controls_.deleteLineAction->setEnabled(row >= 0);
  controls_.undoAction->setEnabled(session_.CanUndo());
  controls_.redoAction->setEnabled(session_.CanRedo());
  emit ListStateChanged();
}

void LinesEditor::EditSelectedLine() {
  const int row = session_.List().ItemIndex();
  if (row >= 0) controls_.linesView->edit(model_->index(row));
}

// The list's keys run its actions while it has the focus (an open editor takes its own
// keys); a field with nothing of its own to undo or redo lets the window's action take
// the keys (the override event is kept from it).
bool LinesEditor::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
    return QObject::eventFilter(watched, event);
  const auto* press = static_cast<QKeyEvent*>(event);
  if (event->type() == QEvent::KeyPress && watched == controls_.linesView) {
    const QKeyCombination key(press->modifiers() & ~Qt::KeypadModifier, Qt::Key(press->key()));
    for (const auto& [listKey, action] : controls_.listKeys) {
      if (listKey == key && action->isEnabled()) {
        action->trigger();
        return true;
      }
    }
  }
  if (event->type() == QEvent::ShortcutOverride) {
    if (auto* field = qobject_cast<QLineEdit*>(watched)) {
      const bool redo = press->matches(QKeySequence::Redo) ||
                        press->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
      if ((press->matches(QKeySequence::Undo) && !field->isUndoAvailable()) ||
          (redo && !field->isRedoAvailable()))
        return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tavrilo::ui
