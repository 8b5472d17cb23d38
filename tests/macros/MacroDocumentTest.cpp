// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/MacroDocument.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../core/FileSystemUser.h"
#include "Branding.h"
#include "TestSupport.h"
#include "core/Errors.h"
#include "core/LineReader.h"
#include "core/Platform.h"
#include "core/Text.h"

namespace tavrilo::macros {
namespace {

using testing::Exists;
using testing::FileErrorOf;
using testing::MessageOf;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// The file dialog, answered in advance.
PathPrompt Choose(const std::string& path) {
  return [path] { return std::optional<std::string>(path); };
}
PathPrompt Cancel() {
  return [] { return std::optional<std::string>(); };
}
PathPrompt MustNotOpen() {
  return []() -> std::optional<std::string> {
    ADD_FAILURE() << "the file dialog was opened";
    return std::nullopt;
  };
}

// The header comment as the bytes of a saved file.
std::string HeaderBytes() {
  return "// Fichier macro cr\xE9\xE9 gr\xE2"
         "ce au Tavrilo v1.4b \r\n"
         "//                             " +
         std::string(kCopyrightNotice) +
         "\r\n"
         "// Ce programme peut \xEA"
         "tre obtenu gratuitement via:\r\n"
         "//    Mon E-Mail: " +
         std::string(kEmailAddress) +
         "\r\n"
         "//    Mon site: " +
         std::string(kWebPage) +
         "\r\n"
         "\r\n";
}

std::vector<std::string> HeaderEntries() {
  const auto lines = HeaderLines();
  return {lines.begin(), lines.end()};
}

std::set<std::string> FilesIn(const std::string& directory) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// A document as after start-up: the header comment in the output buffer.
class MacroDocumentTest : public ::testing::Test {
 protected:
  MacroDocumentTest() { doc.ResetHeader(); }

  void Add(std::initializer_list<const char*> lines) {
    for (const char* line : lines)
      doc.Append(line);
  }
  std::vector<std::string> Entries() const { return doc.List().Items(); }

  TempDir dir;
  MacroDocument doc;
};

// --- Saving --------------------------------------------------------------------------

TEST_F(MacroDocumentTest, EmptyListOpensNoDialogAndWritesNothing) {
  EXPECT_FALSE(doc.Save(MustNotOpen()));
  EXPECT_EQ(doc.Buffer().Text(), HeaderBytes());
  EXPECT_TRUE(FilesIn(dir.Path()).empty());
}

TEST_F(MacroDocumentTest, FirstSaveWritesHeaderThenEntriesEachEndedByCrLf) {
  Add({R"(bind "q" "zoom")", R"(bind "w" "+attack")"});
  const std::string path = dir / "Macros.cfg";
  EXPECT_TRUE(doc.Save(Choose(path)));
  EXPECT_EQ(ReadFile(path), HeaderBytes() + "bind \"q\" \"zoom\"\r\nbind \"w\" \"+attack\"\r\n");
  EXPECT_TRUE(doc.Buffer().Empty());
  EXPECT_EQ(doc.List().Count(), 2);  // the list keeps its entries
}

TEST_F(MacroDocumentTest, SavedFileHasEightLinesWithAnEmptySixth) {
  Add({"E1", "E2"});
  const std::string path = dir / "Macros.cfg";
  doc.Save(Choose(path));
  const std::string bytes = ReadFile(path);
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = bytes.find("\r\n", start)) != bytes.npos;
       start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  EXPECT_EQ(start, bytes.size()) << "bytes after the last CR LF";
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6], "E1");
  EXPECT_EQ(lines[7], "E2");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 8);  // no stray LF or CR
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 8);
}

TEST_F(MacroDocumentTest, CancelChangesNothingAndTheNextSaveStillWritesTheHeader) {
  Add({"E1", "E2"});
  doc.List().UserSelect(1);
  EXPECT_FALSE(doc.Save(Cancel()));
  EXPECT_EQ(doc.Buffer().Text(), HeaderBytes());
  EXPECT_EQ(Entries(), (std::vector<std::string>{"E1", "E2"}));
  EXPECT_EQ(doc.List().ItemIndex(), 1);
  EXPECT_TRUE(FilesIn(dir.Path()).empty());

  const std::string path = dir / "Macros.cfg";
  EXPECT_TRUE(doc.Save(Choose(path)));
  EXPECT_EQ(ReadFile(path), HeaderBytes() + "E1\r\nE2\r\n");
}

