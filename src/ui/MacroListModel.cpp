#include "ui/MacroListModel.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include "ui/TextCodec.h"

namespace tavrilo::ui {

namespace {

// A round mark of `colour`: red for a line the game does not run as written, blue for
// a note.
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

const QIcon& MarkOf(game::Severity severity) {
  static const QIcon none = [] {
    QPixmap blank(12, 12);
    blank.fill(Qt::transparent);
    return QIcon(blank);
  }();
  static const QIcon error = Mark(QColor(210, 30, 30));
  static const QIcon note = Mark(QColor(40, 110, 220));
  switch (severity) {
    case game::Severity::kError:
      return error;
    case game::Severity::kNote:
      return note;
    case game::Severity::kNone:
      break;
  }
  return none;
}

}  // namespace

MacroListModel::MacroListModel(macros::MacroDocument& document, game::Game game,
                               game::SupportFiles supportFiles, QObject* parent)
    : QAbstractListModel(parent),
      document_(document),
      diagnostics_(document.List(), game, std::move(supportFiles), document.Buffer().Text().size()),
      shownCount_(document.List().Count()) {
  diagnostics_.TakeChanges();
}

int MacroListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownCount_;
}

QVariant MacroListModel::data(const QModelIndex& index, int role) const {
  const macros::MacroList& list = document_.List();
  if (!index.isValid() || index.row() >= list.Count()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return ShownText(list.At(index.row()));
    case Qt::DecorationRole:
      return MarkOf(diagnostics_.WorstOf(index.row()));
    case Qt::ToolTipRole:
      // The list has one tool-tip wherever the pointer rests: the last selected entry.
      return list.Hint().empty() ? QVariant() : QVariant(PlainToolTip(ShownText(list.Hint())));
    default:
      return {};
  }
}

void MacroListModel::Append(std::string_view line) {
  document_.Append(line);
  beginInsertRows({}, shownCount_, shownCount_);
  ++shownCount_;
  endInsertRows();
  diagnostics_.Appended();
  ShowDiagnostics();
}

void MacroListModel::DeleteSelected() {
  const int row = document_.List().ItemIndex();
  if (row < 0) return;
  beginRemoveRows({}, row, row);
  document_.DeleteSelected();  // the views may move the selection while rows go
  --shownCount_;
  endRemoveRows();
  diagnostics_.Removed(row);
  ShowDiagnostics();
}

bool MacroListModel::Load(const PathPrompt& askPath) {
  // A cancelled or failed load changes nothing, so the views keep their rows and selection.
  const bool loaded = document_.Load(askPath);
  if (loaded) Reset();
  return loaded;
}

void MacroListModel::NewList() {
  document_.NewList();
  Reset();
}

std::optional<std::size_t> MacroListModel::Save(const PathPrompt& askPath) {
  const std::size_t size = diagnostics_.SavedSize();
  if (!document_.Save(askPath)) return std::nullopt;
  HeaderChanged();  // the header went with the save
  return size;
}

void MacroListModel::ResetHeader() {
  document_.ResetHeader();
  HeaderChanged();
}

void MacroListModel::HeaderChanged() {
  diagnostics_.SetHeaderSize(document_.Buffer().Text().size());
  ShowDiagnostics();
}

void MacroListModel::SetGame(game::Game game) {
  diagnostics_.SetGame(game);
  ShowDiagnostics();
}

void MacroListModel::Reset() {
  beginResetModel();
  shownCount_ = document_.List().Count();
  diagnostics_.SetHeaderSize(document_.Buffer().Text().size());
  diagnostics_.Reset();
  endResetModel();
  ShowDiagnostics();
}

void MacroListModel::ShowDiagnostics() {
  const game::DiagnosticChanges changes = diagnostics_.TakeChanges();
  if (changes.first >= 0 && changes.first < shownCount_) {
    emit dataChanged(index(changes.first), index(std::min(changes.last, shownCount_ - 1)),
                     {Qt::DecorationRole});
  }
  if (changes.size) emit SizeChanged();
}

}  // namespace tavrilo::ui
