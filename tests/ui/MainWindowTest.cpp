// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven as a user drives it: picks, typing, clicks, dialogs answered
// in advance through the dialog seam.
#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolButton>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Branding.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "core/Backup.h"
#include "core/Platform.h"
#include "datafiles/IniFile.h"
#include "game/Check.h"
#include "ui/AboutBox.h"
#include "ui/Dialogs.h"
#include "ui/MacroListModel.h"
#include "ui/MainWindow.h"
#include "ui/ProblemsModel.h"
#include "ui/TextCodec.h"
#include "ui/WindowControls.h"
#include "ui/WindowTexts.h"

using tavrilo::testing::ReadFile;
using tavrilo::testing::TempDir;
using tavrilo::testing::WriteFile;
using tavrilo::ui::FromAnsi;
using tavrilo::ui::MainWindow;
using tavrilo::ui::PlainToolTip;

namespace {

tavrilo::testing::ScriptedDialogs& Dialogs() {
  static tavrilo::testing::ScriptedDialogs dialogs;
  return dialogs;
}

const char* kDefaultCommand = "echo Cette touche ne sert pas";

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

// A caption file that gives every control a recognisable text: "<tag> <control>".
std::string CaptionFile(const std::string& tag, const std::string& keyPrompt,
                        const std::string& functionPrompt) {
  std::vector<std::string> lines = {"[General]"};
  for (std::string_view key : tavrilo::datafiles::kCaptionKeys) {
    std::string value = tag + " " + std::string(tavrilo::datafiles::ControlOf(key));
    if (key == "LetterComboBox.Text") value = keyPrompt;
    if (key == "FonctionComboBox.Text") value = functionPrompt;
    lines.push_back(std::string(key) + "=" + value);
  }
  lines.push_back("AboutBox.Caption=" + tag + " about");
  lines.push_back("Main.LanguageButton=Check this box for the language " + tag);
  lines.push_back("Dialog.GameFolder=" + tag + " game folder");
  lines.push_back("Refusal.QuoteInChatText=" + tag + " no quote in a chat text");
  return Lines(lines);
}

// An application directory with small French and English data sets.
class App {
 public:
  App() {
    WriteFile(dir_ / "data/dics-fr.ini",
              CaptionFile("FR", "Choisissez une touche", "Choisissez une fonction"));
    WriteFile(dir_ / "data/dics-en.ini", CaptionFile("EN", "Choose a key", "Choose a function"));
    WriteFile(dir_ / "data/fcts-fr.dat",
              Lines({"Zoom avant", "Zoom", "Tirer", "+attack", "Parler", "say", "Vide", ""}));
    WriteFile(dir_ / "data/fcts-en.dat",
              Lines({"Zoom in", "Zoom", "Fire", "+attack", "Talk", "say", "Empty", ""}));
    WriteFile(dir_ / "data/externs-fr.dat", Lines({"Alias", "exec Alias.cfg", "Enregistrer",
                                                   "record demo1", "Capture", "screenshot"}));
    WriteFile(dir_ / "data/externs-en.dat",
              Lines({"Aliases", "exec Alias.cfg", "Record", "record demo1", "Shot", "screenshot"}));
    WriteFile(dir_ / "data/user.dat", Lines({"echo", "fov", "name"}));
  }

  std::string Path(const std::string& relative) const { return dir_ / relative; }
  const std::string& Dir() const { return dir_.Path(); }
  void Settings(const std::string& text) const { WriteFile(Path("data/config.ini"), text); }

  // The window, shown, with its item models watched for every rule of Qt's model
  // contract as long as it lives.
  std::unique_ptr<MainWindow> Start() const {
    auto form = std::make_unique<MainWindow>(dir_.Path(), Dialogs());
    for (const char* view : {"CommandesListBox", "ProblemsView"}) {
      new QAbstractItemModelTester(form->findChild<QListView*>(view)->model(),
                                   QAbstractItemModelTester::FailureReportingMode::QtTest,
                                   form.get());
    }
    form->show();
    return form;
  }

 private:
  TempDir dir_;
};

template <typename Widget>
Widget* Find(QWidget* form, const char* name) {
  auto* widget = form->findChild<Widget*>(name);
  if (widget == nullptr) qFatal("no widget %s", name);
  return widget;
}

// Picks entry `index` of a drop-down field with the mouse, as a user does.
void Pick(QComboBox* field, int index) {
  field->showPopup();
  QAbstractItemView* view = field->view();
  QVERIFY(QTest::qWaitForWindowExposed(view->window()));
  const QModelIndex item = view->model()->index(index, 0);
  view->scrollTo(item);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
  QTRY_VERIFY(!view->window()->isVisible());
}

// Types `text` from the keyboard, one key per character, into the focused field.
void Type(QLineEdit* edit, const QString& text) {
  for (QChar c : text) {
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

// Replaces what a field shows by typing `text`.
void TypeInto(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  Type(edit, text);
}

QString Text(const std::string& bytes) {
  return FromAnsi(bytes);
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Each test starts as the program does, before the main window names the application.
  void init() { tavrilo::ui::SetApplicationTitle(QString()); }
  void cleanup() {
    QVERIFY2(!Dialogs().AnswersPending(), "a queued dialog answer was not used");
    Dialogs().TakeErrors();
    Dialogs().TakeFileDialogs();
    Dialogs().TakeQuestions();
  }

  void theRoadOfOneBinding() {
    App app;
    app.Settings("[General]\r\nfr=1\r\nen=0\r\n");
    auto form = app.Start();
    auto* key = Find<QComboBox>(form.get(), "LetterComboBox");
    auto* function = Find<QComboBox>(form.get(), "FonctionComboBox");
    Pick(key, 0);  // "a" on a French keyboard is the game's "q"
    QCOMPARE(key->currentText(), QString("a"));
    Pick(function, 0);  // "Zoom avant", whose command is "Zoom"
    QCOMPARE(form->Composer().CurrentKey(), std::string("q"));
    QCOMPARE(form->Composer().CurrentCommand(), std::string("zoom"));
    QCOMPARE(function->toolTip(), PlainToolTip("Zoom avant"));

    QTest::mouseClick(Find<QPushButton>(form.get(), "AddBtn"), Qt::LeftButton);
    auto* list = Find<QListView>(form.get(), "CommandesListBox");
    QCOMPARE(list->model()->rowCount(), 1);
    QCOMPARE(list->model()->index(0, 0).data().toString(), QString(R"(bind "q" "zoom")"));

    const std::string saved = app.Path("out/Macros.cfg");
    std::filesystem::create_directories(app.Path("out"));
    Dialogs().QueueFileName(QString::fromStdString(saved));
    QTest::mouseClick(Find<QPushButton>(form.get(), "SauverBtn"), Qt::LeftButton);
    const std::string bytes = ReadFile(saved);
    QVERIFY(
        bytes.starts_with("// Fichier macro cr\xE9\xE9 gr\xE2"
                          "ce au Tavrilo v1.4b \r\n"));
    QVERIFY(bytes.ends_with("\r\n\r\nbind \"q\" \"zoom\"\r\n"));
    QVERIFY(Dialogs().TakeErrors().isEmpty());
  }

  void startUpChoosesTheLanguageFromTheSettings_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("french");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("storedAfterwards");
    // A window that changed nothing writes nothing when it closes.
    QTest::newRow("no settings file") << QString() << false << true << QString();
    QTest::newRow("french only") << QString("[General]\r\nfr=1\r\nen=0\r\n") << true << false
                                 << QString("[General]\r\nfr=1\r\nen=0\r\n");
    QTest::newRow("both true") << QString("[General]\r\nfr=1\r\nen=1\r\n") << false << true
                               << QString("[General]\r\nfr=1\r\nen=1\r\n");
    QTest::newRow("not a number counts as true")
        << QString("[General]\r\nfr=yes\r\nen=0\r\n") << true << false
        << QString("[General]\r\nfr=yes\r\nen=0\r\n");
  }
  void startUpChoosesTheLanguageFromTheSettings() {
    QFETCH(QString, settings);
    QFETCH(bool, french);
    QFETCH(bool, english);
    QFETCH(QString, storedAfterwards);
    App app;
    if (!settings.isEmpty()) app.Settings(settings.toStdString());
    {
      auto form = app.Start();
      QCOMPARE(Find<QRadioButton>(form.get(), "RBFr")->isChecked(), french);
      QCOMPARE(Find<QRadioButton>(form.get(), "RBEn")->isChecked(), english);
      const QString tag = french ? "FR" : "EN";
      QCOMPARE(Find<QGroupBox>(form.get(), "MainGroup")->title(), tag + " MainGroup");
      QCOMPARE(Find<QPushButton>(form.get(), "SauverBtn")->text(), tag + " SauverBtn");
      QCOMPARE(form->size(), QSize(610, 355 + tavrilo::ui::WindowControls::kProblemsHeight +
                                            tavrilo::ui::WindowControls::kStatusLineHeight));
      QCOMPARE(form->windowTitle(),
               "Tavrilo v1.4b " + QString::fromLatin1(tavrilo::kCopyrightNotice.data(),
                                                      tavrilo::kCopyrightNotice.size()));
      QCOMPARE(tavrilo::ui::ApplicationTitle(), QString("Tavrilo v1.4b "));
    }
    if (storedAfterwards.isEmpty()) {
      QVERIFY(!std::filesystem::exists(app.Path("data/config.ini")));
    } else {
      QCOMPARE(QString::fromStdString(ReadFile(app.Path("data/config.ini"))), storedAfterwards);
    }
    QVERIFY(Dialogs().TakeErrors().isEmpty());
  }

  // No language set (a write killed between the two flags could leave this): the window
  // starts in the default language, with its captions.
  void bothFlagsFalseStartInTheDefaultLanguage() {
    App app;
    app.Settings("[General]\r\nfr=0\r\nen=0\r\n");
    auto form = app.Start();
    QVERIFY(Dialogs().TakeErrors().isEmpty());
    QVERIFY(!Find<QRadioButton>(form.get(), "RBFr")->isChecked());
    QVERIFY(Find<QRadioButton>(form.get(), "RBEn")->isChecked());
    QCOMPARE(Find<QGroupBox>(form.get(), "MainGroup")->title(), QString("EN MainGroup"));
  }

  void aMissingDefinableFunctionListEndsTheCreationStep() {
    App app;
    std::filesystem::remove(app.Path("data/user.dat"));
    auto form = app.Start();
    const auto errors = Dialogs().TakeErrors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].text.startsWith(
                 QString::fromStdString("FileError.NotFound [" + app.Path("data/user.dat") + "]")),
             qPrintable(errors[0].text));
    // The title is not set yet: the error box takes it from the executable's name.
    QCOMPARE(errors[0].caption, QString("ui_mainwindowtest"));
    QCOMPARE(form->size(), QSize(610, 230 + 160));  // the resources panel is not shown yet
    QCOMPARE(form->windowTitle(), QString());
    QCOMPARE(form->ResourcesPanelShown(), 0);
    QVERIFY(form->Document().Buffer().Empty());
    // The languages chosen before the error stay loaded.
    QVERIFY(Find<QRadioButton>(form.get(), "RBEn")->isChecked());
    QCOMPARE(Find<QComboBox>(form.get(), "FonctionComboBox")->count(), 4);
  }

