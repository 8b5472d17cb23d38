// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/RuleBook.h"

namespace tavrilo::game {

namespace {

#define TAVRILO_VALUES(...) \
  { __VA_ARGS__ }
#define TAVRILO_DOC(finds, why, example, instead) \
  RuleDoc {                                       \
    finds, why, example, instead                  \
  }
#define TAVRILO_FINDING(name, codeName, severity, values, doc)                             \
  Rule{Code::k##name, codeName, "Check." #name, "CheckSummary." #name, Severity::severity, \
       values,        doc},

constexpr std::array<Rule, kCodeCount> kRules = {{
#include "game/RuleBook.def"
}};

#undef TAVRILO_FINDING
#undef TAVRILO_DOC
#undef TAVRILO_VALUES

// `text` with each line after the first indented by `indent`.
std::string Indented(std::string_view text, std::string_view indent) {
  std::string out(indent);
  for (char c : text) {
    out += c;
    if (c == '\n') out += indent;
  }
  return out;
}

}  // namespace

const Rule& RuleOf(Code code) {
  return kRules[static_cast<std::size_t>(code)];
}

std::span<const Rule> AllRules() {
  return kRules;
}

const Rule* FindRule(std::string_view name) {
  for (const Rule& rule : kRules)
    if (rule.name == name) return &rule;
  return nullptr;
}

std::string_view SeverityName(Severity severity) {
  return severity == Severity::kError ? "error" : "note";
}

std::string ExplanationOf(const Rule& rule) {
  std::string text;
  text.append(rule.name).append(" (").append(SeverityName(rule.severity)).append(")\n\n");
  text.append(rule.doc.finds).append("\n\nWhy\n");
  text.append(Indented(rule.doc.why, "  ")).append("\n\nExample\n");
  text.append(Indented(rule.doc.example, "  ")).append("\n\nInstead\n");
  text.append(Indented(rule.doc.instead, "  ")).append("\n");
  return text;
}

std::string FindingsTable() {
  std::string table = "| Code | Severity | What it finds |\n|---|---|---|\n";
  for (const Rule& rule : kRules) {
    table.append("| `").append(rule.name).append("` | ").append(SeverityName(rule.severity));
    table.append(" | ").append(rule.doc.finds).append(" |\n");
  }
  return table;
}

}  // namespace tavrilo::game
