// SPDX-License-Identifier: GPL-3.0-or-later
// The modal dialogs of the window (file dialogs, the error box, the questions, the about
// box), behind one interface passed to the window: the program shows them on the desktop
// (DesktopDialogs); a test passes its own implementation that answers from a script, so
// that no test ever waits on a modal dialog.
#pragma once

#include <QString>

#include <exception>
#include <optional>

class QDialog;
class QWidget;

namespace tavrilo::ui {

// The answers to the question asked before a changed list is dropped.
enum class UnsavedAnswer { kSave, kDiscard, kCancel };

// What a file dialog asks for. kGameFolder: the game's folder, its data folder or a file
// in it; the folder the dialog shows is taken as it is when nothing in it is selected.
enum class FileRequest { kOpen, kSave, kGameFolder };

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A file dialog titled `title` (empty: the platform's own title) that opens on
  // `proposed` (a folder, or a path whose name it proposes); the chosen path, or
  // std::nullopt when the user cancels.
  virtual std::optional<QString> AskPath(QWidget* owner, FileRequest request, const QString& title,
                                         const QString& proposed) = 0;
  // The error box: the error icon, one OK button, the application's title as caption.
  virtual void ShowError(QWidget* owner, const QString& text) = 0;
  // The question asked before a list that changed since it was last saved or loaded is
  // dropped, with three buttons; closing the box is Cancel.
  virtual UnsavedAnswer AskUnsaved(QWidget* owner, const QString& text, const QString& save,
                                   const QString& discard, const QString& cancel) = 0;
  // A question answered yes or no (replacing a file); closing the box is no.
  virtual bool AskYes(QWidget* owner, const QString& text, const QString& yes,
                      const QString& no) = 0;
  // Shows a dialog and waits until it closes.
  virtual void ShowModal(QDialog* dialog) = 0;
};

// The dialogs on the desktop.
class DesktopDialogs final : public Dialogs {
 public:
  std::optional<QString> AskPath(QWidget* owner, FileRequest request, const QString& title,
                                 const QString& proposed) override;
  void ShowError(QWidget* owner, const QString& text) override;
  UnsavedAnswer AskUnsaved(QWidget* owner, const QString& text, const QString& save,
                           const QString& discard, const QString& cancel) override;
  bool AskYes(QWidget* owner, const QString& text, const QString& yes, const QString& no) override;
  void ShowModal(QDialog* dialog) override;
};

// A file dialog that keeps, for the rest of the run, the full path last confirmed in it
// and proposes that path the next time it opens.
class FileDialog {
 public:
  FileDialog(Dialogs& dialogs, QWidget* owner, FileRequest request, QString initialPath = {})
      : dialogs_(dialogs), owner_(owner), request_(request), path_(std::move(initialPath)) {}

  // Shows the dialog; the chosen path, or std::nullopt when the user cancels.
  std::optional<QString> Execute(const QString& title = {});

  // Proposes `path` at the next opening, unless a path was already confirmed.
  void ProposeIfNone(const QString& path) {
    if (!confirmed_) path_ = path;
  }
  const QString& ProposedPath() const { return path_; }

 private:
  Dialogs& dialogs_;
  QWidget* owner_;
  FileRequest request_;
  QString path_;
  bool confirmed_ = false;
};

// The application title (error-box caption and task bar). Until the main window sets it,
// it is derived from the executable's name.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

}  // namespace tavrilo::ui
