#include "game/Diagnostics.h"

#include <algorithm>
#include <bit>
#include <deque>
#include <functional>
#include <queue>
#include <utility>

#include "game/Console.h"
#include "game/ScriptCheck.h"

namespace tavrilo::game {

namespace {

using check::Fact;
using check::FactType;
using check::Kind;

constexpr std::size_t kMaxSupportFiles = 32;  // one bit each

std::size_t LineEndBytes(LineEnd end) {
  switch (end) {
    case LineEnd::kCrLf:
      return 2;
    case LineEnd::kLf:
      return 1;
    case LineEnd::kNone:
      break;
  }
  return 0;
}

Finding FindingOf(Kind kind, std::vector<std::string> args) {
  return {check::SeverityOf(kind), Text{check::KeyOf(kind), std::move(args)}};
}

}  // namespace

class ListDiagnostics::State {
 public:
  State(const StringList& list, Game chosen, SupportFiles files, std::size_t header)
      : entries(list), game(chosen), support(std::move(files)), headerSize(header) {
    Prepare();
    Recheck({});
  }

  // ---- what a call may be --------------------------------------------------------

  enum class CallStatus { kKnown, kNeedsExec, kUnknown };

  std::uint32_t DefinedBy(std::int32_t name) const {
    const auto index = static_cast<std::size_t>(name);
    return index < definedBy.size() ? definedBy[index] : 0;
  }

  CallStatus StatusOf(std::int32_t name) const {
    if (definitions[static_cast<std::size_t>(name)] > 0) return CallStatus::kKnown;
    const std::uint32_t definers = DefinedBy(name);
    if (definers == 0) return CallStatus::kUnknown;
    for (std::size_t file = 0; file < execs.size(); ++file) {
      if (execs[file] > 0 && (runs[file] & definers) != 0) return CallStatus::kKnown;
    }
    return CallStatus::kNeedsExec;
  }

  struct ExecAt {
    int entry;
    std::int32_t file;
    std::size_t afterStart;  // where the text after the command begins, in the entries
  };

  std::size_t Buffer() const { return LimitsOf(game).commandBuffer; }

  // The entries' size from which the text after `exec` no longer fits beside its file.
  std::size_t OverflowThreshold(const ExecAt& exec) const {
    const std::size_t fileSize = supportSizes[static_cast<std::size_t>(exec.file)];
    return exec.afterStart + Buffer() - std::min(fileSize, Buffer());
  }
  bool Overflows(const ExecAt& exec) const { return entriesSize >= OverflowThreshold(exec); }
  std::size_t AfterSize(const ExecAt& exec) const { return entriesSize - exec.afterStart; }

  // ---- rows ----------------------------------------------------------------------

  std::size_t FactsBegin(int row) const {
    return row == 0 ? 0 : rows[static_cast<std::size_t>(row - 1)].factsEnd;
  }
  std::size_t FactsEnd(int row) const { return rows[static_cast<std::size_t>(row)].factsEnd; }

  // Checks the list's entry `row` (the next one) and records it.
  void AddRow(int row, LineEnd end, bool track) {
    const std::string_view text = entries.At(row);
    check::LineOutput out;
    out.facts = &facts;
    const std::size_t begin = facts.size();
    analyzer->Analyze(text, end == LineEnd::kCrLf, out);
    rows.push_back({out.kinds, static_cast<std::uint32_t>(facts.size()), end});
    GrowTables();
    const std::size_t start = entriesSize;
    entriesSize += text.size() + LineEndBytes(end);
    for (std::size_t i = begin; i < facts.size(); ++i)
      Apply(row, facts[i], start, text.size(), end, track);
    if (track) {
      while (!pending.empty() && pending.top().first <= entriesSize) {
        Mark(pending.top().second);
        pending.pop();
      }
      Mark(row);
      changes.size = true;
    }
  }

