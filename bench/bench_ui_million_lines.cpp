// SPDX-License-Identifier: GPL-3.0-or-later
// How long the main window takes to show a configuration file of a million lines (every
// line a binding that a later line overrides, so the problems panel holds about as many
// findings), and each action afterwards: every one should stay under a second.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "ScriptedDialogs.h"
#include "core/Platform.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"

namespace {

tavrilo::testing::ScriptedDialogs& Dialogs() {
  static tavrilo::testing::ScriptedDialogs dialogs;
  return dialogs;
}

constexpr int kLines = 1'000'000;

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

double Ms(const QElapsedTimer& timer) {
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
  tavrilo::platform::ReleaseLargeBlocksAtOnce();  // as the program does at start-up
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);

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

  tavrilo::ui::MainWindow form(appDir, Dialogs());
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  const long baseline = before.ru_maxrss * 1024L;  // the window shown, an empty list
  auto* list = form.findChild<QListView*>("CommandesListBox");

  auto* panel = form.findChild<QListView*>("ProblemsView");
  // Each action as the player does it, timed until the window has painted it again.
  const auto timed = [&](const char* what, auto&& action) {
    QElapsedTimer timer;
    timer.start();
    action();
    list->viewport()->repaint();
    panel->viewport()->repaint();
    QApplication::processEvents();
    std::printf("%-34s %8.1f ms\n", what, Ms(timer));
  };
  const auto click = [&](const char* name) { form.findChild<QPushButton*>(name)->click(); };

  std::printf("file: %d lines, %.1f MB\n", kLines, static_cast<double>(size) / 1e6);
  timed("load until painted", [&] {
    Dialogs().QueueFileName(QString::fromStdString(config));
    click("LoadBtn");
  });
  std::printf("rows shown: %d, findings in the panel: %d\n", list->model()->rowCount(),
              panel->model()->rowCount());
  timed("scroll the list to the end", [&] { list->scrollToBottom(); });
  timed("select the last line",
        [&] { list->setCurrentIndex(list->model()->index(kLines - 1, 0)); });
  timed("scroll the panel to the end", [&] { panel->scrollToBottom(); });
  timed("click the last finding", [&] {
    const QModelIndex last = panel->model()->index(panel->model()->rowCount() - 1, 0);
    emit panel->clicked(last);
  });
  timed("append one line", [&] { click("NewFctBtn"); });
  timed("delete the selected line", [&] {
    list->setCurrentIndex(list->model()->index(kLines / 2, 0));
    click("DeleteBtn");
  });
  timed("choose the other game", [&] {
    auto* game = form.findChild<QComboBox*>("GameComboBox");
    game->setCurrentIndex(1);
    emit game->activated(1);
  });
  timed("hide the external resources", [&] { click("RessourcesExternesBtn"); });
  const int rows = list->model()->rowCount();
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const double peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
  std::printf("peak memory: %.1f MiB, before the load %.1f MiB; above it / file size: %.2f\n",
              peak / 1048576.0, static_cast<double>(baseline) / 1048576.0,
              (peak - static_cast<double>(baseline)) / static_cast<double>(size));
  timed("new list (changes discarded)", [&] {
    Dialogs().QueueUnsavedAnswer(tavrilo::ui::UnsavedAnswer::kDiscard);
    click("DeleteAllBtn");
  });
  std::filesystem::remove_all(appDir);
  return rows == kLines && list->model()->rowCount() == 0 ? 0 : 1;
}
