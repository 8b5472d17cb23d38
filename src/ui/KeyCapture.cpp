// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/KeyCapture.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <optional>

namespace tavrilo::ui {

namespace {

// The character the key types with the modifiers held (Shift+a: "A"); for a key whose
// text is a control character (Ctrl held), the character of the key itself in lower
// case; 0 for a key that types none (Qt's own key codes, dead keys included, start at
// Qt::Key_Escape).
char32_t TypedCharacter(const QKeyEvent& event) {
  const QList<uint> text = event.text().toUcs4();
  if (text.size() == 1 && text[0] >= 0x20 && text[0] != 0x7F) return text[0];
  const int key = event.key();
  // A dead key types nothing by itself: it is the accent printed on it (the AZERTY key
  // right of P is ^, and with Shift the diaeresis).
  switch (key) {
    case Qt::Key_Dead_Circumflex:
      return U'^';
    case Qt::Key_Dead_Diaeresis:
      return U'\u00A8';
    case Qt::Key_Dead_Grave:
      return U'`';
    case Qt::Key_Dead_Acute:
      return U'\u00B4';
    case Qt::Key_Dead_Tilde:
      return U'~';
    default:
      break;
  }
  if (key <= 0 || key >= Qt::Key_Escape) return 0;
  return QChar::toLower(static_cast<char32_t>(key));
}

constexpr Qt::KeyboardModifiers kModifiers = Qt::ShiftModifier | Qt::ControlModifier |
                                             Qt::AltModifier | Qt::MetaModifier |
                                             Qt::GroupSwitchModifier;
// Shift and AltGr change the character a key types; the others do not.
constexpr Qt::KeyboardModifiers kCharacterModifiers = Qt::ShiftModifier | Qt::GroupSwitchModifier;

std::optional<game::MouseButton> ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return game::MouseButton::kLeft;
    case Qt::RightButton:
      return game::MouseButton::kRight;
    case Qt::MiddleButton:
      return game::MouseButton::kMiddle;
    case Qt::BackButton:
      return game::MouseButton::kBack;
    case Qt::ForwardButton:
      return game::MouseButton::kForward;
    default:
      return std::nullopt;
  }
}

}  // namespace

KeyCapture::KeyCapture(QObject* parent) : QObject(parent), codes_(PlatformScanCodes()) {}

KeyCapture::~KeyCapture() {
  SetState(State::kIdle);
}

game::ScanCodes KeyCapture::PlatformScanCodes() {
#ifdef Q_OS_WIN
  return game::ScanCodes::kWindows;
#else
  return game::ScanCodes::kXkb;
#endif
}

void KeyCapture::Start(QWidget* captureZone, game::Game game, QWidget* trigger) {
  zone_ = captureZone;
  trigger_ = trigger;
  game_ = game;
  heldModifier_ = 0;
  SetState(State::kCapturing);
}

void KeyCapture::Cancel() {
  if (!IsCapturing()) return;
  SetState(State::kIdle);
  emit Cancelled();
}

void KeyCapture::SetState(State state) {
  // While it waits, the keys reach the capture as they are: no input method composes a
  // dead key with the next one.
  if (!zone_.isNull() && (state == State::kCapturing) != (state_ == State::kCapturing)) {
    for (QWidget* widget : zone_->findChildren<QWidget*>())
      widget->setAttribute(Qt::WA_InputMethodEnabled, state != State::kCapturing);
    if (state == State::kCapturing && QGuiApplication::inputMethod() != nullptr)
      QGuiApplication::inputMethod()->reset();
  }
  QCoreApplication* application = QCoreApplication::instance();
  if (application != nullptr && state_ == State::kIdle && state != State::kIdle)
    application->installEventFilter(this);
  if (application != nullptr && state_ != State::kIdle && state == State::kIdle)
    application->removeEventFilter(this);
  state_ = state;
}

void KeyCapture::Finish(const game::KeyChoice& key, State next, bool modifiersDropped) {
  SetState(next);
  if (key.Bindable()) {
    emit Captured(QString::fromLatin1(key.name.data(), static_cast<qsizetype>(key.name.size())),
                  modifiersDropped);
  } else {
    emit Refused(*key.refusal);
  }
}

