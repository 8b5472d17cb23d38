// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Interpreter.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

#include "game/Keys.h"

namespace tavrilo::game {

// ---------------------------------------------------------------------------------------
// The support files and the state

SupportLibrary::SupportLibrary(Game game, const SupportFiles& files) : game_(game) {
  for (const auto& [name, bytes] : files) {
    SupportFile file;
    file.name = name;
    file.bytes = std::string_view(bytes).substr(0, bytes.find('\0'));
    file.size = file.bytes.size();
    files_.push_back(std::move(file));
  }
  for (std::size_t i = 0; i < files_.size(); ++i)
    CollectAliases(i, i, 0);
}

const SupportFile* SupportLibrary::Find(std::string_view name) const {
  for (const SupportFile& file : files_) {
    if (EqualsIgnoringCase(file.name, name)) return &file;
  }
  return nullptr;
}

const SupportFile* FolderFiles::Find(std::string_view name) {
  if (!beside_) return nullptr;
  if (const auto known = byName_.find(name); known != byName_.end()) return known->second;
  if (byName_.size() >= Bounds::kNamesLookedUpBeside) return nullptr;
  const SupportFile* found = nullptr;
  if (std::optional<FileBeside> read = beside_(game_, name)) {
    // Two spellings that open the same file are one file.
    for (const SupportFile& file : files_) {
      if (file.name == read->name) found = &file;
    }
    if (found == nullptr) {
      SupportFile& file = files_.emplace_back();
      file.name = std::move(read->name);
      file.size = std::min(read->bytes.find('\0'), read->bytes.size());
      // exec drops a file too big for it whole: only its size matters.
      if (file.size <= LimitsOf(game_).execFile) {
        read->bytes.resize(file.size);
        file.bytes = bytes_.emplace_back(std::move(read->bytes));
      }
      found = &file;
    }
  }
  byName_.emplace(std::string(name), found);
  return found;
}

const SupportFile* SupportLibrary::Defining(std::string_view lower) const {
  const auto found = aliases_.find(lower);
  return found == aliases_.end() ? nullptr : &files_[found->second];
}

void SupportLibrary::CollectAliases(std::size_t file, std::size_t definer, std::size_t depth) {
  if (depth > Bounds::kSupportNesting) return;
  Words words;
  LineCursor lines = LineCursor::OfBytes(files_[file].bytes);
  for (Line line; lines.Next(line);) {
    ForEachCommandRun(line.text, game_, words, [&](const Words& read) {
      if (read.Count() < 2) return;
      const Role role = RoleOf(game_, read[0]);
      if (role == Role::kAlias) {
        aliases_.try_emplace(LowerCase(read[1]), definer);
      } else if (role == Role::kExec && read.Count() == 2) {
        const SupportFile* other = Find(read[1]);
        if (other != nullptr && other != &files_[file])
          CollectAliases(static_cast<std::size_t>(other - files_.data()), definer, depth + 1);
      }
    });
  }
}

ConsoleState::ConsoleState(Game game, const SupportLibrary& library) {
  for (const auto& [name, file] : library.Aliases()) {
    const NameInfo* info = FindName(game, name);
    if (info != nullptr && info->IsCommand()) clashes.insert(name);
  }
}

void ConsoleState::ForgetLines() {
  for (auto& [key, binding] : bindings) {
    binding.madeBy = -1;
    binding.press = {};
  }
  for (auto& [name, alias] : aliases)
    alias.body = {};
  calls.clear();
  keptNames.clear();
  lineOfCalls = -1;
  lineCallCount = 0;
  for (auto& names : lineCalledNames)
    std::unordered_set<std::string_view>().swap(names);
  std::unordered_map<std::string_view, UnlistedCalls>().swap(unlistedCalls);
  unlistedOtherCalls = 0;
  firstUnlistedCall = -1;
}

void ConsoleState::KeepCall(const Call& call) {
  if (call.line != lineOfCalls) {
    lineOfCalls = call.line;
    lineCallCount = 0;
    for (auto& names : lineCalledNames) {
      if (!names.empty()) std::unordered_set<std::string_view>().swap(names);
    }
  }
  const auto same = [&](const Call& other) {
    return other.viaAlias == call.viaAlias && other.name == call.name;
  };
  const auto first = lineFirstCalls.begin();
  if (lineCallCount < lineFirstCalls.size()) {  // most lines: a name or two
    if (std::any_of(first, first + static_cast<std::ptrdiff_t>(lineCallCount), same)) return;
    lineFirstCalls[lineCallCount++] = call;
  } else {
    if (lineCallCount++ == lineFirstCalls.size()) {
      for (const Call& earlier : lineFirstCalls)
        lineCalledNames[earlier.viaAlias ? 1 : 0].insert(earlier.name);
    }
    auto& names = lineCalledNames[call.viaAlias ? 1 : 0];
    if (names.size() < kLineCallsSeen && !names.insert(call.name).second) return;
  }
  if (calls.size() < FindingCollector::kListed) {
    calls.push_back(call);
    return;
  }
  if (firstUnlistedCall < 0) firstUnlistedCall = call.line;
  auto found = unlistedCalls.find(call.name);
  if (found == unlistedCalls.end()) {
    if (unlistedCalls.size() >= kUnlistedNamesKept) {
      unlistedOtherCalls += call.viaAlias ? 0 : 1;
      return;
    }
    found = unlistedCalls.emplace(call.name, UnlistedCalls{}).first;
  }
  ++(call.viaAlias ? found->second.viaAlias : found->second.direct);
}

// ---------------------------------------------------------------------------------------
// The command buffer

Interpreter::Interpreter(Game game, const SupportLibrary& library, ConsoleState& state,
                         FindingCollector& sink, FolderFiles* folder)
    : game_(game),
      limits_(LimitsOf(game)),
      library_(library),
      folder_(folder),
      state_(state),
      sink_(sink) {}

void Interpreter::RunScript(LineCursor lines, std::size_t count, std::size_t consumed,
                            std::size_t cutLine, std::size_t cutAt) {
  Frame frame;
  frame.lines = lines;
  frame.count = count;
  frame.total = state_.scriptSize + limits_.appended;
  frame.consumed = consumed;
  frame.script = true;
  frame.report = true;
  frame.cutLine = cutLine;
  frame.cutAt = cutAt;
  RunFrame(frame);
}

Interpreter::Scratch& Interpreter::ScratchAt(std::size_t depth) {
  while (scratch_.size() <= depth)
    scratch_.emplace_back();
  return scratch_[depth];
}

std::size_t Interpreter::Waiting() const {
  std::size_t waiting = 0;
  for (const Frame* frame : stack_)
    waiting += frame->total - std::min(frame->consumed, frame->total);
  return waiting;
}

bool Interpreter::Followable(bool withinBounds) {
  if (withinBounds && state_.followed <= Bounds::kFollowedCommands) return true;
  for (Frame* running : stack_)
    running->unfollowed = true;
  return false;
}

void Interpreter::RunFrame(Frame& frame) {
  stack_.push_back(&frame);
  std::size_t lineStart = frame.consumed;
  Line line;
  for (std::size_t i = 0; i < frame.count && frame.lines.Next(line); ++i) {
    if (frame.script) aliasRuns_ = 0;
    if (i == frame.cutLine) line = Line{line.text.substr(0, frame.cutAt), false, false};
    ForEachCommand(line.text, [&](std::string_view text, std::size_t begin, std::size_t end) {
      if (!frame.script) ++state_.followed;
      const bool last = end == line.text.size();
      // What the buffer still holds once this command is taken out of it.
      frame.consumed = lineStart + (last ? line.Size() : end);
      Command where;
      where.rest = last ? std::string_view() : line.text.substr(end);
      where.line = frame.script ? static_cast<int>(i) : frame.line;
      // The command's first word: the blanks before it are no part of what is at fault.
      std::size_t first = 0;
      while (first < text.size() && IsBlank(text[first]))
        ++first;
      if (first == text.size()) first = 0;
      where.column = frame.script ? static_cast<int>(begin + first) : frame.column;
      where.cr = last && line.cr;
      RunCommand(frame, text, where);
    });
    lineStart += line.Size();
    frame.consumed = lineStart;
  }
  stack_.pop_back();
}

void Interpreter::RunCommand(Frame& frame, std::string_view text, const Command& where) {
  Command command = where;
  const std::size_t length = text.size() + (command.cr ? 1 : 0);
  const std::optional<std::string_view> runs =
      JudgeLength(SayFor(frame, command), game_, text, length);
  if (!runs) return;
  text = *runs;
  unsigned char any = 0;
  for (const char c : text)
    any |= static_cast<unsigned char>(c);
  command.highBytes = any >= 0x80;
  command.text = Expand(frame, command, text);
  command.expanded = command.text.data() != text.data();
  Execute(frame, command);
}

// $name outside quotes: the cvar's value takes its place when the command runs. The value
// of a cvar is not known here: the reference stays as a word of its own.
std::string_view Interpreter::Expand(const Frame& frame, const Command& command,
                                     std::string_view text) {
  if (text.find('$') == std::string_view::npos) return text;
  std::string& expanded = ScratchAt(stack_.size()).expanded;
  expanded.clear();
  std::size_t from = 0;
  ForEachCvarReference(text, [&](const CvarReference& reference) {
    expanded.append(text.substr(from, reference.begin - from));
    const std::string_view written = text.substr(reference.begin, reference.end - reference.begin);
    // A "$" with no word after it stays; a cvar is found by its name exactly.
    const bool known = reference.name.empty() || FindCvar(game_, reference.name) != nullptr ||
                       state_.madeCvars.contains(Folded(reference.name).View());
    if (known) {
      expanded.append(written);
    } else {
      SayFor(frame, command)(Code::kCvarEmpty, {written});
    }
    from = reference.end;
  });
  if (from == 0) return text;
  expanded.append(text.substr(from));
  return expanded;
}

// A name runs as a command of the program, an alias, a cvar, or goes to the server.
void Interpreter::Execute(Frame& frame, const Command& command) {
  Words& words = ScratchAt(stack_.size()).words;
  ReadWords(command.text, game_, words);
  const Say say = SayFor(frame, command);
  if (words.Empty()) {
    JudgeEmpty(say, command, words);
    return;
  }
  const std::string_view name = words[0];
  const Folded folded(name);
  const std::string_view lower = folded;
  const NameInfo* info = FindFoldedName(game_, lower);
  const Role role = info != nullptr ? info->role : Role::kNone;
  Ran(lower, info);
  const bool raw = role == Role::kSay || role == Role::kSayTeam || role == Role::kUse ||
                   role == Role::kDrop || role == Role::kGive || role == Role::kCmd;
  if (frame.report) JudgeWords(say, game_, command, words, raw);

  if (info != nullptr && info->IsCommand()) {
    // An alias takes no words after its name: a name written with some means the command.
    if (!state_.clashes.empty() && words.Count() == 1 && state_.clashes.contains(lower))
      say(Code::kCommandHidesAlias, {name});
    return RunProgramCommand(frame, command, words, *info);
  }
  if (IsAlias(lower)) {
    if (info != nullptr && info->IsCvar()) say(Code::kAliasHidesCvar, {name});
    return CallAlias(frame, command, lower);
  }
  const bool made = state_.madeCvars.contains(lower);
  const CvarInfo* cvar = FindCvar(game_, name);
  if (cvar != nullptr || made) {
    if (words.Count() >= 2) CvarSet(command, name, words[1]);
    return JudgeCvar(say, name, words, cvar, made);
  }
  // A cvar is found by its name exactly: in another letter case the name goes to the
  // server, which says it as chat.
  if (info != nullptr && info->IsCvar() && !info->serverCommand)
    return say(Code::kCvarLetterCase, {name, CvarSpelling(game_, name)});
  if (info != nullptr && info->serverCommand) {
    Reached(words);
    return JudgeServerCommand(say, game_, command, name, role, AfterFirstWord(command.text, words));
  }
  Unresolved(frame, command, name);
}

void Interpreter::RunProgramCommand(Frame& frame, const Command& command, const Words& words,
                                    const NameInfo& info) {
  const Say say = SayFor(frame, command);
  switch (info.role) {
    case Role::kBind:
      if (const std::optional<KeyVerdict> verdict = JudgeBind(say, game_, words))
        Bound(frame, command, words[1], *verdict == KeyVerdict::kRuns, words);
      return;
    case Role::kUnbind:
      if (JudgeUnbind(say, game_, words)) Unbound(command, words[1]);
      return;
    case Role::kUnbindAll:
      Reached(words);
      return AllUnbound(command);
    case Role::kAlias: {
      const NameInfo* named = words.Count() >= 2 ? FindName(game_, words[1]) : nullptr;
      if (JudgeAlias(say, game_, words, named))
        Defined(frame, command, LowerCase(words[1]), words, named);
      return;
    }
    case Role::kExec:
      return Exec(frame, command, words);
    case Role::kWait:
      // The whole buffer waits for the next frame, and every text running in it.
      for (Frame* running : stack_)
        running->waited = true;
      return;
    case Role::kSet:
      if (words.Count() < 2) return;
      JudgeSet(say, game_, words);
      if (words.Count() >= 3) CvarSet(command, words[1], words[2]);
      return CvarMade(LowerCase(words[1]));
    case Role::kCmd: {
      Reached(words);
      if (words.Count() < 2) return;
      Words forwarded;
      ReadWords(words.args, game_, forwarded);
      if (forwarded.Empty()) return;
      return JudgeServerCommand(say, game_, command, forwarded[0], RoleOf(game_, forwarded[0]),
                                AfterFirstWord(words.args, forwarded));
    }
    default:
      if (!EqualsIgnoringCase(words[0], "echo")) Reached(words);
      // A command of the program that only passes itself on to the server.
      if (info.serverCommand)
        JudgeServerCommand(say, game_, command, words[0], info.role,
                           AfterFirstWord(command.text, words));
      return;
  }
}

const SupportFile* Interpreter::FindFile(std::string_view name) {
  const SupportFile* file = library_.Find(name);
  return file == nullptr && folder_ != nullptr ? folder_->Find(name) : file;
}

void Interpreter::Exec(Frame& frame, const Command& command, const Words& words) {
  const SupportFile* file = JudgeExec(SayFor(frame, command), game_, words,
                                      words.Count() == 2 ? FindFile(words[1]) : nullptr);
  if (file == nullptr) return;
  const std::size_t size = file->size;
  if (size > limits_.execFile) {
    Happen(command, Code::kExecDropped,
           {file->name, GroupDigits(size), GroupDigits(limits_.execFile)});
    return;
  }
  // A script too big for exec never runs: what would wait beside the file is not known.
  const std::size_t waiting = Waiting();
  if (state_.scriptSize <= limits_.execFile && !limits_.ExecFits(size, waiting)) {
    // The most the file and the waiting text may make together.
    const std::string limit = GroupDigits(limits_.buffer - limits_.appended);
    if (frame.file != nullptr) {
      Happen(command, Code::kExecFatalNested,
             {file->name, GroupDigits(size), GroupDigits(waiting), limit, frame.file->name});
    } else {
      Happen(command, Code::kExecFatal,
             {file->name, GroupDigits(size), GroupDigits(waiting), limit});
    }
  }
  // A file already running (one that runs itself, files that run each other) is followed
  // once.
  if (stack_.size() > Bounds::kFrameDepth ||
      std::any_of(stack_.begin(), stack_.end(),
                  [&](const Frame* running) { return running->file == file; }))
    return;
  FileRan(file);
  if (!Followable()) return;
  Frame inner;
  inner.lines = LineCursor::OfBytes(file->bytes);
  inner.total = size + limits_.appended;
  inner.line = command.line;
  inner.column = command.column;
  inner.file = file;
  RunFrame(inner);
}

void Interpreter::CallAlias(const Frame& frame, const Command& command, std::string_view lower) {
  AliasRan(lower);
  // The text the name runs: the one a text running now gave it, else the alias's.
  const std::string* current = TextDefinedAnew(lower);
  if (const auto found = state_.aliases.find(lower);
      current == nullptr && found != state_.aliases.end())
    current = &found->second.text;
  // An alias that runs itself, with the same text, before any wait stops after 16 rounds; a
  // text that defines its alias anew before running it runs the new text. A text that
  // starts anew (what a key runs, an alias's text judged where a text defines it) is no
  // round of the texts below it: it does not run inside them, and what they already run
  // is not followed again.
  bool anew = false;
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
    if ((*it)->waited || (*it)->unfollowed) break;
    if ((*it)->alias == lower && (current == nullptr || (*it)->aliasText == *current)) {
      if (!anew) Happen(command, Code::kAliasLoop, {lower});
      return;
    }
    anew = anew || (*it)->startsAnew;
  }
  // Texts that run each other this deep or this often are followed no further.
  if (!Followable(++aliasRuns_ <= Bounds::kAliasRunsPerCommand &&
                  stack_.size() <= Bounds::kFrameDepth))
    return;
  if (current == nullptr) return;  // known by name only: its text is not known here
  // A copy: the text may define the alias anew while it runs.
  const std::string text = *current;
  Frame inner;
  inner.lines = LineCursor::OfLine(Line{text, false, true});
  inner.total = text.size() + 1;
  inner.line = command.line;
  inner.column = command.column;
  inner.alias = std::string(lower);
  inner.aliasText = text;
  inner.file = frame.file;
  RunFrame(inner);
}

