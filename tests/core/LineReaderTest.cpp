// SPDX-License-Identifier: GPL-3.0-or-later
// The text-file line reader and the two loaders built on it.
#include "core/LineReader.h"

#include <gtest/gtest.h>
#include <limits.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/Errors.h"
#include "core/FileError.h"
#include "core/StringList.h"
#include "core/Text.h"

namespace tavrilo::datafiles {
namespace {

using testing::TempDir;
using testing::WriteFile;
using Lines = std::vector<std::string>;

// Every line of `bytes`, read as the loaders read: while not at end, read a line.
Lines ReadAll(const std::string& bytes) {
  TempDir dir;
  WriteFile(dir / "file.txt", bytes);
  LineReader reader(dir / "file.txt");
  Lines lines;
  while (!reader.AtEnd())
    lines.push_back(reader.ReadLine());
  return lines;
}

// A line of `length` bytes that holds every byte value except the line ends and 0x1A,
// so that a lost, doubled or moved byte shows.
std::string PatternLine(std::size_t length, unsigned seed = 0) {
  std::string line;
  line.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>((i * 7 + seed) % 256);
    if (c == '\r' || c == '\n' || c == 0x1A) c = 'x';
    line += static_cast<char>(c);
  }
  return line;
}

struct SplitCase {
  const char* name;
  std::string bytes;
  Lines lines;
};

class LineSplitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineSplitting, GivesTheLinesOfTheFile) {
  EXPECT_EQ(ReadAll(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    LineReader, LineSplitting,
    ::testing::Values(SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"LoneCr", "a\rb\r", {"a", "b"}},
                      SplitCase{"LoneLfEndsALine", "a\nb\n", {"a", "b"}},
                      SplitCase{"MixedLineEnds", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
                      SplitCase{"LfAfterCrBelongsToIt", "a\r\n\nb", {"a", "", "b"}},
                      SplitCase{"CrAfterLfIsAnotherLine", "a\n\rb", {"a", "", "b"}},
                      SplitCase{"TwoCrs", "a\r\rb", {"a", "", "b"}}, SplitCase{"EmptyFile", "", {}},
                      SplitCase{"OnlyEndOfFileMark", "\x1A", {}},
                      SplitCase{"EndOfFileMarkInALine",
                                "ab\x1A"
                                "cd\r\nef\r\n",
                                {"ab"}},
                      SplitCase{"EndOfFileMarkStartsALine",
                                "a\r\n\x1A"
                                "b\r\n",
                                {"a"}},
                      SplitCase{"EndOfFileMarkAfterCr", "a\r\x1A\nb", {"a"}},
                      SplitCase{"EndOfFileMarkFirst",
                                "\x1A"
                                "a\r\nb",
                                {}},
                      SplitCase{"LastLineWithoutLineEnd", "a\r\nb", {"a", "b"}},
                      SplitCase{"FinalCrLfAddsNoEmptyLine", "a\r\n", {"a"}},
                      SplitCase{"ExtraEmptyLastLine", "a\r\n\r\n", {"a", ""}},
                      SplitCase{"OnlyALineEnd", "\r\n", {""}},
                      SplitCase{"Utf8ByteOrderMarkIsKept",
                                "\xEF\xBB\xBF"
                                "a\r\nb",
                                {"\xEF\xBB\xBF"
                                 "a",
                                 "b"}},
                      SplitCase{"NulAndHighBytesAreKept",
                                std::string("a\0b\r\n\xE9\xFF\x80\r\n", 10),
                                {std::string("a\0b", 3), "\xE9\xFF\x80"}}),
    [](const ::testing::TestParamInfo<SplitCase>& test) { return std::string(test.param.name); });

TEST(LineReader, ReturnsLongLinesWhole) {
  for (std::size_t length : {300u, 5'000u, 65'536u, 1'000'000u}) {
    const std::string line = PatternLine(length);
    EXPECT_EQ(ReadAll(line + "\r\nnext\r\n"), (Lines{line, "next"})) << length;
    EXPECT_EQ(ReadAll(line), (Lines{line})) << length << " without line end";
  }
}

// The reader fills a 64 KiB buffer: a line end or 0x1A on either side of its edge, and
// a CR LF split by it, must read as anywhere else.
TEST(LineReader, LineEndsAtTheBufferEdge) {
  struct Ending {
    const char* bytes;
    bool endsTheFile;
  };
  const Ending endings[] = {{"\r\n", false}, {"\r", false}, {"\n", false}, {"\x1A", true}};
  for (std::size_t length = 65'530; length <= 65'540; ++length) {
    for (const Ending& ending : endings) {
      const std::string first = PatternLine(length, static_cast<unsigned>(length));
      const Lines expected = ending.endsTheFile ? Lines{first} : Lines{first, "next"};
      EXPECT_EQ(ReadAll(first + ending.bytes + "next\r\n"), expected)
          << "length " << length << ", ending " << ::testing::PrintToString(ending.bytes);
    }
  }
  // Empty lines on the edge: a run of CR LF pairs across it.
  std::string bytes = PatternLine(65'533) + "\r\n\r\n\r\nz";
  EXPECT_EQ(ReadAll(bytes), (Lines{PatternLine(65'533), "", "", "z"}));
}

// The reader stops at 0x1A; it tells whether the file holds more after it, also when the
// mark is the last byte of a buffer and the rest lies beyond.
TEST(LineReader, TellsWhetherBytesFollowTheEndMark) {
  struct MarkCase {
    std::string bytes;
    bool more;
  };
  const std::string edge = PatternLine(65'535);  // the mark is the buffer's last byte
  const MarkCase cases[] = {
      {"a\r\nb\r\n", false},
      {"a\r\n\x1A", false},
      {"a\r\n\x1A\x1A", true},
      {"a\x1A"
       "b\r\n",
       true},
      {edge + "\x1A", false},
      {edge + "\x1A"
              "next\r\n",
       true},
      {"\x1A\r\n", true},
  };
  TempDir dir;
  for (const MarkCase& c : cases) {
    WriteFile(dir / "in.cfg", c.bytes);
    LineReader reader(dir / "in.cfg");
    while (!reader.AtEnd())
      reader.ReadLine();
    EXPECT_EQ(reader.MoreAfterEndMark(), c.more) << ::testing::PrintToString(c.bytes.substr(0, 9));
  }
}

TEST(LineReader, ManyLinesOfEveryLengthAndLineEnd) {
  const char* const ends[] = {"\r\n", "\r", "\n"};
  std::string bytes;
  Lines expected;
  for (unsigned i = 0; i < 20'000; ++i) {
    expected.push_back(PatternLine(i % 97 == 0 ? 5'000 + i : i % 61, i));
    bytes += expected.back();
    // An empty line after a lone CR must not end with a lone LF: that would be CR LF.
    bytes += expected.back().empty() ? "\r\n" : ends[i % 3];
  }
  const Lines lines = ReadAll(bytes);
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i)
    ASSERT_EQ(lines[i], expected[i]) << "line " << i;
}

TEST(LineReader, ReadingAtEndGivesTheEmptyText) {
  TempDir dir;
  WriteFile(dir / "f", "only\r\n");
  LineReader reader(dir / "f");
  EXPECT_EQ(reader.ReadLine(), "only");
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.ReadLine(), "");
  std::string reused = "left over";
  reader.ReadLine(reused);
  EXPECT_EQ(reused, "");
  EXPECT_TRUE(reader.AtEnd());
}

TEST(LineReader, AtEndIsFalseBeforeAnEmptyLine) {
  TempDir dir;
  WriteFile(dir / "f", "a\r\n\r\n");
  LineReader reader(dir / "f");
  EXPECT_EQ(reader.ReadLine(), "a");
  EXPECT_FALSE(reader.AtEnd());
  EXPECT_EQ(reader.ReadLine(), "");
  EXPECT_TRUE(reader.AtEnd());
}

TEST(LineReader, ReusedStringGivesTheSameLines) {
  TempDir dir;
  const std::string longLine = PatternLine(70'000);
  WriteFile(dir / "f", longLine + "\r\nshort\rx");
  LineReader reader(dir / "f");
  std::string line;
  reader.ReadLine(line);
  EXPECT_EQ(line, longLine);
  reader.ReadLine(line);
  EXPECT_EQ(line, "short");
  reader.ReadLine(line);
  EXPECT_EQ(line, "x");
  EXPECT_TRUE(reader.AtEnd());
}

TEST(LineReader, ClosedReaderIsAtEnd) {
  TempDir dir;
  WriteFile(dir / "f", "a\r\nb\r\n");
  LineReader reader(dir / "f");
  reader.Close();
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.ReadLine(), "");
  reader.Close();  // a second close does no harm
}

struct OpenFailure {
  const char* name;
  std::string relativePath;  // under a directory holding "file" (a regular file) and "dir"
  const char* reason;        // of the text that names the file (core/FileError.h)
};

class LineReaderOpen : public ::testing::TestWithParam<OpenFailure> {};

TEST_P(LineReaderOpen, NamesTheFileAndTheReason) {
  TempDir dir;
  WriteFile(dir / "file", "x\r\n");
  WriteFile(dir / "dir/inside", "x\r\n");
  try {
    LineReader reader(dir / GetParam().relativePath);
    FAIL() << "opened " << GetParam().relativePath;
  } catch (const FileError& error) {
    EXPECT_EQ(error.GetText().key, std::string("FileError.") + GetParam().reason);
    EXPECT_EQ(error.Path(), dir / GetParam().relativePath);
  }
}

#ifdef _WIN32
// A name with a character that no Windows file name has.
const OpenFailure kBadName{"InvalidName", "bad<name>.dat", "System"};
#else
const OpenFailure kBadName{"OverlongName", std::string(NAME_MAX + 1, 'n'), "NameTooLong"};
#endif

INSTANTIATE_TEST_SUITE_P(
    LineReader, LineReaderOpen,
    ::testing::Values(OpenFailure{"MissingFile", "absent.dat", "NotFound"},
                      OpenFailure{"MissingDirectory", "absent/file.dat", "FolderNotFound"},
                      OpenFailure{"MissingDirectories", "absent/deeper/file.dat", "FolderNotFound"},
                      OpenFailure{"Directory", "dir", "IsDirectory"},
                      OpenFailure{"DirectoryWithSeparator", "dir/", "IsDirectory"},
                      OpenFailure{"PathUnderARegularFile", "file/inner.dat", "FolderNotFound"},
                      kBadName),
    [](const ::testing::TestParamInfo<OpenFailure>& test) { return std::string(test.param.name); });

TEST(LineReader, WhatIsNotARegularFileIsRefusedWithoutWaiting) {
  TempDir dir;
#ifdef _WIN32
  for (const std::string& path : {std::string("NUL"), dir / "NUL"}) {  // the device, anywhere
#else
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  ::alarm(10);  // a blocking open ends the test program
  for (const std::string& path : {dir / "fifo", std::string("/dev/zero")}) {
#endif
    try {
      LineReader reader(path);
      ADD_FAILURE() << "opened " << path;
    } catch (const FileError& error) {
      EXPECT_EQ(error.GetText().key, "FileError.NotRegularFile") << path;
    }
  }
#ifndef _WIN32
  ::alarm(0);
#endif
}

TEST(LineReader, AReadErrorKeepsTheSystemsReason) {
#ifdef _WIN32
  GTEST_SKIP() << "/proc/self/mem: Linux only";
#else
  // This file opens, but reading its start fails with EIO (address 0 is never mapped).
  LineReader reader("/proc/self/mem");
  try {
    reader.ReadLine();
    FAIL() << "read /proc/self/mem";
  } catch (const FileError& error) {
    EXPECT_EQ(error.SystemError(), EIO);
    EXPECT_EQ(error.GetText().key, "FileError.InputOutput");
  }
#endif
}

// A line longer than 1 MiB stops the reading, naming the file and the line; the lines
// before it have been read.
TEST(LineReader, StopsAtALineLongerThanOneMebibyte) {
  TempDir dir;
  const std::string longest = PatternLine(kMaxLineLength);
  WriteFile(dir / "f", "first\r\n" + longest + "\r\n" + longest + "x\r\nlast\r\n");
  LineReader reader(dir / "f");
  EXPECT_EQ(reader.ReadLine(), "first");
  EXPECT_EQ(reader.ReadLine(), longest);
  try {
    reader.ReadLine();
    FAIL() << "read a line of " << kMaxLineLength + 1 << " bytes";
  } catch (const TextError& error) {
    EXPECT_EQ(error.GetText(), (Text{"File.LineTooLong", {dir / "f", "3"}}));
  }

  WriteFile(dir / "endless", std::string(3 * kMaxLineLength, 'z'));  // no line end at all
  LineReader endless(dir / "endless");
  EXPECT_THROW(endless.ReadLine(), TextError);
}

// ---- The loaders -------------------------------------------------------------------

struct PairCase {
  const char* name;
  std::string bytes;
  Lines first;
  Lines second;
};

class PairLoading : public ::testing::TestWithParam<PairCase> {};

TEST_P(PairLoading, FillsBothLists) {
  TempDir dir;
  WriteFile(dir / "pairs.dat", GetParam().bytes);
  LineReader reader(dir / "pairs.dat");
  StringList first;
  StringList second;
  ReadLinePairs(reader, first, second);
  EXPECT_EQ(first.Items(), GetParam().first);
  EXPECT_EQ(second.Items(), GetParam().second);
  EXPECT_EQ(first.ItemIndex(), -1);
  EXPECT_EQ(second.ItemIndex(), -1);
}

INSTANTIATE_TEST_SUITE_P(
    ReadLinePairs, PairLoading,
    ::testing::Values(
        PairCase{"OddLastLineGetsAnEmptyPartner", "A\r\na\r\nB\r\n", {"A", "B"}, {"a", ""}},
        PairCase{"OddLastLineWithoutLineEnd", "A\r\na\r\nB", {"A", "B"}, {"a", ""}},
        PairCase{"OnePairPerTwoLines", "A\r\na\r\nB\r\nb\r\n", {"A", "B"}, {"a", "b"}},
        PairCase{"EmptyLastLineAddsAnEmptyPair", "A\r\na\r\n\r\n", {"A", ""}, {"a", ""}},
        PairCase{"EmptyFile", "", {}, {}}, PairCase{"OnlyEndOfFileMark", "\x1A", {}, {}},
        PairCase{"NothingAfterTheEndOfFileMark",
                 "A\r\na\r\n\x1A"
                 "B\r\nb\r\n",
                 {"A"},
                 {"a"}},
        PairCase{"EndOfFileMarkInsideAPair",
                 "A\r\na\r\nB\x1A"
                 "b\r\n",
                 {"A", "B"},
                 {"a", ""}},
        PairCase{"LoneCrLines", "A\ra\rB\rb\r", {"A", "B"}, {"a", "b"}},
        PairCase{"LoneLfLines", "A\na\nB\nb\n", {"A", "B"}, {"a", "b"}},
        PairCase{"EmptyEntriesAreData", "\r\nx\r\n\r\n\r\n", {"", ""}, {"x", ""}}),
    [](const ::testing::TestParamInfo<PairCase>& test) { return std::string(test.param.name); });

TEST(ReadLinePairs, AppendsAfterTheEntriesAlreadyThere) {
  TempDir dir;
  WriteFile(dir / "pairs.dat", "A\r\na\r\n");
  LineReader reader(dir / "pairs.dat");
  StringList first;
  StringList second;
  first.Add("old name");
  second.Add("old command");
  ReadLinePairs(reader, first, second);
  EXPECT_EQ(first.Items(), (Lines{"old name", "A"}));
  EXPECT_EQ(second.Items(), (Lines{"old command", "a"}));
}

struct ListCase {
  const char* name;
  std::string bytes;
  Lines lines;
};

class ListLoading : public ::testing::TestWithParam<ListCase> {};

TEST_P(ListLoading, OneEntryPerLine) {
  TempDir dir;
  WriteFile(dir / "list.dat", GetParam().bytes);
  LineReader reader(dir / "list.dat");
  StringList list;
  ReadLines(reader, list);
  EXPECT_EQ(list.Items(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    ReadLines, ListLoading,
    ::testing::Values(ListCase{"CrLf", "echo\r\nfov\r\n", {"echo", "fov"}},
                      ListCase{
                          "EmptyLastLineAddsOneEntry", "echo\r\nfov\r\n\r\n", {"echo", "fov", ""}},
                      ListCase{"EmptyFile", "", {}}, ListCase{"OnlyEndOfFileMark", "\x1A", {}},
                      ListCase{"ByteOrderMark",
                               "\xEF\xBB\xBF"
                               "echo\r\n",
                               {"\xEF\xBB\xBF"
                                "echo"}}),
    [](const ::testing::TestParamInfo<ListCase>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace tavrilo::datafiles
