// The macro list as a Qt item model, so that the list of macros stays responsive with a
// million entries (the view asks only for the rows it shows). The model owns the list
// operations of the window: each changes the document and tells the views what changed,
// so that no handler can change the list behind the views' back.
#pragma once

#include <QAbstractListModel>

#include <string_view>

#include "core/Paths.h"
#include "macros/MacroDocument.h"

namespace tavrilo::ui {

class MacroListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit MacroListModel(macros::MacroDocument& document, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // The list operations. Each leaves the views showing the document's list, also when
  // it fails part way (the error propagates).
  void Append(std::string_view line);
  void DeleteSelected();
  bool Load(const PathPrompt& askPath);
  void NewList();

 private:
  void Reset();

  macros::MacroDocument& document_;
  int shownCount_ = 0;  // the rows the views know of
};

}  // namespace tavrilo::ui