  void switchingLanguagesReplacesTheTextsAndKeepsTheChoices() {
    App app;
    auto form = app.Start();
    auto* key = Find<QComboBox>(form.get(), "LetterComboBox");
    auto* say = Find<QLineEdit>(form.get(), "SayEdit");
    QCOMPARE(key->currentText(), QString("Choose a key"));
    Pick(key, 25);  // "z" is the game's "w"
    Pick(Find<QComboBox>(form.get(), "FonctionComboBox"), 1);
    TypeInto(say, "hello");

    QTest::mouseClick(Find<QRadioButton>(form.get(), "RBFr"), Qt::LeftButton);
    QVERIFY(Find<QRadioButton>(form.get(), "RBFr")->isChecked());
    QVERIFY(!Find<QRadioButton>(form.get(), "RBEn")->isChecked());
    QCOMPARE(key->currentText(), QString("Choisissez une touche"));
    QCOMPARE(say->text(), QString("FR SayEdit"));
    QCOMPARE(form->Composer().CurrentKey(), std::string("w"));
    QCOMPARE(form->Composer().CurrentCommand(), std::string("+attack"));
    auto* functions = Find<QComboBox>(form.get(), "FonctionComboBox");
    QCOMPARE(functions->count(), 4);
    QCOMPARE(functions->itemText(0), QString("Zoom avant"));
    QCOMPARE(Find<QListWidget>(form.get(), "TextList")->item(1)->text(), QString("Enregistrer"));

    // The language in use is not reloaded by a click on its own button.
    WriteFile(app.Path("data/dics-fr.ini"), CaptionFile("CHANGED", "x", "y"));
    QTest::mouseClick(Find<QRadioButton>(form.get(), "RBFr"), Qt::LeftButton);
    QCOMPARE(say->text(), QString("FR SayEdit"));
  }

  void typedFunctionTextGivesTheDefaultCommand() {
    App app;
    auto form = app.Start();
    auto* function = Find<QComboBox>(form.get(), "FonctionComboBox");
    Pick(function, 0);
    QCOMPARE(form->Composer().CurrentCommand(), std::string("zoom"));
    TypeInto(function->lineEdit(), "Fire");  // the exact name of an entry, typed
    QTest::keyClick(function->lineEdit(), Qt::Key_Return);
    Find<QLineEdit>(form.get(), "SayEdit")->setFocus();  // leaving the field
    QCOMPARE(form->Composer().CurrentCommand(), std::string(kDefaultCommand));
    QCOMPARE(function->toolTip(), PlainToolTip("Zoom in"));  // the last pick's name stays
  }

  void typedKeysAreTranslatedAsTheyStand() {
    App app;
    auto form = app.Start();
    auto* key = Find<QComboBox>(form.get(), "LetterComboBox");
    QCOMPARE(form->Composer().CurrentKey(), std::string("a"));
    TypeInto(key->lineEdit(), "a");
    QCOMPARE(form->Composer().CurrentKey(), std::string("q"));
    Type(key->lineEdit(), "b");
    QCOMPARE(form->Composer().CurrentKey(), std::string("ab"));
    TypeInto(key->lineEdit(), "A");
    QCOMPARE(form->Composer().CurrentKey(), std::string("A"));
    TypeInto(key->lineEdit(), QString::fromUtf8("\xC3\xB9"));   // u-grave, as typed
    QCOMPARE(form->Composer().CurrentKey(), std::string("'"));  // the key right of m
  }

  void addBindingWaitsUntilAKeyAndAFunctionAreChosen() {
    App app;
    auto form = app.Start();  // English: the prompts are "Choose a key", "Choose a function"
    auto* add = Find<QPushButton>(form.get(), "AddBtn");
    auto* list = Find<QListView>(form.get(), "CommandesListBox");
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(list->model()->rowCount(), 0);
    Pick(Find<QComboBox>(form.get(), "LetterComboBox"), 1);
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(list->model()->rowCount(), 0);
    Pick(Find<QComboBox>(form.get(), "FonctionComboBox"), 2);  // "Talk": say
    TypeInto(Find<QLineEdit>(form.get(), "SayEdit"), "gg");
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(list->model()->rowCount(), 1);
    QCOMPARE(list->model()->index(0, 0).data().toString(), QString(R"(bind "b" "say gg")"));
  }

