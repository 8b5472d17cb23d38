// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard view: the keys of the chosen game drawn as a keyboard (AZERTY or QWERTY,
// the function keys, the arrows, the keypad) and a mouse (its buttons and wheel), each
// showing what it does by a colour of the window's colour table and by a mark or a pattern
// that tell the same without the colour; a key whose line of the list has an error carries
// the list's error mark. Its tool-tip gives the game's name for the key, what it does now
// in the player's game and what it will do once the list has run. A click on a key, or
// Enter on the key reached with the arrow keys, chooses it. The view only draws: what
// each key does comes from the engine (game::LayOutKeys).
//
// How the window feeds it:
// - SetKeySource once, with a function that gives the keys for a layout; with the engine's
//   macros::PlayerGame (which reads the player's start-up files and checks the list on
//   them): [&](game::Layout layout) { return player.Keys(layout); }. Without it:
//   game::LayOutKeys(game, layout, before, after, findings), `before` the state the
//   player's files leave (game::ConsoleSession::Current()), `after` and `findings` that
//   session's CheckList of the list.
// - Refresh() after each change of the list, of the chosen game, of the game folder or of
//   one of the player's start-up files (once PlayerGame has read and checked again). The
//   view calls the source again itself when the player chooses another layout.
// - ShowCaptions() after a change of the window's language.
// - KeyChosen(name, listLine): the key for the key field; listLine >= 0 is the line of the
//   list that binds the key (from 0), to select.
#pragma once

#include <QComboBox>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <vector>

#include "game/KeyboardState.h"
#include "ui/WindowTexts.h"

namespace tavrilo::ui {

class KeyboardView : public QWidget {
  Q_OBJECT
 public:
  using KeySource = std::function<std::vector<game::KeyCap>(game::Layout)>;

  // `layout`: the layout first drawn (AZERTY for a window in French, QWERTY otherwise).
  KeyboardView(const WindowTexts& texts, game::Layout layout, QWidget* parent = nullptr);

  // Where the keys come from; the view draws them at once.
  void SetKeySource(KeySource source);
  // Asks the source again for the keys of the chosen layout.
  void Refresh();

  game::Layout ChosenLayout() const;
  // Chooses the layout drawn, as the player does from the view's list of layouts.
  void SetLayout(game::Layout layout);
  // The captions, again in the window's language.
  void ShowCaptions();

  const std::vector<game::KeyCap>& Keys() const { return keys_; }
  // The key that has the keyboard's attention (an index of Keys()), -1 when none.
  int CurrentKey() const { return current_; }
  // Where a key is drawn, in the view.
  QRect KeyRect(std::size_t index) const;
  // The tool-tip of a key.
  QString ToolTipOf(std::size_t index) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // A key was chosen: the game's name for it, and the line of the list that binds it
  // (from 0; -1 when the list does not bind it). A key the game never receives is never
  // chosen.
  void KeyChosen(const QString& gameKeyName, int listLine);
  // The layout drawn changed.
  void LayoutChosen(game::Layout layout);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // The size of a quarter of a key, in pixels, and the view's extent in quarters.
  double Quarter() const;
  QSize Extent() const;
  QRectF KeyArea(const game::KeyCap& key) const;
  int KeyAt(const QPoint& point) const;
  void Choose(int index);
  void PlaceLayoutBox();

  WindowTexts texts_;
  QComboBox* layoutBox_;
  KeySource source_;
  std::vector<game::KeyCap> keys_;
  int current_ = -1;
};

}  // namespace tavrilo::ui
