// SPDX-License-Identifier: GPL-3.0-or-later
// INI files read and written with the private-profile rules, and the flag rule.
#include "datafiles/IniFile.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "../core/FileSystemUser.h"
#include "TestSupport.h"
#include "core/Errors.h"
#include "core/FileError.h"
#include "core/Platform.h"
#include "core/Text.h"

namespace tavrilo::datafiles {
namespace {

using testing::Exists;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// ---- Reading -----------------------------------------------------------------------

struct ReadCase {
  const char* name;
  std::string content;
  std::string section;
  std::string key;
  std::optional<std::string> value;  // std::nullopt: the default comes back
};

class IniRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, FindsTheValue) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(FindIniValue(c.content, c.section, c.key), c.value);
  // The section read at once answers by the same rules.
  const IniSection values = ParseIniSection(c.content, c.section);
  const std::string* found = values.Find(c.key);
  EXPECT_EQ(found != nullptr ? std::optional(*found) : std::nullopt, c.value);

  TempDir dir;
  WriteFile(dir / "file.ini", c.content);
  const IniFile ini(dir / "file.ini");
  EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.value.value_or("<default>"));
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, IniRead,
    ::testing::Values(
        ReadCase{"Plain", "[General]\r\nfr=1\r\nen=0\r\n", "General", "en", "0"},
        ReadCase{"SectionCase", "[GENERAL]\r\nfr=1\r\n", "general", "fr", "1"},
        ReadCase{"KeyCase", "[General]\r\nSayEdit.Text=x\r\n", "General", "sayedit.TEXT", "x"},
        ReadCase{"AccentedLettersMatchEitherCase", "[G\xC9N\xC9RAL]\r\n\xC9T\xC9=1\r\n",
                 "g\xE9n\xE9ral", "\xE9t\xE9", "1"},
        ReadCase{"BlanksAroundLinesAndNames", "  [General]  \r\n \t fr \t=  a b  \t\r\n", "General",
                 "fr", "a b"},
        ReadCase{"RequestedNamesAreTrimmed", "[General]\r\nfr=1\r\n", " General ", " fr\t", "1"},
        ReadCase{"BlanksInsideTheBrackets", "[ General ]\r\nfr=1\r\n", "General", "fr", "1"},
        ReadCase{"TextAfterTheSectionLine", "[General] ; settings\r\nfr=1\r\n", "General", "fr",
                 "1"},
        ReadCase{"DoubleQuotesRemoved", "[G]\r\nk=\"a b \"\r\n", "G", "k", "a b "},
        ReadCase{"SingleQuotesRemoved", "[G]\r\nk= ' a' \r\n", "G", "k", " a"},
        ReadCase{"OnlyOnePairOfQuotes", "[G]\r\nk=\"\"x\"\"\r\n", "G", "k", "\"x\""},
        ReadCase{"UnmatchedQuotesKept", "[G]\r\nk=\"a'\r\n", "G", "k", "\"a'"},
        ReadCase{"OpeningQuoteOnly", "[G]\r\nk=\"abc\r\n", "G", "k", "\"abc"},
        ReadCase{"ALoneQuoteIsKept", "[G]\r\nk=\"\r\n", "G", "k", "\""},
        ReadCase{"EmptyQuotes", "[G]\r\nk=''\r\n", "G", "k", ""},
        ReadCase{"EmptyValueIsNotTheDefault", "[G]\r\nk=\r\n", "G", "k", ""},
        ReadCase{"ValueAfterTheFirstEquals", "[G]\r\nk = a=b\r\n", "G", "k", "a=b"},
        ReadCase{"FirstSectionOnly", "[G]\r\na=1\r\n[g]\r\na=2\r\nb=3\r\n", "G", "b", std::nullopt},
        ReadCase{"FirstSectionWins", "[G]\r\na=1\r\n[g]\r\na=2\r\n", "G", "a", "1"},
        ReadCase{"FirstKeyWins", "[G]\r\na=1\r\nA=2\r\n", "G", "a", "1"},
        ReadCase{"KeyWithoutEqualsReadsAsTheDefault", "[G]\r\na\r\na=2\r\n", "G", "a",
                 std::nullopt},
        ReadCase{"KeyInAnotherSection", "[H]\r\na=1\r\n[G]\r\nb=2\r\n", "G", "a", std::nullopt},
        ReadCase{"LinesBeforeAnySection", "a=1\r\n[G]\r\nb=2\r\n", "G", "a", std::nullopt},
        ReadCase{"CommentLinesAreKeys", "[G]\r\n;a=1\r\n", "G", ";a", "1"},
        ReadCase{"CommentDoesNotHideAKey", "[G]\r\n;a=1\r\n", "G", "a", std::nullopt},
        ReadCase{"BracketWithoutCloseIsAKey", "[G]\r\n[x=1\r\n", "G", "[x", "1"},
        ReadCase{"SectionAbsent", "[H]\r\na=1\r\n", "G", "a", std::nullopt},
        ReadCase{"EmptyFile", "", "G", "a", std::nullopt},
        ReadCase{"LoneLfLines", "[G]\na=1\nb=2\n", "G", "b", "2"},
        ReadCase{"LoneCrLines", "[G]\ra=1\rb=2", "G", "b", "2"},
        ReadCase{"ByteOrderMarkBeforeTheFirstSection", "\xEF\xBB\xBF[G]\r\na=1\r\n", "G", "a", "1"},
        ReadCase{"WindowsLettersKept",
                 "[G]\r\nk=Cr\xE9"
                 "er \xAB\xA0x\xA0\xBB\r\n",
                 "G", "k",
                 "Cr\xE9"
                 "er \xAB\xA0x\xA0\xBB"}),
    [](const ::testing::TestParamInfo<ReadCase>& test) { return std::string(test.param.name); });

