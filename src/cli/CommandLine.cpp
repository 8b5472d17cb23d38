// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iostream>
#include <new>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>

#include "Branding.h"
#include "cli/Findings.h"
#include "core/ErrorText.h"
#include "core/Errors.h"
#include "core/Locations.h"
#include "core/Paths.h"
#include "core/Platform.h"
#include "core/WholeFile.h"
#include "datafiles/GameChoice.h"
#include "datafiles/IniFile.h"
#include "game/Check.h"
#include "game/ConsoleSession.h"
#include "install/FilesBeside.h"
#include "install/PlayerConfig.h"
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

FileBytes ReadNamedFile(const std::string& path) {
  FileBytes file;
  const int error = ReadWholeFile(path, file.bytes, kMaxWholeFileSize, platform::Streams::kRead);
  if (error == platform::kNotRegularFile)
    file.failure = Text{"Cli.NotAStream", {}};
  else if (error != platform::kNoError)
    file.failure = platform::ReasonOf(error);
  return file;
}

// Standard input, read whole within the bound of every file read whole: the program's own
// through the system, any other stream (a test's) through the stream.
FileBytes ReadStandardInput(std::istream& in) {
  FileBytes file;
  if (&in == &std::cin) {
    if (const int error = tavrilo::ReadStandardInput(file.bytes))
      file.failure = platform::ReasonOf(error);
    return file;
  }
  try {
    std::array<char, 1 << 16> chunk;
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
      const auto n = static_cast<std::size_t>(in.gcount());
      if (n > kMaxWholeFileSize - file.bytes.size()) {
        file.failure = platform::ReasonOf(platform::kFileTooBig);
        break;
      }
      file.bytes.append(chunk.data(), n);
    }
    if (!file.failure && in.bad()) file.failure = Text{"Reason.InputOutput", {}};
  } catch (const std::bad_alloc&) {
    file.failure = platform::ReasonOf(platform::kOutOfMemory);
  } catch (const std::length_error&) {
    file.failure = platform::ReasonOf(platform::kOutOfMemory);
  }
  if (file.failure) std::string().swap(file.bytes);
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
        printer_(messages, options.format) {}

  int Run() {
    const game::Game game =
        options_.game
            ? *options_.game
            : datafiles::ReadGameChoice(datafiles::IniFile(SettingsForReading(context_.dataRoot)));
    const game::SupportFiles support = install::ReadSupportFiles(context_.dataRoot);
    // With a game folder, the files are checked on what the player's start-up files leave.
    std::optional<game::ConsoleSession> player;
    if (options_.gameFolder) RunPlayerFiles(game, support, player);
    if (options_.format == Format::kSarif) AppendSarifStart(out_.Buffer(), messages_);
    std::size_t checked = 0, unreadable = 0, errors = 0, notes = 0;
    std::string notifications;  // SARIF: the files not read
    for (const std::string& path : options_.files) {
      const bool standardInput = path == "-";
      const std::string_view name = standardInput ? kStandardInputName : std::string_view(path);
      FileBytes file = standardInput ? ReadStandardInput(context_.in) : ReadNamedFile(path);
      if (file.failure) {
        Warn(name, *file.failure);
        ++unreadable;
        Unreadable(name, *file.failure, notifications);
        continue;
      }
      // exec runs the files of the checked file's folder.
      const game::FilesBeside beside =
          standardInput ? game::FilesBeside{} : install::FilesBesideIn(DirectoryPart(path));
      const game::CheckResult result = player
                                           ? player->CheckScript(file.bytes, beside).findings
                                           : game::CheckScript(file.bytes, game, support, beside);
      printer_.Print(name, result, out_);
      ++checked;
      errors += static_cast<std::size_t>(result.Errors());
      notes += static_cast<std::size_t>(result.Notes());
    }
    std::string& out = out_.Buffer();
    if (options_.format == Format::kText) {
      const auto count = [](std::size_t n) { return game::GroupDigits(n); };
      messages_.AppendTo(
          out,
          unreadable == 0 ? Text{"Cli.Summary", {count(checked), count(errors), count(notes)}}
                          : Text{"Cli.SummaryUnreadable",
                                 {count(checked), count(unreadable), count(errors), count(notes)}},
          Form::kTerminal);
      out += '\n';
    } else if (options_.format == Format::kJson) {
      out += "{\"files\":" + std::to_string(checked) + ",\"unread\":" + std::to_string(unreadable) +
             ",\"errors\":" + std::to_string(errors) + ",\"notes\":" + std::to_string(notes) +
             "}\n";
    } else {
      out += "],\"invocations\":[{\"executionSuccessful\":";
      out += unreadable == 0 ? "true" : "false";
      out += ",\"toolExecutionNotifications\":[";
      out += notifications;
      out += "]}]}]}\n";
    }
    if (!out_.Flush()) return OutputFailed();
    if (unreadable > 0) return kTrouble;
    return errors > 0 ? kFindings : kRunsAsWritten;
  }

 private:
  // The state the player's start-up files leave: each is run in the game's order; one that
  // cannot be read is named on the error stream and left out.
  void RunPlayerFiles(game::Game game, const game::SupportFiles& support,
                      std::optional<game::ConsoleSession>& session) {
    const auto folder = [](std::string path) {
      if (!path.empty() && kFolderEnds.find(path.back()) == std::string_view::npos)
        path += kPathSeparator;
      return path;
    };
    const std::string gameFolder = folder(*options_.gameFolder);
    if (!install::FindGameDataDirectory(gameFolder)) Warn(gameFolder, Text{"Cli.NoGameData", {}});
    std::optional<std::string> userFolder;
    if (options_.userFolder) userFolder = folder(*options_.userFolder);
    const install::PlayerConfiguration configuration =
        install::ReadPlayerConfiguration(game, gameFolder, userFolder);
    for (const install::UnreadFile& unread : configuration.unread) {
      // The reason without the file's name, which the line gives first.
      Warn(unread.path, unread.reason.key == "File.TooBig"
                            ? platform::ReasonOf(platform::kFileTooBig)
                            : unread.reason);
    }
    session.emplace(game, support);
    // exec in a start-up file runs a file of the folders looked in.
    const game::FilesBeside beside = install::FilesBesideInFolders(configuration.folders);
    for (const install::StartupFile& file : configuration.files)
      session->Run(file.bytes, file.path, beside);
  }

  // "tavrilo: NAME: reason" on the error stream.
  void Warn(std::string_view name, const Text& reason) {
    std::string line = "tavrilo: ";
    AppendFileName(line, name, Form::kTerminal);
    line += ": ";
    messages_.AppendTo(line, reason, Form::kTerminal);
    context_.err << line << '\n';
  }

  // The record of a file not read: a JSON line, or a SARIF notification.
  void Unreadable(std::string_view name, const Text& reason, std::string& notifications) {
    if (options_.format == Format::kJson) {
      std::string& out = out_.Buffer();
      out += "{\"file\":\"";
      AppendFileName(out, name, Form::kJson);
      out += "\",\"unread\":\"";
      messages_.AppendTo(out, reason, Form::kJson);
      out += "\"}\n";
      out_.Written();
    } else if (options_.format == Format::kSarif) {
      if (!notifications.empty()) notifications += ',';
      notifications += "\n{\"level\":\"error\",\"message\":{\"text\":\"";
      messages_.AppendTo(notifications, reason, Form::kJson);
      notifications += "\"},\"locations\":[{\"physicalLocation\":{\"artifactLocation\":{\"uri\":\"";
      AppendFileUri(notifications, name);
      notifications += "\"}}}]}";
    }
  }

  int OutputFailed() {
    context_.err << "tavrilo: " << messages_.Shown("Cli.OutputFailed") << '\n';
    return kTrouble;
  }

  const Options& options_;
  const Context& context_;
  const Messages& messages_;
  BufferedWriter out_;
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

