// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: initialise the application, create and show the main window, run the event
// loop; what its first frame does not show (the icon, the about box) is made once that
// frame is drawn. Closing the main window ends the program. The arguments are read
// first, without a window or a display: the command line (--check, --help, --version) and
// a wrong one answer at once; the window gets Qt's own options (-platform, -style...) and
// opens the file named, if any.
#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Branding.h"
#include "cli/CommandLine.h"
#include "core/Locations.h"
#include "core/Platform.h"
#include "ui/AboutBox.h"
#include "ui/Dialogs.h"
#include "ui/FontConfigurationReader.h"
#include "ui/MainWindow.h"
#include "ui/ShortDateFormat.h"
#include "ui/TextCodec.h"

namespace {

// Runs `work` on the event loop's turn after the one that draws `window`'s first frame: the
// window system's first expose of the window paints it whole before `work` starts.
class AfterFirstFrame : public QObject {
 public:
  AfterFirstFrame(QWindow* window, std::function<void()> work)
      : QObject(window), work_(std::move(work)) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && work_) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, std::exchange(work_, nullptr));
    }
    return false;
  }

 private:
  std::function<void()> work_;
};

// The program's own icon, from its resources: looking it up in the desktop's icon themes
// would scan them all.
QIcon ProgramIcon() {
  QIcon icon;
  for (const char* size : {"16", "32", "48", "256"})
    icon.addFile(QStringLiteral(":/tavrilo/icons/%1.png").arg(QLatin1String(size)));
  return icon;
}

}  // namespace

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

  // The fonts' configuration is read on another thread while the window's session reads
  // its files. Not before Qt has started: Qt sets the process's locale and removes the
  // desktop's start-up id from its environment, which no other thread may read meanwhile.
  tavrilo::ui::FontConfigurationReader fontConfiguration;
  // What a killed write left in the settings folders is undone before they are read.
  tavrilo::CleanSettingsFolder();

  tavrilo::ui::DesktopDialogs dialogs;
  tavrilo::ui::MainWindow mainForm(tavrilo::DataRoot(), dialogs, &fontConfiguration);
  mainForm.show();
  // Decoding the icon's pictures and building the about box would delay the first frame.
  std::optional<tavrilo::ui::AboutBox> aboutBox;
  new AfterFirstFrame(mainForm.windowHandle(), [&mainForm, &aboutBox] {
    QApplication::setWindowIcon(ProgramIcon());
    aboutBox.emplace(&mainForm, tavrilo::ui::PathToBytes(QCoreApplication::applicationFilePath()),
                     tavrilo::ui::UserShortDateFormat());
    mainForm.SetAboutBox(&*aboutBox);
  });
  if (!arguments.options.files.empty()) mainForm.LoadFile(arguments.options.files.front());
  return application.exec();
}
