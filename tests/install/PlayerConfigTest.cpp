// SPDX-License-Identifier: GPL-3.0-or-later
// The player's start-up files: found as each game finds them, default.cfg out of
// pak0.pak, and a crafted archive or an unreadable file refused without harm.
#include "install/PlayerConfig.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/Paths.h"
#include "install/PakFile.h"

namespace tavrilo::install {
namespace {

using game::Game;
using testing::TempDir;
using testing::WriteFile;

std::string Le32(std::uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i)
    bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

// An archive of the members given, the directory after their bytes as the game's tools
// write it.
std::string Pak(const std::vector<std::pair<std::string, std::string>>& members) {
  std::string data, directory;
  for (const auto& [name, bytes] : members) {
    std::string entry = name;
    entry.resize(56, '\0');
    directory += entry + Le32(static_cast<std::uint32_t>(12 + data.size())) +
                 Le32(static_cast<std::uint32_t>(bytes.size()));
    data += bytes;
  }
  return "PACK" + Le32(static_cast<std::uint32_t>(12 + data.size())) +
         Le32(static_cast<std::uint32_t>(directory.size())) + data + directory;
}

TEST(PakFileTest, ReadsAMemberAndRefusesWhatLiesOutsideTheArchive) {
  TempDir dir;
  const std::string pak = dir / "pak0.pak";
  WriteFile(pak, Pak({{"pics/a.pcx", "xx"}, {"default.cfg", "bind a +attack\n"}}));
  PakMember member = ReadPakMember(pak, "DEFAULT.CFG");
  EXPECT_EQ(member.outcome, PakMember::Outcome::kRead);
  EXPECT_EQ(member.bytes, "bind a +attack\n");
  EXPECT_EQ(ReadPakMember(pak, "autoexec.cfg").outcome, PakMember::Outcome::kAbsent);
  EXPECT_EQ(ReadPakMember(pak, "default.cfg", 4).outcome, PakMember::Outcome::kTooBig);

  // A member, a directory or a header that claims bytes past the end, a directory length
  // that is no whole number of entries, a file that is no archive.
  std::string bytes = Pak({{"default.cfg", "bind a +attack\n"}});
  std::string member4g = bytes;
  member4g.replace(member4g.size() - 4, 4, Le32(0xFFFFFFF0u));
  std::string offset4g = bytes;
  offset4g.replace(offset4g.size() - 8, 4, Le32(0xFFFFFFF0u));
  std::string directory4g = bytes;
  directory4g.replace(4, 4, Le32(0xFFFFFFF0u));
  std::string length4g = bytes;
  length4g.replace(8, 4, Le32(0xFFFFFFC0u));
  std::string uneven = bytes;
  uneven.replace(8, 4, Le32(63));
  for (const std::string& crafted : {member4g, offset4g, directory4g, length4g, uneven,
                                     std::string("PACK"), std::string("PAKC") + bytes.substr(4)}) {
    WriteFile(pak, crafted);
    EXPECT_EQ(ReadPakMember(pak, "default.cfg").outcome, PakMember::Outcome::kDamaged);
  }
  EXPECT_EQ(ReadPakMember(dir / "none.pak", "default.cfg").outcome,
            PakMember::Outcome::kUnreadable);
}

std::vector<std::string> Names(const PlayerConfiguration& configuration) {
  std::vector<std::string> names;
  for (const StartupFile& file : configuration.files)
    names.push_back(file.name + "=" + file.bytes);
  return names;
}

TEST(PlayerConfigTest, EachGamesStartupFilesInTheirOrderFromItsFolders) {
  TempDir game, user;
  WriteFile(game / "baseq2/pak0.pak", Pak({{"default.cfg", "pak"}}));
  WriteFile(game / "baseq2/Config.cfg", "game config");
  WriteFile(game / "baseq2/yq2.cfg", "game yq2");
  WriteFile(game / "baseq2/autoexec.cfg", "game autoexec");
  WriteFile(user / "config.cfg", "user config");
  WriteFile(user / "AUTOEXEC.CFG", "not opened by Yamagi Quake II");

  // Quake 2 runs on Windows: any letter case; nothing of the player's folder.
  EXPECT_EQ(Names(ReadPlayerConfiguration(Game::kQuake2, game.Path(), user.Path())),
            (std::vector<std::string>{"default.cfg=pak", "config.cfg=game config",
                                      "autoexec.cfg=game autoexec"}));
  // Yamagi Quake II: the player's folder first; a name as written or in lower case.
  const PlayerConfiguration yamagi =
      ReadPlayerConfiguration(Game::kYamagi, game.Path(), user.Path());
#ifndef _WIN32
  EXPECT_EQ(Names(yamagi),
            (std::vector<std::string>{"default.cfg=pak", "yq2.cfg=game yq2",
                                      "config.cfg=user config", "autoexec.cfg=game autoexec"}));
  EXPECT_EQ(yamagi.folders, (std::vector<std::string>{user.Path(), game / "baseq2/"}));
#endif

  // A file on disk wins over the archive's; a folder of a start-up file's name is none.
  WriteFile(game / "baseq2/default.cfg", "disk");
  std::filesystem::remove(game / "baseq2/autoexec.cfg");
  std::filesystem::create_directory(game / "baseq2/autoexec.cfg");
  const PlayerConfiguration quake2 = ReadPlayerConfiguration(Game::kQuake2, game.Path());
  EXPECT_EQ(Names(quake2),
            (std::vector<std::string>{"default.cfg=disk", "config.cfg=game config"}));
}

TEST(PlayerConfigTest, ADamagedArchiveOrAnUnreadableFileIsNamedAndLeftOut) {
  TempDir game;
  WriteFile(game / "baseq2/pak0.pak", "PACK" + Le32(0xFFFFFFF0u) + Le32(64));
  WriteFile(game / "baseq2/config.cfg", std::string(1, 'x'));
  WriteFile(game / "baseq2/autoexec.cfg", "");
  std::filesystem::resize_file(game / "baseq2/autoexec.cfg", kMaxWholeFileSize + 1);
  // The name as the program builds it, with the system's separator.
  const std::string big = game.Path() + "baseq2" + kPathSeparator + "autoexec.cfg";
  const PlayerConfiguration configuration = ReadPlayerConfiguration(Game::kQuake2, game.Path());
  EXPECT_EQ(Names(configuration), (std::vector<std::string>{"config.cfg=x"}));
  ASSERT_EQ(configuration.unread.size(), 2u);
  EXPECT_EQ(configuration.unread[0].reason, (Text{"Player.PakDamaged", {}}));
  EXPECT_EQ(configuration.unread[1].path, big);
  EXPECT_EQ(configuration.unread[1].reason, (Text{"File.TooBig", {big}}));
}

TEST(PlayerConfigTest, YamagisFolderIsTheOldOneUnlessOnlyTheDataFolderExists) {
#ifdef _WIN32
  EXPECT_EQ(YamagiUserFolderFor("C:\\Users\\p\\", "C:\\Users\\p\\Documents\\"),
            "C:\\Users\\p\\Documents\\YamagiQ2\\baseq2\\");
#else
  TempDir home;
  const std::string data = home / ".local/share/";
  EXPECT_EQ(YamagiUserFolderFor(home.Path(), data), home / ".yq2/baseq2/");
  std::filesystem::create_directories(data + "YamagiQ2");
  EXPECT_EQ(YamagiUserFolderFor(home.Path(), data), data + "YamagiQ2/baseq2/");
  std::filesystem::create_directories(home / ".yq2");
  EXPECT_EQ(YamagiUserFolderFor(home.Path(), data), home / ".yq2/baseq2/");
#endif
}

}  // namespace
}  // namespace tavrilo::install
