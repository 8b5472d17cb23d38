// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Check.h"

#include <algorithm>
#include <deque>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "game/Console.h"
#include "game/Keys.h"
#include "game/Names.h"

namespace tavrilo::game {

namespace {

// The start of a text for a message: at most `length` bytes, then an ellipsis.
std::string Excerpt(std::string_view text, std::size_t length = 40) {
  if (text.size() <= length) return std::string(text);
  return std::string(text.substr(0, length)) + "\x85";
}

bool HasNonBlank(std::string_view text) {
  return !TrimBlanks(text).empty();
}

// The cvars that refuse a new value.
bool IsReadOnlyCvar(std::string_view name) {
  return EqualsIgnoringCase(name, "version") || EqualsIgnoringCase(name, "dedicated") ||
         EqualsIgnoringCase(name, "basedir");
}

// What the game module makes of the text of say and say_team.
constexpr std::size_t kLongestPlayerName = 15;

// A line of a script as the console gets it: its bytes without the CR and LF that end it.
struct Line {
  std::string_view text;
  bool cr = false;  // a CR before the LF (part of the line's last command)
  bool lf = false;
  std::size_t Size() const { return text.size() + (cr ? 1 : 0) + (lf ? 1 : 0); }
};

// The lines of a text, one after the other: a file's bytes cut at LF, the entries of a
// list (each saved with CR LF), or one line on its own. Nothing is copied.
class LineCursor {
 public:
  static LineCursor OfBytes(std::string_view bytes) {
    LineCursor cursor;
    cursor.bytes_ = bytes;
    return cursor;
  }
  static LineCursor OfList(const StringList& list) {
    LineCursor cursor;
    cursor.list_ = &list;
    return cursor;
  }
  static LineCursor OfLine(Line line) {
    LineCursor cursor;
    cursor.single_ = line;
    cursor.hasSingle_ = true;
    return cursor;
  }

  // The next line into `line`; false after the last.
  bool Next(Line& line) {
    if (list_ != nullptr) {
      if (index_ >= list_->Count()) return false;
      line = Line{list_->At(index_++), true, true};
      return true;
    }
    if (hasSingle_) {
      line = single_;
      hasSingle_ = false;
      return true;
    }
    if (bytes_.empty()) return false;
    const std::size_t end = bytes_.find('\n');
    line.lf = end != std::string_view::npos;
    line.text = bytes_.substr(0, end);
    bytes_.remove_prefix(line.lf ? end + 1 : bytes_.size());
    line.cr = line.text.ends_with('\r');
    if (line.cr) line.text.remove_suffix(1);
    return true;
  }

 private:
  std::string_view bytes_;
  const StringList* list_ = nullptr;
  int index_ = 0;
  Line single_;
  bool hasSingle_ = false;
};

// Maps and sets of names looked up without a copy of the name.
template <typename Value>
using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;
using TextSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;

// A support file as exec finds it: its bytes up to a NUL.
struct SupportFile {
  std::string name;
  std::string_view bytes;
};

// What `name` does as a command the console model follows (kNone: nothing of its own).
Role RoleOf(Game game, std::string_view name) {
  const NameInfo* info = FindName(game, name);
  return info != nullptr ? info->role : Role::kNone;
}

// Calls `each(words)` with the words of each command of `text` the console runs (not one
// it discards for its quotes), read into `words`.
template <typename Each>
void ForEachCommandRun(std::string_view text, Game game, Words& words, Each&& each) {
  ForEachCommand(text, [&](std::string_view command, std::size_t, std::size_t) {
    if (HasUnmatchedQuote(command)) return;
    ReadWords(command, game, words);
    each(words);
  });
}

// The raw text after a command's first word, as written.
std::string_view AfterFirstWord(std::string_view command, const Words& words) {
  const Word& first = words.words.front();
  const std::size_t end = first.offset + first.written.size() + (first.quoted ? 2 : 0);
  return command.substr(std::min(end, command.size()));
}

}  // namespace

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
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += '\xA0';
    grouped += digits[i];
  }
  return grouped;
}

// ---------------------------------------------------------------------------------------
// The console model.

// Runs a script as the game's console does and collects what each of its lines makes the
// game do. The script runs first (its commands one after the other, exec putting a file's
// text before what still waits in the command buffer, aliases running their text, bind
// and unbind changing the keys); then each key the script binds is pressed, and the text
// of each alias it defines is run, with every alias and binding the script left behind.
class Console {
 public:
  Console(Game game, const SupportFiles& support, bool alone)
      : game_(game), limits_(LimitsOf(game)), alone_(alone) {
    for (const auto& [name, bytes] : support) {
      SupportFile file;
      file.name = name;
      file.bytes = std::string_view(bytes).substr(0, bytes.find('\0'));
      files_.push_back(std::move(file));
    }
    for (std::size_t i = 0; i < files_.size(); ++i)
      CollectSupportAliases(i, i, 0);
    for (const auto& [name, file] : supportAliases_) {
      const NameInfo* info = FindName(game_, name);
      if (info != nullptr && info->IsCommand()) clashes_.insert(name);
    }
  }

  // Runs the lines of a file whose first `headerBytes` bytes are comment lines.
  CheckResult Run(LineCursor lines, std::size_t headerBytes);

