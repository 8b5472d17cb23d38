// SPDX-License-Identifier: GPL-3.0-or-later
// Where the settings live on Windows: beside the program while its data folder may be
// written, otherwise in %APPDATA%\tavrilo\, starting from the shipped file.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "TestSupport.h"
#include "core/Locations.h"
#include "core/Platform.h"
#include "core/PlatformWindows.h"

namespace tavrilo {
namespace {

using platform::windows::WideFromAnsi;
using testing::Exists;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// %APPDATA% set for one test and put back afterwards.
class ScopedAppData {
 public:
  explicit ScopedAppData(const std::string& folder) {
    wchar_t previous[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(L"APPDATA", previous, MAX_PATH);
    if (length > 0 && length < MAX_PATH) previous_ = previous;
    ::SetEnvironmentVariableW(L"APPDATA", WideFromAnsi(folder).c_str());
  }
  ~ScopedAppData() {
    ::SetEnvironmentVariableW(L"APPDATA", previous_ ? previous_->c_str() : nullptr);
  }
  ScopedAppData(const ScopedAppData&) = delete;
  ScopedAppData& operator=(const ScopedAppData&) = delete;

 private:
  std::optional<std::wstring> previous_;
};

const std::string kShipped = "[General]\r\nfr=0\r\nen=1\r\n";

TEST(WindowsSettings, BesideTheProgramWhileItsDataFolderMayBeWritten) {
  TempDir app;
  WriteFile(app / "data\\config.ini", kShipped);
  EXPECT_EQ(DataRootFor(app.Path()), app.Path());
  EXPECT_TRUE(SettingsBesideData(app.Path()));
  EXPECT_EQ(SettingsForReading(app.Path()), app.Path() + "data/config.ini");
  EXPECT_EQ(SettingsForWriting(app.Path()), app.Path() + "data/config.ini");
}

TEST(WindowsSettings, ElseInAppDataStartingAsACopyOfTheShippedFile) {
  TempDir app, appData;
  WriteFile(app / "data\\config.ini", kShipped);
  // %APPDATA% as Windows sets it: a drive-letter path without a final separator, with an
  // accent in the user's name.
  const std::string roaming = appData / "Andr\xE9\\AppData\\Roaming";
  ASSERT_TRUE(platform::CreateDirectories(roaming));
  const ScopedAppData scoped(roaming);
  EXPECT_EQ(UserSettingsFolder(), roaming + "\\tavrilo/");

  // Nothing made before the first write: the shipped file is read.
  EXPECT_EQ(SettingsForReading(app.Path(), false), app.Path() + "data/config.ini");
  EXPECT_FALSE(Exists(roaming + "\\tavrilo"));

  const std::string written = SettingsForWriting(app.Path(), false);
  EXPECT_EQ(written, roaming + "\\tavrilo/config.ini");
  EXPECT_EQ(ReadFile(written), kShipped);
  EXPECT_EQ(SettingsForReading(app.Path(), false), written);
  EXPECT_EQ(ReadFile(app / "data\\config.ini"), kShipped);  // the shipped one untouched
}

}  // namespace
}  // namespace tavrilo