bool KeyCapture::eventFilter(QObject* watched, QEvent* event) {
  // Mouse and wheel events reach the window first and then the widget under the
  // pointer: only the widget's copy counts.
  auto* widget = qobject_cast<QWidget*>(watched);
  if (state_ == State::kAfterButton) {
    switch (event->type()) {
      case QEvent::MouseButtonRelease:
      case QEvent::ContextMenu:
        return widget != nullptr;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
        SetState(State::kIdle);
        return false;
      default:
        return false;
    }
  }
  if (state_ != State::kCapturing) return false;
  if (zone_.isNull()) {
    Cancel();
    return false;
  }
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Claimed, so that an accelerator's key arrives as a plain key press.
      event->accept();
      return true;
    case QEvent::KeyPress:
      return OnKeyPress(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
      return OnKeyRelease(static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      return widget != nullptr && OnMousePress(widget, static_cast<QMouseEvent*>(event));
    case QEvent::Wheel:
      return widget != nullptr && OnWheel(static_cast<QWheelEvent*>(event));
    case QEvent::WindowDeactivate:
      if (watched == zone_->window()) Cancel();
      return false;
    case QEvent::ApplicationDeactivate:
      Cancel();
      return false;
    default:
      return false;
  }
}

bool KeyCapture::OnKeyPress(QKeyEvent* event) {
  if (event->isAutoRepeat()) return true;  // a key held since before the capture
  if (event->key() == Qt::Key_Escape) {
    Cancel();
    return true;
  }
  const std::uint32_t scanCode = event->nativeScanCode();
  if (scanCode != 0 && game::IsModifierKey(codes_, scanCode)) {
    heldModifier_ = scanCode;  // the key only if it is released before another goes down
    return true;
  }
  heldModifier_ = 0;
  const Qt::KeyboardModifiers held = event->modifiers() & kModifiers;
  game::KeyPress press;
  press.nativeScanCode = scanCode;
  press.typed = TypedCharacter(*event);
  press.modifiers = held != Qt::NoModifier;
  press.characterModifiers = press.modifiers && (held & ~kCharacterModifiers) == Qt::NoModifier;
  const game::PressedKey pressed = game::KeyOfPress(game_, codes_, press);
  Finish(pressed.key, State::kIdle, pressed.modifiersDropped);
  return true;
}

bool KeyCapture::OnKeyRelease(QKeyEvent* event) {
  if (event->isAutoRepeat() || heldModifier_ == 0 || event->nativeScanCode() != heldModifier_)
    return true;
  game::KeyPress alone;
  alone.nativeScanCode = heldModifier_;
  heldModifier_ = 0;
  Finish(game::KeyOfPress(game_, codes_, alone).key);
  return true;
}

bool KeyCapture::OnMousePress(QWidget* receiver, QMouseEvent* event) {
  auto within = [receiver](const QWidget* area) {
    return area != nullptr && (receiver == area || area->isAncestorOf(receiver));
  };
  if (within(trigger_)) {
    Cancel();
    SetState(State::kAfterButton);
    return true;
  }
  if (!within(zone_)) {
    Cancel();
    return false;  // the click goes on to what it was meant for
  }
  const std::optional<game::MouseButton> button = ButtonOf(event->button());
  Finish(game::KeyOfMouseButton(game_, button.value_or(game::MouseButton::kOther)),
         State::kAfterButton);
  return true;
}

bool KeyCapture::OnWheel(QWheelEvent* event) {
  const QPoint notch = event->angleDelta();
  if (notch.isNull()) return true;
  const game::WheelTurn turn = notch.y() > 0   ? game::WheelTurn::kUp
                               : notch.y() < 0 ? game::WheelTurn::kDown
                                               : game::WheelTurn::kSideways;
  // A turn the game has no name for leaves the capture waiting.
  if (const std::optional<std::string> name = game::KeyOfWheel(game_, turn))
    Finish(game::KeyChoice::Named(*name));
  return true;
}

}  // namespace tavrilo::ui