// ---------------------------------------------------------------------------------------
// The script running

bool ScriptRun::IsAlias(std::string_view lower) const {
  return state_.aliases.contains(lower);
}

void ScriptRun::Bound(Frame& frame, const Command& command, std::string_view key, bool runs,
                      const Words& words) {
  const std::string identity = KeyIdentity(game_, key);
  ConsoleState::Binding& binding = state_.bindings[identity];
  std::string text = words.Joined(2);
  // The same text bound again loses nothing.
  if (binding.madeBy >= 0 && binding.text != text) {
    sink_.Add(binding.madeBy, -1, Code::kOverridden,
              {binding.key, std::to_string(command.line + 1)});
  }
  // The list replaces a binding the player's own files made.
  const Origin& before = binding.origin;
  if (state_.source.empty() && binding.madeBy < 0 && !before.OfList() && binding.text != text) {
    sink_.Add(command.line, command.column, Code::kReplacesOwnBinding,
              {binding.key, binding.text, before.file, std::to_string(before.line + 1)});
  }
  binding.origin = Origin{state_.source, command.line};
  binding.key = identity;
  binding.madeBy =
      frame.script || (!frame.alias.empty() && frame.file == nullptr) ? command.line : -1;
  // A binding that never runs is the game's all the same, but no key runs its text.
  const bool pressed = frame.script && runs;
  binding.press.line = pressed ? command.line : -1;
  binding.press.column = command.column;
  binding.press.text = pressed ? text : std::string();
  binding.text = std::move(text);
}