 private:
  // A text in the command buffer: the script, a file exec put there, the text of an alias
  // or of a key.
  struct Frame {
    LineCursor lines;
    std::size_t count = SIZE_MAX;  // the lines that run
    std::size_t total = 0;         // the bytes it put in the buffer
    std::size_t consumed = 0;      // the bytes taken out of the buffer so far
    bool script = false;           // the lines of the checked script itself
    bool report = false;           // its text is the script's own: what it says is reported
    int line = 0;                  // the script's line it comes from
    int column = -1;
    std::size_t cutLine = SIZE_MAX;     // the line the game reads up to a NUL byte only...
    std::size_t cutAt = 0;              // ... and where the NUL is
    std::string alias;                  // the alias whose text it is
    std::string_view aliasText;         // ... and that text, as it was when it ran
    bool keyPress = false;              // what a key runs: a new event, not a round of a loop
    const SupportFile* file = nullptr;  // the support file it is, or runs inside
    bool waited = false;                // a wait ran in it
    bool unfollowed = false;            // an alias it ran was past what the model follows
  };

  // One command about to run, with what its findings need.
  struct Command {
    std::string_view text;   // as it runs: cut, $ expanded
    std::string_view rest;   // the text after its ";" on the same line
    bool cr = false;         // a CR follows it (the last command of a line ended by CR LF)
    bool highBytes = false;  // `text` holds a byte above 127
    bool expanded = false;   // `text` is a copy with its $ references replaced
    int line = 0;
    int column = -1;
  };

  void Add(int line, int column, Code code, std::initializer_list<std::string_view> args = {}) {
    Finding finding;
    finding.line = line;
    finding.column = column;
    finding.code = code;
    finding.severity = SeverityOf(code);
    finding.argsAt = args_.Append(args, finding.argsSize);
    findings_.push_back(finding);
  }
  // What a command says, for a text that is the script's own.
  void Say(const Frame& frame, const Command& command, Code code,
           std::initializer_list<std::string_view> args = {}) {
    if (frame.report) Add(command.line, command.column, code, args);
  }
  // What running a text leads to, wherever the text comes from.
  void Happen(const Command& command, Code code, std::initializer_list<std::string_view> args) {
    Add(command.line, command.column, code, args);
  }

  void RunFrame(Frame& frame);
  void RunCommand(Frame& frame, std::string_view text, const Command& where, bool cr);
  void Execute(Frame& frame, const Command& command);
  void ReportWords(const Frame& frame, const Command& command, const Words& words, bool raw);
  void ForServer(Frame& frame, const Command& command, std::string_view name, Role role,
                 std::string_view raw);
  void Bind(Frame& frame, const Command& command, const Words& words);
  void Unbind(Frame& frame, const Command& command, const Words& words);
  void UnbindAll(const Command& command);
  void DefineAlias(Frame& frame, const Command& command, const Words& words);
  void Exec(Frame& frame, const Command& command, const Words& words);
  void CallAlias(const Frame& frame, const Command& command, std::string_view lower);
  void Unresolved(const Frame& frame, const Command& command, std::string_view name);
  void PressKey(std::string_view key, std::string_view text, int line, int column);
  void RunText(std::string_view text, std::size_t extra, int line, int column, std::string alias,
               bool keyPress = false);

  std::size_t Waiting() const {
    std::size_t waiting = 0;
    for (const Frame* frame : stack_)
      waiting += frame->total - std::min(frame->consumed, frame->total);
    return waiting;
  }
  bool IsAlias(std::string_view lower) const {
    return aliases_.contains(lower) || (deferred_ && everDefined_.contains(lower));
  }
  const SupportFile* SupportDefining(const std::string& lower) const {
    const auto found = supportAliases_.find(lower);
    return found == supportAliases_.end() ? nullptr : &files_[found->second];
  }
  const SupportFile* FindFile(std::string_view name) const {
    for (const SupportFile& file : files_) {
      if (EqualsIgnoringCase(file.name, name)) return &file;
    }
    return nullptr;
  }
  void CollectSupportAliases(std::size_t file, std::size_t definer, int depth);
  // What a command being run at a depth of the stack reads into, reused.
  struct Scratch {
    Words words;
    std::string expanded;  // the command with its $ references replaced
  };
  Scratch& ScratchAt(std::size_t depth) {
    while (scratch_.size() <= depth)
      scratch_.emplace_back();
    return scratch_[depth];
  }

  // A text of the script that runs once the script has run, if the game still has it: what
  // a key runs, or an alias's text.
  struct Pending {
    int line = -1;  // the script's line that gave it; -1: none (a file the script runs did)
    int column = -1;
    std::string text;
  };
  struct Binding {
    std::string key;
    std::string text;  // what the key runs
    int madeBy = -1;   // the script's line that bound it, itself or by an alias it ran; -1:
                       // a file the script runs did
    Pending press;     // pressed once the script has run: the script's own binding
  };
  struct Alias {
    std::string text;  // what the name runs now
    Pending body;      // the script's last definition, run once the script has run
  };
  // The texts to run once the script has run, with the name they are kept under, in the
  // order of their lines.
  template <typename Map, typename Member>
  static std::vector<std::pair<std::string_view, const Pending*>> InLineOrder(const Map& map,
                                                                              Member member) {
    std::vector<std::pair<std::string_view, const Pending*>> pending;
    for (const auto& [name, value] : map) {
      if ((value.*member).line >= 0) pending.emplace_back(name, &(value.*member));
    }
    std::sort(pending.begin(), pending.end(), [](const auto& a, const auto& b) {
      return std::tie(a.second->line, a.second->column) <
             std::tie(b.second->line, b.second->column);
    });
    return pending;
  }
  struct Call {
    int line;
    int column;
    std::string_view name;  // in the script's line, or in `keptNames_`
    bool viaAlias;          // run by an alias the line runs, whose text runs again later
  };

