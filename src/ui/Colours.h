// SPDX-License-Identifier: GPL-3.0-or-later
// The window's colours, in one table: each has a shade for a light palette (the window's
// own colours) and one for a dark palette, chosen by the palette the widget has.
#pragma once

#include <QColor>
#include <QPalette>

#include "game/Check.h"

class QWidget;

namespace tavrilo::ui {

enum class Colour {
  kFieldText,      // the text of the key, function and resource fields
  kError,          // a line the game does not run as written
  kNote,           // a note about a line
  kWaitingForKey,  // the background of the key field while it waits for a key
  // The keys of the keyboard view, by what they do (a free key has the palette's base).
  kKeyOfList,    // the list binds it
  kKeyOfPlayer,  // the player's configuration binds it
  kKeyReplaced,  // the list replaces or removes the player's binding
  kKeyReserved,  // the game keeps it for the console or the menu
};

// Whether `palette` is dark: its window colour is darker than its text.
bool IsDark(const QPalette& palette);

// The shade of `colour` for `palette`, or for a dark or light one.
QColor ColourOf(Colour colour, const QPalette& palette);
QColor ColourOf(Colour colour, bool dark);

// The colour of a severity's text and mark; the palette's own text colour for none.
QColor SeverityColour(game::Severity severity, const QPalette& palette);

// Sets `role` of `widget`'s own palette to `colour`'s shade for its window's palette.
void Paint(QWidget* widget, QPalette::ColorRole role, Colour colour);

}  // namespace tavrilo::ui
