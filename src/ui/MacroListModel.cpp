#include "ui/MacroListModel.h"

#include "ui/TextCodec.h"

namespace tavrilo::ui {

MacroListModel::MacroListModel(const macros::MacroList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list), shownCount_(list.Count()) {}

int MacroListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownCount_;
}

QVariant MacroListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= list_.Count()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return FromAnsi(list_.At(index.row()));
    case Qt::ToolTipRole:
      // The list has one tool-tip wherever the pointer rests: the last selected entry.
      return list_.Hint().empty() ? QVariant() : QVariant(FromAnsi(list_.Hint()));
    default:
      return {};
  }
}

void MacroListModel::RowAppended() {
  if (list_.Count() != shownCount_ + 1) {
    Reset();
    return;
  }
  beginInsertRows({}, shownCount_, shownCount_);
  ++shownCount_;
  endInsertRows();
}

void MacroListModel::RowRemoved(int row) {
  if (list_.Count() != shownCount_ - 1 || row < 0 || row >= shownCount_) {
    Reset();
    return;
  }
  beginRemoveRows({}, row, row);
  --shownCount_;
  endRemoveRows();
}

void MacroListModel::Reset() {
  beginResetModel();
  shownCount_ = list_.Count();
  endResetModel();
}

}  // namespace tavrilo::ui
