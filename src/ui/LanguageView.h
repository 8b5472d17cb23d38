// SPDX-License-Identifier: GPL-3.0-or-later
// The window's texts in the language in use: the controls' captions and prompts, their
// tool-tips, the names in the drop-down fields and the resources' list, and Qt's own
// texts (file dialogs, the buttons of its boxes, the fields' context menus). It only
// copies the engine's language state into the controls; the controls' handlers do not run.
#pragma once

#include <QString>

#include <string>

#include "datafiles/Language.h"
#include "ui/WindowTexts.h"

class QLineEdit;
class QTranslator;
class QWidget;

namespace tavrilo::ui {

class WindowControls;

class LanguageView {
 public:
  LanguageView(QWidget& window, WindowControls& controls, const datafiles::LanguageState& language,
               const WindowTexts& texts)
      : window_(window), controls_(controls), language_(language), texts_(texts) {}

  // Each language button speaks its own language, whichever is chosen.
  void ShowLanguageButtons();
  // The buttons' choice, the captions, the tool-tips, the lists and Qt's own texts.
  void ShowAll();
  void ShowToolTips();
  void ShowResources();
  void ShowDefinableFunctions();
  // The prompt `field` shows in the language in use (empty: it has none).
  QString PromptOf(const QLineEdit& field) const;

 private:
  void ShowCaptions();
  void ShowFunctionNames();
  void FollowInQtTexts();

  QWidget& window_;
  WindowControls& controls_;
  const datafiles::LanguageState& language_;
  const WindowTexts& texts_;
  QTranslator* qtTranslator_ = nullptr;
};

}  // namespace tavrilo::ui
