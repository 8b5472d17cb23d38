// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MacroListModel.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include "ui/Colours.h"
#include "ui/TextCodec.h"

namespace tavrilo::ui {

namespace {

QIcon Mark(const QColor& colour) {
  QPixmap picture(12, 12);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawEllipse(QRectF(1.5, 1.5, 9, 9));
  return QIcon(picture);
}

}  // namespace

const QIcon& MarkOf(game::Severity severity) {
  static const QIcon none = [] {
    QPixmap blank(12, 12);
    blank.fill(Qt::transparent);
    return QIcon(blank);
  }();
  // The light and the dark shade of each severity.
  static const QIcon marks[2][2] = {
      {Mark(ColourOf(Colour::kError, false)), Mark(ColourOf(Colour::kNote, false))},
      {Mark(ColourOf(Colour::kError, true)), Mark(ColourOf(Colour::kNote, true))}};
  const int shade = IsDark(QGuiApplication::palette()) ? 1 : 0;
  switch (severity) {
    case game::Severity::kError:
      return marks[shade][0];
    case game::Severity::kNote:
      return marks[shade][1];
    case game::Severity::kNone:
      break;
  }
  return none;
}

MacroListModel::MacroListModel(macros::MacroDocument& document, QObject* parent)
    : QAbstractListModel(parent), document_(document), shownCount_(document.List().Count()) {
  document_.SetListener([this](const macros::DocumentChange& change) { Follow(change); });
}

MacroListModel::~MacroListModel() {
  document_.SetListener(nullptr);
}

int MacroListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownCount_;
}

QVariant MacroListModel::data(const QModelIndex& index, int role) const {
  const macros::MacroList& list = document_.List();
  if (!index.isValid() || index.row() >= list.Count() || index.row() >= shownCount_) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ShownText(list.At(index.row()));
    case Qt::DecorationRole:
      return MarkOf(document_.Findings().WorstOf(index.row()));
    case Qt::ToolTipRole:
      // The list has one tool-tip wherever the pointer rests: the last selected entry.
      return list.Hint().empty() ? QVariant() : QVariant(PlainToolTip(ShownText(list.Hint())));
    default:
      return {};
  }
}

void MacroListModel::Follow(const macros::DocumentChange& change) {
  using Kind = macros::DocumentChange::Kind;
  switch (change.kind) {
    case Kind::kInsert:
      if (!change.done) {
        beginInsertRows({}, change.row, change.row);
        return;
      }
      ++shownCount_;
      endInsertRows();
      break;
    case Kind::kRemove:
      if (!change.done) {
        beginRemoveRows({}, change.row, change.row);
        return;
      }
      --shownCount_;
      endRemoveRows();
      break;
    case Kind::kReset:
      if (!change.done) {
        beginResetModel();
        return;
      }
      shownCount_ = document_.List().Count();
      endResetModel();
      break;
    case Kind::kEdit:
      emit dataChanged(index(change.row), index(change.row), {Qt::DisplayRole});
      break;
    case Kind::kMove:
      if (!change.done) {
        // Qt names the row before which the moved row goes, in the list before the move.
        beginMoveRows({}, change.row, change.row, {},
                      change.to > change.row ? change.to + 1 : change.to);
        return;
      }
      endMoveRows();
      break;
    case Kind::kFindings:
      break;
  }
  // Any line may mark otherwise now (a later binding of the same key, an alias defined
  // further down): the views repaint the marks they show.
  if (shownCount_ > 0) emit dataChanged(index(0), index(shownCount_ - 1), {Qt::DecorationRole});
  emit FindingsChanged();
}

}  // namespace tavrilo::ui