  Game game_;
  Limits limits_;
  bool alone_;  // one line on its own: no alias, no other line, no file is known
  std::vector<SupportFile> files_;
  TextMap<std::size_t> supportAliases_;  // name -> the support file defining it
  std::unordered_set<const SupportFile*> filesRun_;

  bool deferred_ = false;   // the script has run: nothing changes aliases or keys any more
  TextSet redefined_;       // ... but a text run then defines these anew as it runs
  bool tooBig_ = false;     // the script is too big for exec: the game never runs it
  TextMap<Alias> aliases_;  // name in lower case -> its texts
  TextSet everDefined_;     // the names alias texts define when they run
  TextSet userCvars_;       // made by set
  TextMap<Binding> bindings_;
  TextSet clashes_;         // names both a command and an alias
  std::deque<Call> calls_;  // names the script ran before any alias of that name
  TextSet keptNames_;       // their names that $ expansion or an alias wrote, each kept once
  std::vector<Frame*> stack_;
  std::deque<Scratch> scratch_;  // one per depth of the stack
  int aliasRuns_ = 0;            // alias texts run for one command of the script or one key
  // Commands of the texts the script runs (files, aliases), against kFollowed: a list built
  // to make files and aliases run each other a million times is not followed past it.
  std::size_t followed_ = 0;
  static constexpr std::size_t kFollowed = std::size_t{1} << 20;
  // Whether a text may still be followed; when not, what the running texts would do next
  // is not known (no loop is said of them).
  bool Followable(bool withinDepth = true) {
    if (withinDepth && followed_ <= kFollowed) return true;
    for (Frame* running : stack_)
      running->unfollowed = true;
    return false;
  }
  std::size_t laterCalls_ = 0;  // names run by aliases, kept for "defined later" (calls_)
  // While a key that is no button runs its text: the "+" commands it has run and not
  // released, and whether it defines an alias (a toggle, whose next press releases them).
  struct Held {
    std::string key;  // the key pressed
    std::vector<std::string> names;
    TextSet ran;           // the aliases the press ran
    bool toggles = false;  // it defines one of them anew, or binds its own key anew
  };
  Held* held_ = nullptr;
  // Collected in a deque, which grows without moving what it holds; sorted by line into
  // the result's vector at the end.
  std::deque<Finding> findings_;
  PackedValues args_;
};

void Console::CollectSupportAliases(std::size_t file, std::size_t definer, int depth) {
  if (depth > 4) return;
  Words words;
  LineCursor lines = LineCursor::OfBytes(files_[file].bytes);
  for (Line line; lines.Next(line);) {
    ForEachCommandRun(line.text, game_, words, [&](const Words& read) {
      if (read.Count() < 2) return;
      const Role role = RoleOf(game_, read[0]);
      if (role == Role::kAlias) {
        supportAliases_.try_emplace(LowerCase(read[1]), definer);
      } else if (role == Role::kExec && read.Count() == 2) {
        const SupportFile* other = FindFile(read[1]);
        if (other != nullptr && other != &files_[file])
          CollectSupportAliases(static_cast<std::size_t>(other - files_.data()), definer,
                                depth + 1);
      }
    });
  }
}

