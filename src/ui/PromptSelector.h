// SPDX-License-Identifier: GPL-3.0-or-later
// A field that shows its prompt selects it whole when it takes the focus, so that what
// the player types replaces the prompt; a prompt left in place stays the field's text.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;

namespace tavrilo::ui {

class PromptSelector : public QObject {
  Q_OBJECT
 public:
  // `promptOf`: the prompt a field shows in the window's language.
  using PromptOf = std::function<QString(const QLineEdit& field)>;
  PromptSelector(PromptOf promptOf, QObject* parent);

  void Watch(QLineEdit* field);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  PromptOf promptOf_;
};

}  // namespace tavrilo::ui
