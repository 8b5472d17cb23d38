// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Check.h"

#include <algorithm>
#include <utility>

#include "game/CommandReader.h"
#include "game/ConsoleSession.h"
#include "game/Findings.h"
#include "game/Interpreter.h"
#include "game/Keys.h"

namespace tavrilo::game {

std::uint32_t PackedValues::Append(std::initializer_list<std::string_view> values,
                                   std::uint16_t& size) {
  std::size_t total = 0;
  for (std::string_view value : values)
    total += value.size() + 1;
  // A set of values does not straddle two blocks. A script of at most the 64 MiB a file is
  // read up to gives values far under the 4 GiB `at` can reach.
  if (blocks_.empty() || (!blocks_.back().empty() && blocks_.back().size() + total > kBlock))
    blocks_.emplace_back();
  std::string& block = blocks_.back();
  const std::size_t at = (blocks_.size() - 1) * kBlock + block.size();
  for (std::string_view value : values) {
    block.append(value);
    block += '\0';
  }
  size = static_cast<std::uint16_t>(total);
  return static_cast<std::uint32_t>(at);
}

std::vector<std::string> CheckResult::ArgsOf(const Finding& finding) const {
  std::vector<std::string> values;
  for (std::string_view rest = PackedArgsOf(finding); !rest.empty();) {
    const std::size_t end = rest.find('\0');
    values.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
  return values;
}

Text CheckResult::TextOf(const Finding& finding) const {
  return Text{std::string(RuleOf(finding.code).textKey), ArgsOf(finding)};
}

std::span<const Finding> CheckResult::FindingsOf(int line) const {
  const auto first = std::lower_bound(findings_.begin(), findings_.end(), line,
                                      [](const Finding& f, int l) { return f.line < l; });
  auto last = first;
  while (last != findings_.end() && last->line == line)
    ++last;
  return {first, last};
}

Severity CheckResult::WorstOf(int line) const {
  const std::span<const Finding> findings = FindingsOf(line);
  return findings.empty() ? Severity::kNone : findings.front().severity;
}

bool CheckResult::operator==(const CheckResult& other) const {
  const auto same = [&](const Finding& a, const Finding& b) {
    return a.line == b.line && a.column == b.column && a.code == b.code &&
           a.severity == b.severity && PackedArgsOf(a) == other.PackedArgsOf(b);
  };
  return size_ == other.size_ && limit_ == other.limit_ && errors_ == other.errors_ &&
         notes_ == other.notes_ &&
         std::equal(findings_.begin(), findings_.end(), other.findings_.begin(),
                    other.findings_.end(), same);
}

Text CheckResult::SizeText() const {
  return Text{"Check.Budget", {GroupDigits(size_), GroupDigits(limit_)}};
}

std::string GroupDigits(std::size_t number) {
  const std::string digits = std::to_string(number);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += kDigitGroupMark;
    grouped += digits[i];
  }
  return grouped;
}

// ---------------------------------------------------------------------------------------
// The check of a script

namespace {

// What exec reads of a script: the game reads the file as a C string, so nothing after a
// NUL byte runs.
struct ScriptExtent {
  std::size_t lines = 0;                       // the lines that run
  std::size_t size = 0;                        // the bytes exec reads, the header's included
  std::size_t nulAt = std::string_view::npos;  // where the NUL is in the last line read
  bool lastLf = true;                          // the last line read ends with a LF
};

bool Printable(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) > ' '; });
}