TEST(IniFile, ValueIsCutTo1023Characters) {
  const std::string text = std::string(1023, 'v') + "TAIL";
  const struct {
    std::string line;
    std::string value;
  } cases[] = {
      {"k=" + text, text.substr(0, 1023)},
      {"k=" + text.substr(0, 1023), text.substr(0, 1023)},
      {"k=" + text.substr(0, 1022), text.substr(0, 1022)},
      {"k=\"" + text.substr(0, 1023) + "\"", text.substr(0, 1023)},
      {"k=\"" + text + "\"", text.substr(0, 1023)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindIniValue("[G]\r\n" + c.line + "\r\n", "G", "k"), c.value) << c.line.size();
  }
}

TEST(IniFile, ReadingNeverFailsNorWaits) {
  TempDir dir;
  WriteFile(dir / "file", "x");
  std::filesystem::create_directory(dir / "directory");
  std::vector<std::string> paths = {
      dir / "absent.ini", dir / "absent/file.ini",     dir / "file/inner.ini", dir / "directory",
      dir.Path(),         dir / std::string(300, 'n'), std::string()};
#ifdef _WIN32
  paths.push_back("NUL");  // a device
#else
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  ::alarm(10);  // a blocking open ends the test program
  paths.push_back("/dev/zero");
  paths.push_back(dir / "fifo");
#endif
  for (const std::string& path : paths) {
    const IniFile ini(path);
    EXPECT_EQ(ini.ReadString("General", "fr", "default"), "default") << path;
    EXPECT_TRUE(ini.ReadBool("General", "fr", true)) << path;
    EXPECT_FALSE(ini.ReadBool("General", "fr", false)) << path;
    EXPECT_EQ(ini.ReadSection("General").Find("fr"), nullptr) << path;
  }
#ifndef _WIN32
  ::alarm(0);
#endif
}

// A settings or caption file too big for any real one (a sparse file of 64 GiB) is
// refused with its own message, read neither whole nor as absent, and never replaced by a
// write.
TEST(IniFile, AFileTooBigToReadIsRefusedNamingIt) {
  TempDir dir;
  const std::string path = dir / "config.ini";
  WriteFile(path, "[General]\r\nfr=1\r\n");
  std::filesystem::resize_file(path, std::uintmax_t{64} << 30);
  const IniFile ini(path);
  const Text tooBig = FileErrorText(platform::kFileTooBig, path);
  auto textOf = [](auto&& action) {
    try {
      action();
    } catch (const TextError& error) {
      return error.GetText();
    }
    return Text{};
  };
  EXPECT_EQ(textOf([&] { ini.ReadString("General", "fr", "0"); }), tooBig);
  EXPECT_EQ(textOf([&] { ini.ReadSection("General"); }), tooBig);
  EXPECT_EQ(textOf([&] { ini.ReadBool("General", "fr", false); }), tooBig);
  EXPECT_THROW(ini.WriteString("General", "fr", "0"), Error);
  EXPECT_EQ(std::filesystem::file_size(path), std::uintmax_t{64} << 30);
}

TEST(IniFile, EachReadOpensTheFileAnew) {
  TempDir dir;
  const IniFile ini(dir / "file.ini");
  WriteFile(ini.Path(), "[G]\r\nk=first\r\n");
  EXPECT_EQ(ini.ReadString("G", "k", ""), "first");
  WriteFile(ini.Path(), "[G]\r\nk=second\r\n");
  EXPECT_EQ(ini.ReadString("G", "k", ""), "second");
}

