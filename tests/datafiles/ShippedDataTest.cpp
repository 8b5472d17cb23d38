// SPDX-License-Identifier: GPL-3.0-or-later
// The data files the program ships, loaded through the program's own loaders: both
// languages complete and parallel, every recognised catalogue command offered, every
// caption present, access keys unambiguous, Windows-1252 bytes with CR LF, and every
// line the program composes from them one that the game runs as written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ShippedFiles.h"
#include "TestSupport.h"
#include "core/LineReader.h"
#include "core/StringList.h"
#include "datafiles/IniFile.h"
#include "datafiles/Language.h"
#include "game/Check.h"
#include "game/CommandReader.h"
#include "game/Names.h"
#include "install/SupportFiles.h"
#include "macros/CommandTranslation.h"
#include "macros/LineComposition.h"

namespace tavrilo {
namespace {

using datafiles::IniFile;
using datafiles::Language;
using datafiles::LanguageState;
using testing::ReadFile;
using testing::ShippedDataDir;
using testing::TextFileFaults;

struct LanguageSet {
  const char* name;
  Language language;
};
const LanguageSet kLanguages[] = {
    {"fr", Language::kFrench},
    {"en", Language::kEnglish},
};

std::string DataPath(const std::string& name) {
  return ShippedDataDir() + name;
}
std::string CatalogueOf(const LanguageSet& set) {
  return "fcts-" + std::string(set.name) + ".dat";
}
std::string ResourcesOf(const LanguageSet& set) {
  return "externs-" + std::string(set.name) + ".dat";
}
std::string CaptionsOf(const LanguageSet& set) {
  return "dics-" + std::string(set.name) + ".ini";
}

struct Pairs {
  StringList first;
  StringList second;
};

Pairs LoadPairs(const std::string& name) {
  LineReader reader(DataPath(name));
  Pairs pairs;
  ReadLinePairs(reader, pairs.first, pairs.second);
  return pairs;
}

std::vector<std::string> LoadLines(const std::string& name) {
  LineReader reader(DataPath(name));
  StringList lines;
  ReadLines(reader, lines);
  return lines.Items();
}

// The caption keys a language's caption file holds: the 21 of the reload, then the
// about box's.
std::vector<std::string> AllCaptionKeys() {
  std::vector<std::string> keys(datafiles::kCaptionKeys.begin(), datafiles::kCaptionKeys.end());
  keys.emplace_back(datafiles::kAboutBoxCaptionKey);
  return keys;
}

bool IsCaptionOfTheMainWindow(std::string_view key) {
  return key.ends_with(".Caption") && key != datafiles::kAboutBoxCaptionKey;
}

// The access key of a caption ("&" before a letter; "&&" shows one "&"), lower-cased;
// '\0' when there is none. Sets `count` to the number of access keys marked.
char AccessKey(std::string_view caption, int& count) {
  count = 0;
  char key = '\0';
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (i + 1 < caption.size() && caption[i + 1] == '&') {
      ++i;
      continue;
    }
    if (i + 1 < caption.size()) {
      ++count;
      key = static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
    }
  }
  return key;
}

std::size_t VisibleLength(std::string_view caption) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    ++length;
  }
  return length;
}

// ------------------------------------------------------------------- bytes and lines

