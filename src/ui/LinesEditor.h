// SPDX-License-Identifier: GPL-3.0-or-later
// The list of lines as an editor: the selection shown as the session holds it, a line
// edited in place, moved, deleted, and every change undone and redone, from the list's
// menu, its keys (while it has the focus) and the window's undo keys. A text field keeps
// Ctrl+Z for its own typing while it has some; with none, Ctrl+Z undoes the list.
#pragma once

#include <QObject>

#include "macros/EditorSession.h"
#include "ui/Dialogs.h"
#include "ui/WindowTexts.h"

class QLineEdit;

namespace tavrilo::ui {

class FindingsView;
class MacroListModel;
class WindowControls;

class LinesEditor : public QObject {
  Q_OBJECT
 public:
  LinesEditor(WindowControls& controls, macros::EditorSession& session, FindingsView& findings,
              Dialogs& dialogs, const WindowTexts& texts);

  // `field` gives Ctrl+Z and redo to the list when it has nothing of its own to undo.
  void WatchField(QLineEdit* field);
  // The view shows the session's selection, and the actions what it allows.
  void ShowSelection();
  void ShowListState();
  void DeleteSelectedLine();

 signals:
  // The list or its selection changed: the title, the keyboard...
  void ListStateChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SelectLine(int row);
  void EditSelectedLine();
  template <typename Change>
  void ChangeList(Change&& change);

  WindowControls& controls_;
  macros::EditorSession& session_;
  FindingsView& findings_;
  Dialogs& dialogs_;
  const WindowTexts& texts_;
  MacroListModel* model_;
  bool showingSelection_ = false;  // the program, not the player, selects in the view
};

}  // namespace tavrilo::ui
