// SPDX-License-Identifier: GPL-3.0-or-later
#include "install/PlayerConfig.h"

#include <array>
#include <span>
#include <string_view>

#include "core/Paths.h"
#include "core/Platform.h"
#include "core/WholeFile.h"
#include "install/FileUtilities.h"
#include "install/FilesBeside.h"
#include "install/GameFolders.h"
#include "install/PakFile.h"
#include "install/SupportFiles.h"

namespace tavrilo::install {

namespace {

constexpr std::string_view kDefaultConfig = "default.cfg";
constexpr std::string_view kPak = "pak0.pak";

constexpr std::array<std::string_view, 3> kQuake2Files = {"default.cfg", "config.cfg",
                                                          "autoexec.cfg"};
constexpr std::array<std::string_view, 4> kYamagiFiles = {"default.cfg", "yq2.cfg", "config.cfg",
                                                          "autoexec.cfg"};

Text PakFailure(const PakMember& member, const std::string& pak) {
  switch (member.outcome) {
    case PakMember::Outcome::kTooBig:
      return Text{"File.TooBig", {pak}};
    case PakMember::Outcome::kUnreadable:
      return ReadFailureText(member.error, pak);
    default:
      return Text{"Player.PakDamaged", {}};
  }
}

}  // namespace

std::string YamagiUserFolderFor(const std::string& home, const std::string& userData) {
#ifdef _WIN32
  (void)home;
  return userData + "YamagiQ2\\baseq2\\";
#else
  if (!IsDirectory(home + ".yq2/") && IsDirectory(userData + "YamagiQ2/"))
    return userData + "YamagiQ2/baseq2/";
  return home + ".yq2/baseq2/";
#endif
}

std::string YamagiUserFolder() {
  return YamagiUserFolderFor(HomeFolder(), platform::UserDataFolder());
}

PlayerConfiguration ReadPlayerConfiguration(game::Game game, const std::string& gamePath,
                                            const std::optional<std::string>& userFolder) {
  PlayerConfiguration configuration;
  if (game == game::Game::kYamagi)
    configuration.folders.push_back(userFolder.value_or(YamagiUserFolder()));
  const std::optional<std::string> dataFolder = FindGameDataDirectory(gamePath);
  if (dataFolder) configuration.folders.push_back(*dataFolder);
  const std::span<const std::string_view> names =
      game == game::Game::kYamagi ? std::span<const std::string_view>(kYamagiFiles)
                                  : std::span<const std::string_view>(kQuake2Files);
  for (const std::string_view name : names) {
    std::optional<std::string> path;
    for (const std::string& folder : configuration.folders) {
      if ((path = FindFileAsGameOpens(game, folder, name))) break;
    }
    StartupFile file;
    file.name = name;
    if (path) {
      file.path = *path;
      if (const int error = ReadWholeFile(*path, file.bytes)) {
        configuration.unread.push_back({*path, ReadFailureText(error, *path)});
        continue;
      }
    } else if (name == kDefaultConfig && dataFolder) {
      const std::optional<std::string> pak = FindFileAsGameOpens(game, *dataFolder, kPak);
      if (!pak) continue;
      file.path = *pak + kPathSeparator + std::string(name);
      PakMember member = ReadPakMember(*pak, name);
      if (member.outcome == PakMember::Outcome::kAbsent) continue;
      if (member.outcome != PakMember::Outcome::kRead) {
        configuration.unread.push_back({file.path, PakFailure(member, *pak)});
        continue;
      }
      file.bytes = std::move(member.bytes);
    } else {
      continue;
    }
    configuration.files.push_back(std::move(file));
  }
  return configuration;
}

}  // namespace tavrilo::install