CheckResult Console::Run(LineCursor lines, std::size_t headerBytes) {
  CheckResult result;
  // The game reads the file as a C string: nothing after a NUL byte runs.
  std::size_t count = 0;
  std::size_t size = headerBytes;
  std::size_t nulAt = std::string_view::npos;
  bool lastLf = true;
  {
    const auto printable = [](std::string_view text) {
      return std::any_of(text.begin(), text.end(),
                         [](char c) { return static_cast<unsigned char>(c) > ' '; });
    };
    LineCursor scan = lines;
    for (Line line; nulAt == std::string_view::npos && scan.Next(line);) {
      nulAt = line.text.find('\0');
      const std::string_view read = line.text.substr(0, nulAt);
      // A CR ends nothing: what follows it belongs to the same line, which matters when
      // something follows it and the line is not a comment.
      if (const std::size_t cr = read.find('\r'); cr != std::string_view::npos &&
                                                  printable(read.substr(cr)) &&
                                                  !TrimBlanks(read).starts_with("//"))
        Add(static_cast<int>(count), static_cast<int>(cr), Code::kLoneCarriageReturn);
      if (nulAt == std::string_view::npos) {
        size += line.Size();
        lastLf = line.lf;
        ++count;
        continue;
      }
      // The bytes before the NUL still run; nothing after it does, which matters only when
      // there is something after it.
      bool hides = printable(line.text.substr(nulAt));
      for (Line rest; !hides && scan.Next(rest);)
        hides = printable(rest.text);
      if (hides) Add(static_cast<int>(count), static_cast<int>(nulAt), Code::kNulByte);
      size += nulAt;
      if (nulAt > 0) {
        lastLf = false;  // the line read up to the NUL has no line end
        ++count;
      }
    }
  }
  const bool nul = nulAt != std::string_view::npos;
  result.size_ = size;
  result.limit_ = limits_.execFile;
  tooBig_ = !alone_ && size > limits_.execFile;
  if (tooBig_ && count > 0) {
    LineCursor scan = lines;
    std::size_t end = headerBytes;
    std::size_t over = 0;
    for (Line line;
         over + 1 < count && scan.Next(line) && (end += line.Size()) <= limits_.execFile;)
      ++over;
    Add(static_cast<int>(over), -1, Code::kFileTooBig,
        {GroupDigits(size), GroupDigits(limits_.execFile)});
  }
  if (!alone_ && game_ == Game::kQuake2 && count > 0 && !lastLf)
    Add(static_cast<int>(count - 1), -1, Code::kNoFinalLineEnd);

  Frame frame;
  frame.lines = lines;
  frame.count = count;
  frame.total = size + limits_.appended;
  frame.consumed = headerBytes;
  frame.script = true;
  frame.report = true;
  if (nul && nulAt > 0) {
    frame.cutLine = count - 1;
    frame.cutAt = nulAt;
  }
  RunFrame(frame);

  // The script has run: the keys it binds are pressed and the aliases it defines run, as
  // the game has them now. A binding or a definition a later line replaced never runs.
  deferred_ = true;
  for (const auto& [key, press] : InLineOrder(bindings_, &Binding::press))
    PressKey(key, press->text, press->line, press->column);
  for (const auto& [name, body] : InLineOrder(aliases_, &Alias::body))
    RunText(body->text, 1, body->line, body->column, std::string(name));
  for (const Call& call : calls_) {
    const std::string lower = LowerCase(call.name);
    if (IsAlias(lower)) {
      Add(call.line, call.column, Code::kAliasDefinedLater, {call.name});
    } else if (call.viaAlias) {
      // The alias's text, run once the script has run, says the rest.
    } else if (const SupportFile* file = SupportDefining(lower)) {
      Add(call.line, call.column, Code::kAliasNeedsExec, {call.name, file->name});
    } else {
      Add(call.line, call.column, Code::kUnknownName, {call.name});
    }
  }
  // What the deferred pass needed goes before the findings are sorted: a long script does
  // not hold both at once.
  std::deque<Call>().swap(calls_);
  TextSet().swap(keptNames_);

  // By line, errors first; a finding once per line, and one note per support file to run.
  // A counting sort by line (the findings taken out of the deque as they are placed), then
  // errors first within a line (findings of a line are few).
  std::vector<std::uint32_t> starts(count + 2, 0);
  for (const Finding& finding : findings_)
    ++starts[static_cast<std::size_t>(finding.line) + 1];
  for (std::size_t i = 1; i < starts.size(); ++i)
    starts[i] += starts[i - 1];
  std::vector<Finding> sorted(findings_.size());
  for (; !findings_.empty(); findings_.pop_front())
    sorted[starts[static_cast<std::size_t>(findings_.front().line)]++] = findings_.front();
  std::vector<std::uint32_t>().swap(starts);
  // Errors first within a line, keeping their order otherwise (an insertion sort: a line
  // has few findings, most lines one or none).
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    const Finding finding = sorted[i];
    std::size_t at = i;
    for (; at > 0 && sorted[at - 1].line == finding.line &&
           sorted[at - 1].severity < finding.severity;
         --at)
      sorted[at] = sorted[at - 1];
    sorted[at] = finding;
  }
  const auto packed = [&](const Finding& finding) {
    return args_.View(finding.argsAt, finding.argsSize);
  };
  // The support file named last: one note per file to run, whatever the alias.
  const auto file = [&](const Finding& finding) {
    const std::string_view values = packed(finding);
    return values.substr(values.rfind('\0', values.size() - 2) + 1);
  };
  std::size_t kept = 0;
  for (const Finding& finding : sorted) {
    bool repeated = false;
    for (std::size_t k = kept; k > 0 && sorted[k - 1].line == finding.line && !repeated; --k) {
      const Finding& earlier = sorted[k - 1];
      if (earlier.code != finding.code) continue;
      repeated = finding.code == Code::kAliasNeedsExec ? file(earlier) == file(finding)
                                                       : packed(earlier) == packed(finding);
    }
    if (repeated) continue;
    (finding.severity == Severity::kError ? result.errors_ : result.notes_) += 1;
    sorted[kept++] = finding;
  }
  sorted.resize(kept);
  result.findings_ = std::move(sorted);
  result.args_ = std::move(args_);
  return result;
}

void Console::RunFrame(Frame& frame) {
  stack_.push_back(&frame);
  std::size_t lineStart = frame.consumed;
  Line line;
  for (std::size_t i = 0; i < frame.count && frame.lines.Next(line); ++i) {
    if (frame.script) aliasRuns_ = 0;
    if (i == frame.cutLine) line = Line{line.text.substr(0, frame.cutAt), false, false};
    ForEachCommand(line.text, [&](std::string_view text, std::size_t begin, std::size_t end) {
      if (!frame.script) ++followed_;
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
      RunCommand(frame, text, where, last && line.cr);
    });
    lineStart += line.Size();
    frame.consumed = lineStart;
  }
  stack_.pop_back();
}

