// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Findings.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrilo::game {

FindingCollector::FindingCollector() : seen_(0, SeenHash{this}, SeenEqual{this}) {}

void FindingCollector::Add(int line, int column, Code code,
                           std::initializer_list<std::string_view> args) {
  Finding finding;
  finding.line = line;
  finding.column = column;
  finding.code = code;
  finding.severity = SeverityOf(code);
  finding.argsAt = args_.Append(args, finding.argsSize);
  if (line != line_) {
    line_ = line;
    lineStart_ = findings_.size();
    if (!seen_.empty()) decltype(seen_)(0, SeenHash{this}, SeenEqual{this}).swap(seen_);
  }
  findings_.push_back(finding);
  if (RepeatsItsLine()) {
    findings_.pop_back();
    args_.DropFrom(finding.argsAt);
  }
}

// Whether the finding added last says what one of its line's findings in a row says.
bool FindingCollector::RepeatsItsLine() {
  const std::size_t last = findings_.size() - 1;
  const std::size_t count = last - lineStart_;
  if (count < 8) {  // most lines: one finding or none
    for (std::size_t i = lineStart_; i < last; ++i) {
      if (Same(findings_[i], findings_[last])) return true;
    }
    return false;
  }
  if (count == 8) {
    for (std::size_t i = lineStart_; i < last; ++i)
      seen_.insert(static_cast<std::uint32_t>(i));
  }
  // A line of that many distinct findings is left to Finish, which keeps each once.
  if (seen_.size() >= kLineFindingsSeen) return false;
  return !seen_.insert(static_cast<std::uint32_t>(last)).second;
}

std::size_t FindingCollector::SeenHash::operator()(std::uint32_t index) const {
  const Finding& finding = collector->findings_[index];
  return std::hash<std::string_view>()(collector->KeyOf(finding)) * 31 +
         static_cast<std::size_t>(finding.code);
}

bool FindingCollector::SeenEqual::operator()(std::uint32_t a, std::uint32_t b) const {
  return collector->Same(collector->findings_[a], collector->findings_[b]);
}

namespace {

// A counting sort by line: the findings taken out of the deque as they are placed.
std::vector<Finding> ByLine(std::deque<Finding>& findings, std::size_t lines) {
  std::vector<std::uint32_t> starts(lines + 2, 0);
  for (const Finding& finding : findings)
    ++starts[static_cast<std::size_t>(finding.line) + 1];
  for (std::size_t i = 1; i < starts.size(); ++i)
    starts[i] += starts[i - 1];
  std::vector<Finding> sorted(findings.size());
  for (; !findings.empty(); findings.pop_front())
    sorted[starts[static_cast<std::size_t>(findings.front().line)]++] = findings.front();
  return sorted;
}

}  // namespace

// What makes two findings of a line the same: the same code and values; for the note that a
// support file must run, the same file, whatever the alias.
std::string_view FindingCollector::KeyOf(const Finding& finding) const {
  const std::string_view values = args_.View(finding.argsAt, finding.argsSize);
  if (finding.code != Code::kAliasNeedsExec || values.size() < 2) return values;
  return values.substr(values.rfind('\0', values.size() - 2) + 1);
}

bool FindingCollector::Same(const Finding& a, const Finding& b) const {
  return a.code == b.code && KeyOf(a) == KeyOf(b);
}

// The findings of one line, [first, last): errors first, keeping their order otherwise;
// then each finding once. Returns the new end.
Finding* FindingCollector::Settle(Finding* first, Finding* last) const {
  const auto error = [](const Finding& f) { return f.severity == Severity::kError; };
  if (!std::is_partitioned(first, last, error)) std::stable_partition(first, last, error);
  const std::size_t count = static_cast<std::size_t>(last - first);
  const auto same = [&](const Finding& a, const Finding& b) { return Same(a, b); };
  if (count <= 8) {  // most lines: one finding or none
    Finding* kept = first;
    for (Finding* f = first; f != last; ++f) {
      if (std::none_of(first, kept, [&](const Finding& k) { return same(k, *f); })) *kept++ = *f;
    }
    return kept;
  }
  // Many findings on one line: sorted by what they say, the first of each kind is kept.
  std::vector<std::uint32_t> order(count);
  for (std::uint32_t i = 0; i < count; ++i)
    order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    const Finding& x = first[a];
    const Finding& y = first[b];
    if (x.code != y.code) return x.code < y.code;
    return KeyOf(x) < KeyOf(y);
  });
  std::vector<bool> repeated(count, false);
  for (std::size_t i = 1; i < count; ++i)
    repeated[order[i]] = same(first[order[i - 1]], first[order[i]]);
  Finding* kept = first;
  for (std::size_t i = 0; i < count; ++i) {
    if (!repeated[i]) *kept++ = first[i];
  }
  return kept;
}

CheckResult FindingCollector::Finish(std::size_t lines, std::size_t size, std::size_t limit) {
  CheckResult result;
  result.size_ = size;
  result.limit_ = limit;
  std::vector<Finding> sorted = ByLine(findings_, lines);
  std::size_t kept = 0;
  for (std::size_t begin = 0; begin < sorted.size();) {
    std::size_t end = begin + 1;
    while (end < sorted.size() && sorted[end].line == sorted[begin].line)
      ++end;
    Finding* const last = Settle(sorted.data() + begin, sorted.data() + end);
    for (Finding* f = sorted.data() + begin; f != last; ++f) {
      (f->severity == Severity::kError ? result.errors_ : result.notes_) += 1;
      sorted[kept++] = *f;
    }
    begin = end;
  }
  sorted.resize(kept);
  result.findings_ = std::move(sorted);
  result.args_ = std::move(args_);
  return result;
}

}  // namespace tavrilo::game
