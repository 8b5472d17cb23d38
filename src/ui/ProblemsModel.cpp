// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ProblemsModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QListView>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <vector>

#include "ui/MacroListModel.h"
#include "ui/TextCodec.h"

namespace tavrilo::ui {

ProblemsModel::ProblemsModel(const macros::MacroDocument& document, const WindowTexts& texts,
                             QObject* parent)
    : QAbstractListModel(parent),
      document_(document),
      texts_(texts),
      shownCount_(static_cast<int>(document.Findings().Findings().size())) {}

const std::vector<game::Finding>& ProblemsModel::Shown() const {
  return kept_ ? *kept_ : document_.Findings().Findings();
}

void ProblemsModel::KeepOnly(std::optional<std::vector<game::Finding>> kept) {
  beginResetModel();
  kept_ = std::move(kept);
  shownCount_ = static_cast<int>(Shown().size());
  FindFirstLine();
  endResetModel();
}

int ProblemsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : NoticeRows() + shownCount_;
}

void ProblemsModel::Refresh() {
  beginResetModel();
  kept_.reset();  // findings of the list checked before
  shownCount_ = static_cast<int>(Shown().size());
  FindFirstLine();
  endResetModel();
}

int ProblemsModel::ShowFirst(int line) {
  beginResetModel();
  firstLine_ = line;
  FindFirstLine();
  endResetModel();
  return static_cast<int>(firstCount_);
}

void ProblemsModel::FindFirstLine() {
  const std::vector<game::Finding>& findings = Shown();
  const auto byLine = [](const game::Finding& finding, int wanted) {
    return finding.line < wanted;
  };
  const auto begin = std::lower_bound(findings.begin(), findings.end(), firstLine_, byLine);
  auto end = begin;
  while (end != findings.end() && end->line == firstLine_)
    ++end;
  firstBegin_ = static_cast<std::size_t>(begin - findings.begin());
  firstCount_ = static_cast<std::size_t>(end - begin);
}

// Rows [0, firstCount_) are the first line's findings; the others follow in their order.
// Nothing past the document's findings (a view may ask before it hears of a change).
const game::Finding* ProblemsModel::FindingAt(int row) const {
  const std::vector<game::Finding>& findings = Shown();
  const auto shown = static_cast<std::size_t>(row);
  std::size_t at = shown;
  if (shown < firstCount_) {
    at = firstBegin_ + shown;
  } else if (shown - firstCount_ < firstBegin_) {
    at = shown - firstCount_;
  }
  return row >= 0 && at < findings.size() ? &findings[at] : nullptr;
}

void ProblemsModel::SetNotice(QString notice) {
  if (notice == notice_) return;
  beginResetModel();
  notice_ = std::move(notice);
  endResetModel();
}

int ProblemsModel::RowOf(int line) const {
  const int row = RowAmongFindings(line);
  return row < 0 ? row : NoticeRows() + row;
}

int ProblemsModel::RowAmongFindings(int line) const {
  if (line == firstLine_) return firstCount_ > 0 ? 0 : -1;
  const std::vector<game::Finding>& findings = Shown();
  const auto first = std::lower_bound(
      findings.begin(), findings.end(), line,
      [](const game::Finding& finding, int wanted) { return finding.line < wanted; });
  if (first == findings.end() || first->line != line) return -1;
  const auto at = static_cast<std::size_t>(first - findings.begin());
  return static_cast<int>(at < firstBegin_ ? at + firstCount_ : at);
}

QString ProblemsModel::TextOf(const game::Finding& finding) const {
  return texts_(Text{"Panel.Line", {std::to_string(finding.line + 1)}}) + QStringLiteral(" ") +
         texts_(document_.Findings().TextOf(finding));
}

