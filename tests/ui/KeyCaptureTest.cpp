// SPDX-License-Identifier: GPL-3.0-or-later
// The key capture driven with the events the platform sends: key presses that carry
// native scan codes (X11 key codes: the Linux input code plus 8), mouse buttons, the wheel.
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "ui/KeyCapture.h"

using tavrilo::Text;
using tavrilo::game::Game;
using tavrilo::ui::KeyCapture;

namespace {

// A window with the capture zone and a button elsewhere. What the capture reports is
// written down: a key name, "!" and the reason's key for a refusal, "cancelled".
struct Window {
  QWidget window;
  QLineEdit* zone = new QLineEdit(&window);
  QPushButton* elsewhere = new QPushButton("elsewhere", &window);
  KeyCapture capture;
  QStringList reports;

  Window() {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(zone);
    layout->addWidget(elsewhere);
    window.show();
    zone->setFocus();
    capture.SetScanCodes(tavrilo::game::ScanCodes::kXkb);
    QObject::connect(&capture, &KeyCapture::Captured, [this](const QString& key, bool dropped) {
      reports << key + (dropped ? " without the modifiers" : "");
    });
    QObject::connect(&capture, &KeyCapture::Refused,
                     [this](const Text& why) { reports << "!" + QString::fromStdString(why.key); });
    QObject::connect(&capture, &KeyCapture::Cancelled, [this] { reports << "cancelled"; });
  }

  void Press(quint32 inputCode, int qtKey, const QString& text, QWidget* target = nullptr,
             Qt::KeyboardModifiers held = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, qtKey, held, inputCode + 8, 0, 0, text);
    QApplication::sendEvent(target != nullptr ? target : zone, &event);
  }
  void Release(quint32 inputCode, int qtKey, Qt::KeyboardModifiers held = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyRelease, qtKey, held, inputCode + 8, 0, 0, QString());
    QApplication::sendEvent(zone, &event);
  }
  void Turn(int notch) {
    QWheelEvent event(QPointF(5, 5), zone->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, notch),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(zone, &event);
  }
};

// Counts the events of one kind that reach `target` itself.
struct EventCounter : QObject {
  EventCounter(QObject* target, QEvent::Type type) : type_(type) {
    target->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    count += event->type() == type_ ? 1 : 0;
    return false;
  }
  int count = 0;
  QEvent::Type type_;
};

}  // namespace

class KeyCaptureTest : public QObject {
  Q_OBJECT

 private slots:
  void keysAreNamedByPositionForQuake2AndByCharacterForYamagi() {
    Window w;
    const QString uGrave(QChar(0xF9));
    for (Game game : {Game::kQuake2, Game::kYamagi}) {
      // AZERTY: the key typing "a" sits where a US keyboard has q; u-grave at the quote.
      w.capture.Start(w.zone, game);
      w.Press(16, Qt::Key_A, "a");
      w.capture.Start(w.zone, game);
      w.Press(40, Qt::Key_Ugrave, uGrave);
      w.capture.Start(w.zone, game);
      w.Press(26, Qt::Key_Dead_Circumflex, "", w.elsewhere);  // any widget's key counts
    }
    QCOMPARE(w.reports, (QStringList{"q", "'", "[", "a", "SC_APOSTROPHE", "SC_LEFTBRACKET"}));
    QVERIFY(w.zone->text().isEmpty());  // the captured keys typed nothing
    w.Press(45, Qt::Key_X, "x");        // and after the capture keys type again
    QCOMPARE(w.zone->text(), QString("x"));
  }

  // A dead key (AZERTY ^, and with Shift the diaeresis) is the key it sits on: while the
  // capture waits no input method composes it with the next key.
  void deadKeysAreTheKeyTheySitOn() {
    Window w;
    QVERIFY(w.zone->testAttribute(Qt::WA_InputMethodEnabled));
    w.capture.Start(&w.window, Game::kQuake2);
    QVERIFY(!w.zone->testAttribute(Qt::WA_InputMethodEnabled));
    w.Press(26, Qt::Key_Dead_Diaeresis, "", nullptr, Qt::ShiftModifier);
    QVERIFY(!w.capture.IsCapturing());
    QVERIFY(w.zone->testAttribute(Qt::WA_InputMethodEnabled));
    w.capture.Start(&w.window, Game::kYamagi);
    w.Press(26, Qt::Key_Dead_Circumflex, "");
    QCOMPARE(w.reports, (QStringList{"[ without the modifiers", "SC_LEFTBRACKET"}));
  }

