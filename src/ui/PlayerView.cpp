// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PlayerView.h"

#include <QFileSystemWatcher>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>

#include <vector>

#include "ui/FindingsView.h"
#include "ui/KeyboardView.h"
#include "ui/LinesEditor.h"
#include "ui/TextCodec.h"
#include "ui/WindowControls.h"

namespace tavrilo::ui {

PlayerView::PlayerView(WindowControls& controls, macros::EditorSession& session,
                       FindingsView& findings, LinesEditor& lines, const WindowTexts& texts)
    : QObject(controls.window),
      controls_(controls),
      session_(session),
      findings_(findings),
      lines_(lines),
      texts_(texts),
      keyboard_(new KeyboardView(texts, game::Layout::kQwerty, controls.keyboardGroup)),
      watcher_(new QFileSystemWatcher(this)) {
  keyboard_->setObjectName("KeyboardView");
  controls_.keyboardGroup->layout()->addWidget(keyboard_);
  keyboard_->SetKeySource([this](game::Layout layout) { return session_.Keys(layout); });
  connect(keyboard_, &KeyboardView::KeyChosen, this, [this](const QString& name, int line) {
    emit KeyChosen(name);
    if (line >= 0) {
      session_.Select(line);
      lines_.ShowSelection();
      findings_.ShowStatus();
    }
  });
  connect(controls_.keyboardButton, &QPushButton::clicked, this, &PlayerView::ToggleKeyboard);
  connect(new QShortcut(Qt::Key_F9, controls_.window), &QShortcut::activated, this,
          &PlayerView::ToggleKeyboard);

  connect(new QShortcut(QKeySequence::Find, controls_.window), &QShortcut::activated, this, [this] {
    controls_.ShowFilter(true);
    controls_.filterEdit->setFocus();
    controls_.filterEdit->selectAll();
  });
  connect(controls_.filterEdit, &QLineEdit::textChanged, this, &PlayerView::ApplyFilter);
  controls_.filterEdit->installEventFilter(this);
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, &PlayerView::ReadPlayerGame);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &PlayerView::ReadPlayerGame);
}

void PlayerView::ReadPlayerGame() {
  session_.ReadPlayerGame();
  ShowPlayerGame();
}

void PlayerView::ShowPlayerGame() {
  Watch();
  const std::vector<install::UnreadFile>& unread = session_.PlayerConfiguration().unread;
  if (!unread.empty())
    emit Status(
        Text{"Player.NotRead", {unread.front().path, ToAnsi(texts_(unread.front().reason))}});
}

// The folders looked in and the files read: a file changed, added or removed there is
// read again.
void PlayerView::Watch() {
  const QStringList watched = watcher_->files() + watcher_->directories();
  if (!watched.isEmpty()) watcher_->removePaths(watched);
  QStringList paths;
  for (const std::string& folder : session_.PlayerConfiguration().folders)
    paths << PathFromBytes(folder);
  for (const install::StartupFile& file : session_.PlayerConfiguration().files)
    paths << PathFromBytes(file.path);
  for (const std::string& file : session_.PlayerConfiguration().executed)
    paths << PathFromBytes(file);
  paths.removeDuplicates();
  for (const QString& path : paths)
    watcher_->addPath(path);  // one missing: not watched
}

void PlayerView::ShowList() {
  if (keyboard_->isVisible()) keyboard_->Refresh();
  if (filtering_ || !controls_.filterEdit->text().isEmpty()) ApplyFilter();
}

void PlayerView::ShowCaptions() {
  keyboard_->ShowCaptions();
  controls_.keyboardGroup->setTitle(texts_.Caption("Keyboard.Title"));
  controls_.keyboardButton->setText(texts_.Caption("Main.KeyboardButton"));
  controls_.keyboardButton->setToolTip(PlainToolTip(texts_.Caption("Main.TipKeyboard")));
  controls_.filterEdit->setPlaceholderText(texts_.Caption("Main.FilterPrompt"));
  controls_.filterEdit->setToolTip(PlainToolTip(texts_.Caption("Main.FilterPrompt")));
}

void PlayerView::ToggleKeyboard() {
  const bool shown = controls_.keyboardGroup->isHidden();
  controls_.ShowKeyboard(shown);
  if (!shown) return;
  keyboard_->Refresh();
  keyboard_->setFocus();
}

// The lines the search keeps stay in the list (the others are hidden, the numbers of all
// unchanged) and the problems panel shows their findings alone.
void PlayerView::ApplyFilter() {
  const std::string needle = ToAnsi(controls_.filterEdit->text());
  findings_.KeepLines(needle);
  QListView* view = controls_.linesView;
  const int count = session_.List().Count();
  if (needle.empty()) {
    if (filtering_) {
      for (int row = 0; row < count; ++row)
        view->setRowHidden(row, false);
    }
    filtering_ = false;
    return;
  }
  std::vector<bool> kept(static_cast<std::size_t>(count), false);
  for (int line : session_.FilterLines(needle))
    kept[static_cast<std::size_t>(line)] = true;
  for (int row = 0; row < count; ++row)
    view->setRowHidden(row, !kept[static_cast<std::size_t>(row)]);
  filtering_ = true;
}

// Escape in the filter clears it and gives the list back its room.
bool PlayerView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched == controls_.filterEdit &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    controls_.filterEdit->clear();
    controls_.ShowFilter(false);
    controls_.linesView->setFocus();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tavrilo::ui
