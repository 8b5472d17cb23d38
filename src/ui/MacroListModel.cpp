// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MacroListModel.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

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

// The drag of a line within the list carries its row.
const QString kLineRowType = QStringLiteral("application/x-tavrilo-line-row");

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

MacroListModel::MacroListModel(macros::EditorSession& session, QObject* parent)
    : QAbstractListModel(parent), session_(session), shownCount_(session.List().Count()) {
  session_.SetListener([this](const macros::DocumentChange& change) { Follow(change); });
}

MacroListModel::~MacroListModel() {
  session_.SetListener(nullptr);
}

int MacroListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownCount_;
}

QVariant MacroListModel::data(const QModelIndex& index, int role) const {
  const macros::MacroList& list = session_.List();
  if (!index.isValid() || index.row() >= list.Count() || index.row() >= shownCount_) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ShownText(list.At(index.row()));
    case Qt::EditRole:
      return FromAnsi(list.At(index.row()));
    case Qt::DecorationRole:
      return MarkOf(session_.Findings().WorstOf(index.row()));
    case Qt::ToolTipRole:
      // The list has one tool-tip wherever the pointer rests: the last selected entry.
      return list.Hint().empty() ? QVariant() : QVariant(PlainToolTip(ShownText(list.Hint())));
    default:
      return {};
  }
}

Qt::ItemFlags MacroListModel::flags(const QModelIndex& index) const {
  // Lines are dropped between lines, never on one.
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  return QAbstractListModel::flags(index) | Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
}

bool MacroListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || index.row() >= session_.List().Count())
    return false;
  if (const std::optional<Text> refusal =
          session_.EditLine(index.row(), ToAnsi(value.toString()))) {
    emit EditRefused(*refusal);
    return false;
  }
  emit Changed();
  return true;
}

QStringList MacroListModel::mimeTypes() const {
  return {kLineRowType};
}

QMimeData* MacroListModel::mimeData(const QModelIndexList& indexes) const {
  if (indexes.size() != 1 || !indexes.constFirst().isValid()) return nullptr;
  auto* data = new QMimeData;
  data->setData(kLineRowType, QByteArray::number(indexes.constFirst().row()));
  return data;
}

bool MacroListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                  int /*column*/, const QModelIndex& parent) {
  if (action != Qt::MoveAction || data == nullptr || !data->hasFormat(kLineRowType)) return false;
  bool read = false;
  const int from = data->data(kLineRowType).toInt(&read);
  if (!read || from < 0 || from >= session_.List().Count()) return false;
  if (row < 0) row = parent.isValid() ? parent.row() : session_.List().Count();
  return MoveBefore(from, row);
}

bool MacroListModel::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                              const QModelIndex& destinationParent, int destinationChild) {
  if (sourceParent.isValid() || destinationParent.isValid() || count != 1 || sourceRow < 0 ||
      sourceRow >= session_.List().Count())
    return false;
  return MoveBefore(sourceRow, destinationChild);
}

bool MacroListModel::MoveBefore(int from, int before) {
  before = std::clamp(before, 0, session_.List().Count());
  const int to = before > from ? before - 1 : before;
  if (to == from) return false;
  session_.MoveLine(from, to);
  emit Changed();
  return true;
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
      shownCount_ = session_.List().Count();
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
