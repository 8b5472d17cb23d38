// The key capture driven with the events the platform sends: key presses that carry
// native scan codes (X11 key codes, the Linux input code plus 8), mouse buttons and the
// wheel.
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <utility>

#include "game/Keyboard.h"
#include "ui/KeyCapture.h"

using tavrilo::Text;
using tavrilo::game::Game;
using tavrilo::game::ScanCodes;
using tavrilo::ui::KeyCapture;

namespace {

// A window with the capture zone (a line edit) and a button elsewhere; what the capture
// reports is written down.
struct Window {
  QWidget window;
  QLineEdit* zone = new QLineEdit(&window);
  QPushButton* elsewhere = new QPushButton("elsewhere", &window);
  KeyCapture capture;
  QStringList captured;
  QList<Text> refused;
  int cancelled = 0;

  Window() {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(zone);
    layout->addWidget(elsewhere);
    window.show();
    zone->setFocus();
    capture.SetScanCodes(ScanCodes::kXkb);
    QObject::connect(&capture, &KeyCapture::Captured,
                     [this](const QString& key) { captured << key; });
    QObject::connect(&capture, &KeyCapture::Refused, [this](const Text& why) { refused << why; });
    QObject::connect(&capture, &KeyCapture::Cancelled, [this] { ++cancelled; });
  }

  // A key press at the position of Linux input code `inputCode`, the layout's Qt key and
  // text, sent to `target` as the platform would.
  void Press(quint32 inputCode, int qtKey, const QString& text, QWidget* target = nullptr) {
    QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier, inputCode + 8, 0, 0, text);
    QApplication::sendEvent(target != nullptr ? target : zone, &event);
  }

  void Turn(int notch) {
    QWheelEvent event(QPointF(5, 5), zone->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, notch),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(zone, &event);
  }

  // Starts a capture for `game`, presses, and gives what was captured ("" when nothing).
  QString CaptureKey(Game game, quint32 inputCode, int qtKey, const QString& text) {
    captured.clear();
    capture.Start(zone, game);
    Press(inputCode, qtKey, text);
    return captured.value(0);
  }
};

// Counts the events of the given types that reach `target` itself.
struct EventCounter : QObject {
  EventCounter(QObject* target, QList<QEvent::Type> types) : types_(std::move(types)) {
    target->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (types_.contains(event->type())) ++count;
    return false;
  }
  int count = 0;

 private:
  QList<QEvent::Type> types_;
};

}  // namespace

class KeyCaptureTest : public QObject {
  Q_OBJECT

 private slots:
  void quake2TakesThePositionNeverTheLayoutsCharacter() {
    Window w;
    // AZERTY: the key typing "a" sits where a US keyboard has q; u-grave at the quote.
    QCOMPARE(w.CaptureKey(Game::kQuake2, 16, Qt::Key_A, "a"), QString("q"));
    QCOMPARE(w.CaptureKey(Game::kQuake2, 40, Qt::Key_Ugrave, QString(QChar(0xF9))), QString("'"));
    QCOMPARE(w.CaptureKey(Game::kQuake2, 3, Qt::Key_Eacute, QString(QChar(0xE9))), QString("2"));
    QCOMPARE(w.CaptureKey(Game::kQuake2, 59, Qt::Key_F1, ""), QString("F1"));
    QVERIFY(w.zone->text().isEmpty());  // the captured keys typed nothing
    QVERIFY(!w.capture.IsCapturing());
  }

  void yamagiTakesTheCharacterWithTheDigitsAndUnnamedCharactersByPosition() {
    Window w;
    QCOMPARE(w.CaptureKey(Game::kYamagi, 16, Qt::Key_A, "a"), QString("a"));
    QCOMPARE(w.CaptureKey(Game::kYamagi, 16, Qt::Key_A, "A"), QString("a"));  // Caps Lock
    QCOMPARE(w.CaptureKey(Game::kYamagi, 40, Qt::Key_Ugrave, QString(QChar(0xF9))),
             QString("SC_APOSTROPHE"));
    QCOMPARE(w.CaptureKey(Game::kYamagi, 3, Qt::Key_Eacute, QString(QChar(0xE9))), QString("2"));
    QCOMPARE(w.CaptureKey(Game::kYamagi, 26, Qt::Key_Dead_Circumflex, ""),
             QString("SC_LEFTBRACKET"));
  }

