// SPDX-License-Identifier: GPL-3.0-or-later
// The least a Qt window with as much on it as the program's opens with: twenty buttons in a
// grid, in the program's style. bench_startup compares the program's first frame with
// this window's.
#include <QApplication>
#include <QGridLayout>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  application.setStyle("Fusion");
  QWidget window;
  auto* grid = new QGridLayout(&window);
  for (int i = 0; i < 20; ++i)
    grid->addWidget(new QPushButton(QString("Button %1").arg(i + 1)), i / 4, i % 4);
  window.show();
  return application.exec();
}
