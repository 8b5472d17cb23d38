// SPDX-License-Identifier: GPL-3.0-or-later
// The editor session: everything the main window shows and acts on, without the window.
// It owns the macro list (through its MacroDocument: entries, output buffer, findings),
// the chosen game, the composer of new lines, the language, the list's file and the undo
// history. The window shows its state and forwards the player's actions to it.
//
// Every change of the list (a line added, deleted, edited or moved, a new list, a load) is
// one step of the history; Undo and Redo put back the list and the selection. A step
// keeps the change, not the list: a line step holds the line, a new list or a load the
// list it replaced. The history goes back over one new list or load at most: the list
// that one replaced is the only whole list it keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/SafeFile.h"
#include "core/StringList.h"
#include "core/Text.h"
#include "datafiles/Language.h"
#include "game/Check.h"
#include "game/Game.h"
#include "macros/Composer.h"
#include "macros/LineComposition.h"
#include "macros/MacroDocument.h"
#include "macros/OutputBuffer.h"
#include "macros/PlayerGame.h"

namespace tavrilo::macros {

// The settings key of the recent files (section General): the paths, most recent first,
// each ended by "|" (a character no Windows file name holds), the whole value in double
// quotes so that blanks and quotes at either end are kept.
inline constexpr std::string_view kRecentFilesKey = "RecentFiles";
inline constexpr std::size_t kMaxRecentFiles = 8;

// The steps of the window's creation step that work on the session, in their order (see
// EditorSession::Start).
enum class StartingStep { kButtonCaptions, kGame, kLanguage, kDefinableFunctions, kHeader, kDone };

// How far the creation step's work went: an error ends it, and what was done before stays
// done.
struct StartingState {
  StartingStep stoppedAt = StartingStep::kDone;  // the step an error ended
  std::exception_ptr error;                      // that error

  // True when `step` ran to its end.
  bool Done(StartingStep step) const { return step < stoppedAt; }
  // Throws the error that ended `step` or one before it; nothing when `step` ran to its end.
  void ThrowUnlessDone(StartingStep step) const {
    if (!Done(step)) std::rethrow_exception(error);
  }
};

class EditorSession {
 public:
  // `dataRoot`: the folder that holds data/ (caption files, settings), ending with a
  // separator. The list takes at most `maxEntries` entries. Nothing is read yet: the
  // list is empty with the header comment in its output buffer (`header` false: with an
  // empty output buffer, until ResetHeader).
  explicit EditorSession(std::string dataRoot, std::size_t maxEntries = StringList::kMaxCount,
                         bool header = true);
  // The session's parts refer to each other: it stays where it was made.
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;
  // The header comment goes into the output buffer (the window's start-up).
  void ResetHeader() { document_.ResetHeader(); }

  // The creation step's work on the session, before the window shows any of it, with
  // `support` the support files the game's console knows: the language buttons' captions;
  // the game stored in the settings (Quake 2 when none), applied as SetGame does, also when
  // it cannot be read; the start-up language (LanguageState::ChooseAtStartup); the
  // composer reset and the definable functions; the list's header. An error ends it; the
  // steps done before stay done.
  StartingState Start(game::SupportFiles support);

  // ---- What the window shows ----------------------------------------------------------
  const MacroDocument& Document() const { return document_; }
  const MacroList& List() const { return document_.List(); }
  const game::CheckResult& Findings() const { return document_.Findings(); }
  // Told of every change of rows and findings, as MacroDocument tells it.
  void SetListener(MacroDocument::Listener listener) { document_.SetListener(std::move(listener)); }
  macros::Composer& Composer() { return composer_; }
  const macros::Composer& Composer() const { return composer_; }
  datafiles::LanguageState& Language() { return language_; }
  const datafiles::LanguageState& Language() const { return language_; }
  const std::string& DataRoot() const { return dataRoot_; }

  // The player selects a line (-1: none); its text becomes the list's tool-tip.
  void Select(int row);

  // ---- The game -------------------------------------------------------------------------
  game::Game Game() const { return document_.Game(); }
  // The composer and the findings follow the game.
  void SetGame(game::Game game);
  // Stores the game in the settings; fails like IniFile::WriteString.
  void StoreGameChoice();

