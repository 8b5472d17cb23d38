// SPDX-License-Identifier: GPL-3.0-or-later
// The about box: the program's name, version and executable date, the author's notice
// and addresses, and the links to the mail program, the web page and the bug reports.
#pragma once

#include <QDialog>
#include <QSize>
#include <QString>

#include <string>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace tavrilo::ui {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  // Builds the dialog, hidden, and runs its creation step: the texts, and the date of
  // `executablePath` formatted with `shortDateFormat` (a Qt date format string).
  AboutBox(QWidget* parent, std::string executablePath, QString shortDateFormat);

  static constexpr QSize kClientSize{395, 201};

  // The links; each hands one address to the desktop.
  void WriteMail();
  void OpenWebPage();
  void OpenBugReports();

  // Opening places the dialog at the centre of the screen, the focus on OKButton.
  void setVisible(bool visible) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void LoadStartingState();
  void CentreOnScreen();

  std::string executablePath_;
  QString shortDateFormat_;

  QGroupBox* infoGroup_ = nullptr;
  QFrame* bevel_ = nullptr;
  QLabel* picture_ = nullptr;
  QLabel* nameLabel_ = nullptr;
  QLabel* versionLabel_ = nullptr;
  QLabel* dateLabel_ = nullptr;
  QLabel* authorLabel_ = nullptr;
  QLabel* mailLabel_ = nullptr;
  QLabel* webPageLabel_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QToolButton* bugReportButton_ = nullptr;

  // A left press on MailDisp waiting for its release (a click).
  bool mailPressed_ = false;
};

}  // namespace tavrilo::ui
