// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the main window in French and in English, as a player sees it with a few
// macros in the list, to PNG files: at its default size in a light palette, and enlarged
// in a dark palette with the keyboard shown and the player's own configuration read.
//   QT_QPA_PLATFORM=offscreen render_main_window <data dir> <docs dir>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QPalette>
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

// A dark palette, as a dark desktop theme gives.
QPalette DarkPalette() {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(37, 37, 38));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Base, QColor(24, 24, 24));
  dark.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  dark.setColor(QPalette::Button, QColor(50, 50, 52));
  dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
  dark.setColor(QPalette::Highlight, QColor(38, 79, 120));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  dark.setColor(QPalette::ToolTipBase, QColor(50, 50, 52));
  dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
  return dark;
}

bool Render(const QString& dataDir, QByteArray settings, const QString& output, bool enlarged) {
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
  if (enlarged) {
    // The player's own configuration, as the game wrote it.
    QDir().mkpath(appDir.filePath("game/baseq2"));
    WriteBytes(appDir.filePath("game/baseq2/config.cfg"),
               "bind w \"+forward\"\nbind s \"+back\"\nbind a \"+moveleft\"\n"
               "bind d \"+moveright\"\nbind SPACE \"+moveup\"\nbind MOUSE1 \"+attack\"\n"
               "bind F1 \"cmd help\"\nbind F6 \"echo Quick Saving...; wait; save quick\"\n"
               "bind q \"weapnext\"\n");
    settings += "Q2Path=" + appDir.filePath("game/").toUtf8() + "\r\n";
  }
  WriteBytes(appDir.filePath("data/config.ini"), settings);
  const QString sample = appDir.filePath("sample.cfg");
  WriteBytes(sample,
             "exec Alias.cfg\r\nbind \"q\" \"zoom\"\r\nbind \"MOUSE2\" \"+QuickGrenades\"\r\n"
             "bind \"F1\" \"say_team Besoin d'aide !\"\r\nbind \"F2\" \"say GG $name\"\r\n"
             "bind \"ESC\" \"Free-Look\"\r\n");

  tavrilo::ui::MainWindow form(tavrilo::ui::PathToBytes(appDir.path() + "/"), Dialogs());
  form.show();
  if (enlarged) {
    form.resize(900, 940);
    form.findChild<QPushButton*>("KeyboardBtn")->click();
  }
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
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <data dir> <docs dir>\n", argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  application.setStyle("Fusion");
  const QString dataDir = QString::fromLocal8Bit(argv[1]);
  const QDir docs(QString::fromLocal8Bit(argv[2]));
  const QByteArray french = "[General]\r\nfr=1\r\nen=0\r\n";
  const QByteArray english = "[General]\r\nfr=0\r\nen=1\r\n";
  bool ok = Render(dataDir, french, docs.filePath("screenshot-fr.png"), false) &&
            Render(dataDir, english, docs.filePath("screenshot-en.png"), false);
  QApplication::setPalette(DarkPalette());
  ok = ok && Render(dataDir, french, docs.filePath("screenshot-fr-dark.png"), true) &&
       Render(dataDir, english, docs.filePath("screenshot-en-dark.png"), true);
  if (!ok) std::fprintf(stderr, "cannot render the window\n");
  return ok ? 0 : 1;
}