TEST(ShippedTextFileRules, CatchTheFaultsOfABadlyWrittenFile) {
  EXPECT_TRUE(TextFileFaults("Menu g\xE9n\xE9ral\r\nZoom\r\n").empty());
  EXPECT_FALSE(TextFileFaults("").empty());
  EXPECT_FALSE(TextFileFaults("\xEF\xBB\xBFZoom\r\n").empty()) << "byte-order mark";
  EXPECT_FALSE(TextFileFaults("Menu g\xC3\xA9n\xC3\xA9ral\r\n").empty()) << "UTF-8";
  EXPECT_FALSE(TextFileFaults("Zoom\nscore\r\n").empty()) << "lone LF";
  EXPECT_FALSE(TextFileFaults("Zoom\rscore\r\n").empty()) << "lone CR";
  EXPECT_FALSE(TextFileFaults("Zoom\r\nscore").empty()) << "no final CR LF";
  EXPECT_FALSE(TextFileFaults("Zoom\r\n\x1A").empty()) << "end-of-file mark";
  EXPECT_FALSE(TextFileFaults("Zo\x81om\r\n").empty()) << "undefined in Windows-1252";
  EXPECT_FALSE(TextFileFaults("Zoom\tscore\r\n").empty()) << "control byte";
}

TEST(ShippedDataFiles, AreWindows1252WithCrLfAfterEveryLine) {
  const char* files[] = {"dics-fr.ini",    "dics-en.ini",    "fcts-fr.dat", "fcts-en.dat",
                         "externs-fr.dat", "externs-en.dat", "user.dat"};
  for (const char* name : files) {
    SCOPED_TRACE(name);
    const std::string bytes = ReadFile(DataPath(name));
    for (const std::string& fault : TextFileFaults(bytes))
      ADD_FAILURE() << fault;
    for (const std::string& line : testing::ShippedLines(bytes)) {
      EXPECT_FALSE(line.empty()) << "an empty line is an entry of its own";
    }
  }
}

// ------------------------------------------------------------------- function catalogues

TEST(ShippedCatalogues, PairTheSameFunctionsInTheSameOrderInBothLanguages) {
  const Pairs french = LoadPairs("fcts-fr.dat");
  const Pairs english = LoadPairs("fcts-en.dat");
  for (const auto& set : kLanguages) {
    SCOPED_TRACE(set.name);
    const std::string name = CatalogueOf(set);
    EXPECT_EQ(testing::ShippedLines(ReadFile(DataPath(name))).size() % 2, 0u)
        << "an odd last line gets an empty partner";
    const Pairs catalogue = LoadPairs(name);
    ASSERT_EQ(catalogue.first.Count(), catalogue.second.Count());
    EXPECT_GE(catalogue.first.Count(), 60);
    std::set<std::string> names, commands;
    for (int i = 0; i < catalogue.first.Count(); ++i) {
      EXPECT_FALSE(catalogue.first.At(i).empty()) << "display name " << i;
      EXPECT_FALSE(catalogue.second.At(i).empty()) << "command " << i;
      EXPECT_TRUE(names.emplace(catalogue.first.At(i)).second)
          << "two functions show \"" << catalogue.first.At(i) << "\"";
      EXPECT_TRUE(commands.emplace(catalogue.second.At(i)).second)
          << "\"" << catalogue.second.At(i) << "\" is offered twice";
    }
  }
  ASSERT_EQ(french.second.Count(), english.second.Count());
  for (int i = 0; i < french.second.Count(); ++i) {
    EXPECT_EQ(macros::TranslateCommand(french.second.At(i)),
              macros::TranslateCommand(english.second.At(i)))
        << "row " << i;
  }
}

TEST(ShippedCatalogues, OfferEveryCommandThatTheFunctionFieldRecognises) {
  // The tokens the add action writes a line of its own for, or binds to an alias.
  const char* const recognised[] = {
      "zoom",         "Free-Look",   "Cycle-Hand", "Cycle-Wave",   "Cycle-Crosshair",
      "Cycle-Weapon", "NextPowerUp", "UsePowerUp", "QuickMapMode", "+QuickGrenades",
      "say",          "say_team",    "User"};
  for (const auto& set : kLanguages) {
    SCOPED_TRACE(set.name);
    std::vector<std::string> tokens;
    for (const std::string& command : LoadPairs(CatalogueOf(set)).second.Items())
      tokens.push_back(macros::TranslateCommand(command));
    for (const char* token : recognised)
      EXPECT_EQ(std::count(tokens.begin(), tokens.end(), token), 1) << token;
  }
}

