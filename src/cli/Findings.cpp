// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Findings.h"

#include <span>

namespace tavrilo::cli {

FindingPrinter::FindingPrinter(const Messages& messages, Form form)
    : messages_(messages),
      form_(form),
      errorWord_(messages.Shown("Cli.Error")),
      noteWord_(messages.Shown("Cli.Note")) {}

void FindingPrinter::Print(std::string_view name, const game::CheckResult& result,
                           BufferedWriter& writer) {
  std::string shownName;
  AppendBytes(shownName, name, form_);
  for (const game::Finding& finding : result.Findings()) {
    const bool error = finding.severity == game::Severity::kError;
    std::string& out = writer.Buffer();
    const std::string line = std::to_string(finding.line + 1);
    const std::string column = finding.column < 0 ? "" : std::to_string(finding.column + 1);
    if (form_ == Form::kTerminal) {
      out += shownName;
      out += ':';
      out += line;
      if (!column.empty()) {
        out += ':';
        out += column;
      }
      out += ": ";
      out += error ? errorWord_ : noteWord_;
      out += ": ";
      AppendMessage(out, result, finding);
    } else {
      out += "{\"file\":\"";
      out += shownName;
      out += "\",\"line\":";
      out += line;
      out += ",\"column\":";
      out += column.empty() ? "null" : column;
      out += ",\"severity\":\"";
      out += error ? "error" : "note";
      out += "\",\"code\":\"";
      AppendBytes(out, game::CodeName(finding.code), form_);
      out += "\",\"message\":\"";
      AppendMessage(out, result, finding);
      out += "\"}";
    }
    out += '\n';
    writer.Written();
  }
}

// The text of a finding: the pattern of its kind, found the first time that kind shows,
// filled with the finding's values.
void FindingPrinter::AppendMessage(std::string& out, const game::CheckResult& result,
                                   const game::Finding& finding) {
  Known& known = known_[static_cast<std::size_t>(finding.code)];
  if (!known.found) {
    known.key = result.TextOf(finding).key;
    known.pattern = messages_.Find(known.key, form_);
    known.found = true;
  }
  std::array<std::string_view, 9> values;
  std::size_t count = 0;
  for (std::string_view rest = result.PackedArgsOf(finding);
       !rest.empty() && count < values.size();) {
    const std::size_t end = rest.find('\0');
    values[count++] = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
  const std::span<const std::string_view> args(values.data(), count);
  if (known.pattern != nullptr) {
    known.pattern->AppendTo(out, args);
  } else {
    AppendText(out, FallbackText(Text{known.key, {args.begin(), args.end()}}), form_);
  }
}

}  // namespace tavrilo::cli
