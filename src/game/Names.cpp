// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Names.h"

#include <array>
#include <unordered_map>
#include <unordered_set>

namespace tavrilo::game {

namespace lists {
extern const std::string_view kQuake2;
extern const std::string_view kQuake2Keys;
extern const std::string_view kYamagi;
extern const std::string_view kYamagiKeys;
}  // namespace lists

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// One line of a list without its comment; the key lists end some names with a stray quote.
std::string_view Entry(std::string_view line) {
  const std::size_t comment = line.find('#');
  if (comment != std::string_view::npos) line = line.substr(0, comment);
  line = Trim(line);
  if (line.size() > 1 && line.back() == '"') line.remove_suffix(1);
  return line;
}

// Calls `each(section, name)` for every name of a list: "[section extra]" lines open a
// section ("renderer-cvar gl"), "#" starts a comment.
template <typename Each>
void ForEachName(std::string_view list, Each&& each) {
  std::string_view section;
  while (!list.empty()) {
    const std::size_t end = std::min(list.find('\n'), list.size());
    const std::string_view line = Entry(list.substr(0, end));
    list.remove_prefix(std::min(end + 1, list.size()));
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      section = Trim(line.substr(1, line.size() - 2));
      continue;
    }
    each(section, line);
  }
}

struct Registry {
  std::unordered_map<std::string, NameInfo, TextHash, std::equal_to<>> names;  // lower case
  std::vector<std::pair<std::string, std::string>> sections;  // section, name in list order
  std::vector<std::string> keys;
};

Registry Read(std::string_view list, std::string_view keyList) {
  Registry registry;
  ForEachName(list, [&](std::string_view section, std::string_view name) {
    registry.sections.emplace_back(std::string(section), std::string(name));
    NameInfo& info = registry.names[LowerCase(name)];
    const std::string_view kind = section.substr(0, section.find(' '));
    if (kind == "command") {
      info.command = true;
    } else if (kind == "renderer-command") {
      info.rendererCommand = true;
    } else if (kind == "server-command") {
      info.serverCommand = true;
    } else if (kind == "cvar") {
      info.cvar = true;
    } else if (kind == "game-cvar") {
      info.gameCvar = true;
    } else if (kind == "renderer-cvar") {
      const std::string_view renderer = Trim(section.substr(kind.size()));
      if (!info.renderers.empty()) info.renderers += ' ';
      info.renderers += renderer;
    }
  });
  static constexpr std::pair<std::string_view, Role> kRoles[] = {
      {"bind", Role::kBind},        {"unbind", Role::kUnbind}, {"unbindall", Role::kUnbindAll},
      {"alias", Role::kAlias},      {"exec", Role::kExec},     {"wait", Role::kWait},
      {"set", Role::kSet},          {"cmd", Role::kCmd},       {"say", Role::kSay},
      {"say_team", Role::kSayTeam}, {"use", Role::kUse},       {"drop", Role::kDrop},
      {"give", Role::kGive},
  };
  for (const auto& [name, role] : kRoles) {
    const auto found = registry.names.find(name);
    if (found != registry.names.end()) found->second.role = role;
  }
  ForEachName(keyList,
              [&](std::string_view, std::string_view name) { registry.keys.emplace_back(name); });
  return registry;
}

const Registry& RegistryOf(Game game) {
  static const Registry quake2 = Read(lists::kQuake2, lists::kQuake2Keys);
  static const Registry yamagi = Read(lists::kYamagi, lists::kYamagiKeys);
  return game == Game::kYamagi ? yamagi : quake2;
}

// The pickup names of the game module's items, in lower case, and those `use` refuses.
const std::unordered_set<std::string_view>& Items() {
  static const std::unordered_set<std::string_view> items = {
      "blaster",          "shotgun",         "super shotgun",    "machinegun",
      "chaingun",         "grenades",        "grenade launcher", "rocket launcher",
      "hyperblaster",     "railgun",         "bfg10k",           "shells",
      "bullets",          "cells",           "rockets",          "slugs",
      "quad damage",      "invulnerability", "silencer",         "rebreather",
      "environment suit", "power screen",    "power shield",     "adrenaline",
      "bandolier",        "ammo pack",       "jacket armor",     "combat armor",
      "body armor",       "armor shard",     "health",           "data cd",
      "power cube",       "pyramid key",     "data spinner",     "security pass",
      "blue key",         "red key",         "commander's head", "airstrike marker"};
  return items;
}

bool IsArmourOrHealth(std::string_view lower) {
  return lower == "jacket armor" || lower == "combat armor" || lower == "body armor" ||
         lower == "armor shard" || lower == "health";
}

}  // namespace

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = LowerByte(c);
  return lower;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerByte(a[i]) != LowerByte(b[i])) return false;
  }
  return true;
}

const NameInfo* FindName(Game game, std::string_view name) {
  // A name longer than any of the game's is none of them.
  if (name.size() > 64) return nullptr;
  return FindFoldedName(game, Folded(name));
}

const NameInfo* FindFoldedName(Game game, std::string_view lower) {
  const auto& names = RegistryOf(game).names;
  const auto found = names.find(lower);
  return found == names.end() ? nullptr : &found->second;
}

std::vector<std::string> NamesOfSection(Game game, std::string_view section) {
  std::vector<std::string> names;
  for (const auto& [listed, name] : RegistryOf(game).sections) {
    if (listed == section || listed.starts_with(std::string(section) + ' ')) names.push_back(name);
  }
  return names;
}

const std::vector<std::string>& KeyTableNames(Game game) {
  return RegistryOf(game).keys;
}

bool IsItem(std::string_view name) {
  return Items().contains(LowerCase(name));
}

bool IsUsableItem(std::string_view name) {
  const std::string lower = LowerCase(name);
  return Items().contains(lower) && !IsArmourOrHealth(lower);
}

}  // namespace tavrilo::game