game::SupportFiles ShippedSupportFiles() {
  return install::ReadSupportFiles(testing::SourceDir());
}

// Every error of the check of `lines` for `game` (what the game does not run as written),
// as "line: key"; notes leave the exit status of the check at 0.
std::vector<std::string> FindingsOfList(const std::vector<std::string>& lines,
                                        game::Game which = game::Game::kQuake2) {
  StringList entries;
  for (const std::string& line : lines)
    entries.Add(line);
  const game::CheckResult result = game::CheckList(entries, 0, which, ShippedSupportFiles());
  std::vector<std::string> findings;
  for (const game::Finding& finding : result.Findings()) {
    if (finding.severity != game::Severity::kError) continue;
    findings.push_back(lines[static_cast<std::size_t>(finding.line)] + ": " +
                       FallbackText(result.TextOf(finding)));
  }
  return findings;
}

constexpr game::Game kBothGames[] = {game::Game::kQuake2, game::Game::kYamagi};

// The fields after the user chose a key and a function.
constexpr macros::ShownFields kChosen{"a", "Zoom", "", ""};

TEST(ShippedCatalogues, BindOnlyWhatTheGameRunsOnceAliasCfgRan) {
  const std::vector<std::string> keys = testing::DistinctKeys();
  for (const auto& set : kLanguages)
    for (game::Game which : kBothGames) {
      SCOPED_TRACE(std::string(set.name) + (which == game::Game::kYamagi ? " Yamagi" : ""));
      std::vector<std::string> lines = {"exec Alias.cfg"};
      const Pairs catalogue = LoadPairs(CatalogueOf(set));
      ASSERT_LE(static_cast<std::size_t>(catalogue.second.Count()), keys.size());
      for (int i = 0; i < catalogue.second.Count(); ++i) {
        // "score" as the chat text: said, or run as the user-defined command.
        lines.push_back(*macros::ComposeBinding(kChosen, keys[static_cast<std::size_t>(i)],
                                                macros::TranslateCommand(catalogue.second.At(i)),
                                                "score", which));
      }
      EXPECT_EQ(FindingsOfList(lines, which), std::vector<std::string>{});
    }
}

// ------------------------------------------------------------------- external resources

TEST(ShippedResources, PairTheSameCommandsInBothLanguagesAndTheConsoleRunsThem) {
  const Pairs french = LoadPairs("externs-fr.dat");
  const Pairs english = LoadPairs("externs-en.dat");
  EXPECT_EQ(french.second.Items(), english.second.Items());
  for (const auto& set : kLanguages) {
    SCOPED_TRACE(set.name);
    const Pairs resources = LoadPairs(ResourcesOf(set));
    ASSERT_EQ(resources.first.Count(), resources.second.Count());
    EXPECT_GE(resources.first.Count(), 8);
    std::set<std::string> descriptions;
    std::vector<std::string> lines;
    for (int i = 0; i < resources.first.Count(); ++i) {
      const std::string command(resources.second.At(i));
      EXPECT_FALSE(resources.first.At(i).empty()) << "description " << i;
      EXPECT_TRUE(descriptions.emplace(resources.first.At(i)).second) << resources.first.At(i);
      EXPECT_FALSE(command.empty()) << "command " << i;
      lines.push_back(*macros::ComposeExternalBinding(
          i, testing::DistinctKeys()[static_cast<std::size_t>(i)], command));
    }
    EXPECT_EQ(FindingsOfList(lines), std::vector<std::string>{});
    for (std::string_view file : testing::kSupportFileNames) {
      const std::string exec = "exec " + std::string(file);
      const std::vector<std::string> commands = resources.second.Items();
      EXPECT_EQ(std::count(commands.begin(), commands.end(), exec), 1) << exec;
    }
  }
}

// ------------------------------------------------------------------- definable functions

