// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FindingsView.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QListView>

#include <string>

#include "ui/Colours.h"
#include "ui/ProblemsModel.h"
#include "ui/TextCodec.h"
#include "ui/WindowControls.h"

namespace tavrilo::ui {

namespace {

void PaintText(QLabel* label, game::Severity severity, const QPalette& palette) {
  QPalette own = label->palette();
  own.setColor(QPalette::WindowText, SeverityColour(severity, palette));
  label->setPalette(own);
}

}  // namespace

FindingsView::FindingsView(WindowControls& controls, const macros::EditorSession& session,
                           const WindowTexts& texts, QObject* parent)
    : QObject(parent),
      controls_(controls),
      session_(session),
      texts_(texts),
      model_(new ProblemsModel(session.Document(), texts, this)) {
  controls_.problemsView->setModel(model_);
  controls_.problemsView->setItemDelegate(new ProblemDelegate(controls_.problemsView));
  controls_.problemsView->setResizeMode(QListView::Adjust);  // rows wrap again when it widens
  for (auto signal : {&QAbstractItemView::clicked, &QAbstractItemView::activated}) {
    connect(controls_.problemsView, signal, this, [this](const QModelIndex& finding) {
      const int line = finding.data(ProblemsModel::kLineRole).toInt();
      if (finding.isValid() && line >= 0 && line < session_.List().Count()) emit LineChosen(line);
    });
  }
}

void FindingsView::ShowStatus(const std::optional<Text>& message) {
  message_ = message;
  ShowStatusLine();
  ShowSelectedFirst();
}

void FindingsView::ShowStatusLine() {
  QStringList texts;
  game::Severity worst = game::Severity::kNone;
  const int row = session_.List().ItemIndex();
  if (message_) {
    texts << texts_(*message_);  // in the language shown now
  } else if (row >= 0) {
    for (const game::Finding& finding : session_.Findings().FindingsOf(row)) {
      texts << texts_(session_.Findings().TextOf(finding));
      worst = std::max(worst, finding.severity);
    }
  }
  PaintText(controls_.statusLine, worst, controls_.window->palette());
  controls_.statusLine->setText(texts.join(QStringLiteral("  \u2022  ")));
  controls_.statusLine->setToolTip(PlainToolTip(texts.join('\n')));
}

void FindingsView::ShowAll() {
  const game::CheckResult& findings = session_.Findings();
  controls_.budgetLabel->setText(texts_(findings.SizeText()));
  PaintText(controls_.budgetLabel,
            findings.TooBig() ? game::Severity::kError : game::Severity::kNone,
            controls_.window->palette());
  controls_.problemsSummary->setText(texts_(Text{
      "Panel.Summary", {std::to_string(findings.Errors()), std::to_string(findings.Notes())}}));
  controls_.problemsView->setUniformItemSizes(
      findings.Findings().size() > static_cast<std::size_t>(ProblemDelegate::kWrappedRows));
  model_->Refresh();
  const std::optional<Text> loadNote = session_.LoadNote();
  model_->SetNotice(loadNote ? texts_(*loadNote) : QString());
  if (!needle_.empty()) model_->KeepOnly(session_.FindingsOfLines(session_.FilterLines(needle_)));
  ShowStatusLine();
  ShowSelectedFirst();
}

void FindingsView::KeepLines(std::string needle) {
  if (needle == needle_) return;
  needle_ = std::move(needle);
  ShowAll();
}

// The findings of the selected line come first in the panel.
void FindingsView::ShowSelectedFirst() {
  if (model_->ShowFirst(session_.List().ItemIndex()) == 0) return;
  controls_.problemsView->scrollToTop();
  controls_.problemsView->selectionModel()->setCurrentIndex(model_->index(model_->NoticeRows()),
                                                            QItemSelectionModel::ClearAndSelect);
}

}  // namespace tavrilo::ui
