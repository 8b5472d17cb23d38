// SPDX-License-Identifier: GPL-3.0-or-later
// The interpreter of the game's command buffer: the texts in it (the script, a file exec
// put there, the text of an alias or of a key), one inside the other as frames, and what
// the commands change: aliases, bindings, cvars. It runs the script as the game's console
// does, and then, once the script has run, what its keys and aliases run with everything
// the script left behind. What one command says on its own is judged by game/Rules.h;
// what the interpreter finds by running (a binding lost, an alias defined later or
// running itself, a file that does not fit beside the waiting text) is said here.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "game/Check.h"
#include "game/CommandReader.h"
#include "game/Findings.h"
#include "game/GameState.h"
#include "game/Names.h"
#include "game/Rules.h"

namespace tavrilo::game {

// Maps and sets of names looked up without a copy of the name.
template <typename Value>
using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;
using TextSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;

// The support files exec finds, and the aliases they define (themselves or through the
// support files they run).
class SupportLibrary {
 public:
  SupportLibrary(Game game, const SupportFiles& files);
  // The file exec finds under `name` (any letter case), or nullptr.
  const SupportFile* Find(std::string_view name) const;
  // The file that defines the alias `lower`, or nullptr.
  const SupportFile* Defining(std::string_view lower) const;
  const TextMap<std::size_t>& Aliases() const { return aliases_; }

 private:
  void CollectAliases(std::size_t file, std::size_t definer, std::size_t depth);

  Game game_;
  std::vector<SupportFile> files_;
  TextMap<std::size_t> aliases_;  // name in lower case -> the file defining it
};

// The files of the checked file's folder that exec asks for during one check, each read
// once, when a name first asks for it.
class FolderFiles {
 public:
  FolderFiles(Game game, const FilesBeside& beside) : game_(game), beside_(beside) {}
  // The file the game opens under `name` in the folder, or nullptr.
  const SupportFile* Find(std::string_view name);

 private:
  Game game_;
  const FilesBeside& beside_;
  std::deque<std::string> bytes_;       // the files read so far...
  std::deque<SupportFile> files_;       // ... as exec finds them (kept in place)
  TextMap<const SupportFile*> byName_;  // a name as written -> its file, or nullptr
};

// What the script leaves behind, and what the pass after it needs.
struct ConsoleState {
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
    Origin origin;     // the file and line that made it (the file empty: the list)
  };
  struct Alias {
    std::string text;  // what the name runs now
    Pending body;      // the script's last definition, run once the script has run
    Origin origin;     // the file and line that defined it last
  };
  // A name the script ran before any alias of that name.
  struct Call {
    int line;
    int column;
    std::string_view name;  // in the script's line, or in `keptNames`
    bool viaAlias;          // run by an alias the line runs, whose text runs again later
  };

  explicit ConsoleState(Game game, const SupportLibrary& library);

  TextMap<Alias> aliases;  // name in lower case -> its texts
  TextMap<Binding> bindings;
  TextSet madeCvars;    // made by set
  TextSet everDefined;  // the names alias texts define when they run
  TextSet clashes;      // names both a command and an alias
  std::unordered_set<const SupportFile*> filesRun;
  std::deque<Call> calls;  // names the script ran before any alias of that name
  // The line that called last, its first calls, and their names once they are more than a
  // few (called directly, through an alias), while there are not too many of them: a name
  // that line calls again the same way is not kept again, as it would be said the same.
  int lineOfCalls = -1;
  std::size_t lineCallCount = 0;
  std::array<Call, 8> lineFirstCalls{};
  std::array<std::unordered_set<std::string_view>, 2> lineCalledNames;
  static constexpr std::size_t kLineCallsSeen = std::size_t{1} << 16;
  // Past FindingCollector::kListed calls, whose findings could only be counted: each name
  // with the times it was called directly and through an alias, while there are not too
  // many names; past those, the direct calls of other names, said as unknown names.
  struct UnlistedCalls {
    std::size_t direct = 0;
    std::size_t viaAlias = 0;
  };
  std::unordered_map<std::string_view, UnlistedCalls> unlistedCalls;
  std::size_t unlistedOtherCalls = 0;
  int firstUnlistedCall = -1;  // its line
  static constexpr std::size_t kUnlistedNamesKept = std::size_t{1} << 16;
  TextSet keptNames;           // their names that $ expansion or an alias wrote, each kept once
  std::size_t laterCalls = 0;  // names run by aliases, kept in `calls` (Bounds::kLaterCallsKept)
  // Commands of the texts the script runs (files, aliases), against Bounds::kFollowedCommands.
  std::size_t followed = 0;
  std::size_t scriptSize = 0;  // the bytes exec reads of the script
  // The values cvars were given (by their name as written), and what reached the game: when
  // not null, each command the game runs as a command of the program or sends to the
  // server (its words joined by a blank) and each cvar set ("name value").
  std::map<std::string, std::string, std::less<>> cvarValues;
  std::map<std::string, Origin, std::less<>> cvarOrigins;  // the line that set each last
  // The file whose text runs, for the origins of what it makes: one of the player's own
  // start-up files; empty for the list checked, whose lines replacing the player's
  // bindings are said.
  std::string source;
  std::vector<std::string>* reached = nullptr;