void ScriptRun::Unbound(const Command& command, std::string_view key) {
  const auto found = state_.bindings.find(KeyIdentity(game_, key));
  if (found == state_.bindings.end()) return;
  const ConsoleState::Binding& binding = found->second;
  if (binding.madeBy >= 0)
    sink_.Add(binding.madeBy, -1, Code::kUnbound, {binding.key, std::to_string(command.line + 1)});
  // The list removes a binding the player's own files made.
  const Origin& before = binding.origin;
  if (state_.source.empty() && binding.madeBy < 0 && !before.OfList()) {
    sink_.Add(command.line, command.column, Code::kUnbindsOwnBinding,
              {binding.key, binding.text, before.file, std::to_string(before.line + 1)});
  }
  state_.bindings.erase(found);
}

void ScriptRun::AllUnbound(const Command& command) {
  for (const auto& [identity, binding] : state_.bindings) {
    if (binding.madeBy >= 0)
      sink_.Add(binding.madeBy, -1, Code::kUnbound,
                {binding.key, std::to_string(command.line + 1)});
  }
  state_.bindings.clear();
}

void ScriptRun::Defined(Frame& frame, const Command& command, std::string_view lower,
                        const Words& words, const NameInfo* info) {
  std::string text = words.Joined(2);
  // The aliases its text defines when it runs: a toggle points a name at its next step.
  Words inner;
  ForEachCommandRun(text, game_, inner, [&](const Words& read) {
    if (read.Count() >= 2 && RoleOf(game_, read[0]) == Role::kAlias)
      state_.everDefined.insert(LowerCase(read[1]));
  });
  if (info != nullptr && info->IsCommand()) state_.clashes.insert(std::string(lower));
  ConsoleState::Alias& alias = state_.aliases[std::string(lower)];
  alias.origin = Origin{state_.source, command.line};
  if (frame.script) {
    const bool runs = words.Count() >= 3;
    alias.body.line = runs ? command.line : -1;
    alias.body.column = command.column;
    alias.body.text = runs ? text : std::string();
  }
  alias.text = std::move(text);
}

