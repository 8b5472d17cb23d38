// SPDX-License-Identifier: GPL-3.0-or-later
// The key field's control that takes the next key pressed: while it waits the field says
// so in its own colour; then it shows the game's name of the key captured, or its text
// from before.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

#include "core/Text.h"
#include "game/Game.h"
#include "ui/WindowTexts.h"

namespace tavrilo::ui {

class KeyCapture;
class WindowControls;

class KeyFieldCapture : public QObject {
  Q_OBJECT
 public:
  // `game`: the game chosen when a capture starts.
  KeyFieldCapture(WindowControls& controls, const WindowTexts& texts,
                  std::function<game::Game()> game, QObject* parent);
  void Cancel();

 signals:
  // The key captured, as the game names it.
  void Captured(const QString& key);
  // What the status line says as the capture starts or ends.
  void Status(const std::optional<tavrilo::Text>& message);

 private:
  void Start();
  void End(std::optional<QString> key, std::optional<Text> message);

  WindowControls& controls_;
  const WindowTexts& texts_;
  std::function<game::Game()> game_;
  KeyCapture* capture_;
  QString textBefore_;  // the key field's text while a capture waits
};

}  // namespace tavrilo::ui