void Console::RunCommand(Frame& frame, std::string_view text, const Command& where, bool cr) {
  Command command = where;
  command.cr = cr;
  const std::size_t length = text.size() + (cr ? 1 : 0);
  switch (FateOfCommand(game_, length)) {
    case CommandFate::kDiscarded:
      Say(frame, command, Code::kCommandDiscarded,
          {GroupDigits(length), GroupDigits(limits_.command)});
      return;
    case CommandFate::kCut:
      if (HasNonBlank(text.substr(std::min(text.size(), limits_.command - 1)))) {
        Say(frame, command, Code::kCommandCut,
            {GroupDigits(length), GroupDigits(limits_.command - 1)});
      }
      text = text.substr(0, limits_.command - 1);
      break;
    case CommandFate::kRuns:
      break;
  }
  if (HasUnmatchedQuote(text)) {
    Say(frame, command, Code::kUnmatchedQuote);
    return;
  }
  // The command's "$" and bytes above 127, each found by a plain scan.
  const bool dollar = text.find('$') != std::string_view::npos;
  unsigned char any = 0;
  for (const char c : text)
    any |= static_cast<unsigned char>(c);
  command.highBytes = any >= 0x80;
  // $name outside quotes: the cvar's value takes its place when the command runs. The value
  // of a cvar is not known here: the reference stays as a word of its own.
  if (dollar) {
    std::string& expanded = ScratchAt(stack_.size()).expanded;
    expanded.clear();
    std::size_t from = 0;
    ForEachCvarReference(text, [&](const CvarReference& reference) {
      expanded.append(text.substr(from, reference.begin - from));
      const std::string_view written =
          text.substr(reference.begin, reference.end - reference.begin);
      const NameInfo* info = FindName(game_, reference.name);
      const bool known =
          !reference.name.empty() && ((info != nullptr && info->IsCvar()) ||
                                      userCvars_.contains(Folded(reference.name).View()));
      if (known) {
        expanded.append(written);
      } else {
        Say(frame, command, Code::kCvarEmpty, {written});
      }
      from = reference.end;
    });
    if (from > 0) {
      expanded.append(text.substr(from));
      text = expanded;
      command.expanded = true;
    }
  }
  command.text = text;
  Execute(frame, command);
}

void Console::Execute(Frame& frame, const Command& command) {
  Words& words = ScratchAt(stack_.size()).words;
  ReadWords(command.text, game_, words);
  if (words.Empty()) {
    if (words.commentAt < command.text.size() && HasNonBlank(command.rest))
      Say(frame, command, Code::kCommentRunsOn, {Excerpt(TrimBlanks(command.rest))});
    return;
  }
  const std::string_view name = words[0];
  const Folded folded(name);
  const std::string_view lower = folded;
  const NameInfo* info = FindFoldedName(game_, lower);
  const Role role = info != nullptr ? info->role : Role::kNone;
  if (held_ != nullptr && lower.size() > 1) {
    if (lower.front() == '-') {
      std::erase(held_->names, "+" + std::string(lower.substr(1)));
    } else if (lower.front() == '+' &&
               ((info != nullptr && info->IsCommand()) || (!alone_ && IsAlias(lower)))) {
      held_->names.emplace_back(lower);
    }
  }
  const bool raw = role == Role::kSay || role == Role::kSayTeam || role == Role::kUse ||
                   role == Role::kDrop || role == Role::kGive || role == Role::kCmd;

  // What the console does to the command's words (only said for the script's own text).
  if (frame.report) ReportWords(frame, command, words, raw);

  // A name runs as a command of the program, an alias, a cvar, or goes to the server.

  if (info != nullptr && info->IsCommand()) {
    // An alias takes no words after its name: a name written with some means the command.
    if (!clashes_.empty() && words.Count() == 1 && clashes_.contains(lower))
      Say(frame, command, Code::kCommandHidesAlias, {name});
    switch (role) {
      case Role::kBind:
        return Bind(frame, command, words);
      case Role::kUnbind:
        return Unbind(frame, command, words);
      case Role::kUnbindAll:
        return UnbindAll(command);
      case Role::kAlias:
        return DefineAlias(frame, command, words);
      case Role::kExec:
        return Exec(frame, command, words);
      case Role::kWait:
        // The whole buffer waits for the next frame, and every text running in it.
        for (Frame* running : stack_)
          running->waited = true;
        return;
      case Role::kSet:
        if (words.Count() < 2) return;
        if (IsReadOnlyCvar(words[1]) && words.Count() >= 3)
          Say(frame, command, Code::kCvarReadOnly, {words[1]});
        if (!deferred_) userCvars_.insert(LowerCase(words[1]));
        return;
      case Role::kCmd: {
        if (words.Count() < 2) return;
        Words forwarded;
        ReadWords(words.args, game_, forwarded);
        if (forwarded.Empty()) return;
        return ForServer(frame, command, forwarded[0], RoleOf(game_, forwarded[0]),
                         AfterFirstWord(words.args, forwarded));
      }
      default:
        // A command of the program that only passes itself on to the server.
        if (info->serverCommand)
          ForServer(frame, command, name, role, AfterFirstWord(command.text, words));
        return;
    }
  }
  if (!alone_ && IsAlias(lower)) {
    if (info != nullptr && info->IsCvar()) Say(frame, command, Code::kAliasHidesCvar, {name});
    return CallAlias(frame, command, lower);
  }
  if ((info != nullptr && info->IsCvar()) || userCvars_.contains(lower)) {
    if (words.Count() >= 3) Say(frame, command, Code::kCvarExtraWords, {name, words[1]});
    if (words.Count() >= 2 && IsReadOnlyCvar(name))
      Say(frame, command, Code::kCvarReadOnly, {name});
    if (info != nullptr && !info->cvar && !userCvars_.contains(lower)) {
      if (!info->renderers.empty()) {
        Say(frame, command, Code::kRendererCvar, {name, info->renderers});
      } else if (info->gameCvar) {
        Say(frame, command, Code::kGameCvar, {name});
      }
    }
    return;
  }
  if (info != nullptr && info->serverCommand)
    return ForServer(frame, command, name, role, AfterFirstWord(command.text, words));
  if (!alone_) Unresolved(frame, command, name);
}

