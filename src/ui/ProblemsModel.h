// SPDX-License-Identifier: GPL-3.0-or-later
// The problems panel's model: every finding of the list, each with its line number, mark
// and text in the window's language; the findings of the selected line first, then the
// others in the order of the lines. The texts are put
// together only for the rows a view shows, so that a list of a million lines with
// hundreds of thousands of findings costs nothing until it is looked at.
#pragma once

#include <QAbstractListModel>
#include <QStyledItemDelegate>

#include <optional>
#include <vector>

#include "macros/MacroDocument.h"
#include "ui/WindowTexts.h"

namespace tavrilo::ui {

class ProblemsModel : public QAbstractListModel {
  Q_OBJECT
 public:
  static constexpr int kLineRole = Qt::UserRole;  // the finding's line, from 0

  ProblemsModel(const macros::MacroDocument& document, const WindowTexts& texts,
                QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // The document's findings changed, or the language of their texts.
  void Refresh();
  // Only `kept` (findings of the document, in its order) are shown; none: every finding.
  void KeepOnly(std::optional<std::vector<game::Finding>> kept);
  // The findings of `line` come first (-1: none does); returns how many it has.
  int ShowFirst(int line);
  // The row of the first finding of `line`; -1 when the line has none.
  int RowOf(int line) const;
  // A notice about the list's file shown before the findings (empty: none).
  void SetNotice(QString notice);
  int NoticeRows() const { return notice_.isEmpty() ? 0 : 1; }

 private:
  const std::vector<game::Finding>& Shown() const;
  int RowAmongFindings(int line) const;
  const game::Finding* FindingAt(int row) const;
  QString TextOf(const game::Finding& finding) const;
  void FindFirstLine();

  const macros::MacroDocument& document_;
  const WindowTexts& texts_;
  std::optional<std::vector<game::Finding>> kept_;
  QString notice_;
  int shownCount_ = 0;
  int firstLine_ = -1;          // the line whose findings come first
  std::size_t firstBegin_ = 0;  // where they stand among the document's findings
  std::size_t firstCount_ = 0;
};

// Draws a finding: its mark, then its text wrapped between words over as many lines as
// the row has (the whole text is also the row's tool-tip).
class ProblemDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  static constexpr int kTextLines = 2;  // the rows' height when they all have one
  // Up to this many findings, each row is as tall as its text; beyond, rows have one
  // height, so that a panel of a million findings lays out at once.
  static constexpr int kWrappedRows = 5000;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace tavrilo::ui