void ScriptRun::Reached(const Words& words) {
  if (state_.reached != nullptr) state_.reached->push_back(words.Joined(0));
}

void ScriptRun::CvarSet(const Command& command, std::string_view name, std::string_view value) {
  state_.cvarOrigins.insert_or_assign(std::string(name), Origin{state_.source, command.line});
  const auto found = state_.cvarValues.find(name);
  if (found != state_.cvarValues.end()) {
    found->second = value;
  } else {
    state_.cvarValues.emplace(name, value);
  }
  if (state_.reached != nullptr)
    state_.reached->push_back(std::string(name) + " " + std::string(value));
}

// Known once the script has run: an alias defined by a later line, or nothing. So is a
// name that an alias of the script runs while the line runs (not one of a support file's).
void ScriptRun::Unresolved(const Frame& frame, const Command& command, std::string_view name) {
  const bool viaAlias = !frame.report && !frame.alias.empty() && frame.file == nullptr &&
                        state_.laterCalls < Bounds::kLaterCallsKept;
  state_.laterCalls += viaAlias ? 1 : 0;
  if (!frame.report && !viaAlias) return;
  if (command.expanded || viaAlias) {
    auto kept = state_.keptNames.find(name);
    if (kept == state_.keptNames.end()) kept = state_.keptNames.emplace(name).first;
    name = *kept;
  }
  state_.KeepCall({command.line, command.column, name, viaAlias});
}

