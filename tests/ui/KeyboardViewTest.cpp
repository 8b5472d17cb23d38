// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard view drawn off screen: each state of a key told apart without its colour,
// the keys reached with the arrow keys and chosen with Enter or a click, the tool-tips.
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>

#include "ShippedFiles.h"
#include "TestSupport.h"
#include "datafiles/Language.h"
#include "game/ConsoleSession.h"
#include "ui/Colours.h"
#include "ui/KeyboardView.h"
#include "ui/WindowTexts.h"

using tavrilo::game::KeyCap;
using tavrilo::game::KeyStatus;
using tavrilo::game::Layout;
using tavrilo::ui::KeyboardView;

namespace {

// The view's captions in English.
struct English {
  tavrilo::testing::TempDir dir;
  tavrilo::datafiles::LanguageState language{[this] {
    tavrilo::testing::InstallShippedData(dir.Path());
    return dir.Path();
  }()};
  English() { language.Select(tavrilo::datafiles::Language::kEnglish); }
  tavrilo::ui::WindowTexts texts{language};
};

// The keys of `image` within `rect` that are ink: far darker than the faces (a light
// palette), so what is left once the colours are gone.
QImage InkOf(const QImage& image, const QRect& rect) {
  QImage ink(rect.size(), QImage::Format_Mono);
  for (int y = 0; y < rect.height(); ++y)
    for (int x = 0; x < rect.width(); ++x)
      ink.setPixel(x, y, QColor(image.pixel(rect.x() + x, rect.y() + y)).lightness() < 110);
  return ink;
}

// WCAG's contrast of two colours.
double Contrast(const QColor& a, const QColor& b) {
  const auto luminance = [](const QColor& c) {
    const auto linear = [](double v) {
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

class KeyboardViewTest : public QObject {
  Q_OBJECT

 private slots:
  void eachStateIsToldByItsMarkAndNotOnlyByItsColour() {
    English english;
    KeyboardView view(english.texts, Layout::kQwerty);
    QPalette light = view.palette();
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Window, QColor(240, 240, 240));
    light.setColor(QPalette::Text, Qt::black);
    light.setColor(QPalette::WindowText, Qt::black);
    light.setColor(QPalette::PlaceholderText, QColor(140, 140, 140));
    light.setColor(QPalette::Mid, QColor(160, 160, 160));
    view.setPalette(light);
    // The same label on each: only the state differs.
    std::vector<KeyCap> keys;
    for (const KeyStatus status :
         {KeyStatus::kFree, KeyStatus::kPlayer, KeyStatus::kList, KeyStatus::kReplaces,
          KeyStatus::kReserved, KeyStatus::kNeverReceived, KeyStatus::kList}) {
      KeyCap key;
      key.code = static_cast<std::uint16_t>(keys.size() + 1);
      key.x = static_cast<int>(keys.size()) * 8;
      key.width = key.height = 6;
      key.label = "k";
      key.name = "k";
      key.status = status;
      keys.push_back(key);
    }
    keys.back().listError = true;  // the list's line that binds it has an error
    view.SetKeySource([&keys](Layout) { return keys; });
    view.resize(view.sizeHint());
    QVERIFY(view.sizeHint().width() <= 610 && view.sizeHint().height() <= 230);
    const QImage image = view.grab().toImage();
    std::vector<QImage> inks;
    for (std::size_t i = 0; i < keys.size(); ++i)
      inks.push_back(InkOf(image, view.KeyRect(i)));
    for (std::size_t i = 0; i < inks.size(); ++i)
      for (std::size_t j = i + 1; j < inks.size(); ++j)
        QVERIFY2(inks[i] != inks[j], qPrintable(QStringLiteral("keys %1 and %2").arg(i).arg(j)));

    // The text stays readable on every face, in a light palette and in a dark one.
    for (const bool dark : {false, true}) {
      for (const auto colour :
           {tavrilo::ui::Colour::kKeyOfList, tavrilo::ui::Colour::kKeyOfPlayer,
            tavrilo::ui::Colour::kKeyReplaced, tavrilo::ui::Colour::kKeyReserved}) {
        const QColor text = dark ? QColor(230, 230, 230) : QColor(Qt::black);
        QVERIFY(Contrast(text, tavrilo::ui::ColourOf(colour, dark)) >= 4.5);
      }
    }
  }

  // The keys as the window gives them: the player's configuration binds F1, the list binds
  // F1 again and F2.
  void arrowsMoveEnterAndAClickChooseAndTheToolTipsTellBeforeAndAfter() {
    English english;
    tavrilo::game::ConsoleSession player(tavrilo::game::Game::kQuake2, {});
    player.Run("bind F1 \"echo mine\"\n", "config.cfg");
    tavrilo::StringList list;
    list.Add("bind F2 \"+attack\"");
    list.Add("bind F1 \"say hi\"");
    const auto outcome = player.CheckList(list, 0);
    const tavrilo::game::GameState before = player.Current();
    KeyboardView view(english.texts, Layout::kQwerty);
    QSignalSpy layouts(&view, &KeyboardView::LayoutChosen);
    view.SetKeySource([&](Layout layout) {
      return tavrilo::game::LayOutKeys(tavrilo::game::Game::kQuake2, layout, before, outcome.after,
                                       outcome.findings);
    });
    view.show();
    view.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&view));
    QCOMPARE(view.CurrentKey(), 0);  // Escape, the first key
    QSignalSpy chosen(&view, &KeyboardView::KeyChosen);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Enter);
    QCOMPARE(chosen.size(), 2);
    QCOMPARE(chosen[0], (QVariantList{QStringLiteral("F1"), 1}));
    QCOMPARE(chosen[1], (QVariantList{QStringLiteral("F2"), 0}));
    const auto f2 = static_cast<std::size_t>(view.CurrentKey());
    const auto f1 = f2 - 1;
    QTest::mouseClick(&view, Qt::LeftButton, {}, view.KeyRect(f1).center());
    QCOMPARE(chosen.size(), 3);
    QCOMPARE(chosen[2][0].toString(), QStringLiteral("F1"));

    QCOMPARE(view.ToolTipOf(f1), QStringLiteral("The game calls this key F1\n"
                                                "The list replaces your own binding of this key\n"
                                                "Now: echo mine (config.cfg, line 1)\n"
                                                "After the list: say hi (line 2 of the list)"));
    QVERIFY2(
        view.ToolTipOf(f2).endsWith("Now: nothing\nAfter the list: +attack (line 1 of the list)"),
        qPrintable(view.ToolTipOf(f2)));

    // Another layout: the keys again from the source, the same key kept.
    view.SetLayout(Layout::kAzerty);
    QCOMPARE(layouts.size(), 1);
    QCOMPARE(view.ChosenLayout(), Layout::kAzerty);
    QCOMPARE(view.Keys()[static_cast<std::size_t>(view.CurrentKey())].name, "F1");
    const auto& keys = view.Keys();
    QVERIFY(std::any_of(keys.begin(), keys.end(),
                        [](const KeyCap& key) { return key.code == 16 && key.label == "a"; }));
  }
};

QTEST_MAIN(KeyboardViewTest)
#include "KeyboardViewTest.moc"
