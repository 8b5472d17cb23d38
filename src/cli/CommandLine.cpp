// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <algorithm>
#include <array>
#include <cstdio>
#include <iostream>
#include <new>
#include <optional>
#include <span>
#include <string_view>

#include "Branding.h"
#include "cli/Findings.h"
#include "core/ErrorText.h"
#include "core/Errors.h"
#include "core/Locations.h"
#include "core/Platform.h"
#include "core/WholeFile.h"
#include "datafiles/GameChoice.h"
#include "datafiles/IniFile.h"
#include "game/Check.h"
#include "install/SupportFiles.h"

namespace tavrilo::cli {

namespace {

// The name standard input goes by in messages.
constexpr std::string_view kStandardInputName = "<stdin>";

// ---- reading ---------------------------------------------------------------------------

// The bytes of a file, or why it could not be read.
struct FileBytes {
  std::string bytes;
  std::optional<Text> failure;
};

// The text of the error being handled, in the user's language: the messages of the error
// table each have a text of their own, filled from the error.
Text FailureOfCurrentError() {
  try {
    throw;
  } catch (const std::exception& error) {
    return TextOfError(error);
  }
}

FileBytes ReadNamedFile(const std::string& path) {
  FileBytes file;
  const int error = ReadWholeFile(path, file.bytes);
  if (error == platform::kNotRegularFile) {
    const std::optional<platform::FileStatus> status = platform::Status(path);
    const bool directory = status && status->kind == platform::FileKind::kDirectory;
    file.failure = Text{directory ? "Cli.IsDirectory" : "Cli.NotRegularFile", {}};
  } else if (error != platform::kNoError) {
    try {
      ThrowReadError(error, path);
    } catch (...) {
      file.failure = FailureOfCurrentError();
    }
  }
  return file;
}

// Standard input, read whole within the bound of every file read whole.
FileBytes ReadStandardInput(std::istream& in) {
#ifdef _WIN32
  // Byte for byte, as a file is read: no CR LF turned into LF, no end at a 0x1A byte.
  if (&in == &std::cin) _setmode(_fileno(stdin), _O_BINARY);
#endif
  FileBytes file;
  try {
    std::array<char, 1 << 16> chunk;
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
      const auto n = static_cast<std::size_t>(in.gcount());
      if (n > kMaxWholeFileSize - file.bytes.size())
        throw TextError(Text{"File.TooBig", {std::string(kStandardInputName)}});
      file.bytes.append(chunk.data(), n);
    }
    // A read error on the program's own standard input (a folder, a closed descriptor)
    // shows in its C stream, which std::cin reads through, as an end of file does.
    if (in.bad() || (&in == &std::cin && std::ferror(stdin) != 0)) throw FileReadError();
  } catch (...) {
    file.failure = FailureOfCurrentError();
    std::string().swap(file.bytes);
  }
  return file;
}

// ---- the check ---------------------------------------------------------------------------

class Check {
 public:
  Check(const Options& options, const Context& context, const Messages& messages)
      : options_(options),
        context_(context),
        messages_(messages),
        out_(context.out),
        form_(options.format == Format::kJson ? Form::kJson : Form::kTerminal),
        printer_(messages, form_) {}

  int Run() {
    const game::Game game =
        options_.game
            ? *options_.game
            : datafiles::ReadGameChoice(datafiles::IniFile(SettingsForReading(context_.dataRoot)));
    const game::SupportFiles support = install::ReadSupportFiles(context_.dataRoot);
    int checked = 0, unreadable = 0, errors = 0, notes = 0;
    for (const std::string& path : options_.files) {
      const bool standardInput = path == "-";
      const std::string_view name = standardInput ? kStandardInputName : std::string_view(path);
      FileBytes file = standardInput ? ReadStandardInput(context_.in) : ReadNamedFile(path);
      if (file.failure) {
        std::string line;
        AppendBytes(line, name, Form::kTerminal);
        line += ": ";
        messages_.AppendTo(line, Text{"Cli.Unreadable", {messages_.Shown(*file.failure)}},
                           Form::kTerminal);
        context_.err << line << '\n';
        ++unreadable;
        continue;
      }
      const game::CheckResult result = game::CheckScript(file.bytes, game, support);
      printer_.Print(name, result, out_);
      ++checked;
      errors += result.Errors();
      notes += result.Notes();
    }
    if (form_ == Form::kTerminal) {
      const auto count = [](int n) { return std::to_string(n); };
      messages_.AppendTo(
          out_.Buffer(),
          unreadable == 0 ? Text{"Cli.Summary", {count(checked), count(errors), count(notes)}}
                          : Text{"Cli.SummaryUnreadable",
                                 {count(checked), count(unreadable), count(errors), count(notes)}},
          form_);
      out_.Buffer() += '\n';
    }
    if (!out_.Flush()) return OutputFailed();
    if (unreadable > 0) return kTrouble;
    return errors > 0 ? kFindings : kRunsAsWritten;
  }

 private:
  int OutputFailed() {
    context_.err << "tavrilo: " << messages_.Shown("Cli.OutputFailed") << '\n';
    return kTrouble;
  }