  void aQuoteInTheChatTextIsRefusedWithAMessage() {
    App app;
    auto form = app.Start();
    Pick(Find<QComboBox>(form.get(), "LetterComboBox"), 1);
    Pick(Find<QComboBox>(form.get(), "FonctionComboBox"), 2);
    TypeInto(Find<QLineEdit>(form.get(), "SayEdit"), "say \"hi\"; quit");
    QTest::mouseClick(Find<QPushButton>(form.get(), "AddBtn"), Qt::LeftButton);
    QCOMPARE(Find<QListView>(form.get(), "CommandesListBox")->model()->rowCount(), 0);
    const auto errors = Dialogs().TakeErrors();
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors[0].text, QString("EN no quote in a chat text."));  // the window's language
  }

  void externalResourcesAndDefinableFunctions() {
    App app;
    auto form = app.Start();
    auto* list = Find<QListView>(form.get(), "CommandesListBox");
    auto* resources = Find<QListWidget>(form.get(), "TextList");
    Pick(Find<QComboBox>(form.get(), "LetterComboBox"), 5);  // "f"
    QTest::mouseClick(resources->viewport(), Qt::LeftButton, {},
                      resources->visualItemRect(resources->item(0)).center());
    QCOMPARE(form->Languages().SelectedResource(), 0);
    QTest::mouseClick(Find<QPushButton>(form.get(), "AddPersoBtn"), Qt::LeftButton);
    QCOMPARE(list->model()->index(0, 0).data().toString(), QString(R"(bind "f" "exec Alias.cfg")"));

    auto* definable = Find<QComboBox>(form.get(), "FonctionUserBox");
    QCOMPARE(definable->count(), 3);
    Pick(definable, 1);  // "fov"
    TypeInto(Find<QLineEdit>(form.get(), "ParamsUserEdit"), "90");
    QTest::mouseClick(Find<QPushButton>(form.get(), "AddPersoBtn1"), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>(form.get(), "AddPredefBtn"), Qt::LeftButton);
    QCOMPARE(list->model()->index(1, 0).data().toString(), QString(R"(fov "90")"));
    QCOMPARE(list->model()->index(2, 0).data().toString(), QString(R"(fov "90" "exec Alias.cfg")"));

    // A typed function name is used by the combined action, not by the plain call.
    TypeInto(definable->lineEdit(), "name");
    QTest::mouseClick(Find<QPushButton>(form.get(), "AddPersoBtn1"), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>(form.get(), "AddPredefBtn"), Qt::LeftButton);
    QCOMPARE(list->model()->index(3, 0).data().toString(), QString(R"( "90")"));
    QCOMPARE(list->model()->index(4, 0).data().toString(),
             QString(R"(name "90" "exec Alias.cfg")"));

    TypeInto(Find<QLineEdit>(form.get(), "UserEdit"), "say \"free\"");
    QTest::mouseClick(Find<QPushButton>(form.get(), "NewFctBtn"), Qt::LeftButton);
    QCOMPARE(list->model()->index(5, 0).data().toString(), QString(R"(say "free")"));
  }

  void refreshReadsTheResourceFileAgain() {
    App app;
    auto form = app.Start();
    auto* resources = Find<QListWidget>(form.get(), "TextList");
    WriteFile(app.Path("data/externs-en.dat"), Lines({"Only one", "kill"}));
    QTest::mouseClick(Find<QPushButton>(form.get(), "RefreshBtn"), Qt::LeftButton);
    QCOMPARE(resources->count(), 1);
    QCOMPARE(resources->item(0)->text(), QString("Only one"));

    std::filesystem::remove(app.Path("data/externs-en.dat"));
    QTest::mouseClick(Find<QPushButton>(form.get(), "RefreshBtn"), Qt::LeftButton);
    const auto errors = Dialogs().TakeErrors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].text.startsWith(QString::fromStdString(
                 "FileError.NotFound [" + app.Path("data/externs-en.dat") + "]")),
             qPrintable(errors[0].text));
    QCOMPARE(resources->count(), 1);
  }

  // Hiding the external resources lays the rest out again: the problems panel and the
  // status line move up, nothing of the hidden panel shows, nothing overlaps.
  void thePanelToggleChangesOnlyTheHeight() {
    App app;
    auto form = app.Start();
    auto* toggle = Find<QPushButton>(form.get(), "RessourcesExternesBtn");
    auto* resources = Find<QGroupBox>(form.get(), "RessourcesExternesGroupe");
    const QPoint position = form->pos();
    const int below = tavrilo::ui::WindowControls::kProblemsHeight +
                      tavrilo::ui::WindowControls::kStatusLineHeight;
    const auto laidOutCleanly = [&] {
      QList<QWidget*> parts = {Find<QGroupBox>(form.get(), "MainGroup"),
                               Find<QGroupBox>(form.get(), "ProblemsGroup"),
                               Find<QLabel>(form.get(), "DiagnosticLabel")};
      if (resources->isVisible()) parts.append(resources);
      for (QWidget* part : parts) {
        QVERIFY2(form->rect().contains(part->geometry()), qPrintable(part->objectName()));
        for (QWidget* other : parts) {
          if (other != part)
            QVERIFY2(!part->geometry().intersects(other->geometry()),
                     qPrintable(part->objectName() + " over " + other->objectName()));
        }
      }
    };
    QCOMPARE(form->size(), QSize(610, 355 + below));
    laidOutCleanly();
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(form->size(), QSize(610, 230 + below));
    QCOMPARE(form->ResourcesPanelShown(), 0);
    QVERIFY(!resources->isVisible());
    QCOMPARE(Find<QGroupBox>(form.get(), "ProblemsGroup")->y(), 230);
    laidOutCleanly();
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(form->size(), QSize(610, 355 + below));
    QCOMPARE(form->ResourcesPanelShown(), 1);
    QVERIFY(resources->isVisible());
    laidOutCleanly();
    QCOMPARE(form->pos(), position);
  }

  void loadDeleteAndTheToolTip() {
    App app;
    auto form = app.Start();
    const std::string file = app.Path("in.cfg");
    WriteFile(file,
              "first\r\nsecond\nthird\rfourth\x1A"
              "fifth\r\n");
    Dialogs().QueueFileName(QString::fromStdString(file));
    QTest::mouseClick(Find<QPushButton>(form.get(), "LoadBtn"), Qt::LeftButton);
    auto* list = Find<QListView>(form.get(), "CommandesListBox");
    QCOMPARE(list->model()->rowCount(), 4);

    const QModelIndex second = list->model()->index(1, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(second).center());
    QCOMPARE(list->toolTip(), PlainToolTip("second"));
    QCOMPARE(second.data(Qt::ToolTipRole).toString(), PlainToolTip("second"));

    auto* remove = Find<QPushButton>(form.get(), "DeleteBtn");
    QTest::mouseClick(remove, Qt::LeftButton);
    QTest::mouseClick(remove, Qt::LeftButton);  // nothing is selected any more
    QCOMPARE(list->model()->rowCount(), 3);
    QCOMPARE(list->model()->index(1, 0).data().toString(), QString("third"));
    QVERIFY(list->selectionModel()->selectedRows().isEmpty());
    QCOMPARE(list->toolTip(), PlainToolTip("second"));  // the tool-tip outlives its entry

    // A file that is not there: the error is shown and the list stays as it was.
    Dialogs().QueueUnsavedAnswer(tavrilo::ui::UnsavedAnswer::kDiscard);  // a line went
    Dialogs().QueueFileName(QString::fromStdString(app.Path("missing.cfg")));
    QTest::mouseClick(Find<QPushButton>(form.get(), "LoadBtn"), Qt::LeftButton);
    QCOMPARE(list->model()->rowCount(), 3);
    const auto errors = Dialogs().TakeErrors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].text.startsWith(
                 QString::fromStdString("FileError.NotFound [" + app.Path("missing.cfg") + "]")),
             qPrintable(errors[0].text));
  }

  // The view and the engine agree on the selected line after every operation: a Delete
  // after a cancelled load removes the line the view shows selected.
  void aCancelledLoadKeepsTheSelectionTheViewShows() {
    App app;
    auto form = app.Start();
    auto* list = Find<QListView>(form.get(), "CommandesListBox");
    auto* line = Find<QLineEdit>(form.get(), "UserEdit");
    for (const char* text : {"one", "two", "three"}) {
      TypeInto(line, text);
      QTest::mouseClick(Find<QPushButton>(form.get(), "NewFctBtn"), Qt::LeftButton);
    }
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    Dialogs().QueueUnsavedAnswer(tavrilo::ui::UnsavedAnswer::kDiscard);
    Dialogs().QueueCancel();
    QTest::mouseClick(Find<QPushButton>(form.get(), "LoadBtn"), Qt::LeftButton);
    QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(list->selectionModel()->selectedRows()[0].row(), 1);
    QTest::mouseClick(Find<QPushButton>(form.get(), "DeleteBtn"), Qt::LeftButton);
    QCOMPARE(form->Document().List().Items(), (std::vector<std::string>{"one", "three"}));

    // A load that fails keeps the line selected, in the view and in the engine.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    Dialogs().QueueUnsavedAnswer(tavrilo::ui::UnsavedAnswer::kDiscard);
    Dialogs().QueueFileName(QString::fromStdString(app.Path("missing.cfg")));
    QTest::mouseClick(Find<QPushButton>(form.get(), "LoadBtn"), Qt::LeftButton);
    QCOMPARE(Dialogs().TakeErrors().size(), 1);
    QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(list->selectionModel()->selectedRows()[0].row(), 1);
    QCOMPARE(form->Document().List().ItemIndex(), 1);
    QCOMPARE(form->Document().List().Items(), (std::vector<std::string>{"one", "three"}));
  }

  // A line of megabytes shows only its beginning, so that laying it out cannot freeze the
  // window; the entry itself stays whole and is saved whole.
  void aVeryLongLineShowsItsBeginningAndIsSavedWhole() {
    App app;
    auto form = app.Start();
    const std::string longLine(1'000'000, 'x');
    WriteFile(app.Path("long.cfg"), longLine + "\r\n");
    Dialogs().QueueFileName(QString::fromStdString(app.Path("long.cfg")));
    QTest::mouseClick(Find<QPushButton>(form.get(), "LoadBtn"), Qt::LeftButton);
    auto* list = Find<QListView>(form.get(), "CommandesListBox");
    const QModelIndex row = list->model()->index(0, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
    const QString shown = row.data().toString();
    QCOMPARE(shown.size(), tavrilo::ui::kMaxShownLength + 1);
    QVERIFY(shown.endsWith(QChar(tavrilo::ui::kMoreMark)));
    QVERIFY(list->toolTip().size() < 5000);
    Dialogs().QueueFileName(QString::fromStdString(app.Path("saved.cfg")));
    QTest::mouseClick(Find<QPushButton>(form.get(), "SauverBtn"), Qt::LeftButton);
    QVERIFY(ReadFile(app.Path("saved.cfg")).ends_with("\r\n" + longLine + "\r\n"));
  }

  // Texts from files are shown as they are, never taken for markup.
  void messagesAndToolTipsShowMarkupAsPlainText() {
    App app;
    auto form = app.Start();
    const std::string entry = "bind \"F1\" \"say <b>GG</b>\"";
    TypeInto(Find<QLineEdit>(form.get(), "UserEdit"), QString::fromStdString(entry));
    QTest::mouseClick(Find<QPushButton>(form.get(), "NewFctBtn"), Qt::LeftButton);
    auto* list = Find<QListView>(form.get(), "CommandesListBox");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    QCOMPARE(QTextDocumentFragment::fromHtml(list->toolTip()).toPlainText(),
             QString::fromStdString(entry));

    // A folder named like markup, refused: the error box shows the name as it is.
    tavrilo::testing::InstallShippedData(app.Dir());
    const std::string markup = app.Path("<img src=x>");
    std::filesystem::create_directories(markup);
    Dialogs().QueueFileName(QString::fromStdString(markup));
    QTest::mouseClick(Find<QPushButton>(form.get(), "InstallerCfgBtn"), Qt::LeftButton);
    const auto errors = Dialogs().TakeErrors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].text.contains("<img src=x>"), qPrintable(errors[0].text));
  }

  void tabReachesOnlyTheSelectedLanguageButton() {
    App app;
    auto form = app.Start();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    auto* resources = Find<QListWidget>(form.get(), "TextList");
    resources->setFocus();
    QTest::keyClick(resources, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Find<QRadioButton>(form.get(), "RBEn"));
    QTest::mouseClick(Find<QRadioButton>(form.get(), "RBFr"), Qt::LeftButton);
    resources->setFocus();
    QTest::keyClick(resources, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Find<QRadioButton>(form.get(), "RBFr"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // then the choice of game
    QCOMPARE(QApplication::focusWidget(), Find<QComboBox>(form.get(), "GameComboBox"));
  }

  // Each line is marked with what the game makes of it, the status line says why for the
  // selected line, and the size of the saved file is shown against the chosen game.
  void theGamesFindingsShowOnTheListAndTheStatusLine() {
    App app;
    auto form = app.Start();
    auto* list = Find<QListView>(form.get(), "CommandesListBox");
    auto* line = Find<QLineEdit>(form.get(), "UserEdit");
    for (const char* text : {"bind \"ESC\" \"score\"", "bind \"F1\" \"score\""}) {
      line->setText(text);
      QTest::mouseClick(Find<QPushButton>(form.get(), "NewFctBtn"), Qt::LeftButton);
    }
    const auto* model = qobject_cast<const tavrilo::ui::MacroListModel*>(list->model());
    QCOMPARE(model->Findings().WorstOf(0), tavrilo::game::Severity::kError);
    QCOMPARE(model->Findings().WorstOf(1), tavrilo::game::Severity::kNone);
    QVERIFY(list->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey() !=
            list->model()->index(1, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey());
    auto* status = Find<QLabel>(form.get(), "DiagnosticLabel");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    QVERIFY2(status->text().contains("ESCAPE"), qPrintable(status->text()));  // what it is called
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    QCOMPARE(status->text(), QString());

    auto* budget = Find<QLabel>(form.get(), "BudgetLabel");
    QVERIFY(budget->text().contains(Text(tavrilo::game::GroupDigits(8191))));
    Pick(Find<QComboBox>(form.get(), "GameComboBox"), 1);
    QCOMPARE(form->Game(), tavrilo::game::Game::kYamagi);
    QVERIFY(budget->text().contains(Text(tavrilo::game::GroupDigits(32766))));
    Pick(Find<QComboBox>(form.get(), "GameComboBox"), 0);

    // A file too big for the game's exec is saved whole, and the player told.
    for (int i = 0; i < 9; ++i) {
      line->setText("echo " + QString("xxxxxxxxx ").repeated(99));
      QTest::mouseClick(Find<QPushButton>(form.get(), "NewFctBtn"), Qt::LeftButton);
    }
    Dialogs().QueueFileName(QString::fromStdString(app.Path("big.cfg")));
    QTest::mouseClick(Find<QPushButton>(form.get(), "SauverBtn"), Qt::LeftButton);
    QVERIFY(ReadFile(app.Path("big.cfg")).size() > 9000);
    QVERIFY2(status->text().contains("FileTooBig"), qPrintable(status->text()));
  }

  // The control in the key field takes the next key pressed, by its position for Quake 2:
  // the key typing "a" on an AZERTY keyboard is the game's q, and is bound as q.
  void aKeyChosenByPressingItIsTheGamesName() {
    App app;
    auto form = app.Start();
    auto* key = Find<QComboBox>(form.get(), "LetterComboBox");
    const auto controls = key->lineEdit()->findChildren<QToolButton*>();
    QCOMPARE(controls.size(), 1);
    QTest::mouseClick(controls[0], Qt::LeftButton);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 16 + 8, 0, 0, "a");
    QApplication::sendEvent(key->lineEdit(), &press);
    QCOMPARE(key->currentText(), QString("q"));
    QCOMPARE(form->Composer().CurrentKey(), std::string("q"));

    QTest::mouseClick(controls[0], Qt::LeftButton);  // a key Quake 2 cannot bind: the one left of w
    QKeyEvent lessThan(QEvent::KeyPress, Qt::Key_Less, Qt::NoModifier, 86 + 8, 0, 0, "<");
    QApplication::sendEvent(key->lineEdit(), &lessThan);
    QCOMPARE(key->currentText(), QString("q"));
    QVERIFY(Find<QLabel>(form.get(), "DiagnosticLabel")->text().contains("Key."));
  }

  // Enter in a field runs the add beside it, Delete in the list removes the selected
  // line, and every add says how to reach it from the keyboard.
  void addingAndDeletingFromTheKeyboard() {
    App app;
    auto form = app.Start();
    auto* list = Find<QListView>(form.get(), "CommandesListBox");
    auto* own = Find<QLineEdit>(form.get(), "UserEdit");
    TypeInto(own, "kill");
    QTest::keyClick(own, Qt::Key_Return);
    Pick(Find<QComboBox>(form.get(), "LetterComboBox"), 1);
    Pick(Find<QComboBox>(form.get(), "FonctionComboBox"), 2);  // "Talk": say
    auto* chat = Find<QLineEdit>(form.get(), "SayEdit");
    TypeInto(chat, "gg");
    QTest::keyClick(chat, Qt::Key_Enter);                     // the keypad's Enter as well
    Pick(Find<QComboBox>(form.get(), "FonctionUserBox"), 1);  // fov
    auto* arguments = Find<QLineEdit>(form.get(), "ParamsUserEdit");
    TypeInto(arguments, "90");
    QTest::keyClick(Find<QComboBox>(form.get(), "FonctionUserBox")->lineEdit(), Qt::Key_Return);
    QCOMPARE(form->Document().List().Items(),
             (std::vector<std::string>{"kill", R"(bind "b" "say gg")", R"(fov "90")"}));
    // With a resource chosen: Enter in the arguments field, then Enter in the resources.
    auto* resources = Find<QListWidget>(form.get(), "TextList");
    QTest::mouseClick(resources->viewport(), Qt::LeftButton, {},
                      resources->visualItemRect(resources->item(0)).center());
    QTest::keyClick(arguments, Qt::Key_Return);
    QCOMPARE(list->model()->rowCount(), 4);
    QTest::keyClick(resources, Qt::Key_Return);
    QCOMPARE(list->model()->rowCount(), 5);
    QCOMPARE(form->Document().List().At(4), std::string_view(R"(bind "b" "exec Alias.cfg")"));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(list->model()->rowCount(), 4);
    QCOMPARE(form->Document().List().At(1), std::string_view(R"(fov "90")"));
    QTest::keyClick(list, Qt::Key_Delete);  // nothing selected any more: nothing goes
    QCOMPARE(list->model()->rowCount(), 4);
  }

  // New list, Load and closing the window ask before a changed list is dropped, once, in
  // the window's language; Save saves first, Cancel keeps everything as it was.
  void aChangedListIsNeverDroppedWithoutAsking() {
    using tavrilo::ui::UnsavedAnswer;
    App app;
    WriteFile(app.Path("data/dics-en.ini"),
              ReadFile(app.Path("data/dics-en.ini")) +
                  "Ask.Unsaved=EN save first?\r\nAsk.Save=EN save\r\nAsk.Discard=EN drop\r\n"
                  "Ask.Cancel=EN keep\r\n");
    WriteFile(app.Path("in.cfg"), "from the file\r\n");
    auto form = app.Start();
    auto* own = Find<QLineEdit>(form.get(), "UserEdit");
    TypeInto(own, "kill");
    QTest::keyClick(own, Qt::Key_Return);

    Dialogs().QueueUnsavedAnswer(UnsavedAnswer::kCancel);
    QTest::mouseClick(Find<QPushButton>(form.get(), "DeleteAllBtn"), Qt::LeftButton);
    Dialogs().QueueUnsavedAnswer(UnsavedAnswer::kCancel);
    QTest::mouseClick(Find<QPushButton>(form.get(), "LoadBtn"), Qt::LeftButton);
    Dialogs().QueueUnsavedAnswer(UnsavedAnswer::kCancel);
    QVERIFY(!form->close());
    QVERIFY(form->isVisible());
    QCOMPARE(form->Document().List().Items(), std::vector<std::string>{"kill"});
    const auto questions = Dialogs().TakeQuestions();
    QCOMPARE(questions.size(), 3);
    QCOMPARE(questions[0].text, QString("EN save first?|EN save|EN drop|EN keep"));

    // Save, then the load goes on; the list loaded is unchanged: no question.
    Dialogs().QueueUnsavedAnswer(UnsavedAnswer::kSave);
    Dialogs().QueueFileName(QString::fromStdString(app.Path("saved.cfg")));
    Dialogs().QueueFileName(QString::fromStdString(app.Path("in.cfg")));
    QTest::mouseClick(Find<QPushButton>(form.get(), "LoadBtn"), Qt::LeftButton);
    QVERIFY(ReadFile(app.Path("saved.cfg")).ends_with("\r\nkill\r\n"));
    QCOMPARE(form->Document().List().Items(), std::vector<std::string>{"from the file"});
    QTest::mouseClick(Find<QPushButton>(form.get(), "DeleteAllBtn"), Qt::LeftButton);
    QVERIFY(Dialogs().TakeQuestions().size() == 1);  // the one before the load

    // A save cancelled at its dialog keeps the list too.
    TypeInto(own, "wave 1");
    QTest::keyClick(own, Qt::Key_Return);
    Dialogs().QueueUnsavedAnswer(UnsavedAnswer::kSave);
    Dialogs().QueueCancel();
    QTest::mouseClick(Find<QPushButton>(form.get(), "DeleteAllBtn"), Qt::LeftButton);
    QCOMPARE(form->Document().List().Items(), std::vector<std::string>{"wave 1"});
    Dialogs().QueueUnsavedAnswer(UnsavedAnswer::kDiscard);
    QVERIFY(form->close());
    QCOMPARE(Dialogs().TakeQuestions().size(), 2);
  }

  // The language and the game chosen are in the settings file at once, before any close.
  void settingsAreWrittenWhenTheyChange() {
    App app;
    auto form = app.Start();
    const auto stored = [&](const char* key) {
      return tavrilo::datafiles::IniFile(app.Path("data/config.ini"))
          .ReadString("General", key, "");
    };
    QTest::mouseClick(Find<QRadioButton>(form.get(), "RBFr"), Qt::LeftButton);
    QCOMPARE(stored("fr"), std::string("1"));
    QCOMPARE(stored("en"), std::string("0"));
    Pick(Find<QComboBox>(form.get(), "GameComboBox"), 1);
    QCOMPARE(stored("Game"), std::string("yamagi"));
  }

  // A file torn by a killed save is offered back when it is opened: restored, it loads with
  // the text it had before that save, and its backup is gone.
  void aTornFileIsOfferedBackWhenOpened() {
    App app;
    auto form = app.Start();
    const std::string path = app.Path("torn.cfg");
    WriteFile(path, "BIND x kill\r\n");  // the start of the new text over the old one
    const std::string backup = app.Path(".tavrilo-1073741823-aaaaaaaa.bak");
    WriteFile(backup, tavrilo::EncodeBackup(*tavrilo::platform::ResolvedPath(path),
                                            *tavrilo::platform::Status(path), "bind x kill\r\n",
                                            "BIND X KILL\r\n"));
    Dialogs().QueueReplaceAnswer(true);  // restore
    Dialogs().QueueFileName(QString::fromStdString(path));
    QTest::mouseClick(Find<QPushButton>(form.get(), "LoadBtn"), Qt::LeftButton);
    const auto questions = Dialogs().TakeQuestions();
    QCOMPARE(questions.size(), 1);
    QVERIFY2(questions[0].text.contains(QString::fromStdString(path)),
             qPrintable(questions[0].text));
    QCOMPARE(ReadFile(path), std::string("bind x kill\r\n"));
    QCOMPARE(form->Document().List().Items(), std::vector<std::string>{"bind x kill"});
    QVERIFY(!std::filesystem::exists(backup));
    QVERIFY(Dialogs().TakeErrors().isEmpty());
  }

  // Started with a file, the window shows its lines, unchanged.
  void startingWithAFileShowsItsLines() {
    App app;
    WriteFile(app.Path("in.cfg"), "bind x kill\r\nwave 1\r\n");
    auto form = app.Start();
    form->LoadFile(app.Path("in.cfg"));
    auto* list = Find<QListView>(form.get(), "CommandesListBox");
    QCOMPARE(list->model()->rowCount(), 2);
    QCOMPARE(list->model()->index(1, 0).data().toString(), QString("wave 1"));
    QVERIFY(!form->Document().Modified());
    form->LoadFile(app.Path("missing.cfg"));  // the error box, and the list as it was
    QCOMPARE(Dialogs().TakeErrors().size(), 1);
    QCOMPARE(list->model()->rowCount(), 2);
  }

  // Qt's own texts and every tool-tip follow the window's language.
  void qtTextsAndToolTipsFollowTheLanguage() {
    App app;
    WriteFile(app.Path("data/dics-en.ini"),
              ReadFile(app.Path("data/dics-en.ini")) +
                  "Main.TipChat=EN <b>chat</b> tip\r\nMain.GameHint=<a href=\"x\">game</a>\r\n"
                  "Key.CaptureHint=<img src=\"y\">\r\n");
    WriteFile(app.Path("data/dics-fr.ini"),
              ReadFile(app.Path("data/dics-fr.ini")) + "Main.TipChat=FR chat tip\r\n");
    auto form = app.Start();
    auto* chat = Find<QLineEdit>(form.get(), "SayEdit");
    QCOMPARE(chat->toolTip(), PlainToolTip("EN <b>chat</b> tip"));  // plain text, too
    QCOMPARE(Find<QComboBox>(form.get(), "GameComboBox")->toolTip(),
             PlainToolTip("<a href=\"x\">game</a>"));
    QCOMPARE(form->findChild<QAction*>("CaptureKeyAction")->toolTip(),
             PlainToolTip("<img src=\"y\">"));
    const auto qtCancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    QCOMPARE(qtCancel(), QString("Cancel"));
    QTest::mouseClick(Find<QRadioButton>(form.get(), "RBFr"), Qt::LeftButton);
    QCOMPARE(chat->toolTip(), PlainToolTip("FR chat tip"));
    QCOMPARE(qtCancel(), QString("Annuler"));
    QTest::mouseClick(Find<QRadioButton>(form.get(), "RBEn"), Qt::LeftButton);
    QCOMPARE(qtCancel(), QString("Cancel"));
  }

  // The key field shows the longest key names whole, its drop-down every entry whole,
  // and while a capture waits the field itself says so.
  void theKeyFieldShowsWholeNamesAndAWaitingCapture() {
    App app;
    auto form = app.Start();
    auto* key = Find<QComboBox>(form.get(), "LetterComboBox");
    auto* edit = key->lineEdit();
    const auto controls = edit->findChildren<QToolButton*>();
    QCOMPARE(controls.size(), 1);
    for (const char* name :
         {"KP_RIGHTARROW", "SC_APOSTROPHE", "SHOULDR_RIGHT_ALT", "Choose a key"}) {
      key->setEditText(name);
      edit->setCursorPosition(0);
      const int start = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
      edit->end(false);
      const int end = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
      QCOMPARE(end - start, edit->fontMetrics().horizontalAdvance(name));  // not scrolled
      QVERIFY2(edit->mapTo(key, QPoint(end, 0)).x() < controls[0]->mapTo(key, QPoint(0, 0)).x(),
               name);
    }
    key->showPopup();  // the entries are measured as the list opens
    QVERIFY(key->view()->width() >= key->view()->sizeHintForColumn(0));
    key->hidePopup();

    key->setEditText("F1");
    QTest::mouseClick(controls[0], Qt::LeftButton);
    QVERIFY(key->property("waitingForKey").toBool());
    QVERIFY(key->currentText() != QString("F1"));
    QVERIFY(key->palette().color(QPalette::Base) != form->palette().color(QPalette::Base));
    QTest::keyClick(edit, Qt::Key_Escape);  // cancelled: the field as it was
    QCOMPARE(key->currentText(), QString("F1"));
    QVERIFY(!key->property("waitingForKey").toBool());
  }

  // The problems panel lists every finding with its line; a click or Enter on one selects
  // its line, and selecting a line brings its findings to the top of the panel.
  void theProblemsPanelShowsEveryFindingAndLeadsToItsLine() {
    App app;
    auto form = app.Start();
    auto* own = Find<QLineEdit>(form.get(), "UserEdit");
    for (const char* line : {"echo first", "bind \"ESC\" \"score\"", "echo between",
                             "bind \"F1\" \"score\"", "bind \"F1\" \"kill\""}) {
      TypeInto(own, line);
      QTest::keyClick(own, Qt::Key_Return);
    }
    const tavrilo::game::CheckResult& findings = form->Document().Findings();
    auto* panel = Find<QListView>(form.get(), "ProblemsView");
    QCOMPARE(panel->model()->rowCount(), static_cast<int>(findings.Findings().size()));
    QVERIFY(findings.Errors() >= 1);
    const QString summary = Find<QLabel>(form.get(), "ProblemsSummary")->text();
    QVERIFY2(summary.contains(QString::number(findings.Errors())), qPrintable(summary));
    for (int row = 0; row < panel->model()->rowCount(); ++row) {
      const QModelIndex item = panel->model()->index(row, 0);
      const auto& finding = findings.Findings()[static_cast<std::size_t>(row)];
      const QString text = item.data().toString();
      QVERIFY2(text.contains(QString::number(finding.line + 1)), qPrintable(text));
      QVERIFY2(text.contains(tavrilo::ui::WindowTexts(form->Languages())(findings.TextOf(finding))),
               qPrintable(text));
      QCOMPARE(QTextDocumentFragment::fromHtml(item.data(Qt::ToolTipRole).toString()).toPlainText(),
               text);  // the whole text, whatever the row shows
    }

    const int escape = qobject_cast<tavrilo::ui::ProblemsModel*>(panel->model())->RowOf(1);
    QVERIFY(escape >= 0);
    QTest::mouseClick(panel->viewport(), Qt::LeftButton, {},
                      panel->visualRect(panel->model()->index(escape, 0)).center());
    QCOMPARE(form->Document().List().ItemIndex(), 1);
    auto* list = Find<QListView>(form.get(), "CommandesListBox");
    QCOMPARE(list->selectionModel()->selectedRows().value(0).row(), 1);
    QVERIFY(!Find<QLabel>(form.get(), "DiagnosticLabel")->text().isEmpty());

    // Selecting the last line with findings in the list: they come first in the panel.
    const int lastLine = findings.Findings().back().line;
    QVERIFY(lastLine > 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(lastLine, 0)).center());
    const QModelIndex current = panel->currentIndex();
    QCOMPARE(current.data(tavrilo::ui::ProblemsModel::kLineRole).toInt(), lastLine);
    QVERIFY(panel->visualRect(current).top() <= 1);

    // Enter on a finding selects its line.
    panel->setCurrentIndex(panel->model()->index(
        qobject_cast<tavrilo::ui::ProblemsModel*>(panel->model())->RowOf(1), 0));
    QTest::keyClick(panel, Qt::Key_Return);
    QCOMPARE(form->Document().List().ItemIndex(), 1);
  }

  // The list model only follows the engine's document, which has checked the list before
  // the views hear of a change: the mark of a row can be read as it is inserted.
  void theListModelFollowsTheCheckedDocument() {
    App app;
    WriteFile(app.Path("in.cfg"), "bind \"ESC\" \"kill\"\r\necho fine\r\n");
    auto form = app.Start();
    auto* list = Find<QListView>(form.get(), "CommandesListBox");  // watched (App::Start)
    QList<tavrilo::game::Severity> marksAtInsertion;
    connect(list->model(), &QAbstractItemModel::rowsInserted, this,
            [&](const QModelIndex&, int first, int) {
              const QIcon shown =
                  list->model()->index(first, 0).data(Qt::DecorationRole).value<QIcon>();
              const auto worst = form->Document().Findings().WorstOf(first);
              QCOMPARE(shown.cacheKey(), tavrilo::ui::MarkOf(worst).cacheKey());
              marksAtInsertion << worst;
            });
    auto* own = Find<QLineEdit>(form.get(), "UserEdit");
    for (const char* line : {"bind \"ESC\" \"score\"", "echo fine"}) {
      TypeInto(own, line);
      QTest::keyClick(own, Qt::Key_Return);
    }
    QCOMPARE(marksAtInsertion, (QList<tavrilo::game::Severity>{tavrilo::game::Severity::kError,
                                                               tavrilo::game::Severity::kNone}));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    QTest::mouseClick(Find<QPushButton>(form.get(), "DeleteBtn"), Qt::LeftButton);
    QCOMPARE(list->model()->rowCount(), 1);
    Dialogs().QueueUnsavedAnswer(tavrilo::ui::UnsavedAnswer::kDiscard);
    Dialogs().QueueFileName(QString::fromStdString(app.Path("in.cfg")));
    QTest::mouseClick(Find<QPushButton>(form.get(), "LoadBtn"), Qt::LeftButton);
    QCOMPARE(list->model()->rowCount(), 2);
    QCOMPARE(list->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey(),
             tavrilo::ui::MarkOf(tavrilo::game::Severity::kError).cacheKey());
    Pick(Find<QComboBox>(form.get(), "GameComboBox"), 1);  // checked again for Yamagi
    QCOMPARE(form->Document().Game(), tavrilo::game::Game::kYamagi);
    QTest::mouseClick(Find<QPushButton>(form.get(), "DeleteAllBtn"), Qt::LeftButton);
    QCOMPARE(list->model()->rowCount(), 0);
  }

  void saveAndOpenDialogsRememberTheirPaths() {
    App app;
    auto form = app.Start();
    auto* save = Find<QPushButton>(form.get(), "SauverBtn");
    QTest::mouseClick(save, Qt::LeftButton);  // an empty list opens no dialog
    QVERIFY(Dialogs().TakeFileDialogs().isEmpty());

    TypeInto(Find<QLineEdit>(form.get(), "UserEdit"), "bind x kill");
    QTest::mouseClick(Find<QPushButton>(form.get(), "NewFctBtn"), Qt::LeftButton);
    Dialogs().QueueCancel();
    QTest::mouseClick(save, Qt::LeftButton);
    const std::string target = app.Path("first.cfg");
    Dialogs().QueueFileName(QString::fromStdString(target));
    QTest::mouseClick(save, Qt::LeftButton);
    Dialogs().QueueFileName(QString::fromStdString(app.Path("second.cfg")));
    QTest::mouseClick(save, Qt::LeftButton);
    const auto dialogs = Dialogs().TakeFileDialogs();
    QCOMPARE(dialogs.size(), 3);
    QCOMPARE(dialogs[0].text, QString("Macros.cfg"));
    QCOMPARE(dialogs[1].text, QString("Macros.cfg"));  // a cancel remembers nothing
    QCOMPARE(dialogs[2].text, QString::fromStdString(target));
    // The header stands only in the first file saved.
    QVERIFY(ReadFile(target).starts_with("// Fichier macro"));
    QCOMPARE(ReadFile(app.Path("second.cfg")), std::string("bind x kill\r\n"));

    // A new list puts the header back.
    QTest::mouseClick(Find<QPushButton>(form.get(), "DeleteAllBtn"), Qt::LeftButton);
    QCOMPARE(Find<QListView>(form.get(), "CommandesListBox")->model()->rowCount(), 0);
    QVERIFY(!form->Document().Buffer().Empty());
  }

  void aFailedSaveShowsTheMessageAndKeepsTheHeader() {
    App app;
    auto form = app.Start();
    TypeInto(Find<QLineEdit>(form.get(), "UserEdit"), "kill");
    QTest::mouseClick(Find<QPushButton>(form.get(), "NewFctBtn"), Qt::LeftButton);
    const std::string underAFile = app.Path("data/user.dat/x.cfg");
    Dialogs().QueueFileName(QString::fromStdString(underAFile));
    QTest::mouseClick(Find<QPushButton>(form.get(), "SauverBtn"), Qt::LeftButton);
    const auto errors = Dialogs().TakeErrors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].text.startsWith(
                 QString::fromStdString("FileError.FolderNotFound [" + underAFile + "]")),
             qPrintable(errors[0].text));
    const std::string good = app.Path("good.cfg");
    Dialogs().QueueFileName(QString::fromStdString(good));
    QTest::mouseClick(Find<QPushButton>(form.get(), "SauverBtn"), Qt::LeftButton);
    const std::string bytes = ReadFile(good);
    QVERIFY(bytes.starts_with("// Fichier macro"));
    QVERIFY(bytes.ends_with("\r\n\r\nkill\r\n"));  // the entry once, not twice
  }

  void fieldsRefuseCharactersWithoutAWindows1252Byte() {
    App app;
    auto form = app.Start();
    auto* say = Find<QLineEdit>(form.get(), "SayEdit");
    TypeInto(say, QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"));  // e-acute, euro: both fine
    QCOMPARE(say->text(), QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"));
    Type(say, QString::fromUtf8("\xCE\xA9"));  // Greek omega: refused
    QCOMPARE(say->text(), QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"));
    QApplication::clipboard()->setText(QString::fromUtf8("ok \xCE\xA9"));
    QTest::keyClick(say, Qt::Key_V, Qt::ControlModifier);  // a paste that holds one: refused
    QCOMPARE(say->text(), QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"));
    auto* key = Find<QComboBox>(form.get(), "LetterComboBox");
    TypeInto(key->lineEdit(), QString::fromUtf8("\xE4\xB8\xAD"));
    QCOMPARE(key->currentText(), QString());
  }

  void layoutFontsAndFocus() {
    App app;
    auto form = app.Start();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QCOMPARE(QApplication::focusWidget(), Find<QComboBox>(form.get(), "LetterComboBox"));
    QCOMPARE(Find<QComboBox>(form.get(), "LetterComboBox")->count(), 88);
    QCOMPARE(Find<QComboBox>(form.get(), "LetterComboBox")->itemText(78), Text("\xF9"));
    QCOMPARE(Find<QGroupBox>(form.get(), "MainGroup")->geometry(), QRect(5, 35, 600, 190));
    QCOMPARE(Find<QListView>(form.get(), "CommandesListBox")->geometry(), QRect(330, 16, 260, 121));
    QCOMPARE(Find<QGroupBox>(form.get(), "RessourcesExternesGroupe")->geometry(),
             QRect(5, 230, 600, 120));
    QCOMPARE(Find<QPushButton>(form.get(), "AddPersoBtn")->geometry(), QRect(10, 85, 291, 25));
    auto* english = Find<QRadioButton>(form.get(), "RBEn");
    QCOMPARE(QRect(english->mapTo(form.get(), QPoint(0, 0)), english->size()),
             QRect(297, 13, 144, 15));
    QCOMPARE(Find<QGroupBox>(form.get(), "MainGroup")->font().pixelSize(), 10);
    QCOMPARE(Find<QLineEdit>(form.get(), "SayEdit")->font().pixelSize(), 11);
    QVERIFY(Find<QPushButton>(form.get(), "SauverBtn")->font().bold());
    QVERIFY(!Find<QPushButton>(form.get(), "AddBtn")->font().bold());
    QCOMPARE(Find<QPushButton>(form.get(), "AboutBtn")->focusPolicy(), Qt::NoFocus);
    QCOMPARE(Find<QComboBox>(form.get(), "FonctionComboBox")->palette().color(QPalette::Text),
             QColor(0, 0, 255));
    QCOMPARE(Find<QLineEdit>(form.get(), "SayEdit")->toolTip(), QString());  // none given
  }

  void theAboutBoxTakesItsCaptionFromTheLanguageAtEachOpening() {
    App app;
    auto form = app.Start();
    tavrilo::ui::AboutBox about(form.get(), app.Path("data/user.dat"), "dd/MM/yyyy");
    form->SetAboutBox(&about);
    auto* button = Find<QPushButton>(form.get(), "AboutBtn");
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(Find<QRadioButton>(form.get(), "RBFr"), Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    std::filesystem::remove(app.Path("data/dics-fr.ini"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(Dialogs().TakeModalDialogs(), QStringList({"EN about", "FR about", ""}));
  }

  void installingTheSupportFilesAsksForTheGameOnce() {
    App app;
    tavrilo::testing::InstallShippedData(app.Dir());
    const std::string game = app.Path("Quake2/");
    std::filesystem::create_directories(game + "Baseq2");
    auto form = app.Start();
    auto* install = Find<QPushButton>(form.get(), "InstallerCfgBtn");
    Dialogs().QueueFileName(QString::fromStdString(game + "quake2.exe"));
    QTest::mouseClick(install, Qt::LeftButton);
    for (const char* name :
         {"Alias.cfg", "GlVid.cfg", "ModBinding.cfg", "NormBinding.cfg", "NormVid.cfg"}) {
      QCOMPARE(ReadFile(game + "Baseq2/" + name), ReadFile(app.Path("Q2Dats/") + name));
    }
    // The status line says which files went where.
    const QString status = Find<QLabel>(form.get(), "DiagnosticLabel")->text();
    QVERIFY2(status.contains("NormVid.cfg") && status.contains(QString::fromStdString(game)),
             qPrintable(status));
    QCOMPARE(tavrilo::datafiles::IniFile(app.Path("data/config.ini"))
                 .ReadString("General", "Q2Path", ""),
             game);
    QTest::mouseClick(install, Qt::LeftButton);  // everything is there: no question
    const auto dialogs = Dialogs().TakeFileDialogs();
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(dialogs[0].caption, QString("The Quake 2 folder (or quake2.exe in it)"));
    QVERIFY(Dialogs().TakeErrors().isEmpty());
  }

  // A Yamagi Quake II player: the dialog opens in ~/.yq2 and confirming that folder puts
  // the support files into ~/.yq2/baseq2/.
  void theGameDialogOpensWhereTheGameIsAndTakesAFolder() {
    App app;
    tavrilo::testing::InstallShippedData(app.Dir());
    const std::string home = app.Path("home/");
    std::filesystem::create_directories(home + ".yq2/baseq2");
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(app.Path("home")));
    auto form = app.Start();
    Dialogs().QueueFileName(QString::fromStdString(home + ".yq2"));
    QTest::mouseClick(Find<QPushButton>(form.get(), "InstallerCfgBtn"), Qt::LeftButton);
    qputenv("HOME", oldHome);
    const auto dialogs = Dialogs().TakeFileDialogs();
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(dialogs[0].text, QString::fromStdString(home + ".yq2/"));
    QCOMPARE(ReadFile(home + ".yq2/baseq2/Alias.cfg"), ReadFile(app.Path("Q2Dats/Alias.cfg")));
    QCOMPARE(tavrilo::datafiles::IniFile(app.Path("data/config.ini"))
                 .ReadString("General", "Q2Path", ""),
             home + ".yq2/");
    QVERIFY(Dialogs().TakeErrors().isEmpty());
  }

  // Cancel in the game dialog installs nothing and says nothing; a folder where no game
  // is found is refused in the window's language and not stored.
  void theGameDialogCancelledOrAFolderWithoutAGame() {
    App app;
    tavrilo::testing::InstallShippedData(app.Dir());
    app.Settings("[General]\r\nfr=1\r\nen=0\r\n");
    std::filesystem::create_directories(app.Path("nogame"));
    auto form = app.Start();
    auto* install = Find<QPushButton>(form.get(), "InstallerCfgBtn");
    auto* status = Find<QLabel>(form.get(), "DiagnosticLabel");
    Dialogs().QueueCancel();
    QTest::mouseClick(install, Qt::LeftButton);
    QVERIFY(Dialogs().TakeErrors().isEmpty());
    QCOMPARE(status->text(), QString());
    Dialogs().QueueFileName(QString::fromStdString(app.Path("nogame")));
    QTest::mouseClick(install, Qt::LeftButton);
    const auto errors = Dialogs().TakeErrors();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(!errors[0].text.contains("Install.") && !errors[0].text.contains("FileError"),
             qPrintable(errors[0].text));  // the French text of the shipped captions
    QCOMPARE(tavrilo::datafiles::IniFile(app.Path("data/config.ini"))
                 .ReadString("General", "Q2Path", ""),
             std::string());
    QVERIFY(std::filesystem::is_empty(app.Path("nogame")));
  }

  // An add that a guard blocks says why on the status line, without a box.
  void aBlockedAddSaysWhy() {
    App app;
    auto form = app.Start();
    auto* status = Find<QLabel>(form.get(), "DiagnosticLabel");
    QTest::mouseClick(Find<QPushButton>(form.get(), "AddBtn"), Qt::LeftButton);
    QVERIFY2(status->text().contains("Guard.NoKey"), qPrintable(status->text()));
    Pick(Find<QComboBox>(form.get(), "LetterComboBox"), 1);
    QTest::mouseClick(Find<QPushButton>(form.get(), "AddBtn"), Qt::LeftButton);
    QVERIFY2(status->text().contains("Guard.NoFunction"), qPrintable(status->text()));
    QTest::mouseClick(Find<QPushButton>(form.get(), "AddPersoBtn"), Qt::LeftButton);
    QVERIFY2(status->text().contains("Guard.NoResource"), qPrintable(status->text()));
    QCOMPARE(form->Document().List().Count(), 0);
    QVERIFY(Dialogs().TakeErrors().isEmpty());
  }

  // A modifier held while a key goes down is left out of it, and the status line says so;
  // nothing is typed into the field.
  void aModifierHeldIsNotPartOfTheCapturedKey() {
    App app;
    auto form = app.Start();
    auto* key = Find<QComboBox>(form.get(), "LetterComboBox");
    QTest::mouseClick(key->lineEdit()->findChildren<QToolButton*>().value(0), Qt::LeftButton);
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, 42 + 8, 0, 0, "");
    QApplication::sendEvent(key->lineEdit(), &shift);
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, 16 + 8, 0, 0, "A");
    QApplication::sendEvent(key->lineEdit(), &a);
    QCOMPARE(key->currentText(), QString("q"));
    QCOMPARE(form->Composer().CurrentKey(), std::string("q"));
    const QString status = Find<QLabel>(form.get(), "DiagnosticLabel")->text();
    QVERIFY2(status.contains("Status.ModifiersDropped"), qPrintable(status));
  }

  // A setting whose write failed waits: it is written at shut-down, with the error shown
  // again when it still cannot be. A window that changed nothing writes nothing then.
  void aSettingThatCouldNotBeWrittenIsWrittenAtShutDown() {
    App app;
    app.Settings("[General]\r\nen=1\r\n");
    auto form = app.Start();
    std::filesystem::rename(app.Path("data/config.ini"), app.Path("config.ini.away"));
    std::filesystem::create_directory(app.Path("data/config.ini"));
    Pick(Find<QComboBox>(form.get(), "GameComboBox"), 1);
    QCOMPARE(Dialogs().TakeErrors().size(), 1);
    std::filesystem::remove(app.Path("data/config.ini"));
    std::filesystem::rename(app.Path("config.ini.away"), app.Path("data/config.ini"));
    form.reset();
    QVERIFY(Dialogs().TakeErrors().isEmpty());
    QVERIFY(ReadFile(app.Path("data/config.ini")).find("Game=yamagi") != std::string::npos);
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