// ---- Writing -----------------------------------------------------------------------

struct WriteCase {
  const char* name;
  std::optional<std::string> before;  // std::nullopt: no file
  std::string section;
  std::string key;
  std::string value;
  std::string after;
};

class IniWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(IniWrite, ChangesOnlyTheKeysLine) {
  const WriteCase& c = GetParam();
  TempDir dir;
  const IniFile ini(dir / "config.ini");
  if (c.before) WriteFile(ini.Path(), *c.before);
  ini.WriteString(c.section, c.key, c.value);
  EXPECT_EQ(ReadFile(ini.Path()), c.after);
  EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.value);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1)
      << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, IniWrite,
    ::testing::Values(
        WriteCase{"NewFile", std::nullopt, "General", "fr", "0", "[General]\r\nfr=0\r\n"},
        WriteCase{"EmptyFile", "", "General", "fr", "0", "[General]\r\nfr=0\r\n"},
        WriteCase{"ReplaceKeepsEveryOtherLine",
                  "; written by hand\r\n[General]\r\n  Fr  =  0 \r\nen=1\r\n\r\n"
                  "[Other]\r\nfr=5\r\n",
                  "general", "fr", "1",
                  "; written by hand\r\n[General]\r\nFr=1\r\nen=1\r\n\r\n[Other]\r\nfr=5\r\n"},
        WriteCase{"ReplaceKeepsOddSpacingAndBytes",
                  "x = 1 \r\n\t[General]   \r\n  a   =  \"q\"  \r\nQ2Path=C:\\Jeux\\Quake \xE9\r\n"
                  "fr=1\r\n  ;  comment \r\n",
                  "General", "FR", "0",
                  "x = 1 \r\n\t[General]   \r\n  a   =  \"q\"  \r\nQ2Path=C:\\Jeux\\Quake \xE9\r\n"
                  "fr=0\r\n  ;  comment \r\n"},
        WriteCase{"ReplaceTheLastLineWithoutLineEnd", "[General]\r\nfr=1", "General", "fr", "0",
                  "[General]\r\nfr=0"},
        WriteCase{"ReplaceAKeyWithoutEquals", "[General]\r\nfr\r\nen=1\r\n", "General", "fr", "1",
                  "[General]\r\nfr=1\r\nen=1\r\n"},
        WriteCase{"ReplaceInTheFirstOfTwoSections", "[G]\r\nk=1\r\n[G]\r\nk=2\r\n", "G", "k", "3",
                  "[G]\r\nk=3\r\n[G]\r\nk=2\r\n"},
        WriteCase{"AddKeyAfterTheSectionsLastEntry",
                  "[General]\r\nen=1\r\n\r\n\r\n[Other]\r\nx=y\r\n", "General", "fr", "0",
                  "[General]\r\nen=1\r\nfr=0\r\n\r\n\r\n[Other]\r\nx=y\r\n"},
        WriteCase{"AddKeyToAnEmptySection", "[General]\r\n\r\n[Other]\r\n", "General", "fr", "0",
                  "[General]\r\nfr=0\r\n\r\n[Other]\r\n"},
        WriteCase{"AddKeyToTheFirstOfTwoSections", "[G]\r\na=1\r\n[G]\r\nk=2\r\n", "G", "k", "3",
                  "[G]\r\na=1\r\nk=3\r\n[G]\r\nk=2\r\n"},
        WriteCase{"AddKeyAfterALastLineWithoutLineEnd", "[General]\r\nen=1", "General", "fr", "0",
                  "[General]\r\nen=1\r\nfr=0\r\n"},
        WriteCase{"AddKeyKeepsTheLineEndOfTheLineBefore", "[General]\r\nen=1\rQ=2\r\n", "General",
                  "fr", "0", "[General]\r\nen=1\rQ=2\r\nfr=0\r\n"},
        WriteCase{"AddSectionAfterABlankLine", "[Other]\r\nx=y\r\n", "General", "fr", "0",
                  "[Other]\r\nx=y\r\n\r\n[General]\r\nfr=0\r\n"},
        WriteCase{"AddSectionToAFileWithoutFinalLineEnd", "[Other]\r\nx=y", "General", "fr", "0",
                  "[Other]\r\nx=y\r\n\r\n[General]\r\nfr=0\r\n"},
        WriteCase{"AddSectionAfterAnExistingBlankLine", "[Other]\r\nx=y\r\n\r\n", "General", "fr",
                  "0", "[Other]\r\nx=y\r\n\r\n[General]\r\nfr=0\r\n"},
        WriteCase{"AddSectionWhenTheKeyIsOnlyBeforeAnySection", "fr=1\r\n", "General", "fr", "0",
                  "fr=1\r\n\r\n[General]\r\nfr=0\r\n"},
        WriteCase{"LoneLfFileKeepsLoneLf", "[Other]\nx=y\n", "General", "fr", "0",
                  "[Other]\nx=y\n\n[General]\nfr=0\n"},
        WriteCase{"LoneLfFileNewKey", "[General]\nen=1\n", "General", "fr", "0",
                  "[General]\nen=1\nfr=0\n"},
        WriteCase{"ByteOrderMarkKept", "\xEF\xBB\xBF[General]\r\nfr=1\r\n", "General", "fr", "0",
                  "\xEF\xBB\xBF[General]\r\nfr=0\r\n"},
        WriteCase{"NamesWrittenTrimmed", std::nullopt, " General ", " Q2Path ", "/jeux/q2/",
                  "[General]\r\nQ2Path=/jeux/q2/\r\n"},
        WriteCase{"EmptyValue", "[General]\r\nQ2Path=/x/\r\n", "General", "Q2Path", "",
                  "[General]\r\nQ2Path=\r\n"}),
    [](const ::testing::TestParamInfo<WriteCase>& test) { return std::string(test.param.name); });