  void Apply(int row, const Fact& fact, std::size_t start, std::size_t length, LineEnd end,
             bool track) {
    const auto id = static_cast<std::size_t>(fact.Id());
    switch (fact.Type()) {
      case FactType::kBind:
        if (track && lastBinder[id] >= 0) Mark(lastBinder[id]);
        lastBinder[id] = row;
        break;
      case FactType::kDefine:
        if (definitions[id]++ == 0 && track && calls[id] > 0) MarkAll();
        break;
      case FactType::kCall:
        ++calls[id];
        break;
      case FactType::kExec: {
        if (execs[id]++ == 0 && track) MarkAll();
        const std::size_t after =
            fact.Offset() == length ? length + LineEndBytes(end) : fact.Offset();
        const ExecAt exec{row, fact.Id(), start + after};
        execList.push_back(exec);
        if (!Overflows(exec)) pending.emplace(OverflowThreshold(exec), row);
        break;
      }
    }
  }

  // The list-wide tables again from the rows' facts, without checking any line.
  void Rebuild() {
    ClearTables();
    std::size_t begin = 0;
    for (std::size_t row = 0; row < rows.size(); ++row) {
      const int index = static_cast<int>(row);
      const std::size_t length = entries.At(index).size();
      const std::size_t start = entriesSize;
      entriesSize += length + LineEndBytes(rows[row].end);
      for (std::size_t i = begin; i < rows[row].factsEnd; ++i)
        Apply(index, facts[i], start, length, rows[row].end, false);
      begin = rows[row].factsEnd;
    }
  }

  // Checks every entry again, each with its line end in `ends` (CR LF past its end).
  void Recheck(const std::vector<LineEnd>& ends) {
    rows.clear();
    facts.clear();
    ClearTables();
    for (int row = 0; row < entries.Count(); ++row) {
      const auto index = static_cast<std::size_t>(row);
      AddRow(row, index < ends.size() ? ends[index] : LineEnd::kCrLf, false);
    }
    MarkAll();
    changes.size = true;
  }

  void Remove(int index) {
    const std::size_t begin = FactsBegin(index);
    const std::size_t count = FactsEnd(index) - begin;
    facts.erase(facts.begin() + static_cast<std::ptrdiff_t>(begin),
                facts.begin() + static_cast<std::ptrdiff_t>(begin + count));
    rows.erase(rows.begin() + index);
    for (std::size_t row = static_cast<std::size_t>(index); row < rows.size(); ++row)
      rows[row].factsEnd -= static_cast<std::uint32_t>(count);
    Rebuild();
    MarkAll();
    changes.size = true;
  }

  std::vector<LineEnd> Ends() const {
    std::vector<LineEnd> ends;
    ends.reserve(rows.size());
    for (const auto& row : rows)
      ends.push_back(row.end);
    return ends;
  }

  // ---- support files and tables ---------------------------------------------------

  // The analyzer for the game, and what each support file defines and runs.
  void Prepare() {
    analyzer = std::make_unique<check::LineAnalyzer>(game, interner, support);
    supportSizes.clear();
    runs.clear();
    definedBy.clear();
    std::deque<Fact> fileFacts;
    for (const auto& [name, bytes] : support) {
      const std::size_t file = supportSizes.size();
      supportSizes.push_back(bytes.size());
      runs.push_back(file < kMaxSupportFiles ? std::uint32_t{1} << file : 0);
      if (file >= kMaxSupportFiles) continue;
      for (std::string_view line : LinesOf(bytes)) {
        const bool cr = line.ends_with('\r');
        if (cr) line.remove_suffix(1);
        fileFacts.clear();
        check::LineOutput out;
        out.facts = &fileFacts;
        analyzer->Analyze(line, cr, out);
        for (const Fact& fact : fileFacts) {
          const auto id = static_cast<std::size_t>(fact.Id());
          if (fact.Type() == FactType::kDefine) {
            if (definedBy.size() <= id) definedBy.resize(id + 1, 0);
            definedBy[id] |= std::uint32_t{1} << file;
          } else if (fact.Type() == FactType::kExec && id < kMaxSupportFiles) {
            runs[file] |= std::uint32_t{1} << id;
          }
        }
      }
    }
    // A file runs what the files it runs run.
    for (bool grew = true; grew;) {
      grew = false;
      for (std::uint32_t& ran : runs) {
        std::uint32_t all = ran;
        for (std::size_t file = 0; file < runs.size() && file < kMaxSupportFiles; ++file) {
          if ((ran & (std::uint32_t{1} << file)) != 0) all |= runs[file];
        }
        grew = grew || all != ran;
        ran = all;
      }
    }
  }