void Console::ReportWords(const Frame& frame, const Command& command, const Words& words,
                          bool raw) {
  if (words.dropped > 0 && !raw) {
    Say(frame, command, Code::kTooManyWords,
        {GroupDigits(words.Count() + words.dropped), GroupDigits(limits_.words)});
  }
  for (std::size_t i = 0; i < words.Count(); ++i) {
    const Word& word = words.words[i];
    if (!word.cut || (raw && i > 0 && !word.quoted)) continue;
    Say(frame, command, word.quoted ? Code::kWordCut : Code::kWordLost,
        {Excerpt(word.written, 20), GroupDigits(word.written.size()), GroupDigits(limits_.word)});
    break;
  }
  if (!raw && command.highBytes) {
    const std::string_view high = HighByteOutsideQuotes(command.text);
    if (!high.empty()) Say(frame, command, Code::kHighByteSplits, {high});
  }
  if (!raw && words.commentAt < command.text.size() && HasNonBlank(command.rest))
    Say(frame, command, Code::kCommentRunsOn, {Excerpt(TrimBlanks(command.rest))});
}

// What the game module does with a command sent to the server: the raw text after its name.
void Console::ForServer(Frame& frame, const Command& command, std::string_view name, Role role,
                        std::string_view raw) {
  const std::size_t length = command.text.size() + (command.cr ? 1 : 0);
  if (length >= limits_.forward)
    Say(frame, command, Code::kForwardTooLong, {GroupDigits(length), GroupDigits(limits_.forward)});
  // The console trims the text of its blanks, bytes above 127 included.
  std::string_view said = TrimBlanks(raw);
  if (role == Role::kSay || role == Role::kSayTeam) {
    if (HasNonBlank(command.rest))
      Say(frame, command, Code::kChatSemicolon, {Excerpt(TrimBlanks(command.rest))});
    ForEachCvarReference(raw, [&](const CvarReference& reference) {
      if (!reference.name.empty()) Say(frame, command, Code::kChatCvar, {reference.name});
    });
    std::string_view written = raw;  // as the player reads it: without ASCII blanks
    while (!written.empty() && static_cast<unsigned char>(written.front()) <= ' ')
      written.remove_prefix(1);
    while (!written.empty() && static_cast<unsigned char>(written.back()) <= ' ')
      written.remove_suffix(1);
    const bool trimmed = written.size() != said.size();
    bool paired = true;
    if (said.starts_with('"')) {
      paired = said.size() >= 2 && said.ends_with('"') &&
               said.substr(1, said.size() - 2).find('"') == std::string_view::npos;
      said = said.size() >= 2 ? said.substr(1, said.size() - 2) : std::string_view();
    }
    // Both say what the game ends up saying.
    if (trimmed) Say(frame, command, Code::kChatTrimmed, {Excerpt(said)});
    if (!paired) Say(frame, command, Code::kChatQuotes, {Excerpt(said)});
    if (said.empty()) {
      Say(frame, command, Code::kChatEmpty, {name});
      return;
    }
    // The line said is "NAME: TEXT" or "(NAME): TEXT", cut at 150 characters.
    const std::size_t framing = role == Role::kSay ? 2 : 4;
    const std::size_t room = limits_.chatLine - framing;  // for the name and the text
    if (said.size() + 1 > room) {
      Say(frame, command, Code::kChatTooLong, {GroupDigits(said.size()), GroupDigits(room - 1)});
    } else if (said.size() + kLongestPlayerName > room) {
      Say(frame, command, Code::kChatMayBeCut,
          {GroupDigits(said.size()), GroupDigits(room - kLongestPlayerName)});
    }
    return;
  }
  if (role == Role::kUse || role == Role::kDrop || role == Role::kGive) {
    if (said.starts_with('"')) {
      Say(frame, command, Code::kQuotedItem, {name, said});
    } else if (role != Role::kGive && !said.empty()) {
      if (!IsItem(said)) {
        Say(frame, command, Code::kUnknownItem, {said});
      } else if (role == Role::kUse && !IsUsableItem(said)) {
        Say(frame, command, Code::kItemNotUsable, {said});
      }
    }
  }
}

void Console::Unresolved(const Frame& frame, const Command& command, std::string_view name) {
  // Known once the script has run: an alias defined by a later line, or nothing. So is a
  // name that an alias of the script runs while the line runs (not one of a support file's).
  // (At most as many as the lines a file the game runs can hold, many times over.)
  const bool viaAlias = !frame.report && !frame.alias.empty() && frame.file == nullptr &&
                        laterCalls_ < (std::size_t{1} << 16);
  laterCalls_ += viaAlias ? 1 : 0;
  if (!deferred_ && (frame.report || viaAlias)) {
    if (command.expanded || viaAlias) {
      auto kept = keptNames_.find(name);
      if (kept == keptNames_.end()) kept = keptNames_.emplace(name).first;
      name = *kept;
    }
    calls_.push_back({command.line, command.column, name, viaAlias});
    return;
  }
  if (!frame.report) return;
  const std::string lower = LowerCase(name);
  const SupportFile* file = SupportDefining(lower);
  if (file != nullptr && !filesRun_.contains(file)) {
    Add(command.line, command.column, Code::kAliasNeedsExec, {name, file->name});
  } else {
    Add(command.line, command.column, Code::kUnknownName, {name});
  }
}