  // ---- The player's own game --------------------------------------------------------------
  // Reads the start-up files of the chosen game under the game folder (the Q2Path setting;
  // none: the game starts empty) and checks the list on the state they leave, from now on.
  // Start and SetGame read them again; the window also does when the game folder
  // or one of the player's files changes. A file that cannot be read is left out
  // (PlayerConfiguration().unread says why); nothing here fails.
  void ReadPlayerGame();
  const install::PlayerConfiguration& PlayerConfiguration() const {
    return player_.Configuration();
  }
  // The layout the keyboard view takes when the language changes (the player may pick the
  // other): the French keyboard with French, the US one with English.
  game::Layout KeyboardLayout() const {
    return language_.Selected() == datafiles::Language::kFrench ? game::Layout::kAzerty
                                                                : game::Layout::kQwerty;
  }
  // The keys of the keyboard view: what each does in the player's game and after the list.
  std::vector<game::KeyCap> Keys(game::Layout layout) const {
    return player_.Keys(layout, Findings());
  }
  // The lines a search for `needle` keeps (every line for an empty one), and their findings.
  std::vector<int> FilterLines(std::string_view needle) const {
    return player_.Search(List(), needle);
  }
  std::vector<game::Finding> FindingsOfLines(std::span<const int> kept) const;

  // ---- The add actions: each appends its composed line as one step ---------------------
  // Each returns why nothing was added when a guard stops it (the status line's text);
  // a line the game would not run as shown is refused with TextError (see
  // LineComposition.h) and nothing changes.
  // Add binding: the key and function fields as shown, and the chat field's text.
  std::optional<Text> AddBinding(const ShownFields& shown, std::string_view chatText);
  // Add external binding: the resource selected in the language's lists.
  std::optional<Text> AddExternalBinding();
  // Add definable-function call: the definable function selected in the language's list.
  void AddDefinableCall(std::string_view args);
  // Add definable function with external command: the resource selected.
  std::optional<Text> AddDefinableWithExternal(std::string_view typedFunction,
                                               std::string_view args);
  // Add free line: the player's own console text.
  void AddOwnLine(std::string_view line);
  // Appends `line` as it is (one step); ListIndexError when the list is full.
  void Append(std::string_view line);

  // ---- The other changes of the list, one step each --------------------------------------
  // Removes the selected line; afterwards nothing is selected. Returns the row removed,
  // or -1 when nothing was selected (no step).
  int DeleteSelected();
  // The line at `row` becomes `text`, judged like the player's own line (Add free line):
  // a refusal returns its reason and changes nothing. The edited line is selected. The
  // same text again is no step. ListIndexError outside the list.
  std::optional<Text> EditLine(int row, std::string_view text);
  // The line at `from` moves to `to` and is selected. Outside the list: ListIndexError; the
  // same place: nothing (no step).
  void MoveLine(int from, int to);
  // The selected line goes one place up (-1) or down (+1); false (no step) when nothing
  // is selected or it is already at that end.
  bool MoveSelected(int direction);
  // A new list: empty, the header comment back in the output buffer, no file.
  void NewList();

  // ---- Undo ---------------------------------------------------------------------------
  bool CanUndo() const { return done_ > first_; }
  bool CanRedo() const { return done_ < first_ + static_cast<std::int64_t>(steps_.size()); }
  // Each returns false when there is nothing to undo or redo.
  bool Undo();
  bool Redo();

  // ---- Files --------------------------------------------------------------------------
  // The list's file (the last one loaded or saved); empty when it has none.
  const std::string& FilePath() const { return file_.path; }
  // Whether the list changed since it was last saved, loaded or started anew (undoing
  // back to that state makes it unchanged again).
  bool Modified() const { return done_ != file_.savedAt; }
  // Whether a save has nothing to write: an empty list that has not changed (an emptied
  // list is saved, so that the question about unsaved changes can end).
  bool NothingToSave() const { return List().Empty() && !Modified(); }
  // Whether Save must ask for a name: the list has no file yet.
  bool SaveNeedsName() const { return file_.path.empty(); }
  // The question to ask before saving to `path` (the window asks it in its language,
  // yes or no): `path` is an existing file that is not the list's own ("Ask.Replace"
  // {file name}), or it is the list's own file and that holds more than the list
  // ("Ask.ReplaceCut" {file name, line}, see LoadNote). std::nullopt: nothing to ask.
  std::optional<Text> ReplaceQuestion(const std::string& path) const;

