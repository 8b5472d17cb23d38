// The check of one script line, on its own: what the game does with it, and the facts
// that a list-wide check needs (the keys it binds, the aliases it defines and calls, the
// support files it runs). Used by ListDiagnostics; the window and the command line use
// that class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "game/Console.h"
#include "game/Diagnostics.h"
#include "game/Game.h"

namespace tavrilo::game::check {

// The kinds of finding. The first ones depend on the line alone; the last four on the
// rest of the list too.
enum class Kind : std::uint8_t {
  // the game does not run the line as shown
  kUnmatchedQuote,
  kCommandDiscarded,
  kCommandCut,
  kWordCut,
  kWordLost,
  kKeyHighByte,
  kNotKeyName,
  kNotKeyNameMeant,
  kUpperCaseKey,
  kNoSuchKey,
  kConsoleKey,
  kMenuKey,
  kAliasNameTooLong,
  kAliasHidden,
  kCommentRunsOn,
  // worth knowing
  kChatSemicolon,
  kChatCvar,
  kChatComment,
  kRawQuotedArgs,
  kUnknownItem,
  kHighByteSplits,
  kReleaseRepeats,
  // list-wide
  kOverridden,
  kUnknownName,
  kAliasNeedsExec,
  kExecOverflow,
  kCount
};

Severity SeverityOf(Kind kind);
// The caption key of a kind's text ("Check.UnmatchedQuote").
std::string KeyOf(Kind kind);
// The kinds of `mask` (bit i for Kind i) folded to their worst severity.
Severity WorstOfKinds(std::uint32_t mask);

constexpr std::uint32_t Bit(Kind kind) {
  return std::uint32_t{1} << static_cast<unsigned>(kind);
}

enum class FactType : std::uint8_t {
  kBind,    // id: the key; a binding made when the file runs
  kDefine,  // id: the alias name
  kCall,    // id: a name run that is neither a command nor a cvar of the game
  kExec,    // id: the support file; offset: the end of the command in the line
};

struct Fact {
  FactType type;
  std::int32_t id;
  std::uint32_t offset;
};

// A finding of the line alone, with the values of its text.
struct Detail {
  Kind kind;
  std::vector<std::string> args;
};

struct StringHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
  }
};
template <typename Value>
using StringMap = std::unordered_map<std::string, Value, StringHash, std::equal_to<>>;

// Numbers for the keys and the names (folded to lower case) that the lines of a list use.
class Interner {
 public:
  std::int32_t Key(std::string_view identity) { return Intern(keys_, identity); }
  std::int32_t Name(std::string_view lower) { return Intern(names_, lower); }
  std::size_t KeyCount() const { return keys_.size(); }
  std::size_t NameCount() const { return names_.size(); }

 private:
  static std::int32_t Intern(StringMap<std::int32_t>& map, std::string_view text);
  StringMap<std::int32_t> keys_;
  StringMap<std::int32_t> names_;
};

// What the check of a line gives. `facts` is appended to; `details` and `spelled` (the
// written key, name or file of each fact) are filled only when given.
struct LineOutput {
  std::uint32_t kinds = 0;
  std::vector<Fact>* facts = nullptr;
  std::vector<Detail>* details = nullptr;
  std::vector<std::string>* spelled = nullptr;
};

class LineAnalyzer {
 public:
  // `supportFiles`: the support files exec may name, numbered in the map's order.
  LineAnalyzer(Game game, Interner& interner, const SupportFiles& supportFiles);

  // Checks `line` (without its line end); `crAfter` when the file puts a CR after it.
  void Analyze(std::string_view line, bool crAfter, LineOutput& out);

 private:
  static constexpr int kMaxDepth = 3;  // the line, a bound or alias text, one more level

  struct KeyInfo {
    std::int32_t id = -1;  // -1: the game binds nothing
    bool hasKind = false;
    Kind kind = Kind::kCount;
  };
  struct NameInfo {
    bool known = false;  // a command or cvar of the game
    std::int32_t id = -1;
  };

  void ScriptLine(std::string_view line, bool crAfter, int depth);
  void Command(std::string_view command, std::string_view rest, bool last, bool crAfter,
               std::uint32_t end, int depth);
  void Run(const Words& words, std::uint32_t end, int depth);
  void Other(const Words& words);
  void BoundText(std::string_view text, int depth);
  void Script(std::string_view text, int depth);
  std::int32_t CheckKey(std::string_view key);
  const NameInfo& Name(std::string_view name);
  void AddFact(FactType type, std::int32_t id, std::uint32_t offset, std::string_view spelled);

  template <typename Args>
  void Found(Kind kind, Args&& args) {
    out_->kinds |= Bit(kind);
    if (out_->details != nullptr) out_->details->push_back({kind, args()});
  }
  void Found(Kind kind) {
    Found(kind, [] { return std::vector<std::string>(); });
  }

  Game game_;
  Limits limits_;
  Interner& interner_;
  StringMap<std::int32_t> supportIndex_;
  StringMap<KeyInfo> keys_;
  StringMap<NameInfo> names_;
  Words words_[kMaxDepth + 1];
  std::string joined_[kMaxDepth + 1];
  LineOutput* out_ = nullptr;
};

// The start of a text for a message: at most `length` bytes, then an ellipsis.
std::string Excerpt(std::string_view text, std::size_t length = 40);

}  // namespace tavrilo::game::check
