// SPDX-License-Identifier: GPL-3.0-or-later
// What the window says of the list: the status line (the message of the last action, or
// what the game does with the selected line), the size the saved file will have against
// what the game's exec takes, and the problems panel with the counts of its findings.
#pragma once

#include <QObject>

#include <optional>
#include <string>

#include "core/Text.h"
#include "macros/EditorSession.h"
#include "ui/WindowTexts.h"

class QModelIndex;

namespace tavrilo::ui {

class ProblemsModel;
class WindowControls;

class FindingsView : public QObject {
  Q_OBJECT
 public:
  FindingsView(WindowControls& controls, const macros::EditorSession& session,
               const WindowTexts& texts, QObject* parent);

  // The status line says `message` until the next action, or the selected line's findings.
  void ShowStatus(const std::optional<tavrilo::Text>& message = std::nullopt);
  // Every text again (the findings or the language changed), and the colours of the
  // palette in use.
  void ShowAll();
  // The panel shows the findings of the lines a search for `needle` keeps (every finding
  // for an empty one), from now on.
  void KeepLines(std::string needle);

 signals:
  // A click or Enter on a finding in the panel: its line.
  void LineChosen(int line);

 private:
  void ShowStatusLine();
  void ShowSelectedFirst();

  WindowControls& controls_;
  const macros::EditorSession& session_;
  const WindowTexts& texts_;
  ProblemsModel* model_;
  std::optional<Text> message_;
  std::string needle_;
};

}  // namespace tavrilo::ui
