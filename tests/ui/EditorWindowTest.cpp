// SPDX-License-Identifier: GPL-3.0-or-later
// The window as an editor: its size on any screen, its colours on any palette, its fields,
// its messages, driven as a user drives it with the program's own data files.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "ui/Colours.h"
#include "ui/KeyboardView.h"
#include "ui/MainWindow.h"
#include "ui/TextCodec.h"

using tavrilo::testing::ReadFile;
using tavrilo::testing::TempDir;
using tavrilo::testing::WriteFile;
using tavrilo::ui::MainWindow;

namespace {

tavrilo::testing::ScriptedDialogs& Dialogs() {
  static tavrilo::testing::ScriptedDialogs dialogs;
  return dialogs;
}

template <typename Widget>
Widget* Find(QWidget* form, const char* name) {
  auto* widget = form->findChild<Widget*>(name);
  if (widget == nullptr) qFatal("no widget %s", name);
  return widget;
}

// The program's own data in a folder of its own, in the language `language` ("fr", "en").
class App {
 public:
  explicit App(const std::string& language) {
    tavrilo::testing::InstallShippedData(dir_.Path());
    WriteFile(Path("data/config.ini"),
              language == "fr" ? "[General]\r\nfr=1\r\nen=0\r\n" : "[General]\r\nfr=0\r\nen=1\r\n");
  }
  std::string Path(const std::string& relative) const { return dir_ / relative; }
  std::unique_ptr<MainWindow> Start() const {
    auto form = std::make_unique<MainWindow>(dir_.Path(), Dialogs());
    form->show();
    return form;
  }