void Console::Bind(Frame& frame, const Command& command, const Words& words) {
  if (words.Count() < 2) {
    Say(frame, command, Code::kBindUsage, {words[0]});
    return;
  }
  const std::string_view key = words[1];
  const KeyVerdict verdict = VerdictOf(game_, key);
  switch (verdict) {
    case KeyVerdict::kNotKeyName:
      if (const std::optional<std::string> meant = SuggestKeyName(game_, key)) {
        Say(frame, command, Code::kNotKeyNameMeant, {key, *meant});
      } else {
        Say(frame, command, Code::kNotKeyName, {key});
      }
      return;
    case KeyVerdict::kHighByte:
      Say(frame, command, Code::kKeyHighByte, {key});
      return;
    case KeyVerdict::kUpperCase:
      Say(frame, command, Code::kUpperCaseKey, {key, LowerCase(key)});
      break;
    case KeyVerdict::kNoSuchKey:
      Say(frame, command, Code::kNoSuchKey, {key});
      break;
    case KeyVerdict::kConsoleKey:
    case KeyVerdict::kMenuKey:
      if (words.Count() >= 3) {
        const std::string_view job = HardwiredJobOf(game_, key);
        const bool own = EqualsIgnoringCase(TrimBlanks(words.Joined(2)), job);
        Say(frame, command, own ? Code::kHardwiredJob : Code::kHardwiredKey, {key, job});
      }
      if (RefusesToBind(game_, key)) return;
      break;
    case KeyVerdict::kRuns:
      if (game_ == Game::kQuake2 && key == ";") Say(frame, command, Code::kSemicolonKey);
      break;
  }
  if (words.Count() == 2) {
    Say(frame, command, Code::kBindShows, {key});
    return;
  }
  if (alone_) return;
  // A binding that never runs is the game's all the same, but no key runs its text.
  const bool runs = verdict == KeyVerdict::kRuns;
  if (!deferred_) {
    const std::string identity = KeyIdentity(game_, key);
    Binding& binding = bindings_[identity];
    std::string text = words.Joined(2);
    // The same text bound again loses nothing.
    if (binding.madeBy >= 0 && binding.text != text) {
      Add(binding.madeBy, -1, Code::kOverridden, {binding.key, std::to_string(command.line + 1)});
    }
    binding.key = identity;
    binding.madeBy =
        frame.script || (!frame.alias.empty() && frame.file == nullptr) ? command.line : -1;
    const bool pressed = frame.script && runs;
    binding.press.line = pressed ? command.line : -1;
    binding.press.column = command.column;
    binding.press.text = pressed ? text : std::string();
    binding.text = std::move(text);
  } else {
    const std::string identity = KeyIdentity(game_, key);
    if (held_ != nullptr && identity == held_->key) held_->toggles = true;
    if (frame.report && runs) PressKey(identity, words.Joined(2), command.line, command.column);
  }
}

void Console::Unbind(Frame& frame, const Command& command, const Words& words) {
  if (words.Count() != 2) {
    Say(frame, command, Code::kBindUsage, {words[0]});
    return;
  }
  switch (VerdictOf(game_, words[1])) {
    case KeyVerdict::kNotKeyName:
      Say(frame, command, Code::kNotKeyName, {words[1]});
      return;
    case KeyVerdict::kHighByte:
      Say(frame, command, Code::kKeyHighByte, {words[1]});
      return;
    default:
      break;
  }
  if (deferred_ || alone_) return;
  const auto found = bindings_.find(KeyIdentity(game_, words[1]));
  if (found == bindings_.end()) return;
  const Binding& binding = found->second;
  if (binding.madeBy >= 0)
    Add(binding.madeBy, -1, Code::kUnbound, {binding.key, std::to_string(command.line + 1)});
  bindings_.erase(found);
}

void Console::UnbindAll(const Command& command) {
  if (deferred_ || alone_) return;
  for (const auto& [identity, binding] : bindings_) {
    if (binding.madeBy >= 0)
      Add(binding.madeBy, -1, Code::kUnbound, {binding.key, std::to_string(command.line + 1)});
  }
  bindings_.clear();
}

void Console::DefineAlias(Frame& frame, const Command& command, const Words& words) {
  if (words.Count() < 2) return;  // lists the aliases
  const std::string_view name = words[1];
  if (name.size() >= limits_.aliasName) {
    Say(frame, command, Code::kAliasNameTooLong,
        {name, GroupDigits(name.size()), GroupDigits(limits_.aliasName)});
    return;
  }
  const NameInfo* info = FindName(game_, name);
  if (info != nullptr && info->IsCommand()) Say(frame, command, Code::kAliasHidden, {name});
  if (alone_) return;
  const std::string lower = LowerCase(name);
  if (held_ != nullptr && held_->ran.contains(lower)) held_->toggles = true;
  if (deferred_) redefined_.insert(lower);
  std::string text = words.Joined(2);
  if (!deferred_) {
    // The aliases its text defines when it runs: a toggle points a name at its next step.
    Words inner;
    ForEachCommandRun(text, game_, inner, [&](const Words& read) {
      if (read.Count() >= 2 && RoleOf(game_, read[0]) == Role::kAlias)
        everDefined_.insert(LowerCase(read[1]));
    });
    if (info != nullptr && info->IsCommand()) clashes_.insert(lower);
    Alias& alias = aliases_[lower];
    if (frame.script) {
      const bool runs = words.Count() >= 3;
      alias.body.line = runs ? command.line : -1;
      alias.body.column = command.column;
      alias.body.text = runs ? text : std::string();
    }
    alias.text = std::move(text);
  } else if (frame.report && words.Count() >= 3) {
    RunText(text, 1, command.line, command.column, lower);
  }
}

