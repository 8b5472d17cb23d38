// Start-up: initialise the application, create the main window and then the about box,
// run the event loop; closing the main window ends the program. The command line
// (--check, --help, --version) runs before any of it, without a window or a display.
#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "core/Locations.h"
#include "ui/ShortDateFormat.h"
#include "ui/TextCodec.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

int main(int argc, char* argv[]) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (tavrilo::cli::WantsCommandLine(args)) {
    return tavrilo::cli::RunCommandLine(args, tavrilo::DataRoot(), std::cout, std::cerr);
  }
  QApplication application(argc, argv);
  application.setStyle("Fusion");
  const QString shortDateFormat = tavrilo::ui::UserShortDateFormat();

  tavrilo::ui::TMainForm mainForm(tavrilo::DataRoot());
  mainForm.show();
  tavrilo::ui::TAboutBox aboutBox(&mainForm,
                                  tavrilo::ui::PathToBytes(QCoreApplication::applicationFilePath()),
                                  shortDateFormat);
  mainForm.SetAboutBox(&aboutBox);
  return application.exec();
}