TEST_F(MacroDocumentTest, SecondSaveWritesTheEntriesAlone) {
  Add({"E1", "E2"});
  doc.Save(Choose(dir / "first.cfg"));
  doc.Save(Choose(dir / "second.cfg"));
  EXPECT_EQ(ReadFile(dir / "first.cfg"), HeaderBytes() + "E1\r\nE2\r\n");
  EXPECT_EQ(ReadFile(dir / "second.cfg"), "E1\r\nE2\r\n");
}

TEST_F(MacroDocumentTest, NewListPutsTheHeaderBack) {
  Add({"E1"});
  doc.Save(Choose(dir / "first.cfg"));
  doc.NewList();
  EXPECT_TRUE(doc.List().Empty());
  EXPECT_EQ(doc.Buffer().Text(), HeaderBytes());
  Add({"E3"});
  doc.Save(Choose(dir / "second.cfg"));
  EXPECT_EQ(ReadFile(dir / "second.cfg"), HeaderBytes() + "E3\r\n");
}

TEST_F(MacroDocumentTest, NewListKeepsTheToolTip) {
  Add({"E1", "E2"});
  doc.List().UserSelect(1);
  doc.NewList();
  EXPECT_EQ(doc.List().Hint(), "E2");
  EXPECT_EQ(doc.List().ItemIndex(), -1);
}

TEST_F(MacroDocumentTest, SaveLeavesSelectionAndToolTipAsTheyWere) {
  Add({"E1", "E2", "E3"});
  doc.List().UserSelect(1);
  doc.Save(Choose(dir / "Macros.cfg"));
  EXPECT_EQ(doc.List().ItemIndex(), 1);
  EXPECT_EQ(doc.List().Hint(), "E2");
}

TEST_F(MacroDocumentTest, SavingOverAnExistingFileReplacesIt) {
  const std::string path = dir / "Macros.cfg";
  WriteFile(path, std::string(5000, 'x') + "\r\nold\r\n");
  Add({"new"});
  EXPECT_TRUE(doc.Save(Choose(path)));
  EXPECT_EQ(ReadFile(path), HeaderBytes() + "new\r\n");
  EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"Macros.cfg"});
}

TEST_F(MacroDocumentTest, EmptyEntriesAndAccentsAreWrittenAsTheyAre) {
  Add({"",
       "echo cr\xE9"
       "e",
       ""});
  doc.Save(Choose(dir / "a.cfg"));
  EXPECT_EQ(ReadFile(dir / "a.cfg"), HeaderBytes() +
                                         "\r\necho cr\xE9"
                                         "e\r\n\r\n");
}

// --- Loading -------------------------------------------------------------------------

struct LoadCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> entries;
};

TEST_F(MacroDocumentTest, LoadSplitsLinesByTheLineRules) {
  const std::vector<LoadCase> cases = {
      {"CR LF", "A\r\nB\r\n", {"A", "B"}},
      {"lone CR", "A\rB\r", {"A", "B"}},
      {"lone LF", "A\nB\n", {"A", "B"}},
      {"mixed", "A\r\nB\rC\nD", {"A", "B", "C", "D"}},
      {"LF then CR is two line ends", "A\n\rB", {"A", "", "B"}},
      {"CR CR LF", "A\r\r\nB", {"A", "", "B"}},
      {"last line without terminator", "A\r\nB", {"A", "B"}},
      {"empty lines", "A\r\n\r\n\r\nB\r\n", {"A", "", "", "B"}},
      {"one empty line", "\r\n", {""}},
      {"empty file", "", {}},
      {"0x1A ends the file",
       "A\r\nB\x1A"
       "C\r\nD\r\n",
       {"A", "B"}},
      {"0x1A at a line start",
       "A\r\n\x1A"
       "B\r\n",
       {"A"}},
      {"only 0x1A", "\x1A", {}},
      {"header and comments are entries", "// c\r\n  \r\n", {"// c", "  "}},
      {"bytes as they are",
       "\xEF\xBB\xBF"
       "A\t\x01\xFF\r\n",
       {"\xEF\xBB\xBF"
        "A\t\x01\xFF"}},
  };
  for (const auto& [name, bytes, entries] : cases) {
    const std::string path = dir / "in.cfg";
    WriteFile(path, bytes);
    EXPECT_TRUE(doc.Load(Choose(path))) << name;
    EXPECT_EQ(Entries(), entries) << name;
  }
}