// ---------------------------------------------------------------------------------------
// Once the script has run

namespace {

// The texts to run once the script has run, with the name they are kept under, in the
// order of their lines.
template <typename Map, typename Member>
std::vector<std::pair<std::string_view, const ConsoleState::Pending*>> InLineOrder(const Map& map,
                                                                                   Member member) {
  std::vector<std::pair<std::string_view, const ConsoleState::Pending*>> pending;
  for (const auto& [name, value] : map) {
    if ((value.*member).line >= 0) pending.emplace_back(name, &(value.*member));
  }
  std::sort(pending.begin(), pending.end(), [](const auto& a, const auto& b) {
    return std::tie(a.second->line, a.second->column) < std::tie(b.second->line, b.second->column);
  });
  return pending;
}

}  // namespace

void Afterwards::Run() {
  // A binding or a definition a later line replaced never runs.
  for (const auto& [key, press] : InLineOrder(state_.bindings, &ConsoleState::Binding::press))
    PressKey(key, press->text, press->line, press->column);
  for (const auto& [name, body] : InLineOrder(state_.aliases, &ConsoleState::Alias::body))
    RunText(body->text, 1, body->line, body->column, std::string(name));
  SayCalls();
  // What the pass needed goes before the findings are sorted: a long script does not hold
  // both at once.
  std::deque<ConsoleState::Call>().swap(state_.calls);
  std::unordered_map<std::string_view, ConsoleState::UnlistedCalls>().swap(state_.unlistedCalls);
  TextSet().swap(state_.keptNames);
}