TEST(IniFile, WritingTheSameValueLeavesTheFileAlone) {
#ifdef _WIN32
  GTEST_SKIP() << "inode numbers: POSIX only";
#else
  TempDir dir;
  const IniFile ini(dir / "config.ini");
  WriteFile(ini.Path(), "[General]\r\nfr=1\r\n");
  struct stat before {};
  ASSERT_EQ(::stat(ini.Path().c_str(), &before), 0);
  ini.WriteString("General", "fr", "1");
  struct stat after {};
  ASSERT_EQ(::stat(ini.Path().c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_EQ(ReadFile(ini.Path()), "[General]\r\nfr=1\r\n");
#endif
}

TEST(IniFile, WriteFailureNamesTheFullPath) {
  TempDir dir;
  WriteFile(dir / "file", "x");
  std::filesystem::create_directory(dir / "directory");
  std::vector<std::string> paths = {dir / "data/config.ini", dir / "file/config.ini",
                                    dir / "directory", dir / std::string(300, 'n')};
#ifdef _WIN32
  paths.push_back("NUL");  // a device
#else
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  ::alarm(10);  // a blocking open ends the test program
  paths.push_back("/dev/full");
  paths.push_back(dir / "fifo");
#endif
  for (const std::string& path : paths) {
    const IniFile ini(path);
    // The file and the system's reason.
    try {
      ini.WriteString("General", "fr", "1");
      FAIL() << "wrote " << path;
    } catch (const FileError& error) {
      EXPECT_EQ(error.Path(), path);
      EXPECT_NE(error.GetText().key, "FileError.System") << path;
    }
    EXPECT_THROW(ini.WriteBool("General", "en", false), FileError) << path;
  }
#ifndef _WIN32
  ::alarm(0);
#endif
  EXPECT_FALSE(Exists(dir / "data"));
  EXPECT_EQ(ReadFile(dir / "file"), "x");
}

TEST(IniFile, WritesASettingsFileTheUserMayWriteInAFolderTheUserMayNot) {
#ifdef _WIN32
  GTEST_SKIP() << "acting as another file-system user: Linux only";
#else
  if (!testing::CanActAsAnotherUser()) GTEST_SKIP() << "needs root";
  TempDir dir;
  testing::SetOwnerAndMode(dir.Path(), 0, 0, 0755);
  const IniFile ini(dir / "config.ini");
  WriteFile(ini.Path(), "[General]\r\nfr=1\r\n");
  testing::SetOwnerAndMode(ini.Path(), testing::kUserId, testing::kUserGroup, 0644);
  TempDir config;  // the settings folder, where the backup of the file written in place goes
  testing::SetOwnerAndMode(config.Path(), testing::kUserId, testing::kUserGroup, 0755);
  const testing::ScopedConfigHome home(config.Path());
  {
    const testing::ScopedFileSystemUser user;
    ini.WriteBool("General", "fr", false);
  }
  EXPECT_EQ(ReadFile(ini.Path()), "[General]\r\nfr=0\r\n");
#endif
}

TEST(IniFile, LineEndsInNamesOrValuesAreRefused) {
  const std::string before = "[General]\r\nfr=1\r\n";
  const struct {
    std::string section, key, value;
  } cases[] = {
      {"General", "fr", "0\r\n[Other]"}, {"General", "fr", "0\r"}, {"General", "fr", "\n0"},
      {"Gen\neral", "fr", "0"},          {"General\r", "fr", "0"}, {"General", "f\nr", "0"},
      {"General", "new\rkey", "0"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const IniFile existing(dir / "config.ini");
    WriteFile(existing.Path(), before);
    EXPECT_THROW(existing.WriteString(c.section, c.key, c.value), SettingWriteError);
    EXPECT_EQ(ReadFile(existing.Path()), before);

    const IniFile absent(dir / "absent.ini");
    try {
      absent.WriteString(c.section, c.key, c.value);
      FAIL() << "wrote a line end";
    } catch (const SettingWriteError& error) {
      EXPECT_EQ(std::string(error.what()), "Unable to write to " + absent.Path());
    }
    EXPECT_FALSE(Exists(absent.Path()));
  }
}

TEST(IniFile, WriteBoolWritesOneOrZero) {
  TempDir dir;
  const IniFile ini(dir / "config.ini");
  ini.WriteBool("General", "fr", false);
  ini.WriteBool("General", "en", true);
  EXPECT_EQ(ReadFile(ini.Path()), "[General]\r\nfr=0\r\nen=1\r\n");
  ini.WriteBool("General", "fr", true);
  ini.WriteBool("General", "en", false);
  EXPECT_EQ(ReadFile(ini.Path()), "[General]\r\nfr=1\r\nen=0\r\n");
}

// ---- The flag rule -----------------------------------------------------------------

TEST(ParseFlagNumber, FollowsTheFlagRule) {
  const struct {
    std::string text;
    std::optional<std::int32_t> number;
  } cases[] = {
      {"1", 1},
      {"2", 2},
      {"-1", -1},
      {"+7", 7},
      {"0", 0},
      {"00010", 10},
      {"0x10", 16},
      {"0X10", 16},
      {"0x0", 0},
      {"0xfF", 255},
      {"$A", 10},
      {"$a", 10},
      {"$0", 0},
      {" 5", 5},
      {"   -5", -5},
      {"  $ff", 255},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$7FFFFFFF", 2147483647},
      {"$FFFFFFFF", -1},
      {"0xFFFFFFFF", -1},
      {"$0000000000FF", 255},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"$100000000", std::nullopt},
      {"0x100000000", std::nullopt},
      {"", std::nullopt},
      {"yes", std::nullopt},
      {"true", std::nullopt},
      {"0x", std::nullopt},  // too short to be a prefix: "0" followed by "x"
      {"0X", std::nullopt},
      {"$", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {" ", std::nullopt},
      {"5 ", std::nullopt},
      {"1.0", std::nullopt},
      {"12a", std::nullopt},
      {"0x1g", std::nullopt},
      {" 0x10", std::nullopt},  // the prefix counts only at the very start
      {"0x 1", std::nullopt},
      {"0x-1", std::nullopt},
      {"$-1", std::nullopt},
      {"-$1", std::nullopt},
      {"+-1", std::nullopt},
      {"1 1", std::nullopt},
      {std::string("1\0", 2), std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseFlagNumber(c.text), c.number) << "\"" << c.text << "\"";
  }
}

TEST(IniFile, ReadBoolUsesTheFlagRule) {
  const struct {
    const char* line;  // in section General, or nothing
    bool whenDefaultTrue;
    bool whenDefaultFalse;
  } cases[] = {
      {"flag=1", true, true},    {"flag=2", true, true},     {"flag=-1", true, true},
      {"flag=0x10", true, true}, {"flag=$A", true, true},    {"flag = \" 5\"", true, true},
      {"flag=0", false, false},  {"flag=0x0", false, false}, {"flag=-0", false, false},
      {"flag=yes", true, false}, {"flag=true", true, false}, {"flag=", true, false},
      {"flag", true, false},     {"other=0", true, false},   {"flag=4294967296", true, false},
      {"flag=0x", true, false},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const IniFile ini(dir / "config.ini");
    WriteFile(ini.Path(), std::string("[General]\r\n") + c.line + "\r\n");
    EXPECT_EQ(ini.ReadBool("General", "flag", true), c.whenDefaultTrue) << c.line;
    EXPECT_EQ(ini.ReadBool("General", "flag", false), c.whenDefaultFalse) << c.line;
  }
}

}  // namespace
}  // namespace tavrilo::datafiles
