// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing a key by pressing it. While it captures, the next key press anywhere in the
// application, a mouse button pressed inside the capture zone, or a notch of the wheel
// gives the chosen game's name for it. A modifier (Shift, Ctrl, Alt, AltGr) is the key
// when it is pressed and released alone; held while another key goes down, that other key
// is the one chosen. No key press reaches a widget while the capture runs. Escape, a click outside
// the zone, or the window losing the focus cancels. The controller knows nothing of the window: the
// window puts its control in capture mode and takes the result from the signals.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "core/Text.h"
#include "game/Game.h"
#include "game/Keyboard.h"

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class QWidget;

namespace tavrilo::ui {

class KeyCapture : public QObject {
  Q_OBJECT

 public:
  explicit KeyCapture(QObject* parent = nullptr);
  ~KeyCapture() override;

  // The scan codes the platform reports in QKeyEvent::nativeScanCode(): Windows scan codes
  // on Windows, X11 and Wayland key codes elsewhere. Set at construction.
  static game::ScanCodes PlatformScanCodes();
  void SetScanCodes(game::ScanCodes codes) { codes_ = codes; }

  // Captures the next key, button or wheel notch for `game`; mouse buttons count inside
  // `captureZone` and its children. A click on `trigger` (the control that started the
  // capture) cancels it and goes no further, so that the control works as a toggle. A
  // capture already running starts over.
  void Start(QWidget* captureZone, game::Game game, QWidget* trigger = nullptr);
  // Ends a running capture and emits Cancelled; nothing when none runs.
  void Cancel();
  bool IsCapturing() const { return state_ == State::kCapturing; }

 signals:
  // The game's name for what was pressed; `modifiersDropped`: modifiers were held and are
  // not part of the key (the game has no key combinations). The capture has ended.
  void Captured(const QString& keyName, bool modifiersDropped);
  // The game cannot bind what was pressed: nothing was chosen. The capture has ended.
  void Refused(const tavrilo::Text& reason);
  // Escape, a click outside the zone, the focus lost, or Cancel(). The capture has ended.
  void Cancelled();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class State {
    kIdle,
    kCapturing,
    kAfterButton,  // a button pressed in the zone: its release and context menu go nowhere
  };

  bool OnKeyPress(QKeyEvent* event);
  bool OnKeyRelease(QKeyEvent* event);
  bool OnMousePress(QWidget* receiver, QMouseEvent* event);
  bool OnWheel(QWheelEvent* event);
  void Finish(const game::KeyChoice& key, State next = State::kIdle, bool modifiersDropped = false);
  void SetState(State state);

  State state_ = State::kIdle;
  QPointer<QWidget> zone_;
  QPointer<QWidget> trigger_;
  game::Game game_ = game::Game::kQuake2;
  game::ScanCodes codes_;
  std::uint32_t heldModifier_ = 0;  // the modifier pressed last, while no other key went down
};

}  // namespace tavrilo::ui