 private:
  TempDir dir_;
};

// Types `text` into the focused widget, one key per character.
void Type(QWidget* widget, const QString& text) {
  for (QChar c : text)
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

int Contrast(const QColor& one, const QColor& other) {
  return std::abs(one.lightness() - other.lightness());
}

// Adds each of `lines` with the own-line field, as the player types them.
void AddOwnLines(QWidget* form, const std::vector<std::string>& lines) {
  auto* own = Find<QLineEdit>(form, "UserEdit");
  for (const std::string& line : lines) {
    own->setText(QString::fromStdString(line));
    QTest::keyClick(own, Qt::Key_Return);
  }
}

void ClickLine(QListView* lines, int row) {
  QTest::mouseClick(lines->viewport(), Qt::LeftButton, {},
                    lines->visualRect(lines->model()->index(row, 0)).center());
}

// The editor of a line open in the list, if one is.
QLineEdit* OpenEditor(QListView* lines) {
  const auto editors = lines->viewport()->findChildren<QLineEdit*>();
  for (QLineEdit* editor : editors)
    if (editor->isVisible()) return editor;
  return nullptr;
}

}  // namespace

class EditorWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    QVERIFY2(!Dialogs().AnswersPending(), "a queued dialog answer was not used");
    QVERIFY(Dialogs().TakeErrors().isEmpty());
    Dialogs().TakeQuestions();
    Dialogs().TakeFileDialogs();
  }

  // The window opens at its size with the controls where they are; a larger window gives
  // the room to the list of lines and the problems panel, and keeps the buttons below
  // the list.
  void theListAndTheProblemsPanelTakeTheRoom() {
    App app("en");
    auto form = app.Start();
    auto* lines = Find<QListView>(form.get(), "CommandesListBox");
    auto* problems = Find<QListView>(form.get(), "ProblemsView");
    auto* save = Find<QPushButton>(form.get(), "SauverBtn");
    QCOMPARE(form->size(), QSize(610, 515));
    QCOMPARE(lines->geometry(), QRect(330, 16, 260, 121));
    const QSize problemsBefore = problems->size();
    form->resize(700, 575);  // within the offscreen screen's 800 x 600
    QTRY_COMPARE(lines->width(), 260 + 90);
    QVERIFY2(lines->height() >= 121 + 25, qPrintable(QString::number(lines->height())));
    QVERIFY(problems->height() >= problemsBefore.height() + 25);
    QCOMPARE(problems->width(), problemsBefore.width() + 90);
    QCOMPARE(save->y(), lines->geometry().bottom() + 1 + 3);  // still just below the list
    QVERIFY(!Find<QScrollArea>(form.get(), "ScrolledBands")->verticalScrollBar()->isVisible());
    // Never smaller than its default size where the screen has room.
    form->resize(300, 200);
    QCOMPARE(form->size(), QSize(610, 515));
  }

  // With a display scale of 2 the window is no larger than the screen's available area,
  // and scrolling reaches every control; the status line stays in sight.
  void everyControlCanBeReachedAtScale2() {
    App app("en");
    auto form = app.Start();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    const QRect area = form->screen()->availableGeometry();
    QVERIFY2(area.contains(form->frameGeometry()), qPrintable(QString("%1x%2 on %3x%4")
                                                                  .arg(form->width())
                                                                  .arg(form->height())
                                                                  .arg(area.width())
                                                                  .arg(area.height())));
    auto* scrolled = Find<QScrollArea>(form.get(), "ScrolledBands");
    auto* status = Find<QLabel>(form.get(), "DiagnosticLabel");
    QVERIFY(form->rect().contains(status->geometry()));
    for (const char* name : {"AboutBtn", "RefreshBtn", "ProblemsView"}) {
      auto* control = Find<QWidget>(form.get(), name);
      scrolled->ensureWidgetVisible(control, 0, 0);
      const QRect shown(control->mapTo(scrolled->viewport(), QPoint(0, 0)), control->size());
      QVERIFY2(scrolled->viewport()->rect().intersects(shown), name);
    }
  }

  // The fields' and messages' colours: the window's own on a light palette, readable
  // shades on a dark one, and back.
  void coloursFollowThePalette() {
    App app("en");
    auto form = app.Start();
    auto* function = Find<QComboBox>(form.get(), "FonctionComboBox");
    QCOMPARE(function->palette().color(QPalette::Text), QColor(0, 0, 255));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(25, 25, 25));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    form->setPalette(dark);
    const QPalette shown = function->palette();
    QVERIFY(Contrast(shown.color(QPalette::Text), shown.color(QPalette::Base)) > 100);
    // An error on the status line: a line the game refuses.
    auto* own = Find<QLineEdit>(form.get(), "UserEdit");
    own->setText("bind");
    QTest::keyClick(own, Qt::Key_Return);
    auto* lines = Find<QListView>(form.get(), "CommandesListBox");
    lines->setCurrentIndex(lines->model()->index(0, 0));
    auto* status = Find<QLabel>(form.get(), "DiagnosticLabel");
    QVERIFY(!status->text().isEmpty());
    const QPalette statusShown = status->palette();
    QVERIFY(Contrast(statusShown.color(QPalette::WindowText), dark.color(QPalette::Window)) > 100);
    form->setPalette(QPalette());
    QCOMPARE(function->palette().color(QPalette::Text), QColor(0, 0, 255));
  }

  // Typing into a field that shows its prompt replaces the prompt; a prompt left in place
  // is still the field's text.
  void typingReplacesAPrompt() {
    App app("fr");
    auto form = app.Start();
    auto* chat = Find<QLineEdit>(form.get(), "SayEdit");
    const QString prompt = chat->text();
    QVERIFY(!prompt.isEmpty());
    QTest::mouseClick(chat, Qt::LeftButton, {}, QPoint(20, chat->height() / 2));
    QTRY_COMPARE(chat->selectedText(), prompt);
    Type(chat, "gg");
    QCOMPARE(chat->text(), QString("gg"));
    auto* own = Find<QLineEdit>(form.get(), "UserEdit");
    own->setFocus();
    QTRY_COMPARE(own->selectedText(), own->text());
    chat->setText("gg wp");
    chat->setFocus();
    QTest::qWait(10);
    QCOMPARE(chat->selectedText(), QString());  // not a prompt: the text stays as it is
  }

  // A finding longer than the panel is wide wraps between words over as many lines as
  // it needs.
  void longFindingsWrapBetweenWords() {
    App app("en");
    auto form = app.Start();
    auto* own = Find<QLineEdit>(form.get(), "UserEdit");
    own->setText("bind");
    QTest::keyClick(own, Qt::Key_Return);
    auto* problems = Find<QListView>(form.get(), "ProblemsView");
    QVERIFY(problems->model()->rowCount() >= 1);
    const QModelIndex first = problems->model()->index(0, 0);
    const QString text = first.data().toString();
    const QFontMetrics metrics(problems->font());
    problems->resize(400, problems->height());  // as in a narrower panel
    QTRY_COMPARE(problems->viewport()->width(), 400 - 2 * problems->frameWidth() -
                                                    problems->verticalScrollBar()->width() *
                                                        problems->verticalScrollBar()->isVisible());
    const int width = problems->viewport()->width();
    const int needed = metrics.horizontalAdvance(text) / width + 1;
    QVERIFY2(needed >= 2, qPrintable(QString::number(metrics.horizontalAdvance(text))));
    QTRY_VERIFY2(problems->visualRect(first).height() / metrics.lineSpacing() >= needed,
                 qPrintable(QString::number(problems->visualRect(first).height())));
  }

  // The title names the list's file and marks unsaved changes; Ctrl+S saves to the
  // list's own file, Ctrl+Shift+S asks for a name and asks before replacing another file;
  // Ctrl+N starts anew; Ctrl+O loads; each shortcut is in its button's tool-tip.
  void shortcutsTitleAndTheReplaceQuestion() {
    App app("en");
    WriteFile(app.Path("mine.cfg"), "echo mine\r\n");
    WriteFile(app.Path("other.cfg"), "echo other\r\n");
    auto form = app.Start();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));  // shortcuts work in the active window
    QVERIFY(form->windowTitle().startsWith("New list - Tavrilo"));
    QVERIFY(Find<QPushButton>(form.get(), "LoadBtn")->toolTip().contains("Ctrl+O"));
    QVERIFY(Find<QPushButton>(form.get(), "SauverBtn")->toolTip().contains("Ctrl+Shift+S"));
    QVERIFY(Find<QPushButton>(form.get(), "DeleteAllBtn")->toolTip().contains("Ctrl+N"));
    Dialogs().QueueFileName(QString::fromStdString(app.Path("mine.cfg")));
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(form->windowTitle().startsWith("mine.cfg - Tavrilo"));
    auto* own = Find<QLineEdit>(form.get(), "UserEdit");
    own->setText("echo more");
    QTest::keyClick(own, Qt::Key_Return);
    QVERIFY(form->windowTitle().startsWith("mine.cfg* - Tavrilo"));
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);  // no dialog, no question
    QVERIFY(ReadFile(app.Path("mine.cfg")).ends_with("echo mine\r\necho more\r\n"));
    QVERIFY(form->windowTitle().startsWith("mine.cfg - Tavrilo"));
    // Another existing file: asked first; no keeps it as it was.
    Dialogs().QueueFileName(QString::fromStdString(app.Path("other.cfg")));
    Dialogs().QueueReplaceAnswer(false);
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(ReadFile(app.Path("other.cfg")), std::string("echo other\r\n"));
    const auto questions = Dialogs().TakeQuestions();
    QCOMPARE(questions.size(), 1);
    QVERIFY2(questions[0].text.startsWith("other.cfg already exists"),
             qPrintable(questions[0].text));
    Dialogs().QueueFileName(QString::fromStdString(app.Path("other.cfg")));
    Dialogs().QueueReplaceAnswer(true);
    QTest::mouseClick(Find<QPushButton>(form.get(), "SauverBtn"), Qt::LeftButton);
    QVERIFY(ReadFile(app.Path("other.cfg")).ends_with("echo more\r\n"));
    QVERIFY(form->windowTitle().startsWith("other.cfg - Tavrilo"));
    QTest::keyClick(form.get(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(Find<QListView>(form.get(), "CommandesListBox")->model()->rowCount(), 0);
    QVERIFY(form->windowTitle().startsWith("New list - Tavrilo"));
  }

  // A line is edited in place: F2, Enter or a double-click opens it; the text is judged
  // like the player's own line (a refusal says why and keeps the line); Escape cancels.
  void aLineIsEditedInPlace() {
    App app("en");
    auto form = app.Start();
    auto* lines = Find<QListView>(form.get(), "CommandesListBox");
    AddOwnLines(form.get(), {"echo one", "echo two"});
    ClickLine(lines, 0);
    for (Qt::Key key : {Qt::Key_F2, Qt::Key_Return}) {
      QTest::keyClick(lines, key);
      QLineEdit* editor = OpenEditor(lines);
      QVERIFY(editor != nullptr);
      QCOMPARE(editor->text(), QString("echo one"));
      QTest::keyClick(editor, Qt::Key_Escape);
      QTRY_VERIFY(OpenEditor(lines) == nullptr);
    }
    QCOMPARE(form->Document().List().At(0), std::string_view("echo one"));
    ClickLine(lines, 1);
    QTest::mouseDClick(lines->viewport(), Qt::LeftButton, {},
                       lines->visualRect(lines->model()->index(1, 0)).center());
    QLineEdit* editor = OpenEditor(lines);
    QVERIFY(editor != nullptr);
    editor->setText("echo " + QString(2000, 'x'));  // longer than the game's line
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(OpenEditor(lines) == nullptr);
    QCOMPARE(form->Document().List().At(1), std::string_view("echo two"));  // refused
    QVERIFY(Find<QLabel>(form.get(), "DiagnosticLabel")->text().contains("2,006"));
    QTest::keyClick(lines, Qt::Key_F2);
    editor = OpenEditor(lines);
    editor->setText("echo deux");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(OpenEditor(lines) == nullptr);
    QCOMPARE(form->Document().List().At(1), std::string_view("echo deux"));
    QCOMPARE(form->Document().List().ItemIndex(), 1);
    QVERIFY(form->windowTitle().startsWith("New list* - Tavrilo"));
  }

  // Alt+Up and Alt+Down move the selected line, a drag within the list too; Ctrl+Z and
  // Ctrl+Shift+Z (or Ctrl+Y) undo and redo every change, a deleted line coming back at its
  // place, selected; the fields keep their texts.
  void linesMoveAndChangesAreUndone() {
    App app("en");
    auto form = app.Start();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));  // shortcuts work in the active window
    auto* lines = Find<QListView>(form.get(), "CommandesListBox");
    AddOwnLines(form.get(), {"echo a", "echo b", "echo c"});
    const auto items = [&] { return form->Document().List().Items(); };
    using Items = std::vector<std::string>;
    ClickLine(lines, 0);
    QTest::keyClick(lines, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(items(), (Items{"echo b", "echo a", "echo c"}));
    QCOMPARE(lines->currentIndex().row(), 1);
    QTest::keyClick(lines, Qt::Key_Up, Qt::AltModifier);
    QTest::keyClick(lines, Qt::Key_Up, Qt::AltModifier);  // already first: nothing
    QCOMPARE(items(), (Items{"echo a", "echo b", "echo c"}));
    // A drag carries the row it started from; the drop names the row it goes before.
    QAbstractItemModel* model = lines->model();
    std::unique_ptr<QMimeData> dragged(model->mimeData({model->index(2, 0)}));
    QVERIFY(model->dropMimeData(dragged.get(), Qt::MoveAction, 0, 0, {}));
    QCOMPARE(items(), (Items{"echo c", "echo a", "echo b"}));

    ClickLine(lines, 1);
    QTest::keyClick(lines, Qt::Key_Delete);
    QCOMPARE(items(), (Items{"echo c", "echo b"}));
    auto* own = Find<QLineEdit>(form.get(), "UserEdit");
    own->setFocus();
    QTest::keyClick(own, Qt::Key_Z, Qt::ControlModifier);  // the field has nothing to undo
    QCOMPARE(items(), (Items{"echo c", "echo a", "echo b"}));
    QCOMPARE(lines->currentIndex().row(), 1);
    QVERIFY(lines->selectionModel()->isRowSelected(1, {}));
    QCOMPARE(own->text(), QString("echo c"));                     // the field as it was
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);  // the drag
    QCOMPARE(items(), (Items{"echo a", "echo b", "echo c"}));
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(items(), (Items{"echo c", "echo a", "echo b"}));
    QTest::keyClick(form.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(items(), (Items{"echo c", "echo b"}));
    // A field with typing of its own undoes that first.
    own->setFocus();
    own->selectAll();
    QTest::keyClicks(own, "x");
    QTest::keyClick(own, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(own->text(), QString("echo c"));
    QCOMPARE(items(), (Items{"echo c", "echo b"}));
  }

  // The first Load and Save of a run open in the game's baseq2 when the game folder is
  // known; the load button's menu lists the recent files, newest first.
  void dialogsStartInTheGameAndRecentFilesAreListed() {
    App app("en");
    std::filesystem::create_directories(app.Path("game/baseq2"));
    WriteFile(app.Path("data/config.ini"),
              "[General]\r\nfr=0\r\nen=1\r\nQ2Path=" + app.Path("game/") + "\r\n");
    WriteFile(app.Path("one.cfg"), "echo one\r\n");
    WriteFile(app.Path("two.cfg"), "echo two\r\n");
    auto form = app.Start();
    Dialogs().QueueCancel();
    QTest::mouseClick(Find<QPushButton>(form.get(), "LoadBtn"), Qt::LeftButton);
    const auto opened = Dialogs().TakeFileDialogs();
    QCOMPARE(opened.size(), 1);
    QVERIFY2(opened[0].text.endsWith("/game/baseq2/"), qPrintable(opened[0].text));
    form->LoadFile(app.Path("one.cfg"));
    form->LoadFile(app.Path("two.cfg"));
    auto* load = Find<QPushButton>(form.get(), "LoadBtn");
    QStringList shown;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      QAction* last = nullptr;
      for (QAction* action : menu->actions()) {
        shown << action->text();
        last = action;
      }
      menu->close();
      last->trigger();
    });
    emit load->customContextMenuRequested(QPoint(5, 5));
    QCOMPARE(shown, (QStringList{"Recent files", QString::fromStdString(app.Path("two.cfg")),
                                 QString::fromStdString(app.Path("one.cfg"))}));
    QCOMPARE(form->Document().List().At(0), std::string_view("echo one"));
  }

  // With the game folder known, the list is checked on the player's own files; the
  // keyboard band (F9) shows what each key does and a click on a key chooses it and the
  // line that binds it; Ctrl+F keeps the lines and the findings a search finds, Escape
  // gives every line back.
  void thePlayersGameTheKeyboardAndTheFilter() {
    App app("en");
    std::filesystem::create_directories(app.Path("game/baseq2"));
    WriteFile(app.Path("game/baseq2/config.cfg"), "bind F1 \"echo mine\"\n");
    WriteFile(app.Path("data/config.ini"),
              "[General]\r\nfr=0\r\nen=1\r\nQ2Path=" + app.Path("game/") + "\r\n");
    auto form = app.Start();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    AddOwnLines(form.get(), {"bind F1 \"say hi\"", "echo other", "bind F2 \"say gg\""});
    QCOMPARE(form->Document().Findings().FindingsOf(0).size(), std::size_t{1});
    QCOMPARE(form->Document().Findings().FindingsOf(0)[0].code,
             tavrilo::game::Code::kReplacesOwnBinding);

    const int height = form->height();
    QTest::keyClick(form.get(), Qt::Key_F9);
    auto* keyboard = Find<tavrilo::ui::KeyboardView>(form.get(), "KeyboardView");
    QVERIFY(keyboard->isVisible());
    QVERIFY(form->height() > height);
    const auto& keys = keyboard->Keys();
    const auto f1 =
        std::find_if(keys.begin(), keys.end(), [](const auto& key) { return key.name == "F1"; });
    QVERIFY(f1 != keys.end());
    QCOMPARE(f1->status, tavrilo::game::KeyStatus::kReplaces);
    QTest::mouseClick(keyboard, Qt::LeftButton, {},
                      keyboard->KeyRect(static_cast<std::size_t>(f1 - keys.begin())).center());
    QCOMPARE(Find<QComboBox>(form.get(), "LetterComboBox")->currentText(), QString("F1"));
    QCOMPARE(form->Document().List().ItemIndex(), 0);

    auto* lines = Find<QListView>(form.get(), "CommandesListBox");
    QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
    auto* filter = Find<QLineEdit>(form.get(), "FilterEdit");
    QVERIFY(filter->isVisible());
    QTest::keyClicks(filter, "SAY");
    QVERIFY(!lines->isRowHidden(0) && lines->isRowHidden(1) && !lines->isRowHidden(2));
    QCOMPARE(Find<QListView>(form.get(), "ProblemsView")->model()->rowCount(),
             static_cast<int>(form->Document().Findings().FindingsOf(0).size() +
                              form->Document().Findings().FindingsOf(2).size()));
    QTest::keyClick(filter, Qt::Key_Escape);
    QVERIFY(!filter->isVisible());
    QVERIFY(!lines->isRowHidden(1));
  }

  // A file that holds more after a byte 0x1A: the status line and the problems panel say
  // after which line the list stops, until the list is saved whole.
  void moreAfterAnEndMarkIsTold() {
    App app("en");
    WriteFile(app.Path("cut.cfg"), std::string("echo one\r\necho two\r\n\x1a\r\necho three\r\n"));
    auto form = app.Start();
    form->LoadFile(app.Path("cut.cfg"));
    QCOMPARE(form->Document().List().Count(), 2);
    QVERIFY(Find<QLabel>(form.get(), "DiagnosticLabel")->text().contains("cut.cfg"));
    QAbstractItemModel* problems = Find<QListView>(form.get(), "ProblemsView")->model();
    QVERIFY(problems->index(0, 0).data().toString().contains("cut.cfg"));
    QVERIFY(problems->index(0, 0).data().toString().contains("2"));
  }

  // A configuration file dropped on the window is loaded, after the question about a
  // changed list.
  void aDroppedFileIsLoaded() {
    App app("en");
    WriteFile(app.Path("dropped.cfg"), "echo dropped\r\n");
    auto form = app.Start();
    auto* own = Find<QLineEdit>(form.get(), "UserEdit");
    own->setText("echo unsaved");
    QTest::keyClick(own, Qt::Key_Return);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(app.Path("dropped.cfg")))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    QVERIFY(enter.isAccepted());
    Dialogs().QueueUnsavedAnswer(tavrilo::ui::UnsavedAnswer::kDiscard);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    QCOMPARE(Dialogs().TakeQuestions().size(), 1);
    auto* lines = Find<QListView>(form.get(), "CommandesListBox");
    QCOMPARE(lines->model()->rowCount(), 1);
    QCOMPARE(lines->model()->index(0, 0).data().toString(), QString("echo dropped"));
    QVERIFY(form->windowTitle().startsWith("dropped.cfg - Tavrilo"));
  }

  // File errors in the window's language, naming the file; the game-folder dialog's title
  // from the caption files.
  void fileErrorsSpeakTheWindowsLanguage() {
    App app("fr");
    auto form = app.Start();
    form->LoadFile(app.Path("absent.cfg"));
    const auto errors = Dialogs().TakeErrors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].text.startsWith(QString::fromStdString(app.Path("absent.cfg")) + " : "),
             qPrintable(errors[0].text));
    QVERIFY2(!errors[0].text.contains("File not found"), qPrintable(errors[0].text));
    Dialogs().QueueCancel();
    QTest::mouseClick(Find<QPushButton>(form.get(), "InstallerCfgBtn"), Qt::LeftButton);
    const auto dialogs = Dialogs().TakeFileDialogs();
    QCOMPARE(dialogs.size(), 1);
    QVERIFY2(dialogs[0].caption.startsWith("Le dossier de Quake 2"),
             qPrintable(dialogs[0].caption));
  }
};

QTEST_MAIN(EditorWindowTest)
#include "EditorWindowTest.moc"