  // The lines of the last script are gone: what it bound and defined is the state's own.
  void ForgetLines();
  // Keeps `call` in `calls`, unless its line called the same name the same way last.
  void KeepCall(const Call& call);
};

// Runs texts in the command buffer. What a command changes in the console's state is the
// part of each phase: the script running, the pass after it, a line on its own.
class Interpreter {
 public:
  // `folder`: the files beside the checked one; none when null.
  Interpreter(Game game, const SupportLibrary& library, ConsoleState& state, FindingCollector& sink,
              FolderFiles* folder = nullptr);
  virtual ~Interpreter() = default;
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Runs the `count` lines of the script (its first `consumed` bytes being comment lines,
  // its line `cutLine` read up to byte `cutAt`, a NUL).
  void RunScript(LineCursor lines, std::size_t count, std::size_t consumed, std::size_t cutLine,
                 std::size_t cutAt);

 protected:
  // A text in the command buffer.
  struct Frame {
    LineCursor lines;
    std::size_t count = SIZE_MAX;  // the lines that run
    std::size_t total = 0;         // the bytes it put in the buffer
    std::size_t consumed = 0;      // the bytes taken out of the buffer so far
    bool script = false;           // the lines of the checked script itself
    bool report = false;           // its text is the script's own: what it says is reported
    int line = 0;                  // the script's line it comes from
    int column = -1;
    std::size_t cutLine = SIZE_MAX;  // the line the game reads up to a NUL byte only...
    std::size_t cutAt = 0;           // ... and where the NUL is
    std::string alias;               // the alias whose text it is
    std::string_view aliasText;      // ... and that text, as it was when it ran
    // A text that starts anew, not inside the texts below it: what a key runs, or an alias's
    // text judged where a text defines it.
    bool startsAnew = false;
    const SupportFile* file = nullptr;  // the support file it is, or runs inside
    bool waited = false;                // a wait ran in it
    bool unfollowed = false;            // an alias it ran was past what the model follows
  };

  // What each phase does with the commands that change the console's state.
  virtual bool IsAlias(std::string_view lower) const = 0;
  virtual void Bound(Frame& frame, const Command& command, std::string_view key, bool runs,
                     const Words& words) = 0;
  virtual void Unbound(const Command& command, std::string_view key) = 0;
  virtual void AllUnbound(const Command& command) = 0;
  virtual void Defined(Frame& frame, const Command& command, std::string_view lower,
                       const Words& words, const NameInfo* info) = 0;
  virtual void CvarMade(std::string_view lower) { state_.madeCvars.insert(std::string(lower)); }
  virtual void FileRan(const SupportFile* /*file*/) {}
  virtual void Unresolved(const Frame& frame, const Command& command, std::string_view name) = 0;
  // A name run, and an alias run (what a key press runs, for the pass after the script).
  virtual void Ran(std::string_view /*lower*/, const NameInfo* /*info*/) {}
  virtual void AliasRan(std::string_view /*lower*/) {}
  // A command that reaches the game, and a cvar given a value.
  virtual void Reached(const Words& /*words*/) {}
  virtual void CvarSet(const Command& /*command*/, std::string_view /*name*/,
                       std::string_view /*value*/) {}
  // The text a text of the pass after the script gave an alias as it runs, or nullptr.
  virtual const std::string* TextDefinedAnew(std::string_view /*lower*/) const { return nullptr; }

  void RunFrame(Frame& frame);
  // What a command of `frame` says: reported for the script's own text only.
  Say SayFor(const Frame& frame, const Command& command) {
    return Say(frame.report ? &sink_ : nullptr, command);
  }
  // What running a text leads to, wherever the text comes from.
  void Happen(const Command& command, Code code, std::initializer_list<std::string_view> args) {
    sink_.Add(command.line, command.column, code, args);
  }
  std::size_t Depth() const { return stack_.size(); }
  bool StackEmpty() const { return stack_.empty(); }
  void ResetAliasRuns(std::size_t runs) { aliasRuns_ = runs; }
  std::size_t AliasRuns() const { return aliasRuns_; }

  Game game_;
  Limits limits_;
  const SupportLibrary& library_;
  FolderFiles* folder_;
  ConsoleState& state_;
  FindingCollector& sink_;

 private:
  void RunCommand(Frame& frame, std::string_view text, const Command& where);
  std::string_view Expand(const Frame& frame, const Command& command, std::string_view text);
  void Execute(Frame& frame, const Command& command);
  void RunProgramCommand(Frame& frame, const Command& command, const Words& words,
                         const NameInfo& info);
  void Exec(Frame& frame, const Command& command, const Words& words);
  // The file exec runs under `name`: a support file, else one beside the checked file.
  const SupportFile* FindFile(std::string_view name);
  void CallAlias(const Frame& frame, const Command& command, std::string_view lower);
  std::size_t Waiting() const;
  // Whether a text may still be followed; when not, what the running texts would do next
  // is not known (no loop is said of them).
  bool Followable(bool withinBounds = true);

  // What a command being run at a depth of the stack reads into, reused.
  struct Scratch {
    Words words;
    std::string expanded;  // the command with its $ references replaced
  };
  Scratch& ScratchAt(std::size_t depth);

  std::vector<Frame*> stack_;
  std::deque<Scratch> scratch_;  // one per depth of the stack
  std::size_t aliasRuns_ = 0;    // alias texts run for one command of the script or one key
};

// The script running: bindings, aliases and cvars change; a name not yet an alias waits
// for the end of the script.
class ScriptRun : public Interpreter {
 public:
  using Interpreter::Interpreter;