  const Options& options_;
  const Context& context_;
  const Messages& messages_;
  BufferedWriter out_;
  Form form_;
  FindingPrinter printer_;
};

// ---- the rule book ------------------------------------------------------------------------

// Each finding's code, severity and one-line summary, in the language of the messages.
int ListCodes(const Context& context, const Messages& messages) {
  BufferedWriter out(context.out);
  for (const game::Rule& rule : game::AllRules()) {
    std::string& line = out.Buffer();
    line += rule.name;
    line.append(std::max<std::size_t>(1, 22 - std::min<std::size_t>(22, rule.name.size())), ' ');
    const std::string severity =
        messages.Shown(rule.severity == game::Severity::kError ? "Cli.Error" : "Cli.Note");
    line += severity;
    line.append(severity.size() < 10 ? 10 - severity.size() : 1, ' ');
    messages.AppendTo(line, Text{std::string(rule.summaryKey), {}}, Form::kTerminal);
    line += '\n';
    out.Written();
  }
  if (out.Flush()) return kRunsAsWritten;
  context.err << "tavrilo: " << messages.Shown("Cli.OutputFailed") << '\n';
  return kTrouble;
}

// The documentation of one finding, in English.
int Explain(const std::string& code, const Context& context, const Messages& messages) {
  const game::Rule* rule = game::FindRule(code);
  if (rule == nullptr) {
    context.err << "tavrilo: " << messages.Shown("Cli.UnknownCode", {code}) << '\n';
    return kTrouble;
  }
  BufferedWriter out(context.out);
  out.Buffer() += game::ExplanationOf(*rule);
  if (out.Flush()) return kRunsAsWritten;
  context.err << "tavrilo: " << messages.Shown("Cli.OutputFailed") << '\n';
  return kTrouble;
}

// ---- help and version ---------------------------------------------------------------------

// The package's version, then the one the window's title shows: "Tavrilo 1.4 (v1.4b)".
std::string_view VersionText() {
  return kVersionLine;
}

int PrintHelpOrVersion(Action action, const Context& context, const Messages& messages) {
  BufferedWriter out(context.out);
  if (action == Action::kVersion) {
    out.Buffer() += VersionText();
    out.Buffer() += '\n';
  } else {
    for (const char* key :
         {"Cli.HelpUsage", "Cli.HelpWindow", "Cli.HelpCheck", "Cli.HelpGame", "Cli.HelpLang",
          "Cli.HelpFormat", "Cli.HelpListCodes", "Cli.HelpExplain", "Cli.HelpHelp",
          "Cli.HelpVersion", "Cli.HelpStatus"}) {
      messages.AppendTo(out.Buffer(), Text{key, {}}, Form::kTerminal);
      out.Buffer() += '\n';
    }
  }
  if (out.Flush()) return kRunsAsWritten;
  context.err << "tavrilo: " << messages.Shown("Cli.OutputFailed") << '\n';
  return kTrouble;
}

}  // namespace

int RunCommandLine(const ParsedArguments& arguments, const Context& context) {
  const Options& options = arguments.options;
  const Messages messages(
      context.dataRoot,
      CommandLineLanguage(options.language, context.environment, context.dataRoot));
  std::optional<Text> refusal = arguments.error;
  if (!refusal && options.action == Action::kWindow) refusal = Text{"Cli.NoWindow", {}};
  if (refusal) {
    context.err << "tavrilo: " << messages.Shown(*refusal) << '\n';
    return kTrouble;
  }
  if (options.action == Action::kListCodes) return ListCodes(context, messages);
  if (options.action == Action::kExplain) return Explain(options.explained, context, messages);
  if (options.action != Action::kCheck)
    return PrintHelpOrVersion(options.action, context, messages);
  return Check(options, context, messages).Run();
}

std::optional<int> RunUnlessWindow(const ParsedArguments& arguments, const Context& context) {
  if (arguments.error || arguments.options.action != Action::kWindow)
    return RunCommandLine(arguments, context);
#if defined(__unix__) && !defined(__APPLE__)
  const auto set = [&](const char* name) {
    const char* value = context.environment(name);
    return value != nullptr && *value != '\0';
  };
  const bool platformChosen = std::any_of(
      arguments.options.windowArguments.begin(), arguments.options.windowArguments.end(),
      [](std::string_view arg) { return arg == "-platform" || arg == "--platform"; });
  if (!platformChosen && !set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
    const Messages messages(
        context.dataRoot, CommandLineLanguage(std::nullopt, context.environment, context.dataRoot));
    context.err << "tavrilo: " << messages.Shown("Cli.NoDisplay") << '\n';
    return kTrouble;
  }
#endif
  return std::nullopt;
}

int RunCommandLine(const std::vector<std::string>& args, const std::string& dataRoot,
                   std::ostream& out, std::ostream& err) {
  return RunCommandLine(ParseArguments(args), Context{dataRoot, std::cin, out, err});
}

bool WantsCommandLine(const std::vector<std::string>& args) {
  const ParsedArguments arguments = ParseArguments(args);
  return arguments.error || arguments.options.action != Action::kWindow;
}

}  // namespace tavrilo::cli
