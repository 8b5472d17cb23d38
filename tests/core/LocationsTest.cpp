// SPDX-License-Identifier: GPL-3.0-or-later
// Where the data root and the settings file are, for a build or portable folder and for
// an installed program.
#include "core/Locations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileSystemUser.h"
#include "TestSupport.h"
#include "core/Backup.h"
#include "core/Errors.h"
#include "core/Platform.h"
#include "core/SafeFile.h"

namespace tavrilo {
namespace {

using testing::Exists;
using testing::MessageOf;
using testing::ReadFile;
using testing::ScopedConfigHome;
using testing::TempDir;
using testing::WriteFile;

const std::string kShippedSettings = "[General]\r\nfr=0\r\nen=1\r\n; caf\xE9\r\n";

TEST(DataRootTest, BesideTheExecutableThenTheInstalledShareFolder) {
  TempDir portable;
  WriteFile(portable / "data/user.dat", "fov\r\n");
  EXPECT_EQ(DataRootFor(portable.Path()), portable.Path());

  TempDir prefix;
  WriteFile(prefix / "share/tavrilo/data/user.dat", "fov\r\n");
  std::filesystem::create_directories(prefix / "bin");
  EXPECT_EQ(DataRootFor(prefix / "bin/"), prefix / "share/tavrilo/");

  TempDir bare;
  EXPECT_EQ(DataRootFor(bare.Path()), bare.Path());
}

TEST(SettingsPlaceTest, BesideTheDataUnlessInstalled) {
  TempDir portable;
  std::filesystem::create_directories(portable / "data");
  EXPECT_TRUE(SettingsBesideData(portable.Path()));

  // Writable here (the tests run as root), yet an installed data root.
  TempDir prefix;
  std::filesystem::create_directories(prefix / "share/tavrilo/data");
  EXPECT_FALSE(SettingsBesideData(prefix / "share/tavrilo/"));

  // Writing there reports the missing folder, as for a portable folder.
  TempDir noData;
  EXPECT_TRUE(SettingsBesideData(noData.Path()));
}

TEST(SettingsPlaceTest, BesideTheDataBothWaysAndNothingInTheUserFolder) {
  TempDir root, config;
  ScopedConfigHome configHome(config.Path());
  WriteFile(root / "data/config.ini", kShippedSettings);

  EXPECT_EQ(SettingsForReading(root.Path(), true), root / "data/config.ini");
  EXPECT_EQ(SettingsForWriting(root.Path(), true), root / "data/config.ini");
  EXPECT_FALSE(Exists(config / "tavrilo"));
}

TEST(SettingsPlaceTest, UserFileStartsAsACopyOfTheShippedOneOnFirstWrite) {
  TempDir root, config;
  ScopedConfigHome configHome(config / "xdg");  // not there yet: made on the first write
  WriteFile(root / "data/config.ini", kShippedSettings);
  const std::string user = config / "xdg/tavrilo/config.ini";

  EXPECT_EQ(UserSettingsFolder(), config / "xdg/tavrilo/");
  EXPECT_EQ(SettingsForReading(root.Path(), false), root / "data/config.ini");

  EXPECT_EQ(SettingsForWriting(root.Path(), false), user);
  EXPECT_EQ(ReadFile(user), kShippedSettings);
  EXPECT_EQ(SettingsForReading(root.Path(), false), user);

  // Later writes keep the user's own file.
  WriteFile(user, "[General]\r\nfr=1\r\n");
  EXPECT_EQ(SettingsForWriting(root.Path(), false), user);
  EXPECT_EQ(ReadFile(user), "[General]\r\nfr=1\r\n");
  EXPECT_EQ(ReadFile(root / "data/config.ini"), kShippedSettings);
}

TEST(SettingsPlaceTest, NoShippedFileLeavesAnEmptyUserFolderForTheFirstWrite) {
  TempDir root, config;
  ScopedConfigHome configHome(config.Path());
  std::filesystem::create_directories(root / "data");

  EXPECT_EQ(SettingsForWriting(root.Path(), false), config / "tavrilo/config.ini");
  EXPECT_TRUE(std::filesystem::is_directory(config / "tavrilo"));
  EXPECT_FALSE(Exists(config / "tavrilo/config.ini"));
  EXPECT_EQ(SettingsForReading(root.Path(), false), root / "data/config.ini");
}

TEST(SettingsPlaceTest, AUserFolderThatCannotBeMadeIsAnIniWriteError) {
  TempDir root, config;
  WriteFile(config / "file", "");
  ScopedConfigHome configHome(config / "file");  // a path under a regular file
  WriteFile(root / "data/config.ini", kShippedSettings);

  EXPECT_EQ(MessageOf<SettingWriteError>([&] { SettingsForWriting(root.Path(), false); }),
            "Unable to write to " + config / "file/tavrilo/config.ini");
}

// The XDG rules: a relative XDG_CONFIG_HOME (or an empty one) is ignored, never taken
// against the working directory.
TEST(SettingsPlaceTest, ARelativeConfigHomeIsIgnored) {
  TempDir home;
  const testing::ScopedVariable inHome("HOME", home.Path());
  for (const std::string relative : {"relative/dir", "", "./config", "~/.config"}) {
    const ScopedConfigHome configHome(relative);
    EXPECT_EQ(UserSettingsFolder(), home / ".config/tavrilo/") << relative;
  }
  const ScopedConfigHome configHome(home / "xdg");
  EXPECT_EQ(UserSettingsFolder(), home / "xdg/tavrilo/");
}

// At start, the settings folders lose what killed writes left: temporary files of ended
// writers go, and a settings file torn by a killed save in place gets its old text back.
// The backup of a user's file kept there waits for the user's choice.
TEST(SettingsPlaceTest, CleanSettingsFolderUndoesWhatKilledWritesLeft) {
  TempDir root, config, elsewhere;
  const ScopedConfigHome configHome(config.Path());
  const std::string dead = ".tavrilo-1073741823-";  // no such process
  const std::string settings = root / "data/config.ini";
  const std::string newSettings = "[General]\r\nfr=1\r\nen=0\r\n; caf\xE9\r\n";
  WriteFile(settings, newSettings.substr(0, 16) + kShippedSettings.substr(16));
  WriteFile(root / ("data/" + dead + "abcdefgh.tmp"), "partial copy");
  WriteFile(root / ("data/" + dead + "abcdefgh.bak"),
            EncodeBackup(*platform::ResolvedPath(settings), *platform::Status(settings),
                         kShippedSettings, newSettings));
  // A file saved in place in a folder that refuses new files keeps its backup in the
  // user's settings folder.
  const std::string macros = elsewhere / "macros.cfg";
  WriteFile(macros, "BINd x y\r\n");
  const std::string kept = config / ("tavrilo/" + dead + "ijklmnop.bak");
  WriteFile(kept, EncodeBackup(*platform::ResolvedPath(macros), *platform::Status(macros),
                               "bind x y\r\n", "BIND X Y\r\n"));

  CleanSettingsFolder(root.Path());

  EXPECT_EQ(ReadFile(settings), kShippedSettings);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root / "data"), {}), 1);
  EXPECT_EQ(ReadFile(macros), "BINd x y\r\n");
  const std::vector<InterruptedSave> saves = FindInterruptedSaves(UserSettingsFolder(), true);
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].backup, kept);
}

}  // namespace
}  // namespace tavrilo
