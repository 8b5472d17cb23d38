// Start-up: initialise the application, create the main window, run the event loop.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QWidget window;
  window.show();
  return application.exec();
}
