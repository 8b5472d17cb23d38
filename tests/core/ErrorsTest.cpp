// SPDX-License-Identifier: GPL-3.0-or-later
// The messages of the errors, the error box's full stop, and the mapping of the
// operating system's errors to input/output codes.
#include "core/Errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <initializer_list>
#include <string>

#include "TestSupport.h"

namespace tavrilo {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(InputOutputError, MessageIsChosenByTheCode) {
  const struct {
    int code;
    const char* message;
  } cases[] = {
      {2, "File not found"},
      {3, "Invalid filename"},
      {4, "Too many open files"},
      {5, "File access denied"},
      {100, "Read beyond end of file"},
      {101, "Disk full"},
      {106, "Invalid numeric input"},
      {32, "I/O error 32"},
      {1, "I/O error 1"},
      {0, "I/O error 0"},
      {102, "I/O error 102"},
      {-7, "I/O error -7"},
  };
  for (const auto& c : cases) {
    const InputOutputError error(c.code);
    EXPECT_EQ(error.Code(), c.code);
    EXPECT_STREQ(error.what(), c.message) << c.code;
  }
}

TEST(Errors, MessagesNameTheirPath) {
  EXPECT_STREQ(FileOpenError("/a/b.cfg").what(), "Cannot open file /a/b.cfg");
  EXPECT_STREQ(FileCreateError("/a/b.cfg").what(), "Cannot create file /a/b.cfg");
  EXPECT_STREQ(SettingWriteError("/app/data/config.ini").what(),
               "Unable to write to /app/data/config.ini");
  EXPECT_STREQ(FileWriteError().what(), "Stream write error");
  EXPECT_STREQ(FileReadError().what(), "Stream read error");
  EXPECT_STREQ(ListIndexError::InsertFailed().what(), "Unable to insert a line");
  EXPECT_STREQ(ListIndexError::IndexOutOfBounds(-1).what(), "List index out of bounds (-1)");
}

// A "." is added when the message is not empty and its last byte is greater than ".".
TEST(ErrorBoxText, AddsAFullStopAfterBytesAboveThePoint) {
  const struct {
    std::string message;
    std::string shown;
  } cases[] = {
      {"File not found", "File not found."},
      {"", ""},
      {"Done.", "Done."},
      {"List index out of bounds (3)", "List index out of bounds (3)"},
      {"I/O error 32", "I/O error 32."},
      {"ends with a dash -", "ends with a dash -"},  // '-' is 2D, below '.'
      {"ends with a comma,", "ends with a comma,"},
      {"ends with a blank ", "ends with a blank "},
      {"ends with a slash/", "ends with a slash/."},  // '/' is 2F, just above '.'
      {"Unable to write to /x/config.ini", "Unable to write to /x/config.ini."},
      {"cr\xE9"
       "\xE9",
       "cr\xE9\xE9."},  // a high byte counts as above '.'
      {"!", "!"},
      {"a", "a."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorBoxText(c.message), c.shown) << c.message;
  }
}

TEST(InOutErrorFor, MapsTheOperatingSystemErrors) {
#ifdef _WIN32
  GTEST_SKIP() << "errno values: POSIX only (windows_tests maps the Windows error codes)";
#else
  TempDir dir;
  WriteFile(dir / "file", "x");
  const struct {
    int osError;
    std::string path;
    int code;
  } cases[] = {
      {ENOENT, dir / "absent", 2},         // the directory is there: a missing file
      {ENOENT, dir / "absent/file", 3},    // a directory on the way is missing
      {ENOENT, dir / "file/inner", 3},     // the "directory" is a regular file
      {ENOENT, "/absent-at-the-root", 2},  // the root is the parent
      {ENOENT, "relative-name", 2},        // the working directory is the parent
      {ENOTDIR, dir / "file/inner", 3},   {EMFILE, dir / "file", 4},   {ENFILE, dir / "file", 4},
      {EACCES, dir / "file", 5},          {EPERM, dir / "file", 5},    {EROFS, dir / "file", 5},
      {EISDIR, dir / "file", 5},          {ENOSPC, dir / "file", 101}, {EDQUOT, dir / "file", 101},
  };
  for (const auto& c : cases) {
    const InputOutputError error = InOutErrorFor(c.osError, c.path);
    EXPECT_EQ(error.Code(), c.code) << c.osError << " " << c.path;
    EXPECT_EQ(error.what(), InputOutputError::MessageFor(c.code)) << c.osError << " " << c.path;
  }
#endif
}

// An error the table does not map keeps the system's number and never takes the text
// of a table code that happens to equal it.
TEST(InOutErrorFor, AnyOtherErrorIsAnIOErrorWithTheSystemsNumber) {
#ifdef _WIN32
  // Windows' own numbers: a sharing violation, a bad network path, a name too long.
  const std::initializer_list<int> others = {32, 53, 206};
#else
  const std::initializer_list<int> others = {EIO, EINTR, ENETUNREACH, EBUSY, ENAMETOOLONG};
#endif
  for (int osError : others) {
    const InputOutputError error = InOutErrorFor(osError, "/x");
    EXPECT_EQ(error.Code(), osError);
    EXPECT_EQ(error.what(), "I/O error " + std::to_string(osError));
  }
}

}  // namespace
}  // namespace tavrilo