// Reads the lines of a script for its extent, with the findings of its bytes: a CR inside
// a line, a NUL byte that hides what follows it.
ScriptExtent ReadExtent(LineCursor lines, std::size_t headerBytes, FindingCollector& sink) {
  ScriptExtent extent;
  extent.size = headerBytes;
  for (Line line; extent.nulAt == std::string_view::npos && lines.Next(line);) {
    extent.nulAt = line.text.find('\0');
    const std::string_view read = line.text.substr(0, extent.nulAt);
    // A CR ends nothing: what follows it belongs to the same line, which matters when
    // something follows it and the line is not a comment.
    if (const std::size_t cr = read.find('\r'); cr != std::string_view::npos &&
                                                Printable(read.substr(cr)) &&
                                                !TrimBlanks(read).starts_with("//"))
      sink.Add(static_cast<int>(extent.lines), static_cast<int>(cr), Code::kLoneCarriageReturn);
    if (extent.nulAt == std::string_view::npos) {
      extent.size += line.Size();
      extent.lastLf = line.lf;
      ++extent.lines;
      continue;
    }
    // The bytes before the NUL still run; nothing after it does, which matters only when
    // there is something after it.
    bool hides = Printable(line.text.substr(extent.nulAt));
    for (Line rest; !hides && lines.Next(rest);)
      hides = Printable(rest.text);
    if (hides)
      sink.Add(static_cast<int>(extent.lines), static_cast<int>(extent.nulAt), Code::kNulByte);
    extent.size += extent.nulAt;
    if (extent.nulAt > 0) {
      extent.lastLf = false;  // the line read up to the NUL has no line end
      ++extent.lines;
    }
  }
  return extent;
}

// A script too big for exec is dropped whole: said on the first line past the limit. Quake
// 2 joins a last line without a line end to the text that follows it.
void JudgeExtent(const ScriptExtent& extent, LineCursor lines, std::size_t headerBytes, Game game,
                 FindingCollector& sink) {
  const Limits limits = LimitsOf(game);
  if (extent.size > limits.execFile && extent.lines > 0) {
    std::size_t end = headerBytes;
    std::size_t over = 0;
    for (Line line;
         over + 1 < extent.lines && lines.Next(line) && (end += line.Size()) <= limits.execFile;)
      ++over;
    sink.Add(static_cast<int>(over), -1, Code::kFileTooBig,
             {GroupDigits(extent.size), GroupDigits(limits.execFile)});
  }
  if (game == Game::kQuake2 && extent.lines > 0 && !extent.lastLf)
    sink.Add(static_cast<int>(extent.lines - 1), -1, Code::kNoFinalLineEnd);
}

// The line cut at a NUL byte, and where.
std::pair<std::size_t, std::size_t> CutOf(const ScriptExtent& extent) {
  if (extent.nulAt == std::string_view::npos || extent.nulAt == 0) return {SIZE_MAX, 0};
  return {extent.lines - 1, extent.nulAt};
}

// Runs a script as the game's console does, on `state`, and collects what each of its
// lines makes the game do: the script runs first; then each key it binds is pressed, and
// the text of each alias it defines is run, with every alias and binding the script left
// behind.
CheckResult Check(LineCursor lines, std::size_t headerBytes, Game game,
                  const SupportLibrary& library, ConsoleState& state,
                  const FilesBeside& beside = {}) {
  FindingCollector sink;
  FolderFiles folder(game, beside);
  const ScriptExtent extent = ReadExtent(lines, headerBytes, sink);
  JudgeExtent(extent, lines, headerBytes, game, sink);
  state.scriptSize = extent.size;
  const auto [cutLine, cutAt] = CutOf(extent);
  ScriptRun(game, library, state, sink, &folder)
      .RunScript(lines, extent.lines, headerBytes, cutLine, cutAt);
  Afterwards(game, library, state, sink, &folder).Run();
  return sink.Finish(extent.size, LimitsOf(game).execFile);
}

CheckResult Check(LineCursor lines, std::size_t headerBytes, Game game, const SupportFiles& support,
                  const FilesBeside& beside) {
  const SupportLibrary library(game, support);
  ConsoleState state(game, library);
  return Check(lines, headerBytes, game, library, state, beside);
}

}  // namespace

CheckResult CheckScript(std::string_view bytes, Game game, const SupportFiles& support,
                        const FilesBeside& beside) {
  return Check(LineCursor::OfBytes(bytes), 0, game, support, beside);
}

CheckResult CheckList(const StringList& entries, std::size_t headerBytes, Game game,
                      const SupportFiles& support, const FilesBeside& beside) {
  return Check(LineCursor::OfList(entries), headerBytes, game, support, beside);
}

