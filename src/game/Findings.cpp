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
    if (!unlistedSeen_.empty()) std::unordered_set<std::size_t>().swap(unlistedSeen_);
  }
  if (findings_.size() >= kListed) {
    args_.DropFrom(finding.argsAt);
    // What makes two findings of a line the same (KeyOf), hashed.
    const std::string_view* value = args.begin();
    if (code == Code::kAliasNeedsExec && args.size() >= 2) value = args.end() - 1;
    std::size_t said = static_cast<std::size_t>(code);
    for (; value != args.end(); ++value)
      said = said * 1'000'003 ^ std::hash<std::string_view>()(*value);
    if (unlistedSeen_.size() < kLineFindingsSeen && !unlistedSeen_.insert(said).second) return;
    CountUnlisted(line, code, 1);
    return;
  }
  findings_.push_back(finding);
  if (RepeatsItsLine()) {
    findings_.pop_back();
    args_.DropFrom(finding.argsAt);
  }
}

void FindingCollector::CountUnlisted(int line, Code code, std::size_t count) {
  if (count == 0) return;
  (SeverityOf(code) == Severity::kError ? unlistedErrors_ : unlistedNotes_) += count;
  if (firstUnlisted_ < 0) firstUnlisted_ = line;
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

// The findings by line, in the order found within a line.
std::vector<Finding> ByLine(std::deque<Finding>& findings) {
  std::vector<Finding> sorted(findings.begin(), findings.end());
  std::deque<Finding>().swap(findings);
  const auto byLine = [](const Finding& a, const Finding& b) { return a.line < b.line; };
  if (!std::is_sorted(sorted.begin(), sorted.end(), byLine))
    std::stable_sort(sorted.begin(), sorted.end(), byLine);
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

CheckResult FindingCollector::Finish(std::size_t size, std::size_t limit) {
  CheckResult result;
  result.size_ = size;
  result.limit_ = limit;
  if (firstUnlisted_ >= 0) {
    Finding notice;
    notice.line = firstUnlisted_;
    notice.code = Code::kFindingsNotListed;
    notice.severity = SeverityOf(notice.code);
    notice.argsAt = args_.Append(
        {GroupDigits(kListed), GroupDigits(unlistedErrors_ + unlistedNotes_)}, notice.argsSize);
    findings_.push_back(notice);
  }
  std::vector<Finding> sorted = ByLine(findings_);
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
  result.errors_ += static_cast<int>(unlistedErrors_);
  result.notes_ += static_cast<int>(unlistedNotes_);
  result.findings_ = std::move(sorted);
  result.args_ = std::move(args_);
  return result;
}

}  // namespace tavrilo::game
