// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PromptSelector.h"

#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace tavrilo::ui {

PromptSelector::PromptSelector(PromptOf promptOf, QObject* parent)
    : QObject(parent), promptOf_(std::move(promptOf)) {}

void PromptSelector::Watch(QLineEdit* field) {
  field->installEventFilter(this);
}

bool PromptSelector::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    const QString prompt = field != nullptr ? promptOf_(*field) : QString();
    if (!prompt.isEmpty() && field->text() == prompt) {
      // After the click that gave the focus has placed the cursor.
      QTimer::singleShot(0, field, [field = QPointer<QLineEdit>(field), prompt] {
        if (field && field->text() == prompt) field->selectAll();
      });
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tavrilo::ui
