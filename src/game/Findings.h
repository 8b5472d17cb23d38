// SPDX-License-Identifier: GPL-3.0-or-later
// Where the findings of a check are gathered while the interpreter runs, in the order
// they are found, and then put in the order the result gives them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string_view>
#include <unordered_set>

#include "game/Check.h"

namespace tavrilo::game {

class FindingCollector {
 public:
  // The findings a check keeps of one script: beyond them it counts what it finds, and says
  // so once (findings-not-listed). A list the game runs has at most a few thousand lines;
  // a file of millions of findings would otherwise take many times its own size in memory.
  static constexpr std::size_t kListed = 100'000;

  FindingCollector();
  FindingCollector(const FindingCollector&) = delete;
  FindingCollector& operator=(const FindingCollector&) = delete;

  // A finding that repeats one already added for the same line in a row (the same code and
  // values) is dropped at once: a long line that says the same thing again and again keeps
  // it once, as the result would.
  // Past kListed findings, a finding is counted instead, once per line as far as the line's
  // findings in a row tell.
  void Add(int line, int column, Code code, std::initializer_list<std::string_view> args = {});

  // `count` findings of `code` that are counted and not listed (names called past the
  // calls the interpreter keeps), the first of them found on `line`.
  void CountUnlisted(int line, Code code, std::size_t count);

  // The result: the findings by line, errors first within a line, each finding once per
  // line (one note per support file to run), and the note findings-not-listed on the line
  // of the first finding counted and not listed. Time linear in the findings (a sort by
  // line, and for a line with many of them, by what they say).
  CheckResult Finish(std::size_t size, std::size_t limit);

 private:
  std::string_view KeyOf(const Finding& finding) const;
  bool Same(const Finding& a, const Finding& b) const;
  Finding* Settle(Finding* first, Finding* last) const;
  bool RepeatsItsLine();

  // The findings of the line added to last, by their place in `findings_`, found by what
  // they say: used once that line has more than a few findings, and only until it holds
  // kLineFindingsSeen of them, so that it stays small (Finish keeps each finding once in
  // any case).
  struct SeenHash {
    const FindingCollector* collector;
    std::size_t operator()(std::uint32_t index) const;
  };
  struct SeenEqual {
    const FindingCollector* collector;
    bool operator()(std::uint32_t a, std::uint32_t b) const;
  };
  static constexpr std::size_t kLineFindingsSeen = std::size_t{1} << 16;

  // A deque grows without moving what it holds; sorted into the result's vector at the end.
  std::deque<Finding> findings_;
  PackedValues args_;
  int line_ = -1;              // the line of the last finding added
  std::size_t lineStart_ = 0;  // where its findings in a row start in `findings_`
  std::unordered_set<std::uint32_t, SeenHash, SeenEqual> seen_;
  // Past kListed: what the line's findings in a row said (their code and values, hashed),
  // while there are not too many of them, and the counts.
  std::unordered_set<std::size_t> unlistedSeen_;
  std::size_t unlistedErrors_ = 0;
  std::size_t unlistedNotes_ = 0;
  int firstUnlisted_ = -1;  // the line of the first finding not listed
};

}  // namespace tavrilo::game
