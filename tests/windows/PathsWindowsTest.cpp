// SPDX-License-Identifier: GPL-3.0-or-later
// The parts of a Windows name: drive letters, either separator, the drive's colon.
#include <gtest/gtest.h>

#include <string>

#include "core/Paths.h"

namespace tavrilo {
namespace {

TEST(WindowsPaths, TheFolderPartEndsAtTheLastSeparatorOrDriveColon) {
  const struct {
    const char* path;
    const char* folder;
    const char* name;
  } cases[] = {
      {"C:\\Games\\Quake2\\baseq2\\Alias.cfg", "C:\\Games\\Quake2\\baseq2\\", "Alias.cfg"},
      {"C:/Games/Quake2/Alias.cfg", "C:/Games/Quake2/", "Alias.cfg"},
      {"C:\\Games/mixed\\x.cfg", "C:\\Games/mixed\\", "x.cfg"},
      {"D:Macros.cfg", "D:", "Macros.cfg"},  // in drive D's current folder
      {"C:\\", "C:\\", ""},
      {"\\\\server\\share\\q2\\x.cfg", "\\\\server\\share\\q2\\", "x.cfg"},
      {"Macros.cfg", "", "Macros.cfg"},
      {"D\xE9"
       "fense\\\xF9.cfg",
       "D\xE9"
       "fense\\",
       "\xF9.cfg"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DirectoryPart(c.path), c.folder) << c.path;
    EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
  }
  EXPECT_EQ(kPathSeparator, '\\');
  EXPECT_EQ(TitleFromExecutableName("C:\\Program Files\\Tavrilo\\TAVRILO.EXE"), "Tavrilo");
}

TEST(WindowsPaths, AbsoluteNamesHaveADriveAndASeparatorOrStartWithOne) {
  for (const char* path : {"C:\\x.cfg", "c:/x.cfg", "\\\\server\\share\\x.cfg", "\\x.cfg", "/x"})
    EXPECT_TRUE(IsAbsolutePath(path)) << path;
  for (const char* path : {"x.cfg", "..\\x.cfg", "C:x.cfg", "", "1:\\x"})
    EXPECT_FALSE(IsAbsolutePath(path)) << path;
}

}  // namespace
}  // namespace tavrilo