CheckResult CheckLine(std::string_view line, Game game) {
  const LineCursor lines = LineCursor::OfLine(Line{line, true, true});
  FindingCollector sink;
  const ScriptExtent extent = ReadExtent(lines, 0, sink);
  const SupportLibrary library(game, {});
  ConsoleState state(game, library);
  const auto [cutLine, cutAt] = CutOf(extent);
  LineOnItsOwn(game, library, state, sink).RunScript(lines, extent.lines, 0, cutLine, cutAt);
  return sink.Finish(extent.size, LimitsOf(game).execFile);
}

// ---------------------------------------------------------------------------------------
// A console kept from one text to the next

struct ConsoleSession::State {
  State(Game which, SupportFiles bytes)
      : game(which), files(std::move(bytes)), library(which, files), console(which, library) {}
  Game game;
  SupportFiles files;
  SupportLibrary library;
  ConsoleState console;
};

ConsoleSession::ConsoleSession(Game game, SupportFiles files)
    : state_(std::make_unique<State>(game, std::move(files))) {}
ConsoleSession::~ConsoleSession() = default;
ConsoleSession::ConsoleSession(ConsoleSession&&) noexcept = default;

ConsoleSession::Outcome ConsoleSession::Run(std::string_view text, std::string_view source,
                                            const FilesBeside& beside) {
  Outcome outcome;
  state_->console.ForgetLines();
  state_->console.source = source;
  state_->console.reached = &outcome.reached;
  outcome.findings =
      Check(LineCursor::OfBytes(text), 0, state_->game, state_->library, state_->console, beside);
  state_->console.reached = nullptr;
  return outcome;
}

std::optional<std::string> ConsoleSession::Cvar(std::string_view name) const {
  const auto found = state_->console.cvarValues.find(name);
  if (found == state_->console.cvarValues.end()) return std::nullopt;
  return found->second;
}

std::optional<std::string> ConsoleSession::Binding(std::string_view key) const {
  const auto found = state_->console.bindings.find(KeyIdentity(state_->game, key));
  if (found == state_->console.bindings.end()) return std::nullopt;
  return found->second.text;
}

std::map<std::string, std::string> ConsoleSession::Bindings() const {
  std::map<std::string, std::string> bindings;
  for (const auto& [key, binding] : state_->console.bindings)
    bindings.emplace(key, binding.text);
  return bindings;
}

namespace {

GameState StateOf(const ConsoleState& console) {
  GameState state;
  for (const auto& [key, binding] : console.bindings)
    state.bindings.emplace(key, Definition{binding.key, binding.text, binding.origin});
  for (const auto& [name, alias] : console.aliases)
    state.aliases.emplace(name, Definition{name, alias.text, alias.origin});
  for (const auto& [name, value] : console.cvarValues) {
    const auto origin = console.cvarOrigins.find(name);
    state.cvars.emplace(
        name,
        Definition{name, value, origin != console.cvarOrigins.end() ? origin->second : Origin{}});
  }
  return state;
}

}  // namespace

GameState ConsoleSession::Current() const {
  return StateOf(state_->console);
}

namespace {

// A list or a script checked on a copy of `session`'s state.
ConsoleSession::ListOutcome CheckOnCopy(LineCursor lines, std::size_t headerBytes, Game game,
                                        const SupportLibrary& library, const ConsoleState& session,
                                        const FilesBeside& beside) {
  ConsoleState console = session;
  console.ForgetLines();
  console.source.clear();
  console.reached = nullptr;
  ConsoleSession::ListOutcome outcome;
  outcome.findings = Check(lines, headerBytes, game, library, console, beside);
  outcome.after = StateOf(console);
  return outcome;
}

}  // namespace

ConsoleSession::ListOutcome ConsoleSession::CheckList(const StringList& entries,
                                                      std::size_t headerBytes,
                                                      const FilesBeside& beside) const {
  return CheckOnCopy(LineCursor::OfList(entries), headerBytes, state_->game, state_->library,
                     state_->console, beside);
}

ConsoleSession::ListOutcome ConsoleSession::CheckScript(std::string_view bytes,
                                                        const FilesBeside& beside) const {
  return CheckOnCopy(LineCursor::OfBytes(bytes), 0, state_->game, state_->library, state_->console,
                     beside);
}

bool ConsoleSession::HasAlias(std::string_view name) const {
  return state_->console.aliases.contains(LowerCase(name));
}

}  // namespace tavrilo::game
