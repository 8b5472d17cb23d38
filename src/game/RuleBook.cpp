// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/RuleBook.h"

namespace tavrilo::game {

namespace {

#define TAVRILO_VALUES(...) \
  { __VA_ARGS__ }
#define TAVRILO_FINDING(name, codeName, severity, values) \
  Rule{Code::k##name, codeName, "Check." #name, Severity::severity, values},

constexpr std::array<Rule, kCodeCount> kRules = {{
#include "game/RuleBook.def"
}};

#undef TAVRILO_FINDING
#undef TAVRILO_VALUES

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

}  // namespace tavrilo::game
