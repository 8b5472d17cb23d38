// SPDX-License-Identifier: GPL-3.0-or-later
// The usual game folders, where the game dialog opens, and the game path from the
// player's choice.
#include "install/GameFolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "install/SupportFiles.h"

namespace tavrilo::install {
namespace {

namespace fs = std::filesystem;
using testing::Exists;
using testing::InstallShippedData;
using testing::TempDir;
using testing::WriteFile;

// Steam's list of libraries as Steam writes it; the first library is Steam's own folder.
std::string LibraryFoldersVdf(const std::string& steam, const std::string& other) {
  return "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steam +
         "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"2320\"\t\t\"123\"\n\t\t}\n\t}\n"
         "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" +
         other + "\"\n\t}\n}\n";
}

TEST(SteamLibrariesTest, ThePathOfEachLibraryInFileOrder) {
#ifdef _WIN32
  GTEST_SKIP() << "the folders of Linux (windows_tests has those of Windows)";
#endif
  EXPECT_EQ(
      SteamLibraries(LibraryFoldersVdf("/home/p/.local/share/Steam", "/mnt/My \\\"Games\\\"")),
      (std::vector<std::string>{"/home/p/.local/share/Steam/", "/mnt/My \"Games\"/"}));
  EXPECT_TRUE(SteamLibraries("").empty());
}

TEST(UsualGameFoldersTest, PlayersFoldersThenSteamLibrariesThenTheSystemOnes) {
#ifdef _WIN32
  GTEST_SKIP() << "the folders of Linux (windows_tests has those of Windows)";
#endif
  TempDir home;
  const std::string steam = home / ".local/share/Steam/";
  WriteFile(steam + "steamapps/libraryfolders.vdf",
            LibraryFoldersVdf(home / ".local/share/Steam", "/mnt/games"));

  const std::vector<std::string> folders = UsualGameFolders(home.Path());
  ASSERT_GE(folders.size(), 5u);
  EXPECT_EQ(folders[0], home / ".yq2/");
  EXPECT_EQ(folders[1], home / ".q2pro/");
  EXPECT_EQ(folders[2], steam + "steamapps/common/Quake 2/");
  // Steam's own folder is listed again in its file: it comes once.
  EXPECT_EQ(folders[3], "/mnt/games/steamapps/common/Quake 2/");
  EXPECT_EQ(folders.back(), "/usr/local/games/quake2/");
  for (std::size_t i = 0; i < folders.size(); ++i) {
    for (std::size_t j = i + 1; j < folders.size(); ++j)
      EXPECT_NE(folders[i], folders[j]);
  }
}

TEST(UsualGameFoldersTest, TheFirstThatExistsIsWhereTheDialogOpens) {
#ifdef _WIN32
  GTEST_SKIP() << "the folders of Linux (windows_tests has those of Windows)";
#endif
  TempDir home, library;
  const std::string steam = home / ".steam/steam/";
  WriteFile(steam + "steamapps/libraryfolders.vdf", LibraryFoldersVdf(steam, library.Path()));
  fs::create_directories(library / "steamapps/common/Quake 2/baseq2");
  EXPECT_EQ(FirstUsualGameFolder(home.Path()), library / "steamapps/common/Quake 2/");

  fs::create_directories(home / ".q2pro");
  EXPECT_EQ(FirstUsualGameFolder(home.Path()), home / ".q2pro/");
  EXPECT_EQ(GameDialogStartFolder("", home.Path()), home / ".q2pro/");
  EXPECT_EQ(GameDialogStartFolder(home / "gone/", home.Path()), home / ".q2pro/");
  EXPECT_EQ(GameDialogStartFolder(library.Path(), home.Path()), library.Path());
}

TEST(UsualGameFoldersTest, TheHomeFolderWhenNoGameFolderExists) {
#ifdef _WIN32
  GTEST_SKIP() << "the folders of Linux (windows_tests has those of Windows)";
#endif
  for (const char* system : {"/usr/share/games/quake2", "/usr/local/games/quake2"}) {
    if (fs::exists(system)) GTEST_SKIP() << system << " exists on this machine";
  }
  TempDir home;
  EXPECT_EQ(FirstUsualGameFolder(home.Path()), std::nullopt);
  EXPECT_EQ(GameDialogStartFolder("", home.Path()), home.Path());
}

TEST(GamePathFromChoiceTest, TheGamesFolderFromAFileAFolderOrItsDataFolder) {
  TempDir game;
  fs::create_directories(game / "BaseQ2");
  WriteFile(game / "quake2", "");
  WriteFile(game / "BaseQ2/config.cfg", "");
  const std::string expected = game.Path();

  EXPECT_EQ(GamePathFromChoice(game / "quake2"), expected);
  EXPECT_EQ(GamePathFromChoice(game / "any name, even missing"), expected);
  EXPECT_EQ(GamePathFromChoice(expected), expected);
  EXPECT_EQ(GamePathFromChoice(expected.substr(0, expected.size() - 1)), expected);
  EXPECT_EQ(GamePathFromChoice(game / "BaseQ2"), expected);
  EXPECT_EQ(GamePathFromChoice(game / "BaseQ2/"), expected);
  EXPECT_EQ(GamePathFromChoice(game / "BaseQ2/config.cfg"), expected);
  EXPECT_EQ(GamePathFromChoice("quake2"), "");
}

// A Yamagi Quake II player: the dialog opens in ~/.yq2/ and the player confirms it.
TEST(GamePathFromChoiceTest, YamagiPlayerConfirmsTheFolderTheDialogOpensIn) {
#ifdef _WIN32
  GTEST_SKIP() << "the folders of Linux (windows_tests has those of Windows)";
#endif
  TempDir home, app;
  InstallShippedData(app.Path());
  fs::create_directories(home / ".yq2/baseq2");

  const std::string start = GameDialogStartFolder("", home.Path());
  ASSERT_EQ(start, home / ".yq2/");
  InstallSupportFiles(app.Path(), [&] { return std::optional(GamePathFromChoice(start)); });

  for (const SupportFile& row : kSupportFiles)
    EXPECT_TRUE(Exists(home / ".yq2/baseq2/" + std::string(row.sourceName))) << row.sourceName;
  EXPECT_TRUE(SupportFilesInstalled(home / ".yq2/"));
}

}  // namespace
}  // namespace tavrilo::install