TEST(ShippedDefinableFunctions, AreDistinctGameNamesThatTakeAQuotedArgument) {
  const std::vector<std::string> functions = LoadLines("user.dat");
  EXPECT_GE(functions.size(), 20u);
  std::set<std::string> seen;
  std::vector<std::string> calls;
  for (const std::string& function : functions) {
    EXPECT_TRUE(seen.insert(function).second) << function << " is listed twice";
    game::Words words;
    game::ReadWords(function, game::Game::kQuake2, words);
    ASSERT_EQ(words.Count(), 1u) << "\"" << function << "\" is not one word";
    EXPECT_EQ(words[0], function) << "quotes or blanks around \"" << function << "\"";
    const game::NameInfo* info = game::FindName(game::Game::kQuake2, function);
    EXPECT_TRUE(info != nullptr && (info->IsCommand() || info->IsCvar() || info->serverCommand))
        << "\"" << function << "\" is not a command or cvar of the game";
    // The add action quotes the arguments: a command that reads them raw gets the quotes.
    calls.push_back(macros::ComposeDefinableCall(function, "1"));
  }
  for (game::Game which : kBothGames) {
    std::vector<std::string> errors = FindingsOfList(calls, which);
    // A definable function the chosen game does not have is the only error allowed.
    std::erase_if(errors, [&](const std::string& error) {
      return which == game::Game::kYamagi && error.find("Check.UnknownName") != std::string::npos;
    });
    EXPECT_EQ(errors, std::vector<std::string>{});
  }
}

// ------------------------------------------------------------------- captions

TEST(ShippedCaptions, HoldTheReloadsKeysFirstThenTheSameKeysInBothLanguages) {
  const std::vector<std::string> keys = AllCaptionKeys();
  std::map<std::string, std::vector<std::string>> keysOf;
  for (const auto& set : kLanguages) {
    SCOPED_TRACE(set.name);
    const std::string path = DataPath(CaptionsOf(set));
    const std::vector<std::string> lines = testing::ShippedLines(ReadFile(path));
    ASSERT_GT(lines.size(), keys.size());
    EXPECT_EQ(lines[0], "[General]");
    const IniFile ini(path);
    std::set<std::string> seen;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::string key = lines[i].substr(0, lines[i].find('='));
      EXPECT_TRUE(seen.insert(key).second) << key << " twice";
      if (i <= keys.size()) {
        EXPECT_EQ(key, keys[i - 1]) << "the reload's keys come first, in order";
      }
      const std::string value = ini.ReadString(datafiles::kGeneralSection, key, "");
      EXPECT_FALSE(value.empty()) << key;
      EXPECT_EQ(lines[i], key + "=" + value)
          << "the file's line and what the program reads differ for " << key;
      keysOf[set.name].push_back(key);
    }
  }
  EXPECT_EQ(keysOf["fr"], keysOf["en"]);
}

TEST(ShippedCaptions, FrenchKeyAndFunctionPromptsAreTheGuardTexts) {
  const IniFile french(DataPath("dics-fr.ini"));
  EXPECT_EQ(french.ReadString(datafiles::kGeneralSection, "LetterComboBox.Text", ""),
            macros::kKeyGuardText);
  EXPECT_EQ(french.ReadString(datafiles::kGeneralSection, "FonctionComboBox.Text", ""),
            macros::kFunctionGuardText);
}

