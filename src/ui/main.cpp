// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: initialise the application, create the main window and then the about box,
// run the event loop; closing the main window ends the program. The arguments are read
// first, without a window or a display: the command line (--check, --help, --version) and
// a wrong one answer at once; the window gets Qt's own options (-platform, -style...) and
// opens the file named, if any.
#include <QApplication>
#include <QIcon>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Branding.h"
#include "cli/CommandLine.h"
#include "core/Locations.h"
#include "core/Platform.h"
#include "ui/AboutBox.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/ShortDateFormat.h"
#include "ui/TextCodec.h"

int main(int argc, char* argv[]) {
  tavrilo::platform::ReleaseLargeBlocksAtOnce();
  const tavrilo::cli::ParsedArguments arguments =
      tavrilo::cli::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (const std::optional<int> status = tavrilo::cli::RunUnlessWindow(
          arguments, tavrilo::cli::Context{tavrilo::DataRoot(), std::cin, std::cout, std::cerr}))
    return *status;
  // Qt sees the program's name and its own options only. The name is the command's,
  // whatever the window's executable is called: X11 takes the window's instance name from
  // it, which the menu entry's StartupWMClass gives.
  std::vector<std::string> qtArguments = {"tavrilo"};
  qtArguments.insert(qtArguments.end(), arguments.options.windowArguments.begin(),
                     arguments.options.windowArguments.end());
  std::vector<char*> qtArgv;
  for (std::string& argument : qtArguments)
    qtArgv.push_back(argument.data());
  qtArgv.push_back(nullptr);
  int qtArgc = static_cast<int>(qtArguments.size());
  QApplication application(qtArgc, qtArgv.data());
  if (!tavrilo::cli::ChoosesStyle(arguments.options)) application.setStyle("Fusion");
  // The desktop ties the window to its menu entry and icon by the application id, and
  // under X11 by its class, the program's name as the entry's StartupWMClass gives it:
  // both the same at every release.
  QGuiApplication::setDesktopFileName(tavrilo::ui::FromAnsi(tavrilo::kApplicationId));
  QCoreApplication::setApplicationName(QStringLiteral("tavrilo"));
  // The program's own icon, from its resources: looking it up in the desktop's icon themes
  // would scan them all before the first frame.
  QIcon icon;
  for (const char* size : {"16", "32", "48", "256"})
    icon.addFile(QStringLiteral(":/tavrilo/icons/%1.png").arg(QLatin1String(size)));
  QApplication::setWindowIcon(icon);
  const QString shortDateFormat = tavrilo::ui::UserShortDateFormat();

  // What a killed write left in the settings folders is undone before they are read.
  tavrilo::CleanSettingsFolder();
  tavrilo::ui::DesktopDialogs dialogs;
  tavrilo::ui::MainWindow mainForm(tavrilo::DataRoot(), dialogs);
  mainForm.show();
  tavrilo::ui::AboutBox aboutBox(&mainForm,
                                 tavrilo::ui::PathToBytes(QCoreApplication::applicationFilePath()),
                                 shortDateFormat);
  mainForm.SetAboutBox(&aboutBox);
  if (!arguments.options.files.empty()) mainForm.LoadFile(arguments.options.files.front());
  return application.exec();
}
