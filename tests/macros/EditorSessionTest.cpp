// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/EditorSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/Errors.h"
#include "core/FileError.h"
#include "core/Platform.h"
#include "datafiles/GameChoice.h"
#include "datafiles/IniFile.h"

namespace tavrilo::macros {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
using Lines = std::vector<std::string>;
using Outcome = EditorSession::SaveOutcome;

// A session of a program whose data root is a temporary folder (its settings there).
class EditorSessionTest : public ::testing::Test {
 protected:
  EditorSessionTest() : session(Root()) {}

  std::string Root() {
    std::filesystem::create_directories(dir / "data");
    return dir / "";
  }
  void Add(std::initializer_list<const char*> lines) {
    for (const char* line : lines)
      session.Append(line);
  }
  Lines Entries() const { return session.List().Items(); }
  int Selected() const { return session.List().ItemIndex(); }
  std::string Settings() const { return ReadFile(dir / "data/config.ini"); }

  TempDir dir;
  EditorSession session;
};

// Each kind of line change is one step: undo puts back the list and the selection the
// change found, redo the list and the selection it left.
TEST_F(EditorSessionTest, UndoAndRedoEveryLineChangeWithItsSelection) {
  Add({"A", "B", "C"});
  EXPECT_TRUE(session.Modified());
  session.Select(1);
  EXPECT_EQ(session.DeleteSelected(), 1);
  EXPECT_EQ(Entries(), (Lines{"A", "C"}));
  EXPECT_EQ(Selected(), -1);
  ASSERT_TRUE(session.Undo());
  EXPECT_EQ(Entries(), (Lines{"A", "B", "C"}));
  EXPECT_EQ(Selected(), 1);  // the line is back at its place, selected
  ASSERT_TRUE(session.Redo());
  EXPECT_EQ(Entries(), (Lines{"A", "C"}));
  EXPECT_EQ(Selected(), -1);

  session.Select(0);
  EXPECT_EQ(session.EditLine(1, "echo c"), std::nullopt);
  EXPECT_EQ(Entries(), (Lines{"A", "echo c"}));
  EXPECT_EQ(Selected(), 1);
  session.Undo();
  EXPECT_EQ(Entries(), (Lines{"A", "C"}));
  EXPECT_EQ(Selected(), 0);
  session.Redo();
  EXPECT_EQ(Entries(), (Lines{"A", "echo c"}));

  Add({"D"});
  session.MoveLine(2, 0);
  EXPECT_EQ(Entries(), (Lines{"D", "A", "echo c"}));
  EXPECT_EQ(Selected(), 0);  // the moved line stays selected
  EXPECT_TRUE(session.MoveSelected(+1));
  EXPECT_EQ(Entries(), (Lines{"A", "D", "echo c"}));
  EXPECT_TRUE(session.MoveSelected(-1));
  EXPECT_FALSE(session.MoveSelected(-1));  // already at the top
  EXPECT_EQ(Entries(), (Lines{"D", "A", "echo c"}));
  session.MoveLine(0, 2);
  EXPECT_EQ(Entries(), (Lines{"A", "echo c", "D"}));
  session.Undo();
  EXPECT_EQ(Entries(), (Lines{"D", "A", "echo c"}));
  EXPECT_EQ(Selected(), 0);

  // Back to the very start, and forwards again to the end.
  while (session.Undo()) {
  }
  EXPECT_TRUE(Entries().empty());
  EXPECT_FALSE(session.Modified());
  while (session.Redo()) {
  }
  EXPECT_EQ(Entries(), (Lines{"A", "echo c", "D"}));
  EXPECT_EQ(Selected(), 2);

  // A new change after an undo drops what could be redone.
  session.Undo();
  Add({"E"});
  EXPECT_FALSE(session.CanRedo());
  EXPECT_EQ(Entries(), (Lines{"D", "A", "echo c", "E"}));
}

// The list follows the game that runs it: an edit is refused for what the player's own
// line is refused, with its reason, and changes nothing, not even what redo would do.
TEST_F(EditorSessionTest, ARefusedEditChangesNothing) {
  Add({"A", "B"});
  session.Undo();
  session.Select(0);
  const auto refused = [&](std::string_view text, const char* key) {
    const std::optional<Text> reason = session.EditLine(0, text);
    ASSERT_TRUE(reason.has_value()) << text;
    EXPECT_EQ(reason->key, key);
    EXPECT_EQ(Entries(), (Lines{"A"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_TRUE(session.CanRedo());
  };
  refused("echo a\r\necho b", "Refusal.LineBreakInFreeLine");
  refused("echo " + std::string(1100, 'x'), "Refusal.LongLine");
  refused("bind \"\xE9\" kill", "Refusal.HighByteInKey");
  EXPECT_THROW(session.EditLine(1, "echo"), ListIndexError);

  // The same text again is no step.
  EXPECT_EQ(session.EditLine(0, "A"), std::nullopt);
  EXPECT_TRUE(session.CanRedo());
  // The add actions are refused alike, and a guard says why nothing was added.
  EXPECT_THROW(session.AddOwnLine("echo a\necho b"), TextError);
  EXPECT_EQ(session.AddBinding({"Choisissez une touche", "Zoom", "", ""}, ""),
            (Text{"Guard.NoKey", {}}));
  EXPECT_EQ(session.AddExternalBinding(), (Text{"Guard.NoResource", {}}));
  EXPECT_EQ(Entries(), (Lines{"A"}));
  EXPECT_TRUE(session.CanRedo());
  session.AddOwnLine("echo fine");
  EXPECT_EQ(Entries(), (Lines{"A", "echo fine"}));
}

// Unchanged is "as last saved, loaded or started anew", whichever way the history got
// back there.
TEST_F(EditorSessionTest, ModifiedFollowsTheSavedStateAcrossUndo) {
  EXPECT_FALSE(session.Modified());
  EXPECT_TRUE(session.SaveNeedsName());
  Add({"A"});
  const std::string path = dir / "list.cfg";
  EXPECT_EQ(session.Save(path), Outcome::kSaved);
  EXPECT_FALSE(session.Modified());
  EXPECT_FALSE(session.SaveNeedsName());
  EXPECT_EQ(session.FilePath(), path);
  Add({"B"});
  EXPECT_TRUE(session.Modified());
  session.Undo();
  EXPECT_FALSE(session.Modified());
  session.Undo();
  EXPECT_TRUE(session.Modified());
  session.Redo();
  EXPECT_FALSE(session.Modified());
  // A saved state among the steps a new change drops never comes back.
  session.Undo();
  Add({"C"});
  session.Undo();
  EXPECT_TRUE(session.Modified());
  // A failed save changes nothing.
  EXPECT_THROW(session.Save(dir / "absent/x.cfg"), FileError);
  EXPECT_TRUE(session.Modified());
  EXPECT_EQ(session.FilePath(), path);
}

// A load and a new list are steps too: undone, the list before comes back with its file
// and its own saved state; the history keeps one replaced list at most.
TEST_F(EditorSessionTest, LoadAndNewListAreUndoneWithTheirFile) {
  WriteFile(dir / "a.cfg", "A1\r\nA2\r\n");
  WriteFile(dir / "b.cfg", "B1\r\n");
  Add({"X"});
  session.Select(0);
  session.Load(dir / "a.cfg");
  EXPECT_EQ(Entries(), (Lines{"A1", "A2"}));
  EXPECT_EQ(Selected(), -1);
  EXPECT_FALSE(session.Modified());
  session.Select(1);
  session.DeleteSelected();
  session.NewList();
  EXPECT_TRUE(Entries().empty());
  EXPECT_TRUE(session.FilePath().empty());
  EXPECT_FALSE(session.Modified());
  EXPECT_FALSE(session.Document().Buffer().Empty());  // the header is back

  session.Undo();  // the new list
  EXPECT_EQ(Entries(), (Lines{"A1"}));
  EXPECT_EQ(session.FilePath(), dir / "a.cfg");
  EXPECT_TRUE(session.Modified());
  session.Undo();  // the delete
  EXPECT_FALSE(session.Modified());
  EXPECT_EQ(Selected(), 1);
  EXPECT_FALSE(session.CanUndo());  // the load before the new list is no longer kept
  session.Redo();
  session.Redo();
  EXPECT_TRUE(Entries().empty());
  EXPECT_FALSE(session.Modified());

  // A load that fails is no step and changes nothing.
  EXPECT_THROW(session.Load(dir / "absent.cfg"), FileError);
  EXPECT_TRUE(session.FilePath().empty());
  session.Load(dir / "b.cfg");
  session.Undo();
  EXPECT_TRUE(Entries().empty());
  EXPECT_TRUE(session.FilePath().empty());
  EXPECT_FALSE(session.Modified());
}

// exec runs the files beside the list's file: its findings follow the folder through load,
// save, undo and a new list.
TEST_F(EditorSessionTest, ExecFindsTheFilesBesideTheListsFile) {
  std::filesystem::create_directories(dir / "game");
  WriteFile(dir / "game/mine.cfg", "echo mine\r\n");
  WriteFile(dir / "game/list.cfg", "exec mine.cfg\r\n");
  const auto notes = [&] { return session.Findings().Notes(); };
  session.Load(dir / "game/list.cfg");
  EXPECT_EQ(notes(), 0);
  EXPECT_EQ(session.Save(dir / "list.cfg"), Outcome::kSaved);
  EXPECT_EQ(notes(), 1) << "no mine.cfg beside the saved file";
  session.Load(dir / "game/list.cfg");
  EXPECT_EQ(notes(), 0);
  session.Undo();
  EXPECT_EQ(notes(), 1);
  session.Redo();
  EXPECT_EQ(notes(), 0);
  session.NewList();
  session.Append("exec mine.cfg");
  EXPECT_EQ(notes(), 1) << "a list without a file";
}

// Save never replaces a file that is not the list's own without the player's answer;
// the list's own file needs none.
TEST_F(EditorSessionTest, ReplacingAnotherFileNeedsAnAnswer) {
  const std::string other = dir / "config.cfg";
  WriteFile(other, "the player's own file\r\n");
  Add({"A"});
  EXPECT_EQ(session.ReplaceQuestion(dir / "new.cfg"), std::nullopt);
  EXPECT_EQ(session.ReplaceQuestion(other), (Text{"Ask.Replace", {"config.cfg"}}));
  EXPECT_EQ(session.Save(other), Outcome::kAnswerNeeded);
  EXPECT_EQ(ReadFile(other), "the player's own file\r\n");
  EXPECT_TRUE(session.Modified());
  EXPECT_TRUE(session.SaveNeedsName());

  EXPECT_EQ(session.Save(other, true), Outcome::kSaved);
  EXPECT_EQ(ReadFile(other).substr(ReadFile(other).size() - 3), "A\r\n");
  Add({"B"});
  EXPECT_EQ(session.ReplaceQuestion(other), std::nullopt);  // now the list's own file
  EXPECT_EQ(session.ReplaceQuestion(dir / "./config.cfg"), std::nullopt);
  EXPECT_EQ(session.Save(session.FilePath()), Outcome::kSaved);
  EXPECT_EQ(ReadFile(other), "A\r\nB\r\n");  // the header went with the first save
}

// The list loaded up to a 0x1A byte says that the file holds more, and saving over it
// needs the same answer as replacing another file.
TEST_F(EditorSessionTest, AFileThatHoldsMoreAfter0x1AIsNotReplacedUnasked) {
  const std::string path = dir / "cut.cfg";
  const std::string bytes = "A\r\nB\x1A\r\nbind x kill\r\n";
  WriteFile(path, bytes);
  session.Load(path);
  EXPECT_EQ(Entries(), (Lines{"A", "B"}));
  EXPECT_EQ(session.LoadNote(), (Text{"File.MoreAfterEndMark", {"cut.cfg", "2"}}));
  EXPECT_EQ(session.ReplaceQuestion(path), (Text{"Ask.ReplaceCut", {"cut.cfg", "2"}}));
  session.Select(0);
  session.DeleteSelected();
  EXPECT_EQ(session.Save(path), Outcome::kAnswerNeeded);
  EXPECT_EQ(ReadFile(path), bytes);
  EXPECT_EQ(session.Save(path, true), Outcome::kSaved);
  EXPECT_EQ(session.LoadNote(), std::nullopt);
  EXPECT_EQ(session.ReplaceQuestion(path), std::nullopt);

  // A mark that ends the file leaves nothing out.
  WriteFile(path, "A\r\n\x1A");
  session.Load(path);
  EXPECT_EQ(session.LoadNote(), std::nullopt);
}

// An emptied list is saved, so that "Save" in the question about unsaved changes lets
// New (or closing) go on; an empty list that never changed is not written.
TEST_F(EditorSessionTest, AnEmptiedListIsSaved) {
  const std::string path = dir / "list.cfg";
  EXPECT_EQ(session.Save(path), Outcome::kNothingToSave);
  EXPECT_FALSE(testing::Exists(path));

  Add({"A"});
  session.Select(0);
  session.DeleteSelected();
  ASSERT_TRUE(session.Modified());
  // The window's question: Save, then New goes on once the list is unchanged.
  EXPECT_EQ(session.Save(path), Outcome::kSaved);
  EXPECT_FALSE(session.Modified());
  OutputBuffer header;
  ResetOutputBuffer(header);
  EXPECT_EQ(ReadFile(path), header.Text());  // the header alone
  session.NewList();
  EXPECT_TRUE(session.List().Empty());

  // Saved a second time, the emptied list empties the file.
  Add({"B"});
  EXPECT_EQ(session.Save(path), Outcome::kAnswerNeeded);  // no longer the list's file
  EXPECT_EQ(session.Save(path, true), Outcome::kSaved);
  session.Select(0);
  session.DeleteSelected();
  EXPECT_EQ(session.Save(path), Outcome::kSaved);
  EXPECT_EQ(ReadFile(path), "");
  EXPECT_FALSE(session.Modified());
}

// The first dialog of a run opens in the game's baseq2 when the game folder is known;
// later ones where the player last chose a file.
TEST_F(EditorSessionTest, TheDialogFolderIsBaseq2FirstThenTheLastOneChosen) {
  EXPECT_EQ(session.DialogFolder(), "");
  std::filesystem::create_directories(dir / "game/baseq2");
  datafiles::IniFile(dir / "data/config.ini")
      .WriteString(datafiles::kGeneralSection, "Q2Path", dir / "game/");
  // Found as the system resolves the game folder (on Windows, with its own separators).
  EXPECT_EQ(session.DialogFolder(), platform::ResolvedPath(dir / "game/baseq2/"));

  std::filesystem::create_directories(dir / "lists");
  WriteFile(dir / "lists/a.cfg", "A\r\n");
  session.Load(dir / "lists/a.cfg");
  EXPECT_EQ(session.DialogFolder(), dir / "lists/");
  EXPECT_THROW(session.Load(dir / "a.cfg"), FileError);  // chosen, if not loaded
  EXPECT_EQ(session.DialogFolder(), dir / "");
  Add({"B"});
  session.Save(dir / "game/out.cfg");
  EXPECT_EQ(session.DialogFolder(), dir / "game/");
}

// The recent files: most recent first, each once, eight at most, kept in the settings;
// a file that no longer exists is left out.
TEST_F(EditorSessionTest, RecentFilesMostRecentFirstWithoutMissingOnes) {
  std::vector<std::string> paths;
  for (int i = 0; i < 10; ++i) {
    paths.push_back(dir / ("list" + std::to_string(i) + ".cfg"));
    WriteFile(paths.back(), "echo " + std::to_string(i) + "\r\n");
  }
  for (const std::string& path : paths)
    session.Load(path);
  session.Load(paths[4]);
  session.Save(paths[8], true);  // saved: first too
  const Lines expected = {paths[8], paths[4], paths[9], paths[7],
                          paths[6], paths[5], paths[3], paths[2]};
  EXPECT_EQ(session.RecentFiles(), expected);
  EXPECT_NE(Settings().find("RecentFiles=\"" + paths[8] + "|" + paths[4] + "|"), std::string::npos);

  std::filesystem::remove(paths[9]);
  Lines left = expected;
  left.erase(left.begin() + 2);
  EXPECT_EQ(session.RecentFiles(), left);
  EditorSession nextRun(dir / "");  // the next start reads them back
  EXPECT_EQ(nextRun.RecentFiles(), left);
}

// Every text the session gives the window exists in both languages.
TEST(EditorSessionTexts, ExistInBothCaptionFiles) {
  for (const char* file : {"dics-en.ini", "dics-fr.ini"}) {
    const datafiles::IniFile captions(testing::ShippedDataDir() + file);
    for (const char* key : {"Ask.Replace", "Ask.ReplaceCut", "File.MoreAfterEndMark"}) {
      EXPECT_NE(captions.ReadString(datafiles::kGeneralSection, key, ""), "") << file << key;
    }
  }
}

// The list is checked on what the player's files in the game folder (the Q2Path setting)
// leave: the marks, the keyboard and the search follow; a change of the game reads the
// files of that game.
TEST_F(EditorSessionTest, TheListIsCheckedOnThePlayersOwnFiles) {
  std::filesystem::create_directories(dir / "game/baseq2");
  WriteFile(dir / "game/baseq2/config.cfg", "bind F1 \"echo mine\"\nalias mine \"echo hi\"\n");
  datafiles::IniFile(dir / "data/config.ini")
      .WriteString(datafiles::kGeneralSection, "Q2Path", dir / "game/");
  Add({"bind F1 \"say hi\"", "bind F2 mine"});
  session.SetGame(game::Game::kQuake2);
  ASSERT_EQ(session.Findings().FindingsOf(0).size(), 1u);
  EXPECT_EQ(session.Findings().FindingsOf(0)[0].code, game::Code::kReplacesOwnBinding);
  EXPECT_TRUE(session.Findings().FindingsOf(1).empty()) << "the player's alias is known";
  const std::vector<game::KeyCap> keys = session.Keys(game::Layout::kQwerty);
  const auto f1 = std::find_if(keys.begin(), keys.end(),
                               [](const game::KeyCap& key) { return key.name == "F1"; });
  ASSERT_NE(f1, keys.end());
  EXPECT_EQ(f1->status, game::KeyStatus::kReplaces);
  EXPECT_EQ(session.FilterLines("MINE"), std::vector<int>{1});
  session.Append("echo more");  // each change is checked on the same state
  EXPECT_EQ(session.Findings().FindingsOf(0).size(), 1u);
  EXPECT_TRUE(session.Findings().FindingsOf(1).empty());

  std::filesystem::remove(dir / "game/baseq2/config.cfg");
  session.ReadPlayerGame();
  EXPECT_TRUE(session.Findings().FindingsOf(0).empty());
  EXPECT_FALSE(session.Findings().FindingsOf(1).empty()) << "no alias mine any more";
}

// The creation step's work on the session runs its steps in order and stops at the first
// error, keeping what the steps before it did; with every file there it ends with the
// list's header written.
TEST_F(EditorSessionTest, TheStartStopsAtItsFirstErrorAndKeepsWhatWasDone) {
  for (const char* language : {"en", "fr"}) {
    WriteFile(dir / ("data/dics-" + std::string(language) + ".ini"),
              "[General]\r\nMain.LanguageButton=" + std::string(language) + " button\r\n");
    WriteFile(dir / ("data/fcts-" + std::string(language) + ".dat"), "Zoom\r\nzoom\r\n");
    WriteFile(dir / ("data/externs-" + std::string(language) + ".dat"), "");
  }
  WriteFile(dir / "data/config.ini", "[General]\r\n" + std::string(datafiles::kGameKey) + "=" +
                                         std::string(game::SettingsNameOf(game::Game::kYamagi)) +
                                         "\r\n");
  {
    EditorSession starting(Root(), StringList::kMaxCount, false);
    const StartingState start = starting.Start({});  // no data/user.dat
    EXPECT_EQ(start.stoppedAt, StartingStep::kDefinableFunctions);
    EXPECT_TRUE(start.Done(StartingStep::kLanguage));
    EXPECT_NO_THROW(start.ThrowUnlessDone(StartingStep::kLanguage));
    EXPECT_THROW(start.ThrowUnlessDone(StartingStep::kDefinableFunctions), Error);
    EXPECT_THROW(start.ThrowUnlessDone(StartingStep::kHeader), Error);
    EXPECT_EQ(starting.Language().ButtonCaption(datafiles::Language::kFrench), "fr button");
    EXPECT_EQ(starting.Game(), game::Game::kYamagi);
    EXPECT_EQ(starting.Language().Selected(), datafiles::Language::kEnglish);
    EXPECT_EQ(starting.Language().functionNames.Count(), 1);
    EXPECT_TRUE(starting.Document().Buffer().Empty());  // the header's step never ran
  }
  WriteFile(dir / "data/user.dat", "echo\r\n");
  EditorSession starting(Root(), StringList::kMaxCount, false);
  const StartingState start = starting.Start({});
  EXPECT_EQ(start.stoppedAt, StartingStep::kDone);
  EXPECT_NO_THROW(start.ThrowUnlessDone(StartingStep::kHeader));
  EXPECT_EQ(starting.Language().definableFunctions.Count(), 1);
  EXPECT_FALSE(starting.Document().Buffer().Empty());
}

}  // namespace
}  // namespace tavrilo::macros