QVariant ProblemsModel::data(const QModelIndex& index, int role) const {
  if (index.isValid() && index.row() < NoticeRows()) {
    // The notice about the list's file stands first, as a note of no line.
    switch (role) {
      case Qt::DisplayRole:
      case Qt::AccessibleTextRole:
        return notice_;
      case Qt::ToolTipRole:
        return PlainToolTip(notice_);
      case Qt::DecorationRole:
        return MarkOf(game::Severity::kNote);
      case kLineRole:
        return -1;
      default:
        return {};
    }
  }
  const int row = index.row() - NoticeRows();
  const game::Finding* shown = index.isValid() && row < shownCount_ ? FindingAt(row) : nullptr;
  if (shown == nullptr) return {};
  const game::Finding& finding = *shown;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return TextOf(finding);
    case Qt::ToolTipRole:
      return PlainToolTip(TextOf(finding));
    case Qt::DecorationRole:
      return MarkOf(finding.severity);
    case kLineRole:
      return finding.line;
    default:
      return {};
  }
}

namespace {

// The lines `text` wraps into at `width`, breaking between words (inside a word only when
// the word alone is wider than a line).
std::vector<QTextLine> WrapLines(QTextLayout& layout, int width, int lineSpacing) {
  QTextOption wrapping;
  wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(wrapping);
  layout.beginLayout();
  std::vector<QTextLine> lines;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    line.setPosition(QPointF(0, static_cast<double>(lines.size()) * lineSpacing));
    lines.push_back(line);
  }
  layout.endLayout();
  return lines;
}

// The room a row's text has: the view's width less the mark and the margins.
int TextWidth(const QStyleOptionViewItem& option) {
  const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
  const int width = view != nullptr ? view->viewport()->width() : option.rect.width();
  return std::max(40, width - 6 - 16);
}

}  // namespace

void ProblemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  QStyleOptionViewItem background(option);
  initStyleOption(&background, index);
  background.text.clear();
  background.icon = QIcon();
  const QWidget* widget = option.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

  const QRect area = option.rect.adjusted(3, 2, -3, -2);
  const QIcon mark = index.data(Qt::DecorationRole).value<QIcon>();
  mark.paint(painter, QRect(area.left(), area.top() + 1, 12, 12));
  const bool selected = (option.state & QStyle::State_Selected) != 0;
  painter->save();
  painter->setFont(option.font);
  painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
  // Every line the row has room for; when the text needs more (rows of one height, in a
  // very long panel), the last one shown ends between two words with an ellipsis (the
  // tool-tip and the status line give the text whole).
  const QString text = index.data(Qt::DisplayRole).toString();
  const QRect textArea = area.adjusted(16, 0, 0, 0);
  const QFontMetrics metrics(option.font);
  QTextLayout layout(text, option.font, painter->device());
  const std::vector<QTextLine> lines = WrapLines(layout, textArea.width(), metrics.lineSpacing());
  const auto room = static_cast<std::size_t>(
      std::max(1, (textArea.height() + metrics.leading()) / metrics.lineSpacing()));
  const std::size_t shown = std::min(lines.size(), room);
  for (std::size_t i = 0; i < shown; ++i) {
    if (i + 1 == shown && lines.size() > shown) {
      const QString ellipsis(QChar(0x2026));
      QString last = text.mid(lines[i].textStart(), lines[i].textLength()).trimmed();
      while (metrics.horizontalAdvance(last + ellipsis) > textArea.width() &&
             last.lastIndexOf(' ') > 0)
        last = last.left(last.lastIndexOf(' ')).trimmed();
      painter->drawText(QPointF(textArea.left(), textArea.top() + lines[i].y() + metrics.ascent()),
                        last + ellipsis);
    } else {
      lines[i].draw(painter, textArea.topLeft());
    }
  }
  painter->restore();
}

// Rows as tall as their text wraps to; rows of kTextLines lines while the view lays out
// every row at one height. Room for the whole of the last line, descenders included, even
// where a font's leading is negative (its line spacing less than its height).
QSize ProblemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  const QFontMetrics& metrics = option.fontMetrics;
  const auto* view = qobject_cast<const QListView*>(option.widget);
  int lines = kTextLines;
  if (view != nullptr && !view->uniformItemSizes()) {
    QTextLayout layout(index.data(Qt::DisplayRole).toString(), option.font);
    lines = std::max<int>(
        1, static_cast<int>(WrapLines(layout, TextWidth(option), metrics.lineSpacing()).size()));
  }
  return {option.rect.width(), (lines - 1) * metrics.lineSpacing() +
                                   std::max(metrics.height(), metrics.lineSpacing()) + 4};
}

}  // namespace tavrilo::ui
