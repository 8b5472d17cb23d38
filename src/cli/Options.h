// SPDX-License-Identifier: GPL-3.0-or-later
// The program's arguments, read the way Qt programs read theirs (QCommandLineParser), with
// no Qt: the command line also runs where Qt is not installed.
//
//   tavrilo [FILE.cfg]                           the window, with FILE.cfg loaded
//   tavrilo --check [--game quake2|yamagi] [--lang en|fr] [--format text|json|sarif]
//                   [--game-dir DIR] [--user-dir DIR] FILE...
//   tavrilo --list-codes [--lang en|fr], tavrilo --explain CODE
//   tavrilo -h|--help, tavrilo -v|--version
//
// "--name value" and "--name=value" both give a value; short flags may be grouped ("-hv"
// is -h then -v); the first of --help and --version given is the one answered; only
// --check and the window take files;
// "--" ends the options and "-" alone is a file (standard input for --check). Qt's own
// options (-platform NAME, -style NAME, -reverse...) are taken as a Qt program takes them,
// and handed to Qt as they were given when the window opens; without a window they do
// nothing. File names stay the bytes they were given.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Text.h"
#include "datafiles/Language.h"
#include "game/Game.h"

namespace tavrilo::cli {

enum class Action { kWindow, kHelp, kVersion, kCheck, kListCodes, kExplain };
enum class Format { kText, kJson, kSarif };

struct Options {
  Action action = Action::kWindow;
  std::optional<game::Game> game;               // --game
  std::optional<datafiles::Language> language;  // --lang
  Format format = Format::kText;                // --format
  // --game-dir: the game's folder, whose start-up files the check starts from; --user-dir:
  // Yamagi Quake II's own folder of the player's files (found as the game finds it if not
  // given).
  std::optional<std::string> gameFolder, userFolder;
  std::vector<std::string> files;            // --check: the files; the window: at most one
  std::string explained;                     // --explain: the finding's code
  std::vector<std::string> windowArguments;  // Qt's own options for the window, as given
};

struct ParsedArguments {
  // The options read, up to the error when there is one.
  Options options;
  // Why the arguments are refused: a one-line "Cli.*" text whose values are the
  // arguments at fault.
  std::optional<Text> error;
};

// Reads the program's arguments, its own name left out.
ParsedArguments ParseArguments(const std::vector<std::string>& args);

// Whether the window's arguments choose Qt's style (-style NAME): the program's own
// style is used otherwise.
bool ChoosesStyle(const Options& options);

}  // namespace tavrilo::cli