TEST_F(MacroDocumentTest, LoadReplacesTheListAndLeavesTheBuffer) {
  Add({"old 1", "old 2"});
  doc.List().UserSelect(1);
  WriteFile(dir / "in.cfg", "new\r\n");
  doc.Load(Choose(dir / "in.cfg"));
  EXPECT_EQ(Entries(), std::vector<std::string>{"new"});
  EXPECT_EQ(doc.List().ItemIndex(), -1);
  EXPECT_EQ(doc.List().Hint(), "old 2");
  EXPECT_EQ(doc.Buffer().Text(), HeaderBytes());

  doc.Save(Choose(dir / "out.cfg"));  // buffer now empty
  doc.Load(Choose(dir / "in.cfg"));
  EXPECT_TRUE(doc.Buffer().Empty());
}

TEST_F(MacroDocumentTest, CancelledLoadChangesNothing) {
  Add({"E1", "E2"});
  doc.List().UserSelect(0);
  EXPECT_FALSE(doc.Load(Cancel()));
  EXPECT_EQ(Entries(), (std::vector<std::string>{"E1", "E2"}));
  EXPECT_EQ(doc.List().ItemIndex(), 0);
}

TEST_F(MacroDocumentTest, EmptyLinesOfALoadedFileAreWrittenBack) {
  const std::string body = "A\r\n\r\nB\r\n\r\n";
  WriteFile(dir / "in.cfg", body);
  doc.Load(Choose(dir / "in.cfg"));
  doc.Save(Choose(dir / "first.cfg"));
  doc.Save(Choose(dir / "second.cfg"));
  EXPECT_EQ(ReadFile(dir / "second.cfg"), body);
}

TEST_F(MacroDocumentTest, LoadingASavedFileThenSavingFirstRepeatsTheHeader) {
  Add({R"(bind "q" "zoom")"});
  doc.Save(Choose(dir / "saved.cfg"));

  MacroDocument fresh;  // a new run
  fresh.ResetHeader();
  fresh.Load(Choose(dir / "saved.cfg"));
  std::vector<std::string> expected = HeaderEntries();
  expected.push_back(R"(bind "q" "zoom")");
  EXPECT_EQ(fresh.List().Items(), expected);

  fresh.Save(Choose(dir / "again.cfg"));
  EXPECT_EQ(ReadFile(dir / "again.cfg"), HeaderBytes() + ReadFile(dir / "saved.cfg"));
}

// A load that fails costs the player nothing: the list, its findings, its selection and
// the output buffer stay as they were, whatever the failure.
TEST_F(MacroDocumentTest, AFailedLoadKeepsTheListAndItsSelection) {
  Add({"E1", "bind ESC \"score\""});
  doc.List().UserSelect(1);
  const game::CheckResult findings = doc.Findings();
  ASSERT_GE(findings.Errors(), 1);
  const auto keptAsItWas = [&](const char* what) {
    EXPECT_EQ(Entries(), (std::vector<std::string>{"E1", "bind ESC \"score\""})) << what;
    EXPECT_TRUE(doc.Findings() == findings) << what;
    EXPECT_EQ(doc.List().ItemIndex(), 1) << what;
    EXPECT_EQ(doc.Buffer().Text(), HeaderBytes()) << what;
    EXPECT_TRUE(doc.Modified()) << what;
  };
  EXPECT_EQ(FileErrorOf([&] { doc.Load(Choose(dir / "absent.cfg")); }),
            "FileError.NotFound " + dir / "absent.cfg");
  keptAsItWas("missing file");

  EXPECT_EQ(FileErrorOf([&] { doc.Load(Choose(dir / "absent/in.cfg")); }),
            "FileError.FolderNotFound " + dir / "absent/in.cfg");
  keptAsItWas("missing folder");

  // A line too long for the reader, after lines that were read well.
  WriteFile(dir / "long.cfg", "first\r\n" + std::string(kMaxLineLength + 1, 'x') + "\r\n");
  EXPECT_THROW(doc.Load(Choose(dir / "long.cfg")), TextError);
  keptAsItWas("line too long");
}

TEST(MacroDocument, AFileTooLongForTheListIsNotLoadedAtAll) {
  TempDir dir;
  WriteFile(dir / "in.cfg", "1\r\n2\r\n3\r\n4\r\n5\r\n");
  MacroDocument doc(3);
  doc.Append("kept");
  EXPECT_EQ(MessageOf<ListIndexError>([&] { doc.Load(Choose(dir / "in.cfg")); }),
            "Unable to insert a line");
  EXPECT_EQ(doc.List().Items(), (std::vector<std::string>{"kept"}));
  WriteFile(dir / "in.cfg", "1\r\n2\r\n3\r\n");  // as many as it takes
  doc.Load(Choose(dir / "in.cfg"));
  EXPECT_EQ(doc.List().Items(), (std::vector<std::string>{"1", "2", "3"}));
}

