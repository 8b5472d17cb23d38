// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the about box, as the program shows it, to a PNG file.
//   QT_QPA_PLATFORM=offscreen render_about_box <output.png>
#include <QApplication>
#include <QPixmap>

#include <cstdio>

#include "ui/AboutBox.h"
#include "ui/ShortDateFormat.h"
#include "ui/TextCodec.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  application.setStyle("Fusion");
  tavrilo::ui::AboutBox aboutBox(nullptr,
                                 tavrilo::ui::PathToBytes(QCoreApplication::applicationFilePath()),
                                 tavrilo::ui::UserShortDateFormat());
  aboutBox.show();
  QApplication::processEvents();
  if (!aboutBox.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
