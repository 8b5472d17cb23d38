// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls and where they stand. The window is a column of bands, top
// to bottom: the language row, the editor group (fields, list of lines, buttons), the
// external resources (shown or hidden), the problems panel; the bands sit in a scrolled
// area so that a screen smaller than the window still reaches every control, and the
// status line stays below it. At the window's default size each control stands where it
// always stood; a larger window gives the extra room to the list of lines and the
// problems panel. A new band is one more widget in `bands`.
#pragma once

#include <QKeyCombination>
#include <QObject>
#include <QSize>

#include <utility>
#include <vector>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QVBoxLayout;
class QWidget;

namespace tavrilo::ui {

class WindowControls : public QObject {
  Q_OBJECT
 public:
  // Creates every control inside `window`, which it lays out from now on.
  explicit WindowControls(QWidget* window);

  // The window's size with every band at its least: the size it opens at.
  QSize DefaultSize() const;
  // Shows or hides the external resources; the window grows or shrinks by their height
  // and keeps any room the player gave it.
  void ShowResources(bool shown);
  // Shows or hides the keyboard band, the same way.
  void ShowKeyboard(bool shown);
  // Shows or hides the filter field above the list (the list gives it its room).
  void ShowFilter(bool shown);
  // Keeps the window within the available area of its screen; `opening`: at its default
  // size (or the largest the screen takes) and at the screen's centre.
  void FitScreen(bool opening);

  QWidget* window;
  QScrollArea* scrolled = nullptr;
  QVBoxLayout* bands = nullptr;

  QFrame* languageFrame = nullptr;
  QRadioButton* frenchButton = nullptr;
  QRadioButton* englishButton = nullptr;
  QComboBox* gameField = nullptr;

  QGroupBox* mainGroup = nullptr;
  QComboBox* keyField = nullptr;
  QAction* captureAction = nullptr;  // in the key field: choose the key by pressing it
  QComboBox* functionField = nullptr;
  QLineEdit* chatEdit = nullptr;
  QPushButton* addBindingButton = nullptr;
  QComboBox* definableField = nullptr;
  QPushButton* addDefinableButton = nullptr;
  QLineEdit* argumentsEdit = nullptr;
  QPushButton* addWithResourceButton = nullptr;
  QLineEdit* ownLineEdit = nullptr;
  QPushButton* addOwnLineButton = nullptr;
  QListView* linesView = nullptr;
  // The list's menu (and keys): edit, move and delete the selected line, undo and redo.
  QAction* editLineAction = nullptr;
  QAction* moveUpAction = nullptr;
  QAction* moveDownAction = nullptr;
  QAction* deleteLineAction = nullptr;
  QAction* undoAction = nullptr;  // and redo: anywhere in the window
  QAction* redoAction = nullptr;
  // The keys of the list's actions while the list has the focus (keypad keys as the others).
  std::vector<std::pair<QKeyCombination, QAction*>> listKeys;
  QPushButton* loadButton = nullptr;
  QPushButton* saveButton = nullptr;
  QPushButton* newListButton = nullptr;
  QPushButton* deleteButton = nullptr;
  QPushButton* installButton = nullptr;
  QPushButton* resourcesButton = nullptr;
  QPushButton* aboutButton = nullptr;

  QGroupBox* resourcesGroup = nullptr;
  QListWidget* resourcesList = nullptr;
  QPushButton* addResourceButton = nullptr;
  QPushButton* refreshButton = nullptr;

  QGroupBox* problemsGroup = nullptr;  // the counts of the findings, the size of the
  QLabel* problemsSummary = nullptr;   // saved file, and every finding
  QLabel* budgetLabel = nullptr;
  QListView* problemsView = nullptr;
  QPushButton* keyboardButton = nullptr;  // shows or hides the keyboard band
  QGroupBox* keyboardGroup = nullptr;
  QLineEdit* filterEdit = nullptr;  // above the list, while the player searches it
  QLabel* statusLine = nullptr;     // a message of the last action, or what the game does
                                    // with the selected line

  static constexpr int kProblemsHeight = 140;
  static constexpr int kStatusLineHeight = 20;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LayOutMainGroup();
  void LayOutResources();
  void LayOutProblems();
  void ShowBand(QWidget* band, int bandHeight, bool shown);
};

// The window's fonts: its own texts at 10 pixels, the other controls at 11.
QFont OwnTextFont();

}  // namespace tavrilo::ui
