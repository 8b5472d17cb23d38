#include "cli/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "Branding.h"
#include "core/Errors.h"
#include "core/LineReader.h"
#include "core/Locations.h"
#include "core/Paths.h"
#include "core/StringList.h"
#include "core/Text.h"
#include "datafiles/GameChoice.h"
#include "datafiles/IniFile.h"
#include "datafiles/Language.h"
#include "game/Console.h"
#include "game/Diagnostics.h"
#include "install/SupportFiles.h"

namespace tavrilo::cli {

namespace {

// ---- texts -----------------------------------------------------------------------

// The characters of the Windows-1252 bytes 0x80 to 0x9F; the five bytes without one keep
// their number.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::string Utf8FromAnsi(std::string_view bytes) {
  std::string utf8;
  utf8.reserve(bytes.size());
  for (char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    const unsigned c = (b >= 0x80 && b <= 0x9F) ? kHighControls[b - 0x80] : b;
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xE0 | (c >> 12));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

// Whether `bytes` hold a byte above 127 and read as UTF-8 (a file name, or a line of a
// file written in UTF-8), in which case they are shown as they are.
bool IsUtf8WithHighBytes(std::string_view bytes) {
  bool high = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    std::size_t length = b < 0x80           ? 1
                         : (b >> 5) == 0x6  ? 2
                         : (b >> 4) == 0xE  ? 3
                         : (b >> 3) == 0x1E ? 4
                                            : 0;
    if (length == 0 || i + length > bytes.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    high = high || length > 1;
    i += length;
  }
  return high;
}

// The texts of the caption file of the stored language, shown in UTF-8.
class Messages {
 public:
  explicit Messages(const std::string& dataRoot) {
    const datafiles::IniFile settings(SettingsForReading(dataRoot));
    // As the window chooses at start-up: French when only its flag is set.
    const bool french = settings.ReadBool(datafiles::kGeneralSection, "fr", true) &&
                        !settings.ReadBool(datafiles::kGeneralSection, "en", true);
    const auto language = french ? datafiles::Language::kFrench : datafiles::Language::kEnglish;
    std::FILE* file =
        std::fopen((dataRoot + datafiles::FilesOf(language).captionsPath).c_str(), "rb");
    if (file == nullptr) return;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
      captions_.append(buffer, n);
    std::fclose(file);
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

FileBytes ReadWholeFile(const std::string& path) {
  FileBytes result;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    result.failure = FailureOf(path);
    return result;
  }
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    result.bytes.append(buffer, n);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) result.failure = FailureOf(path);
  return result;
}

game::SupportFiles ReadSupportFiles(const std::string& dataRoot) {
  game::SupportFiles files;
  for (const install::SupportFile& row : install::kSupportFiles) {
    const std::string name(row.sourceName);
    FileBytes file = ReadWholeFile(dataRoot + std::string(kSupportFilesDirectory) + name);
    if (!file.failure) files.emplace(name, std::move(file.bytes));
  }
  return files;
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
  const game::SupportFiles support = ReadSupportFiles(dataRoot);
  Counts counts;
  bool unreadable = false;
  for (const std::string& name : files) {
    const FileBytes file = ReadWholeFile(name);
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