  enum class SaveOutcome : std::uint8_t {
    kSaved,
    kNothingToSave,  // an empty list that has not changed: nothing written
    kAnswerNeeded,   // ReplaceQuestion has a question and `replaceAnswered` was false
  };
  // Saves the list to `path` (the list's own file for a plain Save): the output buffer,
  // then every line, as MacroDocument::WriteTo does (an emptied list writes the header
  // alone when it has not been saved since the program started or the list was started
  // anew, else nothing: the file is emptied). `replaceAnswered`: the player answered yes
  // to ReplaceQuestion(path); without that answer a path that needs it is not written.
  // Fails as WriteTo does, the list and its state as they were. Saved: `path` becomes
  // the list's file, the list unchanged, the file first among the recent files.
  SaveOutcome Save(const std::string& path, bool replaceAnswered = false,
                   WriteFunction write = nullptr);

  // Loads `path` in place of the list (one step): its lines up to a 0x1A byte, nothing
  // selected, the output buffer kept. Fails as MacroDocument::ReadFile does, nothing
  // changed. Loaded: `path` becomes the list's file, unchanged, first among the recent
  // files.
  void Load(const std::string& path);

  // What the last load of the list's file left out: "File.MoreAfterEndMark" {file name,
  // the number of lines the list holds} when the file holds more after a 0x1A byte;
  // std::nullopt otherwise, and once the list's file was saved whole.
  std::optional<Text> LoadNote() const;

  // The folder a Load or Save dialog opens in: the folder of the last path the player
  // chose in this run (Load or Save); before any, the game's data folder (baseq2) when
  // the game folder is known and has one; else empty (the dialog's own choice).
  std::string DialogFolder() const;
  // The path a Save dialog proposes: `name` in DialogFolder() (alone when that is empty).
  std::string ProposedSavePath(std::string_view name) const;

  // The finding that the list is too big for the game's exec, when it is; said after a
  // save, since the file is written all the same.
  std::optional<Text> TooBigText() const;

  // The recent files, most recent first, at most kMaxRecentFiles: those that no longer
  // exist as files are left out (and dropped from the settings with the next load or
  // save).
  std::vector<std::string> RecentFiles() const;

 private:
  // Where the list stands against its file.
  struct FileState {
    std::string path;
    // The file held more after a 0x1A byte than the list's lines, which number this.
    std::optional<int> cutAfterLine;
    std::int64_t savedAt = 0;  // the history position at which the list equals its file
  };
  struct Step {
    enum class Kind : std::uint8_t { kInsert, kRemove, kEdit, kMove, kWholeList };
    Kind kind = Kind::kInsert;
    int row = -1;
    int to = -1;               // kMove
    std::string text;          // kInsert, kRemove: the line; kEdit: the other text
    int selectionBefore = -1;  // restored by Undo
    int selectionAfter = -1;   // restored by Redo
    // kWholeList: the other list, with its output buffer and file.
    struct WholeList {
      StringList entries;
      OutputBuffer buffer;
      FileState file;
    };
    std::unique_ptr<WholeList> whole;
  };

  // Applies `step` forwards (`undo` false) or backwards, selection included.
  void Apply(Step& step, bool undo);
  // Records a step that was just applied.
  void Push(Step step);
  // Forgets the steps undone: a new change takes their place.
  void DropRedo();
  // A whole-list step: the list, buffer and file are exchanged with `other`.
  void ReplaceWhole(StringList entries, OutputBuffer buffer, FileState file);
  // Reads the player's start-up files of `game` (nothing checked yet).
  void ReadPlayerFiles(game::Game game);
  void RememberFolder(const std::string& path);
  void AddRecent(const std::string& path);
  std::vector<std::string> StoredRecentFiles() const;
  bool IsOwnFile(const std::string& path) const;

  std::string dataRoot_;
  std::size_t maxEntries_;
  MacroDocument document_;
  PlayerGame player_;
  game::SupportFiles support_;
  macros::Composer composer_;
  datafiles::LanguageState language_;

  std::deque<Step> steps_;
  std::int64_t first_ = 0;  // the history position before steps_.front()
  std::int64_t done_ = 0;   // the history position: steps up to here are applied
  FileState file_;
  std::string lastFolder_;  // of the last path chosen in this run
};

}  // namespace tavrilo::macros