void Afterwards::SayCalls() {
  for (const ConsoleState::Call& call : state_.calls) {
    const std::string lower = LowerCase(call.name);
    if (IsAlias(lower)) {
      sink_.Add(call.line, call.column, Code::kAliasDefinedLater, {call.name});
    } else if (call.viaAlias) {
      // The alias's text, run once the script has run, says the rest.
    } else if (const SupportFile* file = library_.Defining(lower)) {
      sink_.Add(call.line, call.column, Code::kAliasNeedsExec, {call.name, file->name});
    } else {
      sink_.Add(call.line, call.column, Code::kUnknownName, {call.name});
    }
  }
  const int line = state_.firstUnlistedCall;
  for (const auto& [name, times] : state_.unlistedCalls) {
    const std::string lower = LowerCase(name);
    if (IsAlias(lower)) {
      sink_.CountUnlisted(line, Code::kAliasDefinedLater, times.direct + times.viaAlias);
    } else if (library_.Defining(lower) != nullptr) {
      sink_.CountUnlisted(line, Code::kAliasNeedsExec, times.direct);
    } else {
      sink_.CountUnlisted(line, Code::kUnknownName, times.direct);
    }
  }
  sink_.CountUnlisted(line, Code::kUnknownName, state_.unlistedOtherCalls);
}

bool Afterwards::IsAlias(std::string_view lower) const {
  return state_.aliases.contains(lower) || state_.everDefined.contains(lower);
}

void Afterwards::Bound(Frame& frame, const Command& command, std::string_view key, bool runs,
                       const Words& words) {
  const std::string identity = KeyIdentity(game_, key);
  if (held_ != nullptr && identity == held_->key) held_->toggles = true;
  if (frame.report && runs) PressKey(identity, words.Joined(2), command.line, command.column);
}

