// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Options.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tavrilo::cli {

namespace {

// Qt's own options (QGuiApplication, QApplication and the X11 platform), written with
// one dash or two: those that take a value and those that do not.
constexpr std::array<std::string_view, 14> kQtValueOptions = {
    "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
    "display",     "geometry",           "name",          "title"};
constexpr std::array<std::string_view, 5> kQtFlags = {"reverse", "widgetcount", "nograb", "dograb",
                                                      "sync"};

bool Contains(const auto& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) : args_(args) {}

  ParsedArguments Run() {
    std::optional<Action> answer;  // the first of --help and --version
    bool check = false, listCodes = false;
    std::vector<std::string> qtOptions;  // used by the window only
    for (next_ = 0; next_ < args_.size() && !result_.error;) {
      const std::string& arg = args_[next_++];
      if (!optionsEnd_ && arg == "--") {
        optionsEnd_ = true;
      } else if (optionsEnd_ || arg == "-" || !arg.starts_with('-')) {
        result_.options.files.push_back(arg);
      } else if (const std::size_t qt = QtOptionLength(arg); qt > 0) {
        if (next_ - 1 + qt > args_.size()) {
          Fail("Cli.MissingValue", arg);
          break;
        }
        qtOptions.insert(qtOptions.end(), args_.begin() + static_cast<long>(next_ - 1),
                         args_.begin() + static_cast<long>(next_ - 1 + qt));
        next_ += qt - 1;
      } else if (arg.starts_with("--")) {
        Long(arg, answer, check, listCodes);
      } else {
        Short(arg, answer);
      }
    }
    if (result_.error) return std::move(result_);
    Options& options = result_.options;
    options.action = answer                       ? *answer
                     : !options.explained.empty() ? Action::kExplain
                     : listCodes                  ? Action::kListCodes
                     : check                      ? Action::kCheck
                                                  : Action::kWindow;
    const bool takesFiles = options.action == Action::kCheck || options.action == Action::kWindow;
    if (!takesFiles && !options.files.empty()) {
      Fail("Cli.ExtraOperand", options.files.front());
    } else if (options.action == Action::kWindow) {
      options.windowArguments = std::move(qtOptions);
      if (options.files.size() > 1)
        Fail("Cli.OneFileOnly", options.files[1]);
      else if (checkOnly_)
        Fail("Cli.CheckOnly", *checkOnly_);
    } else if (options.action == Action::kCheck && options.files.empty()) {
      Fail("Cli.NoFiles");
    } else if (options.action == Action::kCheck && options.userFolder && !options.gameFolder) {
      Fail("Cli.NeedsGameDir", "--user-dir");
    }
    return std::move(result_);
  }

 private:
  void Fail(std::string key) { result_.error = Text{std::move(key), {}}; }
  void Fail(std::string key, std::string value) {
    result_.error = Text{std::move(key), {std::move(value)}};
  }

  // How many arguments the Qt option `arg` spans, its value included; 0 when it is none.
  std::size_t QtOptionLength(const std::string& arg) const {
    std::string_view name = arg;
    name.remove_prefix(name.starts_with("--") ? 2 : 1);
    if (Contains(kQtFlags, name)) return 1;
    const std::size_t equals = name.find('=');
    if (equals != std::string_view::npos) return Contains(kQtValueOptions, name.substr(0, equals));
    return Contains(kQtValueOptions, name) ? 2 : 0;
  }

  // The value of a long option: after "=", or the next argument whatever it is.
  std::optional<std::string> ValueOf(std::string_view name, std::optional<std::string> given) {
    if (given) return given;
    if (next_ < args_.size()) return args_[next_++];
    Fail("Cli.MissingValue", "--" + std::string(name));
    return std::nullopt;
  }

  void Long(const std::string& arg, std::optional<Action>& answer, bool& check, bool& listCodes) {
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(2, equals == std::string::npos ? equals : equals - 2);
    std::optional<std::string> value;
    if (equals != std::string::npos) value = arg.substr(equals + 1);
    Options& options = result_.options;
    if (name == "help" || name == "version" || name == "check" || name == "list-codes") {
      if (value) return Fail("Cli.UnexpectedValue", "--" + name);
      if (name == "check")
        check = true;
      else if (name == "list-codes")
        listCodes = true;
      else if (!answer)
        answer = name == "help" ? Action::kHelp : Action::kVersion;
    } else if (name == "explain") {
      if ((value = ValueOf(name, value))) options.explained = *value;
    } else if (name == "game") {
      if (!(value = ValueOf(name, value))) return;
      if (!(options.game = game::GameFromSettingsName(*value)))
        Fail("Cli.UnknownGame", *value);
      else
        checkOnly_ = checkOnly_.value_or("--game");
    } else if (name == "lang") {
      if (!(value = ValueOf(name, value))) return;
      if (*value == "en")
        options.language = datafiles::Language::kEnglish;
      else if (*value == "fr")
        options.language = datafiles::Language::kFrench;
      else
        return Fail("Cli.UnknownLanguage", *value);
      checkOnly_ = checkOnly_.value_or("--lang");
    } else if (name == "format") {
      if (!(value = ValueOf(name, value))) return;
      if (*value == "text")
        options.format = Format::kText;
      else if (*value == "json")
        options.format = Format::kJson;
      else if (*value == "sarif")
        options.format = Format::kSarif;
      else
        return Fail("Cli.UnknownFormat", *value);
      checkOnly_ = checkOnly_.value_or("--format");
    } else if (name == "game-dir" || name == "user-dir") {
      if (!(value = ValueOf(name, value))) return;
      (name == "game-dir" ? options.gameFolder : options.userFolder) = *value;
      checkOnly_ = checkOnly_.value_or("--" + name);
    } else {
      Fail("Cli.UnknownOption", equals == std::string::npos ? arg : arg.substr(0, equals));
    }
  }

  // Short flags, alone or grouped.
  void Short(const std::string& arg, std::optional<Action>& answer) {
    for (std::size_t i = 1; i < arg.size(); ++i) {
      if (arg[i] == 'h' || arg[i] == '?' || arg[i] == 'v') {
        if (!answer) answer = arg[i] == 'v' ? Action::kVersion : Action::kHelp;
      } else {
        return Fail("Cli.UnknownOption", std::string{'-', arg[i]});
      }
    }
  }

  const std::vector<std::string>& args_;
  std::size_t next_ = 0;
  bool optionsEnd_ = false;
  // The first option given that only the check reads (the window refuses it).
  std::optional<std::string> checkOnly_;
  ParsedArguments result_;
};

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
  return Parser(args).Run();
}

bool ChoosesStyle(const Options& options) {
  const std::vector<std::string>& args = options.windowArguments;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view name = args[i];
    name.remove_prefix(name.starts_with("--") ? 2 : 1);
    if (name == "style" || name.starts_with("style=")) return true;
    if (Contains(kQtValueOptions, name)) ++i;  // its value
  }
  return false;
}

}  // namespace tavrilo::cli
