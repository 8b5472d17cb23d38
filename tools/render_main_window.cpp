// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the main window in French and in English, as a player sees it with a few
// macros in the list, to PNG files.
//   QT_QPA_PLATFORM=offscreen render_main_window <data dir> <french.png> <english.png>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include "ScriptedDialogs.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/TextCodec.h"

namespace {

tavrilo::testing::ScriptedDialogs& Dialogs() {
  static tavrilo::testing::ScriptedDialogs dialogs;
  return dialogs;
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool Render(const QString& dataDir, const QByteArray& settings, const QString& output) {
  QTemporaryDir appDir;
  QDir().mkpath(appDir.filePath("data"));
  for (const QString& name : QDir(dataDir).entryList(QDir::Files)) {
    QFile::copy(QDir(dataDir).filePath(name), appDir.filePath("data/" + name));
  }
  // The support files beside the data, as the program finds them.
  const QDir support(QDir(dataDir).filePath("../Q2Dats"));
  QDir().mkpath(appDir.filePath("Q2Dats"));
  for (const QString& name : support.entryList(QDir::Files)) {
    QFile::copy(support.filePath(name), appDir.filePath("Q2Dats/" + name));
  }
  WriteBytes(appDir.filePath("data/config.ini"), settings);
  const QString sample = appDir.filePath("sample.cfg");
  WriteBytes(sample,
             "exec Alias.cfg\r\nbind \"q\" \"zoom\"\r\nbind \"MOUSE2\" \"+QuickGrenades\"\r\n"
             "bind \"F1\" \"say_team Besoin d'aide !\"\r\nbind \"F2\" \"say GG $name\"\r\n"
             "bind \"ESC\" \"Free-Look\"\r\n");

  tavrilo::ui::MainWindow form(tavrilo::ui::PathToBytes(appDir.path() + "/"), Dialogs());
  form.show();
  Dialogs().QueueFileName(sample);
  form.findChild<QPushButton*>("LoadBtn")->click();
  QApplication::processEvents();
  // The line the game would not run, selected: the status line says why, and the
  // problems panel shows its findings first.
  auto* list = form.findChild<QListView*>("CommandesListBox");
  const QModelIndex last = list->model()->index(list->model()->rowCount() - 1, 0);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(last).center());
  QApplication::processEvents();
  for (const auto& error : Dialogs().TakeErrors()) {
    std::fprintf(stderr, "%s\n", qPrintable(error.text));
  }
  return form.grab().save(output, "PNG");
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <data dir> <french.png> <english.png>\n", argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  application.setStyle("Fusion");
  const QString dataDir = QString::fromLocal8Bit(argv[1]);
  const bool ok =
      Render(dataDir, "[General]\r\nfr=1\r\nen=0\r\n", QString::fromLocal8Bit(argv[2])) &&
      Render(dataDir, "[General]\r\nfr=0\r\nen=1\r\n", QString::fromLocal8Bit(argv[3]));
  if (!ok) std::fprintf(stderr, "cannot render the window\n");
  return ok ? 0 : 1;
}