  void ClearTables() {
    lastBinder.assign(interner.KeyCount(), -1);
    definitions.assign(interner.NameCount(), 0);
    calls.assign(interner.NameCount(), 0);
    execs.assign(supportSizes.size(), 0);
    execList.clear();
    pending = {};
    entriesSize = 0;
  }

  void GrowTables() {
    if (lastBinder.size() < interner.KeyCount()) lastBinder.resize(interner.KeyCount(), -1);
    if (definitions.size() < interner.NameCount()) {
      definitions.resize(interner.NameCount(), 0);
      calls.resize(interner.NameCount(), 0);
    }
  }

  void Mark(int row) {
    changes.first = changes.first < 0 ? row : std::min(changes.first, row);
    changes.last = std::max(changes.last, row);
  }
  void MarkAll() {
    changes.first = entries.Count() > 0 ? 0 : -1;
    changes.last = entries.Count() - 1;
  }

  // ---- findings ---------------------------------------------------------------------

  // The exec commands of `row`, in the order of its facts.
  std::pair<std::size_t, std::size_t> ExecsOf(int row) const {
    auto range =
        std::equal_range(execList.begin(), execList.end(), ExecAt{row, 0, 0},
                         [](const ExecAt& a, const ExecAt& b) { return a.entry < b.entry; });
    return {static_cast<std::size_t>(range.first - execList.begin()),
            static_cast<std::size_t>(range.second - execList.begin())};
  }

  Severity WorstOf(int row) const {
    Severity worst = check::WorstOfKinds(rows[static_cast<std::size_t>(row)].kinds);
    std::size_t exec = ExecsOf(row).first;
    for (std::size_t i = FactsBegin(row); i < FactsEnd(row) && worst != Severity::kError; ++i) {
      const Fact& fact = facts[i];
      Severity severity = Severity::kNone;
      if (fact.Type() == FactType::kBind) {
        if (lastBinder[static_cast<std::size_t>(fact.Id())] > row) severity = Severity::kError;
      } else if (fact.Type() == FactType::kCall) {
        const CallStatus status = StatusOf(fact.Id());
        if (status == CallStatus::kUnknown) severity = Severity::kError;
        if (status == CallStatus::kNeedsExec) severity = Severity::kNote;
      } else if (fact.Type() == FactType::kExec) {
        if (Overflows(execList[exec++])) severity = Severity::kNote;
      }
      worst = std::max(worst, severity);
    }
    return worst;
  }

  std::vector<Finding> FindingsOf(int row) {
    std::vector<check::Detail> details;
    std::deque<Fact> rowFacts;
    std::vector<std::string> spelled;
    check::LineOutput out;
    out.facts = &rowFacts;
    out.details = &details;
    out.spelled = &spelled;
    analyzer->Analyze(entries.At(row), rows[static_cast<std::size_t>(row)].end == LineEnd::kCrLf,
                      out);
    std::vector<Finding> findings;
    for (check::Detail& detail : details)
      findings.push_back(FindingOf(detail.kind, std::move(detail.args)));
    std::uint32_t namedFiles = 0;  // one note per support file to run
    std::size_t exec = ExecsOf(row).first;
    for (std::size_t i = 0; i < rowFacts.size(); ++i) {
      const Fact& fact = rowFacts[i];
      if (fact.Type() == FactType::kBind) {
        if (lastBinder[static_cast<std::size_t>(fact.Id())] > row)
          findings.push_back(FindingOf(Kind::kOverridden, {spelled[i]}));
      } else if (fact.Type() == FactType::kCall) {
        const CallStatus status = StatusOf(fact.Id());
        if (status == CallStatus::kUnknown) {
          findings.push_back(FindingOf(Kind::kUnknownName, {spelled[i]}));
        } else if (status == CallStatus::kNeedsExec) {
          const auto file = static_cast<std::uint32_t>(std::countr_zero(DefinedBy(fact.Id())));
          if ((namedFiles & (std::uint32_t{1} << file)) != 0) continue;
          namedFiles |= std::uint32_t{1} << file;
          findings.push_back(FindingOf(Kind::kAliasNeedsExec, {spelled[i], FileName(file)}));
        }
      } else if (fact.Type() == FactType::kExec) {
        const ExecAt& at = execList[exec++];
        if (Overflows(at)) {
          findings.push_back(
              FindingOf(Kind::kExecOverflow,
                        {spelled[i], GroupDigits(supportSizes[static_cast<std::size_t>(at.file)]),
                         GroupDigits(AfterSize(at)), GroupDigits(Buffer() - 1)}));
        }
      }
    }
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.severity > b.severity; });
    return findings;
  }

  std::string FileName(std::uint32_t file) const {
    auto it = support.begin();
    std::advance(it, file);
    return it->first;
  }

  const StringList& entries;
  Game game;
  SupportFiles support;
  std::size_t headerSize;

  check::Interner interner;
  std::unique_ptr<check::LineAnalyzer> analyzer;
  std::vector<std::size_t> supportSizes;  // per support file, in the map's order
  std::vector<std::uint32_t> runs;        // per support file: the files it runs, itself too
  std::vector<std::uint32_t> definedBy;   // per name: the support files defining it

  // Rows and facts grow by chunks: an append never moves the million before it.
  struct Row {
    std::uint32_t kinds;     // the kinds of the line's own findings
    std::uint32_t factsEnd;  // the end of its facts in `facts`
    LineEnd end;
  };
  std::deque<Row> rows;
  std::deque<Fact> facts;

  std::vector<std::int32_t> lastBinder;   // per key: the last row binding it, or -1
  std::vector<std::int32_t> definitions;  // per name: the rows defining it as an alias
  std::vector<std::int32_t> calls;        // per name: the rows running it
  std::vector<std::int32_t> execs;        // per support file: the rows running it
  std::vector<ExecAt> execList;           // in row order
  // The exec commands whose text after still fits: the size at which it no longer will.
  std::priority_queue<std::pair<std::size_t, int>, std::vector<std::pair<std::size_t, int>>,
                      std::greater<>>
      pending;
  std::size_t entriesSize = 0;
  DiagnosticChanges changes;
};

