// SPDX-License-Identifier: GPL-3.0-or-later
// The player's own configuration, read and never written: the start-up files the game
// runs before any list of the player's, in their order. Quake 2 3.20 runs default.cfg,
// config.cfg and autoexec.cfg from <game>/baseq2/; Yamagi Quake II runs default.cfg,
// yq2.cfg, config.cfg and autoexec.cfg, each looked for first in the player's own folder,
// then in <game>/baseq2/. default.cfg comes from baseq2/pak0.pak when no such file is on
// disk. A file that cannot be read is named with its reason and left out.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Text.h"
#include "game/Game.h"

namespace tavrilo::install {

// A start-up file the game runs.
struct StartupFile {
  std::string name;  // as the game runs it: "config.cfg"
  std::string path;  // where it was read ("<pak path>/default.cfg" for the archive's)
  std::string bytes;
};

// A start-up file found but not read, and why (a text of the caption files).
struct UnreadFile {
  std::string path;
  Text reason;
};

struct PlayerConfiguration {
  std::vector<StartupFile> files;  // in the order the game runs them
  std::vector<UnreadFile> unread;
  // The folders looked in (the player's own first), each ending with a separator: a
  // change in one of them may change the configuration.
  std::vector<std::string> folders;
  // The files the start-up files ran with exec, found in those folders as the game finds
  // them (install/FilesBeside.h), filled as they run (macros::PlayerGame::Read): a change
  // in one of them may change the configuration too.
  std::vector<std::string> executed;
};

// The player's own folder of Yamagi Quake II, as the game finds it, ending with a
// separator: on Windows <documents>YamagiQ2\baseq2\; elsewhere <home>.yq2/baseq2/, or,
// when <home>.yq2/ does not exist and <user data>YamagiQ2/ does (a build of the game made
// for the XDG folders), <user data>YamagiQ2/baseq2/. `home` and `userData` end with a
// separator (platform::HomeFolder, platform::UserDataFolder).
std::string YamagiUserFolderFor(const std::string& home, const std::string& userData);
std::string YamagiUserFolder();

// The start-up files of `game` under the game path `gamePath` (the Q2Path setting: the
// game's folder, ending with a separator), and for Yamagi Quake II in `userFolder` (its
// player folder, YamagiUserFolder() when not given). Names are found in a folder as the
// game finds them (game::OpensFileNamed).
PlayerConfiguration ReadPlayerConfiguration(game::Game game, const std::string& gamePath,
                                            const std::optional<std::string>& userFolder = {});

}  // namespace tavrilo::install
