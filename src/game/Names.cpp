// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Names.h"

#include <unordered_map>

namespace tavrilo::game {

namespace lists {
extern const std::string_view kQuake2;
extern const std::string_view kQuake2Keys;
extern const std::string_view kYamagi;
extern const std::string_view kYamagiKeys;
extern const std::string_view kQuake2CvarFlags;
extern const std::string_view kYamagiCvarFlags;
extern const std::string_view kItems;
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

template <typename Value>
using NameMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

struct Registry {
  NameMap<NameInfo> names;                                    // lower case
  std::vector<std::pair<std::string, std::string>> sections;  // section, name in list order
  std::vector<std::string> keys;
  NameMap<CvarInfo> cvars;           // as registered
  NameMap<std::string> cvarsFolded;  // lower case -> as registered
};

// The text of `line` up to the first blank, and the rest without its leading blanks.
std::pair<std::string_view, std::string_view> SplitFirstWord(std::string_view line) {
  const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
  return {line.substr(0, end), Trim(line.substr(end))};
}

// The cvar flags list: "[write-protected]", "[latched]" and "[renamed]" ("OLD NEW") sections.
void ReadCvarFlags(std::string_view list, Registry& registry) {
  ForEachName(list, [&](std::string_view section, std::string_view line) {
    const auto [name, rest] = SplitFirstWord(line);
    CvarInfo& info = registry.cvars[std::string(name)];
    if (section == "write-protected") {
      info.writeProtected = true;
    } else if (section == "latched") {
      info.latched = true;
    } else if (section == "renamed") {
      info.renamedTo = rest;
    }
  });
}

Registry Read(std::string_view list, std::string_view keyList, std::string_view cvarFlags) {
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
      registry.cvars[std::string(name)].program = true;
    } else if (kind == "game-cvar") {
      info.gameCvar = true;
      registry.cvars[std::string(name)].gameModule = true;
    } else if (kind == "renderer-cvar") {
      const std::string_view renderer = Trim(section.substr(kind.size()));
      for (std::string* renderers :
           {&info.renderers, &registry.cvars[std::string(name)].renderers}) {
        if (!renderers->empty()) *renderers += ' ';
        *renderers += renderer;
      }
    }
  });
  ReadCvarFlags(cvarFlags, registry);
  for (const auto& [name, info] : registry.cvars)
    registry.cvarsFolded.emplace(LowerCase(name), name);
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
  static const Registry quake2 = Read(lists::kQuake2, lists::kQuake2Keys, lists::kQuake2CvarFlags);
  static const Registry yamagi = Read(lists::kYamagi, lists::kYamagiKeys, lists::kYamagiCvarFlags);
  return game == Game::kYamagi ? yamagi : quake2;
}

struct ItemTable {
  std::vector<Item> items;
  NameMap<std::size_t> byName;  // lower case -> its place in items
};

// The items list: "NAME<TAB>use=yes|no<TAB>drop=yes|no".
const ItemTable& Items() {
  static const ItemTable table = [] {
    ItemTable read;
    ForEachName(lists::kItems, [&](std::string_view, std::string_view line) {
      const std::size_t tab = std::min(line.find('\t'), line.size());
      Item item{std::string(Trim(line.substr(0, tab))), false, false};
      const std::string_view flags = line.substr(tab);
      item.usable = flags.find("use=yes") != std::string_view::npos;
      item.droppable = flags.find("drop=yes") != std::string_view::npos;
      read.byName.emplace(LowerCase(item.name), read.items.size());
      read.items.push_back(std::move(item));
    });
    return read;
  }();
  return table;
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

const CvarInfo* FindCvar(Game game, std::string_view name) {
  const auto& cvars = RegistryOf(game).cvars;
  const auto found = cvars.find(name);
  return found == cvars.end() ? nullptr : &found->second;
}

std::string_view CvarSpelling(Game game, std::string_view name) {
  const auto& folded = RegistryOf(game).cvarsFolded;
  const auto found = folded.find(Folded(name).View());
  return found == folded.end() ? std::string_view() : std::string_view(found->second);
}

const Item* FindItem(std::string_view name) {
  const ItemTable& table = Items();
  const auto found = table.byName.find(LowerCase(name));
  return found == table.byName.end() ? nullptr : &table.items[found->second];
}

const std::vector<Item>& AllItems() {
  return Items().items;
}

bool IsItem(std::string_view name) {
  return FindItem(name) != nullptr;
}

bool IsUsableItem(std::string_view name) {
  const Item* item = FindItem(name);
  return item != nullptr && item->usable;
}

}  // namespace tavrilo::game
