// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/EditorSession.h"

#include <algorithm>
#include <utility>

#include "core/Errors.h"
#include "core/Locations.h"
#include "core/Paths.h"
#include "core/Platform.h"
#include "datafiles/GameChoice.h"
#include "datafiles/IniFile.h"
#include "game/Filter.h"
#include "install/SupportFiles.h"

namespace tavrilo::macros {

namespace {

constexpr char kRecentEnd = '|';

// The folder where exec finds the files beside the list: that of its file, if it has one.
std::optional<std::string> FolderOf(const std::string& path) {
  if (path.empty()) return std::nullopt;
  return DirectoryPart(path);
}

OutputBuffer HeaderBuffer() {
  OutputBuffer buffer;
  ResetOutputBuffer(buffer);
  return buffer;
}

}  // namespace

EditorSession::EditorSession(std::string dataRoot, std::size_t maxEntries, bool header)
    : dataRoot_(std::move(dataRoot)),
      maxEntries_(maxEntries),
      document_(maxEntries),
      language_(dataRoot_) {
  if (header) document_.ResetHeader();
  // The list is checked on the player's game (an empty one until a game is set).
  document_.SetChecker(
      [this](const StringList& entries, std::size_t headerBytes, const game::FilesBeside& beside) {
        return player_.TakeCheckedList(entries, headerBytes, beside);
      });
}

StartingState EditorSession::Start(game::SupportFiles support) {
  support_ = std::move(support);  // the player's game is read with them below
  StartingState state;
  const auto step = [&state](StartingStep current, auto&& work) {
    if (state.error) return;
    try {
      work();
    } catch (...) {
      state.stoppedAt = current;
      state.error = std::current_exception();
    }
  };
  step(StartingStep::kButtonCaptions, [this] { language_.ReadButtonCaptions(); });
  game::Game game = Game();
  step(StartingStep::kGame, [this, &game] {
    game = datafiles::ReadGameChoice(datafiles::IniFile(language_.SettingsPath()));
  });
  // The player's game is read once, for the game chosen (the one set when the choice
  // cannot be read), with the support files, and the list checked on it.
  SetGame(game);
  step(StartingStep::kLanguage, [this] { language_.ChooseAtStartup(); });
  step(StartingStep::kDefinableFunctions, [this] {
    composer_.Reset();
    language_.LoadDefinableFunctions();
  });
  step(StartingStep::kHeader, [this] { ResetHeader(); });
  return state;
}

void EditorSession::Select(int row) {
  document_.List().UserSelect(row);
}

// ---- The game ---------------------------------------------------------------------------

// Each change reads the player's game first, so that the list is checked once, on it.
void EditorSession::SetGame(game::Game game) {
  composer_.SetGame(game);
  ReadPlayerFiles(game);
  document_.SetGame(game);
}

void EditorSession::ReadPlayerGame() {
  ReadPlayerFiles(Game());
  document_.CheckAgain();
}

void EditorSession::ReadPlayerFiles(game::Game game) {
  std::string gamePath;
  try {
    gamePath = datafiles::IniFile(language_.SettingsPath())
                   .ReadString(datafiles::kGeneralSection, install::kGamePathKey, "");
  } catch (const Error&) {
    // A settings file that cannot be read knows no game folder: the game starts empty.
  }
  player_.Read(game, gamePath, support_);
}

std::vector<game::Finding> EditorSession::FindingsOfLines(std::span<const int> kept) const {
  return game::FindingsOfLines(Findings(), kept);
}

void EditorSession::StoreGameChoice() {
  language_.StoreSetting(datafiles::kGameKey, std::string(game::SettingsNameOf(Game())));
}

// ---- The add actions --------------------------------------------------------------------

std::optional<Text> EditorSession::AddBinding(const ShownFields& shown, std::string_view chatText) {
  if (std::optional<Text> blocked = GuardText(shown)) return blocked;
  if (const std::optional<std::string> line = composer_.ComposeBinding(shown, chatText))
    Append(*line);
  return std::nullopt;
}

std::optional<Text> EditorSession::AddExternalBinding() {
  const int resource = language_.SelectedResource();
  if (std::optional<Text> blocked = ResourceGuardText(resource)) return blocked;
  if (const std::optional<std::string> line =
          composer_.ComposeExternalBinding(resource, language_.SelectedExternal()))
    Append(*line);
  return std::nullopt;
}

void EditorSession::AddDefinableCall(std::string_view args) {
  Append(ComposeDefinableCall(language_.definableFunctions.Text(), args, Game()));
}

std::optional<Text> EditorSession::AddDefinableWithExternal(std::string_view typedFunction,
                                                            std::string_view args) {
  const int resource = language_.SelectedResource();
  if (std::optional<Text> blocked = ResourceGuardText(resource)) return blocked;
  if (const std::optional<std::string> line = ComposeDefinableWithExternal(
          resource, typedFunction, args, language_.SelectedExternal(), Game()))
    Append(*line);
  return std::nullopt;
}

void EditorSession::AddOwnLine(std::string_view line) {
  Append(ComposeFreeLine(line, Game()));
}

// ---- The changes of the list ------------------------------------------------------------

void EditorSession::Append(std::string_view line) {
  Step step;
  step.kind = Step::Kind::kInsert;
  step.row = List().Count();
  step.text = line;
  step.selectionBefore = List().ItemIndex();
  document_.Insert(step.row, step.text);
  step.selectionAfter = List().ItemIndex();
  Push(std::move(step));
}

int EditorSession::DeleteSelected() {
  const int row = List().ItemIndex();
  if (row < 0) return -1;
  Step step;
  step.kind = Step::Kind::kRemove;
  step.row = row;
  step.text = List().At(row);
  step.selectionBefore = row;
  document_.Remove(row);
  Push(std::move(step));
  return row;
}

std::optional<Text> EditorSession::EditLine(int row, std::string_view text) {
  std::string old(List().At(row));  // outside the list: ListIndexError
  try {
    ComposeFreeLine(text, Game());
  } catch (const TextError& refusal) {
    return refusal.GetText();
  }
  const int selectionBefore = List().ItemIndex();
  if (old != text) document_.Replace(row, text);
  document_.List().SetItemIndex(row);
  if (old == text) return std::nullopt;
  Step step;
  step.kind = Step::Kind::kEdit;
  step.row = row;
  step.text = std::move(old);
  step.selectionBefore = selectionBefore;
  step.selectionAfter = row;
  Push(std::move(step));
  return std::nullopt;
}

void EditorSession::MoveLine(int from, int to) {
  List().At(from);  // either outside the list: ListIndexError
  List().At(to);
  if (from == to) return;
  Step step;
  step.kind = Step::Kind::kMove;
  step.row = from;
  step.to = to;
  step.selectionBefore = List().ItemIndex();
  step.selectionAfter = to;
  document_.Move(from, to);
  document_.List().SetItemIndex(to);
  Push(std::move(step));
}

bool EditorSession::MoveSelected(int direction) {
  const int row = List().ItemIndex();
  const int target = row + (direction < 0 ? -1 : 1);
  if (row < 0 || target < 0 || target >= List().Count()) return false;
  MoveLine(row, target);
  return true;
}

void EditorSession::NewList() {
  ReplaceWhole(StringList(maxEntries_), HeaderBuffer(), FileState{});
}

void EditorSession::ReplaceWhole(StringList entries, OutputBuffer buffer, FileState file) {
  Step step;
  step.kind = Step::Kind::kWholeList;
  step.selectionBefore = List().ItemIndex();
  step.selectionAfter = -1;
  document_.Exchange(entries, buffer, FolderOf(file.path));
  DropRedo();
  step.whole = std::make_unique<Step::WholeList>(
      Step::WholeList{std::move(entries), std::move(buffer), std::move(file_)});
  file_ = std::move(file);
  Push(std::move(step));
  file_.savedAt = done_;  // the new list is its file as it stands (or no file yet)
}

// ---- The history ------------------------------------------------------------------------

void EditorSession::DropRedo() {
  while (first_ + static_cast<std::int64_t>(steps_.size()) > done_)
    steps_.pop_back();
  // A saved state among the steps undone can never come back.
  if (file_.savedAt > done_) file_.savedAt = -1;
}

void EditorSession::Push(Step step) {
  DropRedo();
  if (step.kind == Step::Kind::kWholeList) {
    // One whole list at most: the steps up to the last new list or load go.
    const auto last = std::find_if(steps_.rbegin(), steps_.rend(), [](const Step& kept) {
      return kept.kind == Step::Kind::kWholeList;
    });
    const auto dropped = static_cast<std::int64_t>(steps_.rend() - last);
    steps_.erase(steps_.begin(), steps_.begin() + dropped);
    first_ += dropped;
  }
  steps_.push_back(std::move(step));
  ++done_;
}

void EditorSession::Apply(Step& step, bool undo) {
  switch (step.kind) {
    case Step::Kind::kInsert:
      undo ? document_.Remove(step.row) : document_.Insert(step.row, step.text);
      break;
    case Step::Kind::kRemove:
      undo ? document_.Insert(step.row, step.text) : document_.Remove(step.row);
      break;
    case Step::Kind::kEdit: {
      // The step keeps the text the line does not have: undo and redo exchange them.
      std::string current(List().At(step.row));
      document_.Replace(step.row, step.text);
      step.text = std::move(current);
      break;
    }
    case Step::Kind::kMove:
      undo ? document_.Move(step.to, step.row) : document_.Move(step.row, step.to);
      break;
    case Step::Kind::kWholeList:
      document_.Exchange(step.whole->entries, step.whole->buffer, FolderOf(step.whole->file.path));
      std::swap(file_, step.whole->file);
      break;
  }
  document_.List().SetItemIndex(undo ? step.selectionBefore : step.selectionAfter);
}

bool EditorSession::Undo() {
  if (!CanUndo()) return false;
  Apply(steps_[static_cast<std::size_t>(done_ - 1 - first_)], true);
  --done_;
  return true;
}

bool EditorSession::Redo() {
  if (!CanRedo()) return false;
  Apply(steps_[static_cast<std::size_t>(done_ - first_)], false);
  ++done_;
  return true;
}

// ---- Files ------------------------------------------------------------------------------

bool EditorSession::IsOwnFile(const std::string& path) const {
  if (file_.path.empty()) return false;
  if (path == file_.path) return true;
  const std::optional<std::string> resolved = platform::ResolvedPath(path);
  return resolved && resolved == platform::ResolvedPath(file_.path);
}

std::optional<Text> EditorSession::ReplaceQuestion(const std::string& path) const {
  if (IsOwnFile(path)) {
    if (!file_.cutAfterLine) return std::nullopt;
    return Text{"Ask.ReplaceCut", {FileNamePart(path), std::to_string(*file_.cutAfterLine)}};
  }
  const std::optional<platform::FileStatus> status = platform::Status(path);
  if (!status || status->kind == platform::FileKind::kDirectory) return std::nullopt;
  return Text{"Ask.Replace", {FileNamePart(path)}};
}

EditorSession::SaveOutcome EditorSession::Save(const std::string& path, bool replaceAnswered,
                                               WriteFunction write) {
  RememberFolder(path);
  if (NothingToSave()) return SaveOutcome::kNothingToSave;
  if (!replaceAnswered && ReplaceQuestion(path)) return SaveOutcome::kAnswerNeeded;
  document_.WriteTo(path, write);
  file_.path = path;
  file_.cutAfterLine.reset();  // the file now holds the list, and nothing more
  file_.savedAt = done_;
  AddRecent(path);
  return SaveOutcome::kSaved;
}

void EditorSession::Load(const std::string& path) {
  RememberFolder(path);
  LoadedFile loaded = document_.ReadFile(path);
  FileState file;
  file.path = path;
  if (loaded.moreAfterEndMark) file.cutAfterLine = loaded.lines.Count();
  ReplaceWhole(std::move(loaded.lines), document_.Buffer(), std::move(file));
  AddRecent(path);
}

std::optional<Text> EditorSession::LoadNote() const {
  if (!file_.cutAfterLine) return std::nullopt;
  return Text{"File.MoreAfterEndMark",
              {FileNamePart(file_.path), std::to_string(*file_.cutAfterLine)}};
}

void EditorSession::RememberFolder(const std::string& path) {
  std::string folder = DirectoryPart(path);
  if (!folder.empty()) lastFolder_ = std::move(folder);
}

std::string EditorSession::DialogFolder() const {
  if (!lastFolder_.empty()) return lastFolder_;
  try {
    const std::string gamePath =
        datafiles::IniFile(language_.SettingsPath())
            .ReadString(datafiles::kGeneralSection, install::kGamePathKey, "");
    if (gamePath.empty()) return {};
    return install::FindGameDataDirectory(gamePath).value_or(std::string());
  } catch (const Error&) {
    return {};  // a settings file that cannot be read: the dialog opens where it will
  }
}

std::string EditorSession::ProposedSavePath(std::string_view name) const {
  std::string folder = DialogFolder();
  if (!folder.empty() && DirectoryPart(folder) != folder) folder += kPathSeparator;
  return folder.append(name);
}

std::optional<Text> EditorSession::TooBigText() const {
  for (const game::Finding& finding : Findings().Findings()) {
    if (finding.code == game::Code::kFileTooBig) return Findings().TextOf(finding);
  }
  return std::nullopt;
}

std::vector<std::string> EditorSession::StoredRecentFiles() const {
  std::string value;
  try {
    value = datafiles::IniFile(language_.SettingsPath())
                .ReadString(datafiles::kGeneralSection, kRecentFilesKey, "");
  } catch (const Error&) {
    return {};  // a settings file too big to read has no recent files
  }
  std::vector<std::string> paths;
  std::size_t begin = 0;
  for (std::size_t end; (end = value.find(kRecentEnd, begin)) != std::string::npos;
       begin = end + 1) {
    if (end > begin) paths.push_back(value.substr(begin, end - begin));
  }
  return paths;
}

std::vector<std::string> EditorSession::RecentFiles() const {
  std::vector<std::string> paths = StoredRecentFiles();
  std::erase_if(paths, [](const std::string& path) {
    const std::optional<platform::FileStatus> status = platform::Status(path);
    return !status || status->kind != platform::FileKind::kRegular;
  });
  if (paths.size() > kMaxRecentFiles) paths.resize(kMaxRecentFiles);
  return paths;
}

void EditorSession::AddRecent(const std::string& path) {
  std::string named = path;
  if (!IsAbsolutePath(named)) named = platform::ResolvedPath(named).value_or(named);
  // A name the settings value cannot hold is not kept.
  if (named.find_first_of("\r\n|") != std::string::npos) return;
  std::vector<std::string> paths = RecentFiles();
  std::erase(paths, named);
  paths.insert(paths.begin(), named);
  std::string value;
  for (std::size_t i = 0; i < paths.size() && i < kMaxRecentFiles; ++i) {
    if (value.size() + paths[i].size() + 1 > datafiles::kMaxIniValueLength) break;
    value.append(paths[i]) += kRecentEnd;
  }
  try {
    language_.StoreSetting(kRecentFilesKey, "\"" + value + "\"");
  } catch (const Error&) {
    // The list or its file is saved or loaded all the same: the recent files only help
    // to find it again, and a settings file that cannot be written is told when the
    // language or the game is stored.
  }
}

}  // namespace tavrilo::macros
