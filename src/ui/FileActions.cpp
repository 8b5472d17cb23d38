// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FileActions.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>

#include <functional>
#include <utility>

#include "core/Paths.h"
#include "core/Platform.h"
#include "install/SupportFiles.h"
#include "ui/ReportingErrors.h"
#include "ui/TextCodec.h"
#include "ui/WindowControls.h"

namespace tavrilo::ui {

FileActions::FileActions(QWidget& window, macros::EditorSession& session, Dialogs& dialogs,
                         const WindowTexts& texts)
    : QObject(&window),
      window_(window),
      session_(session),
      dialogs_(dialogs),
      texts_(texts),
      saveDialog_(dialogs, &window, FileRequest::kSave),
      openDialog_(dialogs, &window, FileRequest::kOpen),
      gameFolderDialog_(dialogs, &window, FileRequest::kGameFolder) {}

void FileActions::Wire(const WindowControls& controls) {
  connect(controls.saveButton, &QPushButton::clicked, this, [this] { Save(false); });
  connect(controls.loadButton, &QPushButton::clicked, this, &FileActions::Load);
  connect(controls.newListButton, &QPushButton::clicked, this, &FileActions::New);
  QPushButton* load = controls.loadButton;
  load->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(load, &QWidget::customContextMenuRequested, this,
          [this, load](const QPoint& where) { ShowRecentFiles(load->mapToGlobal(where)); });
  const std::pair<QKeySequence, std::function<void()>> shortcuts[] = {
      {QKeySequence(Qt::CTRL | Qt::Key_N), [this] { New(); }},
      {QKeySequence(Qt::CTRL | Qt::Key_O), [this] { Load(); }},
      {QKeySequence(Qt::CTRL | Qt::Key_S), [this] { Save(true); }},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { Save(false); }},
  };
  for (const auto& [keys, action] : shortcuts)
    connect(new QShortcut(keys, &window_), &QShortcut::activated, this, action);
}

template <typename Action>
bool FileActions::Reporting(Action&& action, const std::string& path) {
  return ReportingErrors(dialogs_, window_, texts_, std::forward<Action>(action), path);
}

void FileActions::Save(bool toOwnFile) {
  if (session_.NothingToSave()) return;
  std::string path = toOwnFile ? session_.FilePath() : std::string();
  if (path.empty()) {
    saveDialog_.ProposeIfNone(PathFromBytes(session_.ProposedSavePath("Macros.cfg")));
    const std::optional<QString> chosen = saveDialog_.Execute();
    if (!chosen) return;
    path = PathToBytes(*chosen);
  }
  Reporting(
      [&] {
        bool answered = false;
        if (const std::optional<Text> question = session_.ReplaceQuestion(path)) {
          if (!dialogs_.AskYes(&window_, texts_(*question), texts_.Caption("Ask.ReplaceYes"),
                               texts_.Caption("Ask.Cancel")))
            return;
          answered = true;
        }
        // A file the game's exec would ignore is saved all the same, and the player told.
        if (session_.Save(path, answered) != macros::EditorSession::SaveOutcome::kSaved) return;
        if (std::optional<Text> tooBig = session_.TooBigText()) emit Status(tooBig);
        Offer(FindInterruptedSaves(DirectoryPart(path)));
      },
      path);
  emit FileChanged();
}

void FileActions::Load() {
  if (!MayDropList()) return;
  openDialog_.ProposeIfNone(PathFromBytes(session_.DialogFolder()));
  if (const std::optional<QString> chosen = openDialog_.Execute()) LoadFile(PathToBytes(*chosen));
}

void FileActions::LoadFile(const std::string& path) {
  if (std::optional<InterruptedSave> save = FindInterruptedSave(path)) Offer({*save});
  Reporting([&] { session_.Load(path); }, path);
  if (session_.FilePath() == path && session_.LoadNote()) emit Status(session_.LoadNote());
  emit FileChanged();
}

