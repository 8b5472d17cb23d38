// SPDX-License-Identifier: GPL-3.0-or-later
// The window's actions on files: the list's Save, Load, recent files, New and drop, the
// question before a changed list is dropped, the saves a kill interrupted, and the
// installation of the support files. Each asks through the dialogs it is given and says
// on the status line what the player should know.
#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "core/SafeFile.h"
#include "core/Text.h"
#include "macros/EditorSession.h"
#include "ui/Dialogs.h"
#include "ui/WindowTexts.h"

class QMimeData;
class QPoint;
class QWidget;

namespace tavrilo::ui {

class WindowControls;

class FileActions : public QObject {
  Q_OBJECT
 public:
  FileActions(QWidget& window, macros::EditorSession& session, Dialogs& dialogs,
              const WindowTexts& texts);

  // The buttons of the list's files (the load button's right click: the recent files),
  // and their shortcuts wherever the focus is in the window.
  void Wire(const WindowControls& controls);

  // Save asks for a name (`toOwnFile`, Ctrl+S: not when the list has its file), and before
  // replacing a file that is not the list's own.
  void Save(bool toOwnFile);
  // Asks for a file (once the list may be dropped) and loads it.
  void Load();
  // Loads `path` in place of the list (after the question about an interrupted save of it).
  void LoadFile(const std::string& path);
  // The recent files in a menu at `where` (global); the one chosen is loaded.
  void ShowRecentFiles(const QPoint& where);
  void New();
  // Whether the list may be dropped: it has not changed since it was last saved or loaded,
  // or the player saved it or chose to discard it.
  bool MayDropList();
  // Whether `data` is one configuration file; it is loaded as Load does.
  static bool IsDroppable(const QMimeData& data);
  void Drop(const QMimeData& data);
  // The backups of saves that a kill interrupted in the settings folder (start-up).
  void OfferInterruptedSaves();
  // The dialog asks for the game only when a support file is missing.
  void InstallSupportFiles();

  // The list's file name, and a mark while it has unsaved changes, before `ownTitle`.
  QString Title(const QString& ownTitle) const;

 signals:
  // A message for the status line.
  void Status(const std::optional<tavrilo::Text>& message);
  // The list's file or its state against it may have changed.
  void FileChanged();

 private:
  void Offer(const std::vector<InterruptedSave>& saves);
  template <typename Action>
  bool Reporting(Action&& action, const std::string& path = {});

  QWidget& window_;
  macros::EditorSession& session_;
  Dialogs& dialogs_;
  const WindowTexts& texts_;
  FileDialog saveDialog_;
  FileDialog openDialog_;
  FileDialog gameFolderDialog_;
};

}  // namespace tavrilo::ui
