// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>

#include "core/Errors.h"
#include "core/Paths.h"
#include "ui/TextCodec.h"

namespace tavrilo::ui {

namespace {

struct SeamState {
  bool testMode = false;
  std::deque<std::optional<QString>> answers;
  std::deque<UnsavedAnswer> unsavedAnswers;
  QList<DialogSeam::Shown> questions;
  QList<DialogSeam::Shown> errors;
  QList<DialogSeam::Shown> fileDialogs;
  QStringList modals;
  QString title;
  TextResolver resolver;
};

SeamState& State() {
  static SeamState state;
  return state;
}

}  // namespace

FileDialog::FileDialog(QWidget* owner, Mode mode, QString title, QString filter,
                       QString defaultSuffix, QString initialPath)
    : owner_(owner),
      mode_(mode),
      title_(std::move(title)),
      filter_(std::move(filter)),
      defaultSuffix_(std::move(defaultSuffix)),
      path_(std::move(initialPath)) {}

namespace {

// A folder dialog that shows the files too and takes a file as well as a folder: the
// player may confirm the game's folder, its data folder, or any file in the game's folder.
class FolderOrFileDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

  void accept() override {
    const QStringList chosen = selectedFiles();
    if (!chosen.isEmpty() && QFileInfo(chosen.constFirst()).isFile()) {
      QDialog::accept();
      return;
    }
    QFileDialog::accept();
  }
};

}  // namespace

std::optional<QString> FileDialog::Execute() {
  std::optional<QString> chosen;
  if (DialogSeam::TestMode()) {
    chosen = DialogSeam::AnswerFileDialog(title_, path_);
  } else {
    FolderOrFileDialog dialog(owner_, title_, QString());
    dialog.setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode_ == Mode::kSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode_ == Mode::kGameFolder ? QFileDialog::Directory : QFileDialog::AnyFile);
    if (!filter_.isEmpty()) dialog.setNameFilter(filter_);
    if (!defaultSuffix_.isEmpty()) dialog.setDefaultSuffix(defaultSuffix_);
    if (QFileInfo(path_).isDir()) {
      dialog.setDirectory(path_);
    } else if (!path_.isEmpty()) {
      dialog.selectFile(path_);
    }
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      chosen = dialog.selectedFiles().constFirst();
    }
  }
  if (chosen) path_ = *chosen;
  return chosen;
}

void DialogSeam::EnableTestMode() {
  State().testMode = true;
}
bool DialogSeam::TestMode() {
  return State().testMode;
}
void DialogSeam::QueueFileName(const QString& path) {
  State().answers.emplace_back(path);
}
void DialogSeam::QueueCancel() {
  State().answers.emplace_back(std::nullopt);
}
void DialogSeam::QueueUnsavedAnswer(UnsavedAnswer answer) {
  State().unsavedAnswers.push_back(answer);
}

bool DialogSeam::AnswersPending() {
  return !State().answers.empty() || !State().unsavedAnswers.empty();
}

QList<DialogSeam::Shown> DialogSeam::TakeErrors() {
  return std::exchange(State().errors, {});
}
QList<DialogSeam::Shown> DialogSeam::TakeFileDialogs() {
  return std::exchange(State().fileDialogs, {});
}
QStringList DialogSeam::TakeModalDialogs() {
  return std::exchange(State().modals, {});
}

std::optional<QString> DialogSeam::AnswerFileDialog(const QString& title, const QString& proposed) {
  State().fileDialogs.append({title, proposed});
  if (State().answers.empty()) {
    std::fprintf(stderr, "A file dialog \"%s\" opened with no answer queued.\n", qPrintable(title));
    std::abort();
  }
  std::optional<QString> answer = State().answers.front();
  State().answers.pop_front();
  return answer;
}

QList<DialogSeam::Shown> DialogSeam::TakeQuestions() {
  return std::exchange(State().questions, {});
}

UnsavedAnswer DialogSeam::AnswerQuestion(const Shown& question) {
  State().questions.append(question);
  if (State().unsavedAnswers.empty()) {
    std::fprintf(stderr, "The question \"%s\" was asked with no answer queued.\n",
                 qPrintable(question.text));
    std::abort();
  }
  const UnsavedAnswer answer = State().unsavedAnswers.front();
  State().unsavedAnswers.pop_front();
  return answer;
}

void DialogSeam::RecordError(const Shown& box) {
  State().errors.append(box);
}

void DialogSeam::RecordModal(const QString& title) {
  State().modals.append(title);
}

void ShowModal(QDialog* dialog) {
  if (DialogSeam::TestMode()) {
    DialogSeam::RecordModal(dialog->windowTitle());
    return;
  }
  dialog->exec();
}

void SetTextResolver(TextResolver resolver) {
  State().resolver = std::move(resolver);
}

QString ResolveText(const Text& text) {
  if (State().resolver) return State().resolver(text);
  return FromAnsi(FallbackText(text));
}

namespace {

// The error's message as the box shows it, with the final full stop of the error box.
QString ErrorMessage(const std::exception& error) {
  if (const auto* textError = dynamic_cast<const TextError*>(&error)) {
    QString text = ResolveText(textError->GetText());
    if (!text.isEmpty() && text.back() > QChar('.')) text += QChar('.');
    return text;
  }
  // The system's messages are plain ASCII apart from the file names they quote, which
  // keep the file system's bytes.
  return PathFromBytes(ErrorBoxText(error.what()));
}

}  // namespace

void ShowErrorBox(QWidget* parent, const std::exception& error) {
  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), ErrorMessage(error), QMessageBox::Ok,
                  parent);
  // A message quotes names and texts from files: it is never taken for markup.
  box.setTextFormat(Qt::PlainText);
  if (DialogSeam::TestMode()) {
    DialogSeam::RecordError({box.windowTitle(), box.text(), box.textFormat() == Qt::PlainText});
    return;
  }
  box.exec();
}

UnsavedAnswer AskUnsavedChanges(QWidget* parent, const QString& text, const QString& save,
                                const QString& discard, const QString& cancel) {
  QMessageBox box(QMessageBox::Warning, ApplicationTitle(), text, QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  QPushButton* saveButton = box.addButton(save, QMessageBox::AcceptRole);
  QPushButton* discardButton = box.addButton(discard, QMessageBox::DestructiveRole);
  QPushButton* cancelButton = box.addButton(cancel, QMessageBox::RejectRole);
  box.setDefaultButton(saveButton);
  box.setEscapeButton(cancelButton);
  if (DialogSeam::TestMode()) {
    return DialogSeam::AnswerQuestion({box.windowTitle(),
                                       box.text() + '|' + save + '|' + discard + '|' + cancel,
                                       box.textFormat() == Qt::PlainText});
  }
  box.exec();
  if (box.clickedButton() == saveButton) return UnsavedAnswer::kSave;
  if (box.clickedButton() == discardButton) return UnsavedAnswer::kDiscard;
  return UnsavedAnswer::kCancel;
}

QString ApplicationTitle() {
  if (State().title.isEmpty() && QCoreApplication::instance() != nullptr) {
    return PathFromBytes(
        TitleFromExecutableName(PathToBytes(QCoreApplication::applicationFilePath())));
  }
  return State().title;
}

void SetApplicationTitle(const QString& title) {
  State().title = title;
  QCoreApplication::setApplicationName(title);
}

}  // namespace tavrilo::ui
