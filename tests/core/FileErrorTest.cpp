// SPDX-License-Identifier: GPL-3.0-or-later
// The texts that name a file and the system's reason it could not be read or written.
#include "core/FileError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "TestSupport.h"
#include "core/Platform.h"
#include "core/WholeFile.h"

namespace tavrilo {
namespace {

using testing::TempDir;
using testing::WriteFile;

std::string ReasonOfReading(const std::string& path) {
  std::string bytes;
  return FileErrorText(ReadWholeFile(path, bytes), path).key;
}

TEST(FileErrorText, NamesTheFileAndTheReasonOfEachFailedRead) {
  TempDir dir;
  WriteFile(dir / "plain", "x");
  EXPECT_EQ(ReasonOfReading(dir / "missing"), "FileError.NotFound");
  EXPECT_EQ(ReasonOfReading(dir / "gone/missing"), "FileError.FolderNotFound");
  EXPECT_EQ(ReasonOfReading(dir / "plain/under"), "FileError.FolderNotFound");
  EXPECT_EQ(ReasonOfReading(dir.Path()), "FileError.IsDirectory");
  std::string bytes;
  EXPECT_EQ(FileErrorText(ReadWholeFile(dir / "plain", bytes, 0), dir / "plain").key,
            "FileError.TooBig");
#ifndef _WIN32
  // A FIFO is no file the program reads: never "access denied".
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  EXPECT_EQ(ReasonOfReading(dir / "fifo"), "FileError.NotRegularFile");
  EXPECT_EQ(ReasonOfReading(dir / std::string(300, 'n')), "FileError.NameTooLong");
#endif
  const Text text = FileErrorText(platform::kNoBackup, dir / "plain");
  EXPECT_EQ(text.key, "FileError.NoBackup");
  EXPECT_EQ(text.args.front(), dir / "plain");
}

TEST(FileErrorText, AReasonWithoutItsOwnTextGivesTheSystemsNumberAndWords) {
#ifdef _WIN32
  const int other = 53;  // a bad network path
#else
  const int other = EXDEV;
  EXPECT_EQ(FileErrorText(ENOSPC, "/x").key, "FileError.DiskFull");
  EXPECT_EQ(FileErrorText(EROFS, "/x").key, "FileError.ReadOnly");
  EXPECT_EQ(FileErrorText(EIO, "/x").key, "FileError.InputOutput");
#endif
  const FileError error(other, "/x.cfg");
  EXPECT_EQ(error.GetText().key, "FileError.System");
  EXPECT_EQ(error.Path(), "/x.cfg");
  EXPECT_EQ(error.SystemError(), other);
  ASSERT_EQ(error.GetText().args.size(), 3u);
  EXPECT_EQ(error.GetText().args[1], std::to_string(other));
  EXPECT_FALSE(error.GetText().args[2].empty());
}

}  // namespace
}  // namespace tavrilo
