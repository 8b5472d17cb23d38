// SPDX-License-Identifier: GPL-3.0-or-later
// The files beside a checked file, as exec finds them: a player keeps the files a list runs
// in the same folder as the list, the game's baseq2/, where the game opens a name as it
// finds names there.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/Check.h"
#include "game/Game.h"

namespace tavrilo::install {

// The entry of `folder` (ending with a separator; "" for the current folder) that `game`
// opens for `name` (game::OpensFileNamed; on Windows, whose file system ignores letter
// case, whatever the game): the name itself first, then the smallest other name it opens,
// so the choice does not depend on the listing's order. As the folder followed by the
// entry; std::nullopt when there is none.
std::optional<std::string> FindFileAsGameOpens(game::Game game, const std::string& folder,
                                               std::string_view name);

// The files of `folder` for the check: each found as FindFileAsGameOpens finds it and read
// whole within the bound of every file read whole (core/WholeFile.h); one that cannot be
// read is none. The folder is listed once, when the first name is asked for.
game::FilesBeside FilesBesideIn(std::string folder);

// The files of several folders, as FilesBesideIn finds them in each: the first folder that
// has a name wins (the game looks in the player's own folder first). The path of each file
// found is added to `found`, if given, which must outlive the result's use.
game::FilesBeside FilesBesideInFolders(const std::vector<std::string>& folders,
                                       std::vector<std::string>* found = nullptr);

}  // namespace tavrilo::install
