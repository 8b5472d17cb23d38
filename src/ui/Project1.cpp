// Start-up: initialise the application, create the main window and then the about box,
// run the event loop; closing the main window ends the program.
#include <QApplication>

#include "core/Paths.h"
#include "ui/ShortDateFormat.h"
#include "ui/TextCodec.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  application.setStyle("Fusion");
  const QString shortDateFormat = tavrilo::ui::UserShortDateFormat();

  tavrilo::ui::TMainForm mainForm(tavrilo::ApplicationDirectory());
  mainForm.show();
  tavrilo::ui::TAboutBox aboutBox(&mainForm,
                                  tavrilo::ui::PathToBytes(QCoreApplication::applicationFilePath()),
                                  shortDateFormat);
  mainForm.SetAboutBox(&aboutBox);
  return application.exec();
}
