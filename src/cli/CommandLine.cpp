#include "cli/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "Branding.h"
#include "core/Ansi.h"
#include "core/Errors.h"
#include "core/LineReader.h"
#include "core/Locations.h"
#include "core/Paths.h"
#include "core/StringList.h"
#include "core/Text.h"
#include "core/WholeFile.h"
#include "datafiles/GameChoice.h"
#include "datafiles/IniFile.h"
#include "datafiles/Language.h"
#include "game/Console.h"
#include "game/Diagnostics.h"
#include "install/SupportFiles.h"

namespace tavrilo::cli {

namespace {

// ---- texts -----------------------------------------------------------------------

// The texts of the caption file of the stored language, shown in UTF-8.
class Messages {
 public:
  explicit Messages(const std::string& dataRoot) {
    // The language the window starts in; English when it would start in none.
    datafiles::Language language =
        datafiles::LanguageAtStartup(datafiles::IniFile(SettingsForReading(dataRoot)));
    if (language == datafiles::Language::kNone) language = datafiles::Language::kEnglish;
    ReadWholeFile(dataRoot + datafiles::FilesOf(language).captionsPath, captions_);
  }

  std::string Format(const Text& text) const {
    const std::optional<std::string> pattern =
        datafiles::FindIniValue(captions_, datafiles::kGeneralSection, text.key);
    if (!pattern || pattern->empty()) return Utf8FromAnsi(FallbackText(text));
    std::vector<std::string> args;
    for (const std::string& arg : text.args)
      args.push_back(IsUtf8WithHighBytes(arg) ? arg : Utf8FromAnsi(arg));
    return FormatText(Utf8FromAnsi(*pattern), args);
  }

  std::string operator()(std::string key, std::vector<std::string> args = {}) const {
    return Format(Text{std::move(key), std::move(args)});
  }

 private:
  std::string captions_;
};

// ---- files -------------------------------------------------------------------------

// The whole file, or the message of the failure.
struct FileBytes {
  std::string bytes;
  std::optional<std::string> failure;
};

// The program's own message for a file that cannot be read: the line reader's.
std::string FailureOf(const std::string& path) {
  try {
    LineReader reader(path);
    reader.AtEnd();
  } catch (const Error& error) {
    return error.what();
  }
  return std::strerror(errno);
}

FileBytes ReadFileBytes(const std::string& path) {
  FileBytes result;
  if (ReadWholeFile(path, result.bytes) != 0) result.failure = FailureOf(path);
  return result;
}

// ---- the check -----------------------------------------------------------------------

struct Counts {
  int errors = 0;
  int notes = 0;
};

// Checks one file's bytes as the game reads them, printing each finding.
void CheckBytes(const std::string& name, std::string_view bytes, game::Game game,
                const game::SupportFiles& support, const Messages& say, std::ostream& out,
                Counts& counts) {
  StringList lines;
  game::ListDiagnostics diagnostics(lines, game, support);
  const std::vector<std::string_view> split = game::LinesOf(bytes);
  for (std::size_t i = 0; i < split.size(); ++i) {
    std::string_view line = split[i];
    const bool lineFeed = line.data() + line.size() < bytes.data() + bytes.size();
    game::LineEnd end = lineFeed ? game::LineEnd::kLf : game::LineEnd::kNone;
    if (lineFeed && line.ends_with('\r')) {
      line.remove_suffix(1);
      end = game::LineEnd::kCrLf;
    }
    lines.Add(line);
    diagnostics.Appended(end);
  }
  auto print = [&](int row, game::Severity severity, const Text& text) {
    const bool error = severity == game::Severity::kError;
    (error ? counts.errors : counts.notes) += 1;
    out << name << ':' << row + 1 << ": " << say(error ? "Check.Error" : "Check.Note") << ": "
        << say.Format(text) << '\n';
  };
  for (int row = 0; row < lines.Count(); ++row) {
    if (diagnostics.WorstOf(row) == game::Severity::kNone) continue;
    for (const game::Finding& finding : diagnostics.FindingsOf(row))
      print(row, finding.severity, finding.text);
  }
  if (diagnostics.OverLimit()) {
    print(diagnostics.FirstEntryOverLimit(), game::Severity::kError,
          game::OverLimitText(diagnostics.SavedSize(), game));
  }
}

void PrintHelp(const Messages& say, std::ostream& out) {
  for (const char* key : {"Check.HelpUsage", "Check.HelpCheck", "Check.HelpGame", "Check.HelpHelp",
                          "Check.HelpVersion", "Check.HelpStatus"})
    out << say(key) << '\n';
}

std::string_view VersionText() {
  std::string_view title = kApplicationTitle;
  while (title.ends_with(' '))
    title.remove_suffix(1);
  return title;
}

}  // namespace

bool WantsCommandLine(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--check" || arg == "--help" || arg == "--version") return true;
  }
  return false;
}

int RunCommandLine(const std::vector<std::string>& args, const std::string& dataRoot,
                   std::ostream& out, std::ostream& err) {
  const Messages say(dataRoot);
  bool check = false, help = false, version = false, options = true;
  std::optional<game::Game> game;
  std::vector<std::string> files;
  auto usage = [&](const std::string& message) {
    err << message << '\n' << say("Check.HelpUsage") << '\n';
    return kTrouble;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && arg == "--check") {
      check = true;
    } else if (options && arg == "--help") {
      help = true;
    } else if (options && arg == "--version") {
      version = true;
    } else if (options && (arg == "--game" || arg.starts_with("--game="))) {
      std::string value = arg == "--game" ? (i + 1 < args.size() ? args[++i] : "") : arg.substr(7);
      game = game::GameFromSettingsName(value);
      if (!game) return usage(say("Check.UnknownGame", {value}));
    } else if (options && arg.size() > 1 && arg.starts_with('-')) {
      return usage(say("Check.UnknownOption", {arg}));
    } else {
      files.push_back(arg);
    }
  }
  if (help) {
    PrintHelp(say, out);
    return kRunsAsWritten;
  }
  if (version) {
    out << VersionText() << '\n';
    return kRunsAsWritten;
  }
  if (!check || files.empty()) return usage(say("Check.NoFiles"));

  if (!game) game = datafiles::ReadGameChoice(datafiles::IniFile(SettingsForReading(dataRoot)));
  const game::SupportFiles support = install::ReadSupportFiles(dataRoot);
  Counts counts;
  bool unreadable = false;
  for (const std::string& name : files) {
    const FileBytes file = ReadFileBytes(name);
    if (file.failure) {
      err << name << ": " << say("Check.Unreadable", {*file.failure}) << '\n';
      unreadable = true;
      continue;
    }
    CheckBytes(name, file.bytes, *game, support, say, out, counts);
  }
  out << say("Check.Summary", {std::to_string(files.size()), std::to_string(counts.errors),
                               std::to_string(counts.notes)})
      << '\n';
  if (unreadable) return kTrouble;
  return counts.errors > 0 ? kFindings : kRunsAsWritten;
}

}  // namespace tavrilo::cli