  void aKeyTheGameCannotBindIsRefusedWithItsReason() {
    Window w;
    w.capture.Start(w.zone, Game::kQuake2);
    w.Press(86, Qt::Key_Less, "<");  // left of w
    QCOMPARE(w.refused, (QList<Text>{Text{"Key.Unbindable", {}}}));
    QVERIFY(w.captured.isEmpty());
    QVERIFY(!w.capture.IsCapturing());
    QVERIFY(w.zone->text().isEmpty());
    w.capture.Start(w.zone, Game::kYamagi);
    w.Press(41, Qt::Key_twosuperior, QString(QChar(0xB2)));  // left of 1
    QCOMPARE(w.refused.value(1), (Text{"Key.ConsoleKey", {}}));
    w.capture.Start(w.zone, Game::kQuake2);
    w.Press(0, Qt::Key_A, "a");  // a synthetic key without a scan code: 0 + 8 is still none
    QCOMPARE(w.refused.value(2), (Text{"Key.Unidentified", {}}));
  }

  void escapeFocusLossAndAClickElsewhereCancel() {
    Window w;
    w.capture.Start(w.zone, Game::kQuake2);
    w.Press(1, Qt::Key_Escape, "\x1B");
    QCOMPARE(w.cancelled, 1);

    w.capture.Start(w.zone, Game::kQuake2);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&w.window, &deactivate);
    QCOMPARE(w.cancelled, 2);

    w.capture.Start(w.zone, Game::kQuake2);
    QSignalSpy clicked(w.elsewhere, &QPushButton::clicked);
    QTest::mouseClick(w.elsewhere, Qt::LeftButton);
    QCOMPARE(w.cancelled, 3);
    QCOMPARE(clicked.count(), 1);  // the click still does its work
    QVERIFY(w.captured.isEmpty() && w.refused.isEmpty());
    QVERIFY(!w.capture.IsCapturing());
  }

  void mouseButtonsInsideTheZoneAndTheWheel() {
    Window w;
    const QList<std::pair<Qt::MouseButton, QString>> quake2 = {
        {Qt::LeftButton, "MOUSE1"}, {Qt::RightButton, "MOUSE2"}, {Qt::MiddleButton, "MOUSE3"}};
    for (const auto& [button, name] : quake2) {
      w.captured.clear();
      w.capture.Start(w.zone, Game::kQuake2);
      QTest::mouseClick(w.zone, button);
      QCOMPARE(w.captured, QStringList{name});
    }
    w.capture.Start(w.zone, Game::kQuake2);
    QTest::mouseClick(w.zone, Qt::BackButton);
    QCOMPARE(w.refused, (QList<Text>{Text{"Key.Unbindable", {}}}));
    w.captured.clear();
    w.capture.Start(w.zone, Game::kYamagi);
    QTest::mouseClick(w.zone, Qt::BackButton);
    w.capture.Start(w.zone, Game::kYamagi);
    QTest::mouseClick(w.zone, Qt::ForwardButton);
    w.capture.Start(w.zone, Game::kYamagi);
    w.Turn(0);  // sideways: no name, the capture goes on
    w.Turn(120);
    w.capture.Start(w.zone, Game::kQuake2);
    w.Turn(-120);
    QCOMPARE(w.captured, (QStringList{"MOUSE4", "MOUSE5", "MWHEELUP", "MWHEELDOWN"}));
  }

  void anyWidgetsKeyPressCountsAndAfterTheCaptureEventsGoOnAsUsual() {
    Window w;
    w.capture.Start(w.zone, Game::kQuake2);
    w.Press(30, Qt::Key_Q, "q", w.elsewhere);
    QCOMPARE(w.captured, QStringList{"a"});
    w.Press(45, Qt::Key_X, "x");
    QCOMPARE(w.zone->text(), QString("x"));

    // The button taken leaves no release and no context menu behind it.
    EventCounter reaching(w.zone, {QEvent::MouseButtonRelease, QEvent::ContextMenu});
    w.capture.Start(w.zone, Game::kQuake2);
    QTest::mouseClick(w.zone, Qt::RightButton);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5),
                           w.zone->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w.zone, &menu);
    QCOMPARE(reaching.count, 0);
    w.Press(46, Qt::Key_C, "c");
    QCOMPARE(w.zone->text(), QString("xc"));
    QTest::mouseClick(w.zone, Qt::LeftButton);
    QCOMPARE(reaching.count, 1);
    QCOMPARE(w.captured, (QStringList{"a", "MOUSE2"}));
    QCOMPARE(w.cancelled, 0);
  }
};

QTEST_MAIN(KeyCaptureTest)
#include "KeyCaptureTest.moc"
