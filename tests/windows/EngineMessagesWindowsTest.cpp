// SPDX-License-Identifier: GPL-3.0-or-later
// The messages a Windows user sees for what Windows refuses: the engine's readers and
// writers over the platform layer, with drive-letter paths and accented names.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "core/Errors.h"
#include "core/FileError.h"
#include "core/LineReader.h"
#include "core/PlatformWindows.h"
#include "core/SafeFile.h"
#include "install/FileUtilities.h"

namespace tavrilo {
namespace {

using platform::windows::WideFromAnsi;
using testing::FileErrorOf;
using testing::MessageOf;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

void Save(const std::string& path, const std::string& text) {
  SafeFileWriter writer(path);
  writer.Write(text);
  writer.Commit();
}

TEST(WindowsMessages, AReadOnlyFileIsRefusedAsTheWindowSaysItAndKept) {
  TempDir dir;
  const std::string path = dir / "Macros.cfg";
  WriteFile(path, "bind q zoom\r\n");
  ASSERT_TRUE(::SetFileAttributesW(WideFromAnsi(path).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(FileErrorOf([&] { Save(path, "bind e use\r\n"); }), "FileError.AccessDenied " + path);
  ::SetFileAttributesW(WideFromAnsi(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFile(path), "bind q zoom\r\n");
}

TEST(WindowsMessages, MissingFilesAndFoldersHaveTheirOwnMessages) {
  TempDir dir;
  EXPECT_EQ(FileErrorOf([&] { LineReader reader(dir / "none.cfg"); }),
            "FileError.NotFound " + dir / "none.cfg");
  EXPECT_EQ(FileErrorOf([&] { LineReader reader(dir / "none\\x.cfg"); }),
            "FileError.FolderNotFound " + dir / "none\\x.cfg");
  EXPECT_EQ(FileErrorOf([&] { LineReader reader(dir.Path()); }),
            "FileError.IsDirectory " + dir.Path());
  EXPECT_EQ(FileErrorOf([&] { Save(dir / "none\\x.cfg", "x"); }),
            "FileError.FolderNotFound " + dir / "none\\x.cfg");
}

TEST(WindowsMessages, AnAccentedNameUnderADriveLetterIsSavedAndReadBack) {
  TempDir dir;
  ASSERT_EQ(dir.Path().substr(1, 2), ":\\");
  const std::string path = dir /
                           "D\xE9"
                           "fense \xF9.cfg";  // "Défense ù.cfg"
  Save(path, "bind a \"say caf\xE9\"\r\nbind z +forward\r\n");
  LineReader reader(path);
  EXPECT_EQ(reader.ReadLine(), "bind a \"say caf\xE9\"");
  EXPECT_EQ(reader.ReadLine(), "bind z +forward");
  EXPECT_TRUE(reader.AtEnd());
  const std::wstring wide = WideFromAnsi(dir.Path()) + L"D\u00e9fense \u00f9.cfg";
  EXPECT_NE(::GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
}

// A support file copied into a game folder named with accents, given relative to the
// current folder: the name is made absolute through its wide form, whatever the system's
// code page.
TEST(WindowsMessages, ACopyIntoAnAccentedFolderNamedRelativelyReachesIt) {
  TempDir dir;
  WriteFile(dir / "Alias.cfg", "alias zoom \"fov 30\"\r\n");
  ASSERT_TRUE(
      ::CreateDirectoryW((WideFromAnsi(dir.Path()) + L"Jeux \u00e9t\u00e9").c_str(), nullptr));
  wchar_t previous[MAX_PATH];
  ASSERT_GT(::GetCurrentDirectoryW(MAX_PATH, previous), 0u);
  ASSERT_TRUE(::SetCurrentDirectoryW(WideFromAnsi(dir.Path()).c_str()));
  std::string message;
  try {
    CopyFileTo(dir / "Alias.cfg", "Jeux \xE9t\xE9\\baseq2\\..\\");
  } catch (const Error& error) {
    message = error.what();
  }
  ::SetCurrentDirectoryW(previous);
  EXPECT_EQ(message, "");
  EXPECT_EQ(ReadFile(dir / "Jeux \xE9t\xE9\\Alias.cfg"), "alias zoom \"fov 30\"\r\n");
}

}  // namespace
}  // namespace tavrilo
