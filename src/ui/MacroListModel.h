// SPDX-License-Identifier: GPL-3.0-or-later
// The macro list as a Qt item model, so that the list of macros stays responsive with a
// million entries (the view asks only for the rows it shows). The model adapts the
// engine's document: it shows the document's entries and marks, and turns each change
// the document announces into the model's signals. The findings are already up to date
// when the views hear of a change.
#pragma once

#include <QAbstractListModel>

#include "game/Check.h"
#include "macros/MacroDocument.h"

namespace tavrilo::ui {

class MacroListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  // Listens to `document` from now on (one model per document).
  explicit MacroListModel(macros::MacroDocument& document, QObject* parent = nullptr);
  ~MacroListModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  // Each row shows its entry (the beginning of a very long one) with a mark for the worst
  // finding of the line: the entry's text itself stays as it is.
  QVariant data(const QModelIndex& index, int role) const override;

  const game::CheckResult& Findings() const { return document_.Findings(); }

 signals:
  // The findings or the size the saved file will have may have changed (after any change).
  void FindingsChanged();

 private:
  void Follow(const macros::DocumentChange& change);

  macros::MacroDocument& document_;
  int shownCount_ = 0;  // the rows the views know of
};

// A round mark for a severity: red for a line the game does not run as written, blue for
// a note, nothing for a line without findings.
const QIcon& MarkOf(game::Severity severity);

}  // namespace tavrilo::ui
