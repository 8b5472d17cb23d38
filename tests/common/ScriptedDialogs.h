// SPDX-License-Identifier: GPL-3.0-or-later
// The window's dialogs answered from a script, for tests and the hand-run tools: file
// dialogs and questions take the queued answers (one that comes with none queued stops
// the program at once), error boxes and modal dialogs are recorded, nothing is shown.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <optional>
#include <utility>

#include "ui/Dialogs.h"

namespace tavrilo::testing {

class ScriptedDialogs final : public ui::Dialogs {
 public:
  struct Shown {
    QString caption;
    QString text;
  };

  void QueueFileName(const QString& path) { paths_.emplace_back(path); }
  void QueueCancel() { paths_.emplace_back(std::nullopt); }
  void QueueUnsavedAnswer(ui::UnsavedAnswer answer) { unsaved_.push_back(answer); }
  void QueueReplaceAnswer(bool yes) { yes_.push_back(yes); }
  bool AnswersPending() const { return !paths_.empty() || !unsaved_.empty() || !yes_.empty(); }

  // What was shown since the last call, oldest first; each list is emptied.
  QList<Shown> TakeErrors() { return std::exchange(errors_, {}); }
  // The title and proposed path of each file dialog.
  QList<Shown> TakeFileDialogs() { return std::exchange(fileDialogs_, {}); }
  QStringList TakeModalDialogs() { return std::exchange(modals_, {}); }
  // The text of each question and the captions of its buttons, joined by '|'.
  QList<Shown> TakeQuestions() { return std::exchange(questions_, {}); }

  std::optional<QString> AskPath(QWidget*, ui::FileRequest, const QString& title,
                                 const QString& proposed) override {
    fileDialogs_.append({title, proposed});
    if (paths_.empty()) Stop("a file dialog", title);
    std::optional<QString> answer = paths_.front();
    paths_.pop_front();
    return answer;
  }
  void ShowError(QWidget*, const QString& text) override {
    errors_.append({ui::ApplicationTitle(), text});
  }
  ui::UnsavedAnswer AskUnsaved(QWidget*, const QString& text, const QString& save,
                               const QString& discard, const QString& cancel) override {
    questions_.append({ui::ApplicationTitle(), text + '|' + save + '|' + discard + '|' + cancel});
    if (unsaved_.empty()) Stop("the question", text);
    const ui::UnsavedAnswer answer = unsaved_.front();
    unsaved_.pop_front();
    return answer;
  }
  bool AskYes(QWidget*, const QString& text, const QString& yes, const QString& no) override {
    questions_.append({ui::ApplicationTitle(), text + '|' + yes + '|' + no});
    if (yes_.empty()) Stop("the question", text);
    const bool answer = yes_.front();
    yes_.pop_front();
    return answer;
  }
  void ShowModal(QDialog* dialog) override { modals_.append(dialog->windowTitle()); }

 private:
  [[noreturn]] static void Stop(const char* what, const QString& text) {
    std::fprintf(stderr, "%s \"%s\" came with no answer queued.\n", what, qPrintable(text));
    std::abort();
  }

  std::deque<std::optional<QString>> paths_;
  std::deque<ui::UnsavedAnswer> unsaved_;
  std::deque<bool> yes_;
  QList<Shown> errors_;
  QList<Shown> fileDialogs_;
  QList<Shown> questions_;
  QStringList modals_;
};

}  // namespace tavrilo::testing