// The help: the usage, a summary, then sections of items, each an option (or a status)
// and what it does ("--check FILE...|what it does" in the caption files), wrapped to the
// width of the terminal.
class Help {
 public:
  Help(const Messages& messages, int columns)
      : messages_(messages), width_(static_cast<std::size_t>(std::max(columns, 40))) {}

  std::string Text() {
    std::string lead = Ansi("Cli.HelpUsage") + ' ';
    const std::size_t indent = lead.size();
    for (const char* key : {"Cli.HelpUsageWindow", "Cli.HelpUsageCheck", "Cli.HelpUsageInfo"}) {
      Wrapped(lead, Ansi(key), indent);
      lead.assign(indent, ' ');
    }
    Wrapped("", Ansi("Cli.HelpIntro"), 0);
    const std::vector<std::pair<const char*, std::vector<const char*>>> sections = {
        {"Cli.HelpWindowSection", {"Cli.HelpWindow"}},
        {"Cli.HelpCheckSection",
         {"Cli.HelpCheck", "Cli.HelpGame", "Cli.HelpGameDir", "Cli.HelpUserDir", "Cli.HelpLang",
          "Cli.HelpFormat"}},
        {"Cli.HelpFindingsSection", {"Cli.HelpListCodes", "Cli.HelpExplain"}},
        {"Cli.HelpInfoSection", {"Cli.HelpHelp", "Cli.HelpVersion"}},
        {"Cli.HelpStatusSection",
         {"Cli.HelpStatusRuns", "Cli.HelpStatusFindings", "Cli.HelpStatusTrouble"}}};
    // The descriptions start in one column, after the longest option and two blanks.
    std::size_t termWidth = 0;
    for (const auto& [heading, items] : sections)
      for (const char* item : items)
        if (const std::size_t bar = Ansi(item).find('|'); bar != std::string::npos)
          termWidth = std::max(termWidth, bar);
    const std::size_t column = std::min<std::size_t>(termWidth + 4, width_ / 3);
    for (const auto& [heading, items] : sections) {
      out_ += '\n';
      Wrapped("", Ansi(heading), 0);
      for (const char* item : items) {
        const std::string text = Ansi(item);
        const std::size_t bar = text.find('|');
        if (bar == std::string::npos) {
          Wrapped("  ", text, 2);
          continue;
        }
        std::string term = "  " + text.substr(0, bar);
        if (term.size() + 2 > column) {
          Wrapped(term, "", 2);
          term.clear();
        }
        term.resize(column, ' ');
        Wrapped(term, text.substr(bar + 1), column);
      }
    }
    return std::move(out_);
  }