// Whether closing the list now would lose work: any change of the list since it was
// saved, loaded or started anew; a cancelled or failed save or load changes nothing.
TEST_F(MacroDocumentTest, ModifiedUntilSavedLoadedOrStartedAnew) {
  EXPECT_FALSE(doc.Modified());
  doc.Append("kill");
  EXPECT_TRUE(doc.Modified());
  doc.Save(Cancel());
  EXPECT_TRUE(doc.Modified());
  EXPECT_THROW(doc.Save(Choose(dir / "data/x.cfg")), std::exception);  // no such folder
  EXPECT_TRUE(doc.Modified());
  doc.Save(Choose(dir / "saved.cfg"));
  EXPECT_FALSE(doc.Modified());

  EXPECT_EQ(doc.DeleteSelected(), -1);  // nothing selected: nothing removed
  EXPECT_FALSE(doc.Modified());
  doc.List().UserSelect(0);
  EXPECT_EQ(doc.DeleteSelected(), 0);
  EXPECT_TRUE(doc.List().Empty());
  EXPECT_TRUE(doc.Modified());
  // An emptied list is saved (the file emptied: the header went with the first save), so
  // that "Save" in the question about unsaved changes ends it.
  EXPECT_TRUE(doc.Save(Choose(dir / "emptied.cfg")));
  EXPECT_EQ(ReadFile(dir / "emptied.cfg"), "");
  EXPECT_FALSE(doc.Modified());
  doc.Load(Choose(dir / "saved.cfg"));
  EXPECT_FALSE(doc.Modified());
  doc.Append("wave 1");
  doc.NewList();
  EXPECT_FALSE(doc.Modified());
}

TEST_F(MacroDocumentTest, AHundredThousandCharacterLineSurvivesSaveAndLoad) {
  std::string longLine(100000, 'x');
  for (std::size_t i = 0; i < longLine.size(); i += 97)
    longLine[i] = static_cast<char>('a' + i % 26);
  doc.List().Add("before");
  doc.List().Add(longLine);
  doc.List().Add("after");
  const std::string path = dir / "long.cfg";
  doc.Save(Choose(path));
  EXPECT_EQ(ReadFile(path), HeaderBytes() + "before\r\n" + longLine + "\r\nafter\r\n");

  doc.Load(Choose(path));
  ASSERT_EQ(doc.List().Count(), 9);
  EXPECT_EQ(doc.List().At(7), longLine);
  doc.List().UserSelect(7);
  EXPECT_EQ(doc.List().Hint(), longLine);
}

// --- Failed saves --------------------------------------------------------------------

TEST_F(MacroDocumentTest, UncreatableFileLeavesBufferAndReportsThePath) {
  WriteFile(dir / "plain", "a regular file");
  Add({"E1", "E2"});
  for (const std::string& path : {dir / "plain/Macros.cfg", dir / "absent/Macros.cfg"}) {
    EXPECT_EQ(FileErrorOf([&] { doc.Save(Choose(path)); }), "FileError.FolderNotFound " + path);
    EXPECT_EQ(doc.Buffer().Text(), HeaderBytes());
  }
  EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"plain"});
  EXPECT_EQ(ReadFile(dir / "plain"), "a regular file");

  // The next save writes the header and each entry once.
  doc.Save(Choose(dir / "Macros.cfg"));
  EXPECT_EQ(ReadFile(dir / "Macros.cfg"), HeaderBytes() + "E1\r\nE2\r\n");
}

TEST_F(MacroDocumentTest, DirectoryAsTargetCannotBeCreated) {
  Add({"E1"});
  std::filesystem::create_directory(dir / "folder");
  EXPECT_EQ(FileErrorOf([&] { doc.Save(Choose(dir / "folder")); }),
            "FileError.IsDirectory " + (dir / "folder"));
  EXPECT_EQ(doc.Buffer().Text(), HeaderBytes());
}

// A disk that fills up after `budget` more bytes.
std::size_t gWriteBudget = 0;
ssize_t WriteWithinBudget(int fd, const void* data, std::size_t size) {
  if (gWriteBudget == 0) {
    errno = ENOSPC;
    return -1;
  }
  const ssize_t written = platform::SystemWrite(fd, data, std::min(size, gWriteBudget));
  if (written > 0) gWriteBudget -= static_cast<std::size_t>(written);
  return written;
}

