// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls with their English texts and nothing behind them: no
// session, no support files, no check, no settings. bench_startup compares the program's
// first frame with this window's, which is what drawing the window costs Qt, and this
// window's with the bare one's.
#include <QApplication>
#include <QWidget>

#include "core/Locations.h"
#include "datafiles/Language.h"
#include "ui/LanguageView.h"
#include "ui/WindowControls.h"
#include "ui/WindowTexts.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  application.setStyle("Fusion");
  tavrilo::datafiles::LanguageState language(tavrilo::DataRoot());
  language.ReadButtonCaptions();
  language.Select(tavrilo::datafiles::Language::kEnglish);
  language.LoadDefinableFunctions();
  const tavrilo::ui::WindowTexts texts(language);
  QWidget window(nullptr, Qt::Window);
  tavrilo::ui::WindowControls controls(&window);
  tavrilo::ui::LanguageView view(window, controls, language, texts);
  view.ShowLanguageButtons();
  view.ShowAll();
  view.ShowDefinableFunctions();
  controls.ShowResources(true);
  window.show();
  controls.FitScreen(true);
  return application.exec();
}
