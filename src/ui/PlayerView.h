// SPDX-License-Identifier: GPL-3.0-or-later
// What every key does, as the window shows it: the keyboard band (its button and F9), the
// filter of the list (Ctrl+F; Escape clears it) and the player's own game, read again
// when the chosen game, the game folder or one of the player's files changes. It only
// shows what the editor session answers.
#pragma once

#include <QObject>
#include <QString>

#include <optional>

#include "core/Text.h"
#include "macros/EditorSession.h"
#include "ui/WindowTexts.h"

class QFileSystemWatcher;

namespace tavrilo::ui {

class FindingsView;
class KeyboardView;
class LinesEditor;
class WindowControls;

class PlayerView : public QObject {
  Q_OBJECT
 public:
  PlayerView(WindowControls& controls, macros::EditorSession& session, FindingsView& findings,
             LinesEditor& lines, const WindowTexts& texts);

  // Reads the player's game again (the session checks the list on it), then shows it.
  void ReadPlayerGame();
  // Watches the player's files as the session last read them, and names on the status line
  // one it could not read.
  void ShowPlayerGame();
  // After a change of the list: the keyboard and the filter show it.
  void ShowList();
  // After a change of the window's language.
  void ShowCaptions();
  KeyboardView& Keyboard() { return *keyboard_; }

 signals:
  // A key chosen on the keyboard, as the game names it.
  void KeyChosen(const QString& gameKeyName);
  void Status(const std::optional<tavrilo::Text>& message);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ToggleKeyboard();
  void ApplyFilter();
  void Watch();

  WindowControls& controls_;
  macros::EditorSession& session_;
  FindingsView& findings_;
  LinesEditor& lines_;
  const WindowTexts& texts_;
  KeyboardView* keyboard_;
  QFileSystemWatcher* watcher_;
  bool filtering_ = false;  // some lines of the list are hidden
};

}  // namespace tavrilo::ui