 private:
  std::string Ansi(const char* key) const { return messages_.Ansi(key); }

  // Appends `prefix` as it is, then `text` (Windows-1252) in lines of at most the width,
  // cut at blanks, each line after the first indented by `indent` columns; a word longer
  // than a line stays whole.
  void Wrapped(std::string_view prefix, std::string_view text, std::size_t indent) {
    AppendAnsi(out_, prefix, Form::kTerminal);
    std::size_t column = prefix.size();
    bool lineHasWord = false;
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find(' ', start);
      if (end == std::string_view::npos) end = text.size();
      const std::string_view word = text.substr(start, end - start);
      start = end + 1;
      if (word.empty()) continue;
      if (lineHasWord && column + 1 + word.size() > width_) {
        out_ += '\n';
        out_.append(indent, ' ');
        column = indent;
        lineHasWord = false;
      }
      if (lineHasWord) {
        out_ += ' ';
        ++column;
      }
      AppendAnsi(out_, word, Form::kTerminal);
      column += word.size();
      lineHasWord = true;
    }
    out_ += '\n';
  }

  const Messages& messages_;
  std::size_t width_;
  std::string out_;
};

int PrintHelpOrVersion(Action action, const Context& context, const Messages& messages) {
  BufferedWriter out(context.out);
  if (action == Action::kVersion) {
    out.Buffer() += VersionText();
    out.Buffer() += '\n';
  } else {
    out.Buffer() += Help(messages, context.columns).Text();
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
    context.err << "tavrilo: " << messages.Shown(*refusal) << '\n'
                << messages.Shown("Cli.TryHelp") << '\n';
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
  Context context{dataRoot, std::cin, out, err};
  context.columns = platform::OutputTerminalColumns().value_or(80);
  return RunCommandLine(ParseArguments(args), context);
}

int RunCommandLineOrWindow(const std::vector<std::string>& args, const std::string& programName,
                           const std::string& applicationDirectory,
                           const std::vector<std::string>& windowPrograms, std::ostream& out,
                           std::ostream& err) {
  Context context{DataRoot(), std::cin, out, err};
  context.columns = platform::OutputTerminalColumns().value_or(80);
  const ParsedArguments arguments = ParseArguments(args);
  if (const std::optional<int> status = RunUnlessWindow(arguments, context)) return *status;
  std::string program = applicationDirectory + windowPrograms.front();
  for (const std::string& candidate : windowPrograms) {
    const std::optional<platform::FileStatus> status =
        platform::Status(applicationDirectory + candidate);
    if (status && status->kind == platform::FileKind::kRegular) {
      program = applicationDirectory + candidate;
      break;
    }
  }
  std::vector<std::string> programArgs = {programName};
  programArgs.insert(programArgs.end(), args.begin(), args.end());
  const platform::ErrorCode error = platform::ReplaceProcess(program, programArgs);
  const Messages messages(context.dataRoot,
                          CommandLineLanguage(std::nullopt, context.environment, context.dataRoot));
  std::string line = "tavrilo: ";
  messages.AppendTo(
      line, Text{"Cli.WindowNotStarted", {program, messages.Shown(platform::ReasonOf(error))}},
      Form::kTerminal);
  err << line << '\n';
  return kTrouble;
}

bool WantsCommandLine(const std::vector<std::string>& args) {
  const ParsedArguments arguments = ParseArguments(args);
  return arguments.error || arguments.options.action != Action::kWindow;
}

}  // namespace tavrilo::cli