TEST(ShippedCaptions, AccessKeysAreUnambiguousAndTheSameButtonsHaveThem) {
  std::map<std::string, std::set<std::string>> controlsWithKeys;
  for (const auto& set : kLanguages) {
    SCOPED_TRACE(set.name);
    const IniFile ini(DataPath(CaptionsOf(set)));
    std::map<char, std::string> owners;
    for (const std::string& key : AllCaptionKeys()) {
      if (!IsCaptionOfTheMainWindow(key)) continue;
      const std::string caption = ini.ReadString(datafiles::kGeneralSection, key, "");
      int count = 0;
      const char access = AccessKey(caption, count);
      EXPECT_LE(count, 1) << key << ": \"" << caption << "\"";
      if (count == 0) continue;
      EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(access))) << key;
      controlsWithKeys[set.name].insert(key);
      auto [owner, added] = owners.emplace(access, key);
      EXPECT_TRUE(added) << key << " and " << owner->second << " share Alt+" << access;
    }
  }
  EXPECT_FALSE(controlsWithKeys["fr"].empty());
  EXPECT_EQ(controlsWithKeys["fr"], controlsWithKeys["en"]);
}

// Each button's caption against its width: an average character of the window's 11-pixel
// font is taken as 5.6 pixels, 6.8 in bold, which the design's own texts just fit.
TEST(ShippedCaptions, FitTheirButtons) {
  struct Button {
    const char* key;
    int width;
    bool bold;
  };
  const Button buttons[] = {
      {"AddBtn.Caption", 40, false},          {"AddPersoBtn1.Caption", 40, false},
      {"AddPredefBtn.Caption", 40, false},    {"NewFctBtn.Caption", 40, false},
      {"LoadBtn.Caption", 156, true},         {"SauverBtn.Caption", 155, true},
      {"DeleteAllBtn.Caption", 156, true},    {"DeleteBtn.Caption", 155, true},
      {"InstallerCfgBtn.Caption", 260, true}, {"RessourcesExternesBtn.Caption", 131, true},
      {"AboutBtn.Caption", 130, true},        {"AddPersoBtn.Caption", 291, true},
      {"RefreshBtn.Caption", 290, true},
  };
  for (const auto& set : kLanguages) {
    SCOPED_TRACE(set.name);
    const IniFile ini(DataPath(CaptionsOf(set)));
    for (const Button& button : buttons) {
      const std::string caption = ini.ReadString(datafiles::kGeneralSection, button.key, "");
      const std::size_t tenthsOfPixels = VisibleLength(caption) * (button.bold ? 68 : 56);
      EXPECT_LE(tenthsOfPixels, static_cast<std::size_t>(button.width) * 10)
          << button.key << ": \"" << caption << "\"";
    }
  }
}

// ------------------------------------------------------------------- the language state

TEST(ShippedData, LoadsIntoTheLanguageStateOfAnInstalledProgram) {
  testing::TempDir appDir;
  testing::InstallShippedData(appDir.Path());
  LanguageState state(appDir.Path());
  for (const auto& set : kLanguages) {
    SCOPED_TRACE(set.name);
    ASSERT_NO_THROW(state.Select(set.language));
    EXPECT_EQ(state.Selected(), set.language);
    const Pairs catalogue = LoadPairs(CatalogueOf(set));
    const Pairs resources = LoadPairs(ResourcesOf(set));
    EXPECT_EQ(state.functionNames.Items(), catalogue.first.Items());
    EXPECT_EQ(state.functionCommands.Items(), catalogue.second.Items());
    EXPECT_EQ(state.resourceDescriptions.Items(), resources.first.Items());
    EXPECT_EQ(state.resourceCommands.Items(), resources.second.Items());
    const IniFile ini(DataPath(CaptionsOf(set)));
    for (std::string_view key : datafiles::kCaptionKeys) {
      EXPECT_EQ(state.captions.Get(key), ini.ReadString(datafiles::kGeneralSection, key, ""))
          << key;
      EXPECT_FALSE(state.captions.Get(key).empty()) << key;
    }
    EXPECT_FALSE(state.ReadAboutCaption().empty());
  }
  ASSERT_NO_THROW(state.LoadDefinableFunctions());
  EXPECT_EQ(state.definableFunctions.Items(), LoadLines("user.dat"));
  EXPECT_FALSE(state.definableFunctions.Empty());
}

}  // namespace
}  // namespace tavrilo
