// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Findings.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace tavrilo::game {

void FindingCollector::Add(int line, int column, Code code,
                           std::initializer_list<std::string_view> args) {
  Finding finding;
  finding.line = line;
  finding.column = column;
  finding.code = code;
  finding.severity = SeverityOf(code);
  finding.argsAt = args_.Append(args, finding.argsSize);
  findings_.push_back(finding);
}

CheckResult FindingCollector::Finish(std::size_t lines, std::size_t size, std::size_t limit) {
  CheckResult result;
  result.size_ = size;
  result.limit_ = limit;
  // A counting sort by line (the findings taken out of the deque as they are placed), then
  // errors first within a line (findings of a line are few).
  std::vector<std::uint32_t> starts(lines + 2, 0);
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

}  // namespace tavrilo::game
