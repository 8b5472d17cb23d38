// SPDX-License-Identifier: GPL-3.0-or-later
// The macro list as a Qt item model, so that the list of macros stays responsive with a
// million entries (the view asks only for the rows it shows). The model adapts the
// engine's editor session: it shows the list's entries and marks, turns each change the
// list announces into the model's signals, and hands the view's edits and moves (in
// place, by a drag) to the session as steps of its history. The findings are already up
// to date when the views hear of a change.
#pragma once

#include <QAbstractListModel>

#include "core/Text.h"
#include "game/Check.h"
#include "macros/EditorSession.h"

namespace tavrilo::ui {

class MacroListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  // Listens to `session` from now on (one model per session).
  explicit MacroListModel(macros::EditorSession& session, QObject* parent = nullptr);
  ~MacroListModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  // Each row shows its entry (the beginning of a very long one) with a mark for the worst
  // finding of the line: the entry's text itself stays as it is.
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // An edit in place: the line becomes the text, judged like the player's own line; a
  // refusal changes nothing and is told by EditRefused.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  // A drag within the list moves one line.
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;
  bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                const QModelIndex& destinationParent, int destinationChild) override;

  const game::CheckResult& Findings() const { return session_.Findings(); }

 signals:
  // The findings or the size the saved file will have may have changed (after any change).
  void FindingsChanged();
  // The view changed the list: a line edited or moved (the session selects it).
  void Changed();
  // An edit of a line was refused for `reason`; the line is as it was.
  void EditRefused(const tavrilo::Text& reason);

 private:
  void Follow(const macros::DocumentChange& change);
  // Moves the line `from` to stand before the line `before` as the list is now.
  bool MoveBefore(int from, int before);

  macros::EditorSession& session_;
  int shownCount_ = 0;  // the rows the views know of
};

// A round mark for a severity: red for a line the game does not run as written, blue for
// a note, nothing for a line without findings.
const QIcon& MarkOf(game::Severity severity);

}  // namespace tavrilo::ui
