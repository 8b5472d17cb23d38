// The macro list as a Qt item model, so that the list of macros stays responsive with a
// million entries (the view asks only for the rows it shows).
#pragma once

#include <QAbstractListModel>

#include "macros/MacroList.h"

namespace tavrilo::ui {

class MacroListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit MacroListModel(const macros::MacroList& list, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Tell the views what changed in the list since they last looked.
  void RowAppended();
  void RowRemoved(int row);
  void Reset();

 private:
  const macros::MacroList& list_;
  int shownCount_ = 0;  // the rows the views know of
};

}  // namespace tavrilo::ui