void Afterwards::Defined(Frame& frame, const Command& command, std::string_view lower,
                         const Words& words, const NameInfo* /*info*/) {
  if (held_ != nullptr && held_->ran.contains(lower)) held_->toggles = true;
  // A copy: running it may define the alias anew.
  const std::string text = words.Joined(2);
  redefined_.insert_or_assign(std::string(lower), text);
  if (frame.report && words.Count() >= 3)
    RunText(text, 1, command.line, command.column, std::string(lower), true);
}

void Afterwards::Unresolved(const Frame& frame, const Command& command, std::string_view name) {
  if (!frame.report) return;
  const std::string lower = LowerCase(name);
  const SupportFile* file = library_.Defining(lower);
  if (file != nullptr && !state_.filesRun.contains(file)) {
    Happen(command, Code::kAliasNeedsExec, {name, file->name});
  } else {
    Happen(command, Code::kUnknownName, {name});
  }
}

void Afterwards::Ran(std::string_view lower, const NameInfo* info) {
  if (held_ == nullptr || lower.size() <= 1) return;
  if (lower.front() == '-') {
    std::erase(held_->names, "+" + std::string(lower.substr(1)));
  } else if (lower.front() == '+' && ((info != nullptr && info->IsCommand()) || IsAlias(lower))) {
    held_->names.emplace_back(lower);
  }
}

void Afterwards::AliasRan(std::string_view lower) {
  if (held_ != nullptr) held_->ran.emplace(lower);
}

// A key of the script goes down and comes up.
void Afterwards::PressKey(std::string_view key, std::string_view text, int line, int column) {
  if (!text.starts_with('+')) {
    // Only a text that begins with "+" runs its "-" when the key comes up: a "+" command it
    // runs, itself or through an alias, stays down unless the text runs its "-" after it,
    // or the key's next press runs another text (a toggle: on, then off), because the
    // press defines anew an alias it ran or binds its own key anew.
    Held held;
    held.key = key;
    Held* const outer = std::exchange(held_, &held);
    RunText(text, 1, line, column, {}, true);
    held_ = outer;
    if (held.toggles) return;
    for (const std::string& name : held.names)
      sink_.Add(line, column, Code::kButtonHeld, {name});
    return;
  }
  // A button: down runs the whole text with " KEY TIME" after it; up runs "-" and the rest
  // of the text, again with " KEY TIME".
  if (CountCommands(text) > 1)
    sink_.Add(line, column, Code::kButtonChain, {Excerpt("-" + std::string(text.substr(1)))});
  CheckRelease(text, line, column);
  Held* const outer = std::exchange(held_, nullptr);
  RunText(text, Bounds::kKeyAndTime, line, column, {}, true);
  held_ = outer;
}

// An unknown "+" name has its own finding; a known one needs its "-" too.
void Afterwards::CheckRelease(std::string_view text, int line, int column) {
  Words words;
  ReadWords(text.substr(0, std::min(text.find(';'), text.size())), game_, words);
  if (words.Empty() || words[0].size() <= 1) return;
  const std::string release = "-" + std::string(words[0].substr(1));
  auto known = [&](const std::string& name) {
    const NameInfo* named = FindName(game_, name);
    const std::string folded = LowerCase(name);
    return (named != nullptr && (named->IsCommand() || named->IsCvar())) || IsAlias(folded) ||
           library_.Aliases().contains(folded);
  };
  if (known(std::string(words[0])) && !known(release))
    sink_.Add(line, column, Code::kButtonRelease, {release});
}

void Afterwards::RunText(std::string_view text, std::size_t extra, int line, int column,
                         std::string alias, bool startsAnew) {
  Frame frame;
  frame.lines = LineCursor::OfLine(Line{text, false, true});
  frame.total = text.size() + extra;
  frame.report = true;
  frame.line = line;
  frame.column = column;
  frame.alias = std::move(alias);
  frame.aliasText = text;
  frame.startsAnew = startsAnew;
  if (StackEmpty()) redefined_.clear();  // a new text of the pass
  const std::size_t runs = AliasRuns();
  ResetAliasRuns(0);
  RunFrame(frame);
  ResetAliasRuns(runs);
}

}  // namespace tavrilo::game
