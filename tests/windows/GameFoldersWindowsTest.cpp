// SPDX-License-Identifier: GPL-3.0-or-later
// Where the game usually is on Windows, and the game's folder from a player's choice
// named with drive letters and backslashes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/Platform.h"
#include "install/GameFolders.h"

namespace tavrilo::install {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::WriteFile;

bool Has(const std::vector<std::string>& folders, const std::string& folder) {
  return std::find(folders.begin(), folders.end(), folder) != folders.end();
}

TEST(WindowsGameFolders, SteamLibrariesThenTheGamesOwnInstallFolders) {
  // Steam's library list as Steam writes it on Windows: backslashes doubled.
  const std::string steam = "C:\\Program Files (x86)\\Steam\\";
  const std::string list = steam + "steamapps\\libraryfolders.vdf";
  const bool hadSteam = fs::exists(steam);
  WriteFile(
      list,
      "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"D:\\\\SteamLibrary\"\n\t}\n}\n");
  const std::vector<std::string> folders = UsualGameFolders(platform::HomeFolder());
  if (hadSteam) {
    fs::remove(list);
  } else {
    fs::remove_all(steam);
  }

  ASSERT_GE(folders.size(), 5u);
  EXPECT_EQ(folders[0], steam + "steamapps\\common\\Quake 2\\");
  EXPECT_EQ(folders[1], "D:\\SteamLibrary\\steamapps\\common\\Quake 2\\");
  EXPECT_TRUE(Has(folders, "C:\\Program Files\\Steam\\steamapps\\common\\Quake 2\\"));
  EXPECT_TRUE(Has(folders, "C:\\Quake2\\"));
  EXPECT_EQ(folders.back(), "C:\\Program Files\\Quake II\\");
  EXPECT_TRUE(Has(folders, "C:\\Program Files (x86)\\Quake II\\"));
  for (const std::string& folder : folders)
    EXPECT_EQ(folder.find('/'), std::string::npos) << folder;
}

TEST(WindowsGameFolders, TheFirstThatExistsIsWhereTheDialogOpens) {
  const std::string quake2 = "C:\\Quake2\\";
  if (fs::exists(quake2)) GTEST_SKIP() << quake2 << " exists on this machine";
  ASSERT_TRUE(platform::CreateDirectories(quake2 + "baseq2"));
  const std::optional<std::string> first = FirstUsualGameFolder(platform::HomeFolder());
  const std::string start = GameDialogStartFolder("", platform::HomeFolder());
  fs::remove_all(quake2);
  EXPECT_EQ(first, quake2);
  EXPECT_EQ(start, quake2);
}

TEST(WindowsGameFolders, TheGamesFolderFromAChoiceWithDriveLetters) {
  TempDir game;  // a drive-letter path, such as C:\users\me\Temp\tavrilo-test-1
  ASSERT_EQ(game.Path().substr(1, 2), ":\\");
  WriteFile(game / "yquake2.exe", "");
  WriteFile(game / "baseq2\\config.cfg", "");
  const std::string expected = game.Path();
  // A Yamagi Quake II folder unpacked anywhere, found from a file chosen in it.
  EXPECT_EQ(GamePathFromChoice(game / "yquake2.exe"), expected);
  EXPECT_EQ(GamePathFromChoice(game / "baseq2"), expected);
  EXPECT_EQ(GamePathFromChoice(game / "BASEQ2\\"), expected);
  EXPECT_EQ(GamePathFromChoice(game / "baseq2\\config.cfg"), expected);
  EXPECT_EQ(GamePathFromChoice(game / "baseq2/config.cfg"), expected);  // either separator
  EXPECT_EQ(GamePathFromChoice("quake2.exe"), "");
}

}  // namespace
}  // namespace tavrilo::install