struct WriteFailureCase {
  const char* name;
  int entries;         // lines of 60 bytes
  std::size_t budget;  // bytes the disk takes
};

TEST_F(MacroDocumentTest, FailedWriteLeavesOldFileBufferAndNoTemporaryFile) {
  const std::vector<WriteFailureCase> cases = {
      {"nothing written", 3, 0},
      {"a few bytes written", 3, 10},
      {"all but the last byte", 3, HeaderBytes().size() + 3 * 62 - 1},
      {"fails in the middle of a long list", 20000, 700000},
  };
  const std::string path = dir / "Macros.cfg";
  const std::string oldBytes = "old line 1\r\nold line 2\r\n";
  for (const auto& [name, entries, budget] : cases) {
    doc.NewList();
    for (int i = 0; i < entries; ++i) {
      std::string line = "bind \"" + std::to_string(i) + "\" \"echo ";
      line.resize(60, 'x');
      doc.List().Add(line);
    }
    WriteFile(path, oldBytes);
    gWriteBudget = budget;
    EXPECT_EQ(FileErrorOf([&] { doc.Save(Choose(path), WriteWithinBudget); }),
              "FileError.DiskFull " + path)
        << name;
    EXPECT_EQ(ReadFile(path), oldBytes) << name;
    EXPECT_EQ(doc.Buffer().Text(), HeaderBytes()) << name;
    EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"Macros.cfg"}) << name;
    EXPECT_EQ(doc.List().Count(), entries) << name;
  }
}

TEST_F(MacroDocumentTest, SaveAfterAFailedWriteWritesEachEntryOnce) {
  Add({"E1", "E2"});
  gWriteBudget = 5;
  EXPECT_THROW(doc.Save(Choose(dir / "Macros.cfg"), WriteWithinBudget), FileError);
  EXPECT_FALSE(Exists(dir / "Macros.cfg"));

  gWriteBudget = 1 << 20;  // room enough: the seam writes everything
  EXPECT_TRUE(doc.Save(Choose(dir / "Macros.cfg"), WriteWithinBudget));
  EXPECT_EQ(ReadFile(dir / "Macros.cfg"), HeaderBytes() + "E1\r\nE2\r\n");
  EXPECT_TRUE(doc.Buffer().Empty());
}

TEST_F(MacroDocumentTest, SavesAFileTheUserMayWriteInAFolderTheUserMayNot) {
#ifdef _WIN32
  GTEST_SKIP() << "acting as another file-system user: Linux only";
#else
  if (!testing::CanActAsAnotherUser()) GTEST_SKIP() << "needs root";
  testing::SetOwnerAndMode(dir.Path(), 0, 0, 0755);
  const std::string path = dir / "Macros.cfg";
  WriteFile(path, "old\r\n");
  testing::SetOwnerAndMode(path, testing::kUserId, testing::kUserGroup, 0644);
  Add({"E1"});
  TempDir config;  // the settings folder, where the backup of the file written in place goes
  testing::SetOwnerAndMode(config.Path(), testing::kUserId, testing::kUserGroup, 0755);
  const testing::ScopedConfigHome home(config.Path());
  {
    const testing::ScopedFileSystemUser user;
    EXPECT_TRUE(doc.Save(Choose(path)));
  }
  EXPECT_EQ(ReadFile(path), HeaderBytes() + "E1\r\n");
  EXPECT_TRUE(doc.Buffer().Empty());
#endif
}

// --- Files that are not regular files --------------------------------------------------

TEST_F(MacroDocumentTest, AFifoIsRefusedAtOnceForSaveAndLoad) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs: POSIX only (a Windows device is refused like any file that is not "
                  "regular: windows_tests)";
#else
  const std::string fifo = dir / "macros.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  Add({"E1"});
  ::alarm(10);  // a blocking open ends the test program
  EXPECT_EQ(FileErrorOf([&] { doc.Save(Choose(fifo)); }), "FileError.NotRegularFile " + fifo);
  EXPECT_EQ(doc.Buffer().Text(), HeaderBytes());
  EXPECT_EQ(FileErrorOf([&] { doc.Load(Choose(fifo)); }), "FileError.NotRegularFile " + fifo);
  ::alarm(0);
  EXPECT_EQ(Entries(), std::vector<std::string>{"E1"});  // a refused load keeps the list
#endif
}

