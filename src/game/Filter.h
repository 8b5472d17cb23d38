// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of a list that a search keeps: those whose key, command or text contains what
// the player typed, letter case ignored (ASCII, as the console compares names). A binding
// line is searched in its key and in the text it binds; any other line in its words. The
// lines keep their numbers in the list.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "core/StringList.h"
#include "game/Check.h"
#include "game/Game.h"

namespace tavrilo::game {

// Whether `line` is kept by the search for `needle` (an empty search keeps every line).
bool LineMatches(std::string_view line, std::string_view needle, Game game);

// The numbers of the lines of `lines` that the search for `needle` keeps, in order.
std::vector<int> FilterLines(const StringList& lines, std::string_view needle, Game game);

// The findings of the lines `kept` (in order, from FilterLines), in the result's order.
std::vector<Finding> FindingsOfLines(const CheckResult& result, std::span<const int> kept);

}  // namespace tavrilo::game
