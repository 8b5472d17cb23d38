// SPDX-License-Identifier: GPL-3.0-or-later
// The rule book: what each finding of the check is (its stable name, its severity, its
// text and the values the text takes, its documentation), made from the one list in
// game/RuleBook.def.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tavrilo::game {

// Error: the game stops, drops the file, discards, cuts or changes the line, never runs a
// binding, binds another key, loses a binding, or runs something the line does not say.
// Note: the line runs as written (or does nothing while its key does what it says
// anyway), and something is worth knowing.
enum class Severity : std::uint8_t { kNone, kNote, kError };

// The kinds of finding, in the order of the rule book.
enum class Code : std::uint8_t {
#define TAVRILO_FINDING(name, ...) k##name,
#include "game/RuleBook.def"
#undef TAVRILO_FINDING
  kCount
};

inline constexpr std::size_t kCodeCount = static_cast<std::size_t>(Code::kCount);

// A text takes at most nine values: its placeholders are %1 to %9.
inline constexpr std::size_t kMostValues = 9;

// What a finding means, in English, in the manner of a linter's rule page.
struct RuleDoc {
  std::string_view finds;    // what it finds: one sentence
  std::string_view why;      // why the game does that
  std::string_view example;  // a line that gets it ("\n" between lines)
  std::string_view instead;  // what to write instead
};

struct Rule {
  Code code;
  std::string_view name;        // "unmatched-quote": stable, for scripts and editors
  std::string_view textKey;     // "Check.UnmatchedQuote": its text in the caption files
  std::string_view summaryKey;  // "CheckSummary.UnmatchedQuote": its one-line summary
  Severity severity;
  // What each value of the text is, in the order of its placeholders %1, %2...
  std::array<std::string_view, kMostValues> values;
  RuleDoc doc;

  std::span<const std::string_view> Values() const {
    std::size_t count = 0;
    while (count < values.size() && !values[count].empty())
      ++count;
    return {values.data(), count};
  }
};

const Rule& RuleOf(Code code);
// Every rule, in the order of the Code enum.
std::span<const Rule> AllRules();
// The rule of a stable name ("unmatched-quote"); nullptr for a name of none.
const Rule* FindRule(std::string_view name);

inline Severity SeverityOf(Code code) {
  return RuleOf(code).severity;
}
inline std::string_view CodeName(Code code) {
  return RuleOf(code).name;
}

// "error" or "note".
std::string_view SeverityName(Severity severity);

// The documentation of a rule as `tavrilo --explain` prints it: its name and severity,
// then what it finds, why, an example and what to write instead, each under its heading.
std::string ExplanationOf(const Rule& rule);

// The findings as a Markdown table of code, severity and what each finds (the README's
// list of findings).
std::string FindingsTable();

}  // namespace tavrilo::game