void FileActions::ShowRecentFiles(const QPoint& where) {
  QMenu menu(&window_);
  menu.addSection(texts_.Caption("Main.Recent"));
  const std::vector<std::string> files = session_.RecentFiles();
  for (const std::string& file : files) {
    menu.addAction(QDir::toNativeSeparators(PathFromBytes(file)), this, [this, file] {
      if (MayDropList()) LoadFile(file);
    });
  }
  if (files.empty()) menu.addAction(texts_.Caption("Main.RecentNone"))->setEnabled(false);
  menu.exec(where);
}

void FileActions::New() {
  if (!MayDropList()) return;
  session_.NewList();
  emit FileChanged();
}

bool FileActions::MayDropList() {
  if (!session_.Modified()) return true;
  switch (dialogs_.AskUnsaved(&window_, texts_.Caption("Ask.Unsaved"), texts_.Caption("Ask.Save"),
                              texts_.Caption("Ask.Discard"), texts_.Caption("Ask.Cancel"))) {
    case UnsavedAnswer::kSave:
      Save(true);
      return !session_.Modified();  // a cancelled or failed save keeps the list
    case UnsavedAnswer::kDiscard:
      return true;
    case UnsavedAnswer::kCancel:
      break;
  }
  return false;
}

bool FileActions::IsDroppable(const QMimeData& data) {
  const QList<QUrl> urls = data.urls();
  return urls.size() == 1 && urls.constFirst().isLocalFile() &&
         urls.constFirst().toLocalFile().endsWith(".cfg", Qt::CaseInsensitive);
}

void FileActions::Drop(const QMimeData& data) {
  if (IsDroppable(data) && MayDropList())
    LoadFile(PathToBytes(data.urls().constFirst().toLocalFile()));
}

void FileActions::OfferInterruptedSaves() {
  // Files of folders that take no new files keep their backups in the settings folder.
  Offer(FindInterruptedSaves(platform::BackupFolder(), true));
}

// Each file torn by a killed save: the player restores the text it had before that save,
// or keeps it as it is. The engine restores only a file that holds nothing else.
void FileActions::Offer(const std::vector<InterruptedSave>& saves) {
  for (const InterruptedSave& save : saves) {
    const bool restore = dialogs_.AskYes(
        window_.isVisible() ? &window_ : nullptr, texts_(Text{"Ask.InterruptedSave", {save.file}}),
        texts_.Caption("Ask.Restore"), texts_.Caption("Ask.KeepFile"));
    Reporting(
        [&] {
          if (!restore) {
            KeepAfterInterruptedSave(save);
          } else if (!RestoreInterruptedSave(save)) {
            emit Status(Text{"Status.ChangedSinceInterruptedSave", {save.file}});
          }
        },
        save.file);
  }
}

// The dialog opens where the game is (the stored game path, or the first usual game
// folder) until a choice is made. A cancel says nothing; a copy says on the status line
// which files went where.
void FileActions::InstallSupportFiles() {
  Reporting([this] {
    const std::string& dataRoot = session_.DataRoot();
    const install::InstallResult result = install::InstallSupportFiles(dataRoot, [&, this] {
      gameFolderDialog_.ProposeIfNone(PathFromBytes(install::GameDialogStartFolderFor(dataRoot)));
      const std::optional<QString> chosen =
          gameFolderDialog_.Execute(texts_.Caption("Dialog.GameFolder"));
      return chosen ? std::optional(PathToBytes(*chosen)) : std::nullopt;
    });
    if (result.outcome == install::InstallResult::Outcome::kCancelled) return;
    emit Status(result.Status());
    if (result.error) std::rethrow_exception(result.error);
  });
}

QString FileActions::Title(const QString& ownTitle) const {
  const QString name = session_.FilePath().empty()
                           ? texts_.Caption("Main.Untitled")
                           : QFileInfo(PathFromBytes(session_.FilePath())).fileName();
  if (name.isEmpty()) return ownTitle;
  return name + (session_.Modified() ? "*" : "") + " - " + ownTitle;
}

}  // namespace tavrilo::ui