 private:
  bool IsAlias(std::string_view lower) const override;
  void Bound(Frame& frame, const Command& command, std::string_view key, bool runs,
             const Words& words) override;
  void Unbound(const Command& command, std::string_view key) override;
  void AllUnbound(const Command& command) override;
  void Defined(Frame& frame, const Command& command, std::string_view lower, const Words& words,
               const NameInfo* info) override;
  void FileRan(const SupportFile* file) override { state_.filesRun.insert(file); }
  void Reached(const Words& words) override;
  void CvarSet(const Command& command, std::string_view name, std::string_view value) override;
  void Unresolved(const Frame& frame, const Command& command, std::string_view name) override;
};

// Once the script has run: each key the script binds is pressed, and the text of each
// alias it defines is run, with every alias and binding the script left behind; nothing
// changes them any more.
class Afterwards : public Interpreter {
 public:
  using Interpreter::Interpreter;
  // Presses the keys, runs the aliases' texts, and says what the names the script ran
  // before any alias of that name turned out to be.
  void Run();

 private:
  // While a key that is no button runs its text: the "+" commands it has run and not
  // released, and whether it defines an alias (a toggle, whose next press releases them).
  struct Held {
    std::string key;  // the key pressed
    std::vector<std::string> names;
    TextSet ran;           // the aliases the press ran
    bool toggles = false;  // it defines one of them anew, or binds its own key anew
  };

  bool IsAlias(std::string_view lower) const override;
  void Bound(Frame& frame, const Command& command, std::string_view key, bool runs,
             const Words& words) override;
  void Unbound(const Command&, std::string_view) override {}
  void AllUnbound(const Command&) override {}
  void Defined(Frame& frame, const Command& command, std::string_view lower, const Words& words,
               const NameInfo* info) override;
  void CvarMade(std::string_view) override {}
  void Unresolved(const Frame& frame, const Command& command, std::string_view name) override;
  void Ran(std::string_view lower, const NameInfo* info) override;
  void AliasRan(std::string_view lower) override;
  const std::string* TextDefinedAnew(std::string_view lower) const override {
    const auto found = redefined_.find(lower);
    return found == redefined_.end() ? nullptr : &found->second;
  }

  void PressKey(std::string_view key, std::string_view text, int line, int column);
  void CheckRelease(std::string_view text, int line, int column);
  void RunText(std::string_view text, std::size_t extra, int line, int column, std::string alias,
               bool startsAnew = false);
  void SayCalls();

  TextMap<std::string> redefined_;  // aliases the text running defines anew: their text
  Held* held_ = nullptr;
};

// One line on its own: no alias, no other line, no file is known, and nothing is kept.
class LineOnItsOwn : public Interpreter {
 public:
  using Interpreter::Interpreter;

 private:
  bool IsAlias(std::string_view) const override { return false; }
  void Bound(Frame&, const Command&, std::string_view, bool, const Words&) override {}
  void Unbound(const Command&, std::string_view) override {}
  void AllUnbound(const Command&) override {}
  void Defined(Frame&, const Command&, std::string_view, const Words&, const NameInfo*) override {}
  void Unresolved(const Frame&, const Command&, std::string_view) override {}
};

}  // namespace tavrilo::game
