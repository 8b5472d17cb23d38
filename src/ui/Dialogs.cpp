// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "core/Paths.h"
#include "ui/TextCodec.h"

namespace tavrilo::ui {

namespace {

QString& Title() {
  static QString title;
  return title;
}

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

std::optional<QString> FileDialog::Execute(const QString& title) {
  std::optional<QString> chosen = dialogs_.AskPath(owner_, request_, title, path_);
  if (chosen) {
    path_ = *chosen;
    confirmed_ = true;
  }
  return chosen;
}

// The window asks before it replaces a file (a file that is not the list's own), so the
// dialog does not ask again.
std::optional<QString> DesktopDialogs::AskPath(QWidget* owner, FileRequest request,
                                               const QString& title, const QString& proposed) {
  FolderOrFileDialog dialog(owner, title, QString());
  dialog.setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(request == FileRequest::kSave ? QFileDialog::AcceptSave
                                                     : QFileDialog::AcceptOpen);
  dialog.setFileMode(request == FileRequest::kGameFolder ? QFileDialog::Directory
                                                         : QFileDialog::AnyFile);
  if (request != FileRequest::kGameFolder) dialog.setNameFilter(QStringLiteral("Config (*.cfg)"));
  if (request == FileRequest::kSave) dialog.setDefaultSuffix(QStringLiteral("cfg"));
  if (QFileInfo(proposed).isDir()) {
    dialog.setDirectory(proposed);
  } else if (!proposed.isEmpty()) {
    dialog.selectFile(proposed);
  }
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    return dialog.selectedFiles().constFirst();
  return std::nullopt;
}

void DesktopDialogs::ShowError(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok, owner);
  // A message quotes names and texts from files: it is never taken for markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

UnsavedAnswer DesktopDialogs::AskUnsaved(QWidget* owner, const QString& text, const QString& save,
                                         const QString& discard, const QString& cancel) {
  QMessageBox box(QMessageBox::Warning, ApplicationTitle(), text, QMessageBox::NoButton, owner);
  box.setTextFormat(Qt::PlainText);
  QPushButton* saveButton = box.addButton(save, QMessageBox::AcceptRole);
  QPushButton* discardButton = box.addButton(discard, QMessageBox::DestructiveRole);
  QPushButton* cancelButton = box.addButton(cancel, QMessageBox::RejectRole);
  box.setDefaultButton(saveButton);
  box.setEscapeButton(cancelButton);
  box.exec();
  if (box.clickedButton() == saveButton) return UnsavedAnswer::kSave;
  if (box.clickedButton() == discardButton) return UnsavedAnswer::kDiscard;
  return UnsavedAnswer::kCancel;
}

bool DesktopDialogs::AskYes(QWidget* owner, const QString& text, const QString& yes,
                            const QString& no) {
  QMessageBox box(QMessageBox::Warning, ApplicationTitle(), text, QMessageBox::NoButton, owner);
  box.setTextFormat(Qt::PlainText);
  QPushButton* yesButton = box.addButton(yes, QMessageBox::YesRole);
  QPushButton* noButton = box.addButton(no, QMessageBox::NoRole);
  box.setDefaultButton(noButton);
  box.setEscapeButton(noButton);
  box.exec();
  return box.clickedButton() == yesButton;
}

void DesktopDialogs::ShowModal(QDialog* dialog) {
  dialog->exec();
}

QString ApplicationTitle() {
  if (Title().isEmpty() && QCoreApplication::instance() != nullptr) {
    return PathFromBytes(
        TitleFromExecutableName(PathToBytes(QCoreApplication::applicationFilePath())));
  }
  return Title();
}

void SetApplicationTitle(const QString& title) {
  Title() = title;
}

}  // namespace tavrilo::ui
