// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Colours.h"

#include <QWidget>

namespace tavrilo::ui {

namespace {

struct Shades {
  QColor light;
  QColor dark;
};

Shades ShadesOf(Colour colour) {
  switch (colour) {
    case Colour::kFieldText:
      return {QColor(0, 0, 255), QColor(130, 170, 255)};
    case Colour::kError:
      return {QColor(180, 0, 0), QColor(255, 120, 110)};
    case Colour::kNote:
      return {QColor(0, 70, 170), QColor(120, 175, 255)};
    case Colour::kWaitingForKey:
      return {QColor(255, 236, 150), QColor(110, 90, 20)};
    // Blue, amber and orange stay apart for eyes that do not tell red from green; the
    // palette's text stays readable on each shade.
    case Colour::kKeyOfList:
      return {QColor(190, 215, 255), QColor(35, 70, 135)};
    case Colour::kKeyOfPlayer:
      return {QColor(255, 232, 170), QColor(100, 80, 20)};
    case Colour::kKeyReplaced:
      return {QColor(255, 185, 140), QColor(135, 55, 25)};
    case Colour::kKeyReserved:
      return {QColor(205, 205, 205), QColor(70, 70, 70)};
  }
  return {};
}

}  // namespace

bool IsDark(const QPalette& palette) {
  return palette.color(QPalette::Window).lightness() <
         palette.color(QPalette::WindowText).lightness();
}

QColor ColourOf(Colour colour, bool dark) {
  const Shades shades = ShadesOf(colour);
  return dark ? shades.dark : shades.light;
}

QColor ColourOf(Colour colour, const QPalette& palette) {
  return ColourOf(colour, IsDark(palette));
}

QColor SeverityColour(game::Severity severity, const QPalette& palette) {
  switch (severity) {
    case game::Severity::kError:
      return ColourOf(Colour::kError, palette);
    case game::Severity::kNote:
      return ColourOf(Colour::kNote, palette);
    case game::Severity::kNone:
      break;
  }
  return palette.color(QPalette::WindowText);
}

void Paint(QWidget* widget, QPalette::ColorRole role, Colour colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, ColourOf(colour, widget->window()->palette()));
  widget->setPalette(palette);
}

}  // namespace tavrilo::ui
