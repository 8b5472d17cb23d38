// The names the game knows: its commands, its cvars and its items. A command name that is
// none of these, and no alias either, is sent to the server, which says it as chat.
#pragma once

#include <string_view>

namespace tavrilo::game {

// A command of the client, the console, the server or the game: movement buttons (+/-),
// console commands, menus, the game's own commands (use, inven, wave...). Any letter case.
bool IsGameCommand(std::string_view name);

// A cvar of the game or of one of its renderers. Exact letter case, as the game compares.
bool IsCvar(std::string_view name);

// The pickup name of an item, as use and drop take it. Any letter case.
bool IsItem(std::string_view name);

// use, drop and give read their arguments as one raw text, quotes included (any case).
bool ReadsArgumentsRaw(std::string_view command);

// use and drop name an item with their arguments.
bool NamesAnItem(std::string_view command);

// say and say_team: their arguments are chat, sent as typed (one pair of quotes removed).
bool IsChatCommand(std::string_view command);

}  // namespace tavrilo::game