ListDiagnostics::ListDiagnostics(const StringList& entries, Game game, SupportFiles supportFiles,
                                 std::size_t headerSize)
    : state_(std::make_unique<State>(entries, game, std::move(supportFiles), headerSize)) {}

ListDiagnostics::~ListDiagnostics() = default;

void ListDiagnostics::Appended(LineEnd end) {
  state_->AddRow(state_->entries.Count() - 1, end, true);
}

void ListDiagnostics::Removed(int index) {
  state_->Remove(index);
}

void ListDiagnostics::Reset() {
  state_->Recheck({});
}

void ListDiagnostics::SetGame(Game game) {
  state_->game = game;
  state_->Prepare();
  state_->Recheck(state_->Ends());
}

Game ListDiagnostics::GetGame() const {
  return state_->game;
}

void ListDiagnostics::SetHeaderSize(std::size_t bytes) {
  state_->headerSize = bytes;
  state_->changes.size = true;
}

Severity ListDiagnostics::WorstOf(int index) const {
  return state_->WorstOf(index);
}

std::vector<Finding> ListDiagnostics::FindingsOf(int index) const {
  return state_->FindingsOf(index);
}

std::size_t ListDiagnostics::SavedSize() const {
  return state_->headerSize + state_->entriesSize;
}

std::size_t ListDiagnostics::Limit() const {
  return state_->Buffer() - 1;
}

Text ListDiagnostics::SizeText() const {
  return Text{"Check.Budget", {GroupDigits(SavedSize()), GroupDigits(Limit())}};
}

int ListDiagnostics::FirstEntryOverLimit() const {
  std::size_t size = state_->headerSize;
  for (std::size_t row = 0; row < state_->rows.size(); ++row) {
    size += state_->entries.At(static_cast<int>(row)).size() + LineEndBytes(state_->rows[row].end);
    if (size > Limit()) return static_cast<int>(row);
  }
  return -1;
}

DiagnosticChanges ListDiagnostics::TakeChanges() {
  return std::exchange(state_->changes, {});
}

bool IsOverExecLimit(std::size_t savedSize, Game game) {
  return savedSize >= LimitsOf(game).commandBuffer;
}

Text OverLimitText(std::size_t savedSize, Game game) {
  return Text{"Check.FileTooBig",
              {GroupDigits(savedSize), GroupDigits(LimitsOf(game).commandBuffer - 1)}};
}

std::string GroupDigits(std::size_t number) {
  std::string digits = std::to_string(number);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += '\xA0';
    grouped += digits[i];
  }
  return grouped;
}

}  // namespace tavrilo::game