void Console::Exec(Frame& frame, const Command& command, const Words& words) {
  if (words.Count() != 2) {
    Say(frame, command, Code::kExecUsage, {GroupDigits(words.Count() - 1)});
    return;
  }
  const std::string_view written = words[1];
  const SupportFile* file = FindFile(written);
  if (file == nullptr) {
    Say(frame, command, Code::kExecUnknownFile, {written});
    return;
  }
  // Yamagi Quake II on Linux opens the name as written, or in lower case.
  if (game_ == Game::kYamagi && written != file->name && LowerCase(written) != file->name)
    Say(frame, command, Code::kExecLetterCase, {written, file->name});
  if (alone_) return;
  const std::size_t size = file->bytes.size();
  if (size > limits_.execFile) {
    Happen(command, Code::kExecDropped,
           {file->name, GroupDigits(size), GroupDigits(limits_.execFile)});
    return;
  }
  // A script too big for exec never runs: what would wait beside the file is not known.
  const std::size_t waiting = Waiting();
  if (!tooBig_ && !limits_.ExecFits(size, waiting)) {
    const std::string limit = GroupDigits(limits_.execFile + 1 - limits_.appended);
    if (frame.file != nullptr) {
      Happen(command, Code::kExecFatalNested,
             {file->name, GroupDigits(size), GroupDigits(waiting), limit, frame.file->name});
    } else {
      Happen(command, Code::kExecFatal,
             {file->name, GroupDigits(size), GroupDigits(waiting), limit});
    }
  }
  if (stack_.size() > 32) return;  // files that run each other
  if (!deferred_) filesRun_.insert(file);
  if (!Followable()) return;
  Frame inner;
  inner.lines = LineCursor::OfBytes(file->bytes);
  inner.total = size + limits_.appended;
  inner.line = command.line;
  inner.column = command.column;
  inner.file = file;
  RunFrame(inner);
}

void Console::CallAlias(const Frame& frame, const Command& command, std::string_view lower) {
  const auto found = aliases_.find(lower);
  if (held_ != nullptr) held_->ran.emplace(lower);
  // An alias that runs itself, with the same text, before any wait stops after 16 rounds.
  // A text that defines its alias anew before running it runs the new text, once; a key
  // the text binds and presses starts a new round.
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
    if ((*it)->waited || (*it)->unfollowed) break;
    if ((*it)->alias == lower && !redefined_.contains(lower) &&
        (found == aliases_.end() || (*it)->aliasText == found->second.text)) {
      Happen(command, Code::kAliasLoop, {lower});
      return;
    }
    if ((*it)->keyPress) break;
  }
  // Texts that run each other this deep or this often are followed no further.
  if (!Followable(++aliasRuns_ <= 64 && stack_.size() <= 32)) return;
  if (found == aliases_.end()) return;  // known by name only: its text is not known here
  // A copy: the text may define the alias anew while it runs.
  const std::string text = found->second.text;
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

// A key of the script goes down and comes up.
void Console::PressKey(std::string_view key, std::string_view text, int line, int column) {
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
      Add(line, column, Code::kButtonHeld, {name});
    return;
  }
  // A button: down runs the whole text with " KEY TIME" after it; up runs "-" and the rest
  // of the text, again with " KEY TIME".
  if (CountCommands(text) > 1)
    Add(line, column, Code::kButtonChain, {Excerpt("-" + std::string(text.substr(1)))});
  Words words;
  ReadWords(text.substr(0, std::min(text.find(';'), text.size())), game_, words);
  if (!words.Empty() && words[0].size() > 1) {
    const std::string release = "-" + std::string(words[0].substr(1));
    auto known = [&](const std::string& name) {
      const NameInfo* named = FindName(game_, name);
      const std::string folded = LowerCase(name);
      return (named != nullptr && (named->IsCommand() || named->IsCvar())) || IsAlias(folded) ||
             supportAliases_.contains(folded);
    };
    // An unknown "+" name has its own finding; a known one needs its "-" too.
    if (known(std::string(words[0])) && !known(release))
      Add(line, column, Code::kButtonRelease, {release});
  }
  Held* const outer = std::exchange(held_, nullptr);
  RunText(text, 14, line, column, {}, true);
  held_ = outer;
}

void Console::RunText(std::string_view text, std::size_t extra, int line, int column,
                      std::string alias, bool keyPress) {
  Frame frame;
  frame.lines = LineCursor::OfLine(Line{text, false, true});
  frame.total = text.size() + extra;
  frame.report = true;
  frame.line = line;
  frame.column = column;
  frame.alias = std::move(alias);
  frame.aliasText = text;
  frame.keyPress = keyPress;
  if (stack_.empty()) redefined_.clear();  // a new text of the deferred pass
  const int runs = aliasRuns_;
  aliasRuns_ = 0;
  RunFrame(frame);
  aliasRuns_ = runs;
}

// ---------------------------------------------------------------------------------------

CheckResult CheckScript(std::string_view bytes, Game game, const SupportFiles& support) {
  return Console(game, support, false).Run(LineCursor::OfBytes(bytes), 0);
}

CheckResult CheckList(const StringList& entries, std::size_t headerBytes, Game game,
                      const SupportFiles& support) {
  return Console(game, support, false).Run(LineCursor::OfList(entries), headerBytes);
}

CheckResult CheckLine(std::string_view line, Game game) {
  return Console(game, {}, true).Run(LineCursor::OfLine(Line{line, true, true}), 0);
}

}  // namespace tavrilo::game
