// SPDX-License-Identifier: GPL-3.0-or-later
#include "install/FilesBeside.h"

#include <memory>
#include <utility>
#include <vector>

#include "core/Platform.h"
#include "core/WholeFile.h"

namespace tavrilo::install {

namespace {

using Listing = std::optional<std::vector<platform::DirectoryEntry>>;

std::optional<std::string> BestEntry(game::Game game, const Listing& listing,
                                     std::string_view name) {
  if (!listing) return std::nullopt;
  std::optional<std::string> best;
  for (const platform::DirectoryEntry& entry : *listing) {
#ifdef _WIN32
    // The file system ignores letter case, whatever game asks it.
    (void)game;
    const bool opens = game::OpensFileNamed(game::Game::kQuake2, name, entry.name);
#else
    const bool opens = game::OpensFileNamed(game, name, entry.name);
#endif
    if (entry.directory || !opens) continue;
    if (best && !(entry.name == name || (*best != name && entry.name < *best))) continue;
    best = entry.name;
  }
  return best;
}

}  // namespace

std::optional<std::string> FindFileAsGameOpens(game::Game game, const std::string& folder,
                                               std::string_view name) {
  const std::optional<std::string> entry = BestEntry(game, platform::ListDirectory(folder), name);
  if (!entry) return std::nullopt;
  return folder + *entry;
}

game::FilesBeside FilesBesideIn(std::string folder) {
  struct Folder {
    std::string path;
    std::optional<Listing> listing;  // listed at the first name asked for
  };
  auto shared = std::make_shared<Folder>(Folder{std::move(folder), std::nullopt});
  return [shared](game::Game game, std::string_view written) -> std::optional<game::FileBeside> {
    if (!shared->listing) shared->listing = platform::ListDirectory(shared->path);
    std::optional<std::string> entry = BestEntry(game, *shared->listing, written);
    if (!entry) return std::nullopt;
    game::FileBeside file;
    if (ReadWholeFile(shared->path + *entry, file.bytes) != platform::kNoError) return std::nullopt;
    file.name = std::move(*entry);
    return file;
  };
}

game::FilesBeside FilesBesideInFolders(const std::vector<std::string>& folders,
                                       std::vector<std::string>* found) {
  std::vector<std::pair<std::string, game::FilesBeside>> each;
  for (const std::string& folder : folders)
    each.emplace_back(folder, FilesBesideIn(folder));
  return [each = std::move(each), found](
             game::Game game, std::string_view written) -> std::optional<game::FileBeside> {
    for (const auto& [folder, files] : each) {
      std::optional<game::FileBeside> file = files(game, written);
      if (!file) continue;
      if (found != nullptr) found->push_back(folder + file->name);
      return file;
    }
    return std::nullopt;
  };
}

}  // namespace tavrilo::install
