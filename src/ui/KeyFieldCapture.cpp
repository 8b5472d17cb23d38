// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/KeyFieldCapture.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>

#include "ui/Colours.h"
#include "ui/KeyCapture.h"
#include "ui/TextCodec.h"
#include "ui/WindowControls.h"

namespace tavrilo::ui {

KeyFieldCapture::KeyFieldCapture(WindowControls& controls, const WindowTexts& texts,
                                 std::function<game::Game()> game, QObject* parent)
    : QObject(parent),
      controls_(controls),
      texts_(texts),
      game_(std::move(game)),
      capture_(new KeyCapture(this)) {
  connect(controls_.captureAction, &QAction::triggered, this, &KeyFieldCapture::Start);
  connect(capture_, &KeyCapture::Captured, this, [this](const QString& key, bool dropped) {
    emit Captured(key);
    End(key, dropped ? std::optional<Text>(Text{"Status.ModifiersDropped", {ToAnsi(key)}})
                     : std::nullopt);
  });
  connect(capture_, &KeyCapture::Refused, this,
          [this](const Text& reason) { End(std::nullopt, reason); });
  connect(capture_, &KeyCapture::Cancelled, this, [this] { End(std::nullopt, std::nullopt); });
}

void KeyFieldCapture::Cancel() {
  capture_->Cancel();
}

// The next key, button or wheel notch becomes the key; the field shows that it waits.
void KeyFieldCapture::Start() {
  if (capture_->IsCapturing()) return;  // the control's own click ends the capture
  QComboBox* field = controls_.keyField;
  const QObjectList triggers = controls_.captureAction->associatedObjects();
  capture_->Start(field, game_(),
                  triggers.isEmpty() ? nullptr : qobject_cast<QWidget*>(triggers.constLast()));
  textBefore_ = field->currentText();
  const QString waiting = texts_.Caption("Main.CaptureWaiting");
  field->setEditText(waiting.isEmpty() ? QStringLiteral("\u2026") : waiting);
  field->lineEdit()->setCursorPosition(0);  // its beginning, if it is long
  Paint(field, QPalette::Base, Colour::kWaitingForKey);
  field->setProperty("waitingForKey", true);
  emit Status(Text{"Key.CapturePrompt", {}});
}

void KeyFieldCapture::End(std::optional<QString> key, std::optional<Text> message) {
  QComboBox* field = controls_.keyField;
  field->setPalette(QPalette());
  Paint(field, QPalette::Text, Colour::kFieldText);
  field->setProperty("waitingForKey", false);
  field->setEditText(key.value_or(textBefore_));
  emit Status(message);
}

}  // namespace tavrilo::ui