  // A modifier pressed and released alone is its own key; held while another key goes
  // down, it is left out of that key (the game has no key combinations), except where
  // Yamagi Quake II takes the character Shift or AltGr types. Nothing is ever typed.
  void modifiersAloneAreKeysAndHeldAreLeftOut() {
    Window w;
    constexpr quint32 kLeftShift = 42, kLeftCtrl = 29, kRightAlt = 100, kA = 16;
    w.capture.Start(w.zone, Game::kQuake2);
    w.Press(kLeftShift, Qt::Key_Shift, "", nullptr, Qt::ShiftModifier);
    QVERIFY(w.capture.IsCapturing());  // not yet: another key may follow
    w.Release(kLeftShift, Qt::Key_Shift);
    w.capture.Start(w.zone, Game::kQuake2);
    w.Press(kLeftShift, Qt::Key_Shift, "", nullptr, Qt::ShiftModifier);
    w.Press(kA, Qt::Key_A, "A", nullptr, Qt::ShiftModifier);
    w.Release(kLeftShift, Qt::Key_Shift);  // after the key: nothing more
    w.capture.Start(w.zone, Game::kYamagi);
    w.Press(kLeftShift, Qt::Key_Shift, "", nullptr, Qt::ShiftModifier);
    w.Press(kA, Qt::Key_A, "A", nullptr, Qt::ShiftModifier);
    w.capture.Start(w.zone, Game::kYamagi);
    w.Press(kLeftCtrl, Qt::Key_Control, "", nullptr, Qt::ControlModifier);
    w.Press(kA, Qt::Key_A, "\x01", nullptr, Qt::ControlModifier);
    w.capture.Start(w.zone, Game::kQuake2);
    w.Press(kLeftCtrl, Qt::Key_Control, "", nullptr, Qt::ControlModifier);
    w.Release(kLeftCtrl, Qt::Key_Control);
    w.capture.Start(w.zone, Game::kQuake2);
    w.Press(kRightAlt, Qt::Key_AltGr, "");
    w.Release(kRightAlt, Qt::Key_AltGr);
    QCOMPARE(w.reports, (QStringList{"SHIFT", "q without the modifiers", "A",
                                     "a without the modifiers", "CTRL", "ALT"}));
    QVERIFY(w.zone->text().isEmpty());
  }

  void aKeyTheGameCannotBindIsRefusedWithItsReason() {
    Window w;
    w.capture.Start(w.zone, Game::kQuake2);
    w.Press(86, Qt::Key_Less, "<");  // left of w
    w.capture.Start(w.zone, Game::kYamagi);
    w.Press(41, Qt::Key_twosuperior, QString(QChar(0xB2)));  // left of 1
    w.capture.Start(w.zone, Game::kQuake2);
    QKeyEvent synthetic(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");  // no scan code
    QApplication::sendEvent(w.zone, &synthetic);
    QCOMPARE(w.reports, (QStringList{"!Key.Unbindable", "!Key.ConsoleKey", "!Key.Unidentified"}));
    QVERIFY(!w.capture.IsCapturing());
    QVERIFY(w.zone->text().isEmpty());
  }

  void escapeFocusLossAndAClickElsewhereCancel() {
    Window w;
    w.capture.Start(w.zone, Game::kQuake2);
    w.Press(1, Qt::Key_Escape, "\x1B");
    w.capture.Start(w.zone, Game::kQuake2);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&w.window, &deactivate);
    w.capture.Start(w.zone, Game::kQuake2);
    QSignalSpy clicked(w.elsewhere, &QPushButton::clicked);
    QTest::mouseClick(w.elsewhere, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);  // the click still does its work
    w.capture.Start(w.zone, Game::kQuake2, w.elsewhere);
    QTest::mouseClick(w.elsewhere, Qt::LeftButton);  // the control that started it
    QCOMPARE(clicked.count(), 1);                    // toggles it off, and no more
    QCOMPARE(w.reports, (QStringList{"cancelled", "cancelled", "cancelled", "cancelled"}));
  }

  void mouseButtonsInTheZoneAndTheWheel() {
    Window w;
    EventCounter releases(w.zone, QEvent::MouseButtonRelease);
    EventCounter menus(w.zone, QEvent::ContextMenu);
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::BackButton}) {
      w.capture.Start(w.zone, Game::kQuake2);
      QTest::mouseClick(w.zone, button);
    }
    // The button taken leaves no release and no context menu behind it.
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5),
                           w.zone->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w.zone, &menu);
    QCOMPARE(releases.count + menus.count, 0);
    w.capture.Start(w.zone, Game::kYamagi);
    QTest::mouseClick(w.zone, Qt::ForwardButton);
    w.capture.Start(w.zone, Game::kYamagi);
    w.Turn(0);  // sideways: no name, the capture goes on
    w.Turn(120);
    w.capture.Start(w.zone, Game::kQuake2);
    w.Turn(-120);
    QCOMPARE(w.reports, (QStringList{"MOUSE1", "MOUSE2", "!Key.Unbindable", "MOUSE5", "MWHEELUP",
                                     "MWHEELDOWN"}));
    QTest::mouseClick(w.zone, Qt::LeftButton);  // after the capture, clicks are the zone's
    QCOMPARE(releases.count, 1);
  }
};

QTEST_MAIN(KeyCaptureTest)
#include "KeyCaptureTest.moc"