TEST_F(MacroDocumentTest, ALoadStoppedByAnOverlongLineNamesItsLineAndKeepsTheList) {
  Add({"kept"});
  const std::string path = dir / "in.cfg";
  WriteFile(path, "A\r\nB\r\n" + std::string(kMaxLineLength + 1, 'x') + "\r\nC\r\n");
  try {
    doc.Load(Choose(path));
    FAIL() << "no error";
  } catch (const TextError& error) {
    EXPECT_EQ(error.GetText(), (Text{"File.LineTooLong", {path, "3"}}));
  }
  EXPECT_EQ(Entries(), std::vector<std::string>{"kept"});
}

// --- Deleting through the document ---------------------------------------------------

TEST_F(MacroDocumentTest, DeletedEntryIsNotSavedAndItsToolTipStays) {
  Add({"E1", "E2", "E3"});
  doc.List().UserSelect(1);
  doc.List().DeleteSelected();
  doc.List().DeleteSelected();
  doc.Save(Choose(dir / "Macros.cfg"));
  EXPECT_EQ(ReadFile(dir / "Macros.cfg"), HeaderBytes() + "E1\r\nE3\r\n");
  EXPECT_EQ(doc.List().Hint(), "E2");
}

// --- The document and whoever shows it ----------------------------------------------

// A change of rows is told before it happens (the list still as it was) and once it is
// done, with the whole list checked again; a change of the findings alone once.
TEST_F(MacroDocumentTest, TheListenerHearsOfEachChangeWithTheFindingsUpToDate) {
  std::vector<std::string> heard;
  doc.SetListener([&](const DocumentChange& change) {
    std::string entry = std::to_string(static_cast<int>(change.kind)) + ":" +
                        std::to_string(change.row) + (change.done ? " done " : " before ") +
                        std::to_string(doc.List().Count());
    if (change.done && change.row >= 0 && change.row < doc.List().Count())
      entry += doc.Findings().WorstOf(change.row) == game::Severity::kError ? " error" : " -";
    heard.push_back(entry);
  });
  doc.Append(R"(bind "ESC" "score")");
  doc.Append("echo fine");
  doc.List().UserSelect(0);
  doc.DeleteSelected();
  doc.SetGame(game::Game::kYamagi);
  EXPECT_THROW(doc.Load(Choose(dir / "absent.cfg")), FileError);  // nothing to tell
  WriteFile(dir / "in.cfg", "bind \"ESC\" \"kill\"\r\n");
  doc.Load(Choose(dir / "in.cfg"));
  doc.NewList();
  EXPECT_EQ(heard, (std::vector<std::string>{
                       "0:0 before 0", "0:0 done 1 error",  // the mark is there at once
                       "0:1 before 1", "0:1 done 2 -",      //
                       "1:0 before 2", "1:0 done 1 -",      // the error went with its line
                       "3:-1 done 1",                       // another game
                       "2:-1 before 1", "2:-1 done 1",      // load
                       "2:-1 before 1", "2:-1 done 0"}));   // new list
  EXPECT_EQ(doc.Game(), game::Game::kYamagi);
}

// Whatever the way the list got where it is, its findings are those of the list checked
// from scratch, with the header the next save writes.
TEST_F(MacroDocumentTest, TheFindingsAreThoseOfTheListAsItWouldBeSaved) {
  const auto fresh = [&] {
    return game::CheckList(doc.List(), doc.Buffer().Text().size(), doc.Game(), {});
  };
  Add({R"(bind "ESC" "score")", R"(bind "F1" "score")", R"(bind "F1" "kill")", "echo x"});
  EXPECT_TRUE(doc.Findings() == fresh());
  EXPECT_GE(doc.Findings().Errors(), 1);  // ESC is not a key name
  const std::size_t withHeader = doc.Findings().Size();
  doc.Save(Choose(dir / "saved.cfg"));
  EXPECT_EQ(withHeader, ReadFile(dir / "saved.cfg").size());  // the size told is the size saved
  EXPECT_EQ(doc.Findings().Size(), withHeader - HeaderBytes().size());  // no header next time
  doc.List().UserSelect(0);
  doc.DeleteSelected();
  doc.SetGame(game::Game::kYamagi);
  EXPECT_TRUE(doc.Findings() == fresh());
  EXPECT_EQ(doc.Findings().Limit(), fresh().Limit());
  doc.NewList();
  EXPECT_EQ(doc.Findings().Size(), HeaderBytes().size());
}

}  // namespace
}  // namespace tavrilo::macros
