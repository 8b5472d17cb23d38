#include "ui/MacroListModel.h"

#include "ui/TextCodec.h"

namespace tavrilo::ui {

MacroListModel::MacroListModel(macros::MacroDocument& document, QObject* parent)
    : QAbstractListModel(parent), document_(document), shownCount_(document.List().Count()) {}

int MacroListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownCount_;
}

QVariant MacroListModel::data(const QModelIndex& index, int role) const {
  const macros::MacroList& list = document_.List();
  if (!index.isValid() || index.row() >= list.Count()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ShownText(list.At(index.row()));
    case Qt::ToolTipRole:
      // The list has one tool-tip wherever the pointer rests: the last selected entry.
      return list.Hint().empty() ? QVariant() : QVariant(PlainToolTip(ShownText(list.Hint())));
    default:
      return {};
  }
}

void MacroListModel::Append(std::string_view line) {
  document_.List().Add(line);
  beginInsertRows({}, shownCount_, shownCount_);
  ++shownCount_;
  endInsertRows();
}

void MacroListModel::DeleteSelected() {
  const int row = document_.List().ItemIndex();
  if (row < 0) return;
  beginRemoveRows({}, row, row);
  document_.List().Delete(row);  // the views may move the selection while rows go
  --shownCount_;
  endRemoveRows();
}

bool MacroListModel::Load(const PathPrompt& askPath) {
  // A cancelled load changes nothing, so the views keep their rows and selection.
  bool chosen = false;
  const PathPrompt noteChoice = [&]() {
    std::optional<std::string> path = askPath();
    chosen = path.has_value();
    return path;
  };
  try {
    document_.Load(noteChoice);
  } catch (...) {
    if (chosen) Reset();
    throw;
  }
  if (chosen) Reset();
  return chosen;
}

void MacroListModel::NewList() {
  document_.NewList();
  Reset();
}

void MacroListModel::Reset() {
  beginResetModel();
  shownCount_ = document_.List().Count();
  endResetModel();
}

}  // namespace tavrilo::ui
