// SPDX-License-Identifier: GPL-3.0-or-later
// The modal dialogs of the program (file dialogs, the error box, the about box), shown
// through one seam: the real program shows them, a test answers them in advance and
// reads what was shown, so that no test ever waits on a modal dialog.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <exception>
#include <functional>
#include <optional>

#include "core/Text.h"

class QDialog;
class QWidget;

namespace tavrilo::ui {

// A file dialog that keeps, for the rest of the run, the full path last confirmed in it
// and proposes that path the next time it opens.
class FileDialog {
 public:
  // kGameFolder: the game's folder, its data folder or a file in it; the folder the
  // dialog shows is taken as it is when nothing in it is selected.
  enum class Mode { kOpen, kSave, kGameFolder };
  FileDialog(QWidget* owner, Mode mode, QString title, QString filter, QString defaultSuffix,
             QString initialPath);

  // Shows the dialog; the chosen path, or std::nullopt when the user cancels.
  std::optional<QString> Execute();

  // Proposes `path` at the next opening, unless a path was already confirmed.
  void ProposeIfNone(const QString& path) {
    if (path_.isEmpty()) path_ = path;
  }

  const QString& Title() const { return title_; }
  const QString& ProposedPath() const { return path_; }

 private:
  QWidget* owner_;
  Mode mode_;
  QString title_;
  QString filter_;
  QString defaultSuffix_;
  QString path_;
};

// The answers to the question asked before a changed list is dropped.
enum class UnsavedAnswer { kSave, kDiscard, kCancel };

// What a test sees of the dialogs and how it answers them.
class DialogSeam {
 public:
  // From now on no dialog is shown: file dialogs take the queued answers (a test that
  // forgets one fails at once), the error box and modal dialogs are recorded.
  static void EnableTestMode();
  static bool TestMode();

  static void QueueFileName(const QString& path);
  static void QueueCancel();
  // The answer to the next unsaved-changes question.
  static void QueueUnsavedAnswer(UnsavedAnswer answer);
  static bool AnswersPending();

  struct Shown {
    QString caption;
    QString text;
    bool plainText = true;  // the box shows its text as it is, never as markup
  };
  // Error boxes shown since the last call, oldest first; the list is emptied.
  static QList<Shown> TakeErrors();
  // Titles and proposed paths of the file dialogs opened, oldest first; emptied.
  static QList<Shown> TakeFileDialogs();
  // Window titles of the modal dialogs opened (about box), oldest first; emptied.
  static QStringList TakeModalDialogs();
  // The unsaved-changes questions asked: the text, and the captions of the buttons
  // (Save, Discard, Cancel) joined by '|'; oldest first; emptied.
  static QList<Shown> TakeQuestions();

  // Used by the program.
  static std::optional<QString> AnswerFileDialog(const QString& title, const QString& proposed);
  static void RecordError(const Shown& box);
  static void RecordModal(const QString& title);
  static UnsavedAnswer AnswerQuestion(const Shown& question);
};

// Shows a modal dialog and waits until it closes (recorded, not shown, in test mode).
void ShowModal(QDialog* dialog);

// The question asked before a list that changed since it was last saved or loaded is
// dropped: `text`, with three buttons captioned `save`, `discard` and `cancel`, in the
// window's language. Closing the box is Cancel.
UnsavedAnswer AskUnsavedChanges(QWidget* parent, const QString& text, const QString& save,
                                const QString& discard, const QString& cancel);

// The error box: a modal message with the error icon and one OK button, the application
// title as caption and the error's message (with its final full stop) as text.
void ShowErrorBox(QWidget* parent, const std::exception& error);

// Turns a text of the caption files into what the user reads; the main window installs
// one that looks in the caption file of the language in use. Without one, a text shows
// its key and values.
using TextResolver = std::function<QString(const Text& text)>;
void SetTextResolver(TextResolver resolver);
QString ResolveText(const Text& text);

// Runs `action`, showing any error it raises in the error box. Returns whether it ended
// without error.
template <typename Action>
bool ReportingErrors(QWidget* parent, Action&& action) {
  try {
    action();
    return true;
  } catch (const std::exception& error) {
    ShowErrorBox(parent, error);
    return false;
  }
}

// The application title (error-box caption and task bar). Until the main window sets it,
// it is derived from the executable's name.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

}  // namespace tavrilo::ui
