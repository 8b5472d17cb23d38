// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Findings.h"

#include <span>

#include "Branding.h"
#include "game/RuleBook.h"

namespace tavrilo::cli {

void AppendFileName(std::string& out, std::string_view name, Form form) {
#ifdef _WIN32
  // The program's arguments are Windows-1252 texts there (what the user typed).
  AppendAnsi(out, name, form);
#else
  AppendBytes(out, name, form);
#endif
}

void AppendFileUri(std::string& out, std::string_view name) {
  std::string path;
#ifdef _WIN32
  AppendAnsi(path, name, Form::kTerminal);
  for (char& c : path)
    if (c == '\\') c = '/';
  const bool drive = path.size() > 2 && path[1] == ':' && path[2] == '/';
  if (drive)
    out += "file:///";
  else if (path.starts_with("//"))
    out += "file:";  // a share: file://server/share/...
#else
  constexpr bool drive = false;
  path = name;
  if (path.starts_with('/')) out += "file://";
#endif
  constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                       c == '~' || c == '/' || (drive && i == 1);
    if (plain) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
}

void AppendSarifStart(std::string& out, const Messages& messages) {
  out += "{\"$schema\":\"https://json.schemastore.org/sarif-2.1.0.json\",\"version\":\"2.1.0\",";
  out += "\"runs\":[{\"tool\":{\"driver\":{\"name\":\"tavrilo\",\"version\":\"";
  out += kPackageVersion;
  out += "\",\"informationUri\":\"";
  out += kWebPage;
  out += "\",\"rules\":[";
  for (const game::Rule& rule : game::AllRules()) {
    if (rule.code != game::Code{}) out += ',';
    out += "\n{\"id\":\"";
    out += rule.name;
    // The summary in the language of the messages; what it finds and the whole
    // documentation (tavrilo --explain) in English.
    out += "\",\"shortDescription\":{\"text\":\"";
    messages.AppendTo(out, Text{std::string(rule.summaryKey), {}}, Form::kJson);
    out += "\"},\"fullDescription\":{\"text\":\"";
    AppendBytes(out, rule.doc.finds, Form::kJson);
    out += "\"},\"help\":{\"text\":\"";
    AppendBytes(out, game::ExplanationOf(rule), Form::kJson);
    out += "\"},\"defaultConfiguration\":{\"level\":\"";
    out += game::SeverityName(rule.severity);
    out += "\"}}";
  }
  out += "]}},\"columnKind\":\"utf16CodeUnits\",\"results\":[";
}

FindingPrinter::FindingPrinter(const Messages& messages, Format format)
    : messages_(messages),
      format_(format),
      form_(format == Format::kText ? Form::kTerminal : Form::kJson),
      errorWord_(messages.Shown("Cli.Error")),
      noteWord_(messages.Shown("Cli.Note")) {}

void FindingPrinter::Print(std::string_view name, const game::CheckResult& result,
                           BufferedWriter& writer) {
  std::string shownName;
  if (format_ == Format::kSarif)
    AppendFileUri(shownName, name);
  else
    AppendFileName(shownName, name, form_);
  for (const game::Finding& finding : result.Findings()) {
    const bool error = finding.severity == game::Severity::kError;
    std::string& out = writer.Buffer();
    const std::string line = std::to_string(finding.line + 1);
    const std::string column = finding.column < 0 ? "" : std::to_string(finding.column + 1);
    if (format_ == Format::kSarif) {
      out += firstResult_ ? "\n" : ",\n";
      firstResult_ = false;
      out += "{\"ruleId\":\"";
      out += game::CodeName(finding.code);
      out += "\",\"ruleIndex\":";
      out += std::to_string(static_cast<int>(finding.code));
      out += ",\"level\":\"";
      out += error ? "error" : "note";
      out += "\",\"message\":{\"text\":\"";
      AppendMessage(out, result, finding);
      out += "\"},\"locations\":[{\"physicalLocation\":{\"artifactLocation\":{\"uri\":\"";
      out += shownName;
      out += "\"},\"region\":{\"startLine\":";
      out += line;
      // A finding of a whole line or file starts where its line does.
      out += ",\"startColumn\":";
      out += column.empty() ? "1" : column;
      out += "}}}]}";
      writer.Written();
      continue;
    }
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
