// How long the main window takes to show a configuration file of a million lines, and
// how it behaves afterwards (scrolling to the end, selecting, appending one line).
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "ui/Dialogs.h"
#include "ui/Unit1.h"

namespace {

constexpr int kLines = 1'000'000;

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

double Ms(const QElapsedTimer& timer) {
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  tavrilo::ui::DialogSeam::EnableTestMode();

  const std::string appDir =
      (std::filesystem::temp_directory_path() / "tavrilo-bench-ui/").string();
  std::filesystem::remove_all(appDir);
  std::filesystem::create_directories(appDir + "data");
  Write(appDir + "data/dics-en.ini", "[General]\r\nMainGroup.Caption=General\r\n");
  Write(appDir + "data/fcts-en.dat", "Zoom\r\nZoom\r\n");
  Write(appDir + "data/externs-en.dat", "Aliases\r\nexec Alias.cfg\r\n");
  Write(appDir + "data/user.dat", "echo\r\n");
  Write(appDir + "data/config.ini", "[General]\r\nfr=0\r\nen=1\r\n");

  const std::string config = appDir + "million.cfg";
  {
    std::ofstream out(config, std::ios::binary);
    for (int i = 0; i < kLines; ++i) {
      out << "bind \"F" << (i % 12 + 1) << "\" \"say line " << i << " of the big file\"\r\n";
    }
  }
  const auto size = std::filesystem::file_size(config);

  tavrilo::ui::TMainForm form(appDir);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  auto* list = form.findChild<QListView*>("CommandesListBox");

  QElapsedTimer timer;
  timer.start();
  tavrilo::ui::DialogSeam::QueueFileName(QString::fromStdString(config));
  form.findChild<QPushButton*>("LoadBtn")->click();
  list->viewport()->repaint();
  QApplication::processEvents();
  const double loadMs = Ms(timer);

  timer.restart();
  list->scrollToBottom();
  list->viewport()->repaint();
  QApplication::processEvents();
  const double scrollMs = Ms(timer);

  timer.restart();
  list->setCurrentIndex(list->model()->index(kLines - 1, 0));
  list->viewport()->repaint();
  QApplication::processEvents();
  const double selectMs = Ms(timer);

  timer.restart();
  form.findChild<QPushButton*>("NewFctBtn")->click();
  list->viewport()->repaint();
  QApplication::processEvents();
  const double appendMs = Ms(timer);

  std::printf("file: %d lines, %.1f MB\n", kLines, static_cast<double>(size) / 1e6);
  std::printf("rows shown: %d\n", list->model()->rowCount());
  std::printf("load until painted: %8.1f ms\n", loadMs);
  std::printf("scroll to the end:  %8.1f ms\n", scrollMs);
  std::printf("select the last:    %8.1f ms\n", selectMs);
  std::printf("append one line:    %8.1f ms\n", appendMs);
  std::filesystem::remove_all(appDir);
  return list->model()->rowCount() == kLines + 1 ? 0 : 1;
}
