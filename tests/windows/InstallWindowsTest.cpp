// SPDX-License-Identifier: GPL-3.0-or-later
// The install of the support files on Windows: the game chosen by its executable in a
// folder named with a space and an accent, its data folder in any letter case.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "TestSupport.h"
#include "core/Platform.h"
#include "install/SupportFiles.h"

namespace tavrilo::install {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(WindowsInstall, TheFilesGoIntoTheDataFolderOfTheGameChosenByItsExecutable) {
  TempDir app, games;
  testing::InstallShippedData(app.Path());
  const std::string game = games /
                           "Quake II \xE9"
                           "dition\\";
  ASSERT_TRUE(platform::CreateDirectories(game + "BASEQ2"));
  WriteFile(game + "quake2.exe", "");

  int asked = 0;
  const InstallResult result = InstallSupportFiles(app.Path(), [&] {
    ++asked;
    return std::optional<std::string>(game + "quake2.exe");
  });
  EXPECT_EQ(asked, 1);
  ASSERT_EQ(result.outcome, InstallResult::Outcome::kInstalled);
  EXPECT_EQ(result.folder.substr(result.folder.size() - 7), "BASEQ2\\");
  EXPECT_EQ(result.files.size(), kSupportFiles.size());
  for (const SupportFile& file : kSupportFiles) {
    const std::string name(file.sourceName);
    EXPECT_EQ(ReadFile(game + "BASEQ2\\" + name), ReadFile(app / "Q2Dats\\" + name)) << name;
  }
  EXPECT_TRUE(SupportFilesInstalled(game));
  EXPECT_TRUE(SupportFilesInstalled(game + "baseq2\\..\\"));

  // The game path was stored: the next install asks nothing and writes nothing.
  const InstallResult again = InstallSupportFiles(app.Path(), [&] {
    ++asked;
    return std::optional<std::string>();
  });
  EXPECT_EQ(again.outcome, InstallResult::Outcome::kAlreadyInstalled);
  EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace tavrilo::install
