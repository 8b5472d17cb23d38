// The check of one script line, on its own: what the game does with it, and the facts
// that a list-wide check needs (the keys it binds, the aliases it defines and calls, the
// support files it runs). Used by ListDiagnostics; the window and the command line use
// that class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
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

// Eight bytes: a list of a million lines keeps a couple of million of them.
class Fact {
 public:
  Fact(FactType type, std::int32_t id, std::uint32_t offset)
      : typeAndId_(static_cast<std::uint32_t>(type) << kIdBits | static_cast<std::uint32_t>(id)),
        offset_(offset) {}
  FactType Type() const { return static_cast<FactType>(typeAndId_ >> kIdBits); }
  std::int32_t Id() const { return static_cast<std::int32_t>(typeAndId_ & kIdMask); }
  std::uint32_t Offset() const { return offset_; }

 private:
  static constexpr unsigned kIdBits = 28;
  static constexpr std::uint32_t kIdMask = (std::uint32_t{1} << kIdBits) - 1;
  std::uint32_t typeAndId_;
  std::uint32_t offset_;
};

// A finding of the line alone, with the values of its text.
struct Detail {
  Kind kind;
  std::vector<std::string> args;
};

struct StringHash {
  using is_transparent = void;
  // FNV-1a: the names and keys are short.
  std::size_t operator()(std::string_view text) const {
    std::size_t hash = 14695981039346656037ull;
    for (char c : text)
      hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
  }
};
template <typename Value>
using StringMap = std::unordered_map<std::string, Value, StringHash, std::equal_to<>>;

// The value of each text, made once: a map behind a small direct-mapped cache, since a
// list names the same few keys and commands again and again.
template <typename Value>
class Memo {
 public:
  template <typename Make>
  const Value& Get(std::string_view text, Make&& make) {
    const std::pair<const std::string, Value>*& slot = slots_[StringHash{}(text) % kSlots];
    if (slot != nullptr && Same(slot->first, text)) return slot->second;
    auto found = map_.find(text);
    if (found == map_.end()) found = map_.emplace(std::string(text), make(text)).first;
    slot = &*found;
    return found->second;
  }

 private:
  // Names and keys are a few bytes: a plain loop beats a call to memcmp.
  static bool Same(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i] != b[i]) return false;
    }
    return true;
  }

  static constexpr std::size_t kSlots = 256;
  const std::pair<const std::string, Value>* slots_[kSlots] = {};
  StringMap<Value> map_;
};

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
  std::deque<Fact>* facts = nullptr;
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
    bool chat = false;   // say, say_team
    bool raw = false;    // reads its arguments raw
    bool item = false;   // names an item with its arguments
    std::int32_t id = -1;
  };

  void ScriptLine(std::string_view line, bool crAfter, int depth);
  void Command(std::string_view command, std::string_view rest, bool last, bool crAfter,
               std::uint32_t end, int depth);
  void Run(const ConsoleCommand& command, std::uint32_t end, int depth);
  void Other(const Words& words, const NameInfo& info);
  void BoundText(std::string_view text, int depth);
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
  Memo<KeyInfo> keys_;
  Memo<NameInfo> names_;
  std::string release_;  // the release command of a bound text
  Words words_[kMaxDepth + 1];
  std::string joined_[kMaxDepth + 1];
  LineOutput* out_ = nullptr;
};

// The start of a text for a message: at most `length` bytes, then an ellipsis.
std::string Excerpt(std::string_view text, std::size_t length = 40);

}  // namespace tavrilo::game::check
