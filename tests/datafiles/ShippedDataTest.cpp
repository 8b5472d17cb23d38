// The data files the program ships, loaded through the program's own loaders: both
// languages complete and parallel, every recognised catalogue command offered, every
// caption present, access keys unambiguous, Windows-1252 bytes with CR LF, and every
// command one that the game's console runs when a key is bound to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ConsoleRules.h"
#include "TestSupport.h"
#include "core/LineReader.h"
#include "core/StringList.h"
#include "datafiles/IniFile.h"
#include "datafiles/Language.h"
#include "macros/LineComposition.h"

namespace tavrilo {
namespace {

using datafiles::IniFile;
using datafiles::Language;
using datafiles::LanguageState;
using testing::ReadFile;
using testing::ShippedDataDir;
using testing::TextFileFaults;
namespace console = testing::console;

struct LanguageSet {
  const char* name;
  Language language;
  std::string_view userDefined;  // the user-defined function's wording
  std::string_view otherUserDefined;
};
const LanguageSet kLanguages[] = {
    {"fr", Language::kFrench, testing::kUserDefinedFrench, testing::kUserDefinedEnglish},
    {"en", Language::kEnglish, testing::kUserDefinedEnglish, testing::kUserDefinedFrench},
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
  int userDefinedRows = 0;
  for (int i = 0; i < french.second.Count(); ++i) {
    if (french.second.At(i) == testing::kUserDefinedFrench) {
      ++userDefinedRows;
      EXPECT_EQ(english.second.At(i), testing::kUserDefinedEnglish) << "row " << i;
    } else {
      EXPECT_EQ(french.second.At(i), english.second.At(i)) << "row " << i;
    }
  }
  EXPECT_EQ(userDefinedRows, 1);
}

TEST(ShippedCatalogues, OfferEveryCommandThatTheFunctionFieldRecognises) {
  for (const auto& set : kLanguages) {
    SCOPED_TRACE(set.name);
    const Pairs catalogue = LoadPairs(CatalogueOf(set));
    const std::vector<std::string>& commands = catalogue.second.Items();
    auto offered = [&](std::string_view command) {
      return std::count(commands.begin(), commands.end(), command);
    };
    for (const auto& row : testing::kAliasCommands) {
      EXPECT_EQ(offered(row.catalogueCommand), 1) << row.catalogueCommand;
    }
    for (std::string_view chat : testing::kChatCommands)
      EXPECT_EQ(offered(chat), 1) << chat;
    EXPECT_EQ(offered(set.userDefined), 1);
    EXPECT_EQ(offered(set.otherUserDefined), 0) << "the other language's wording";
  }
}

// The line the add action composes for a catalogue command, or "" for the user-defined
// function, which binds whatever the user types.
std::string BindingLineFor(const std::string& command) {
  if (command == testing::kUserDefinedFrench || command == testing::kUserDefinedEnglish) {
    return "";
  }
  std::string bound(testing::BoundToken(command));
  for (std::string_view chat : testing::kChatCommands) {
    if (command == chat) bound += " Salut tout le monde";
  }
  return "bind \"q\" \"" + bound + "\"";
}

TEST(ShippedCatalogues, BindOnlyCommandsThatTheConsoleRuns) {
  console::Rules rules;
  rules.LearnAliases(ReadFile(testing::ShippedSupportDir() + "Alias.cfg"));
  for (const auto& set : kLanguages) {
    SCOPED_TRACE(set.name);
    const Pairs catalogue = LoadPairs(CatalogueOf(set));
    for (const std::string& command : catalogue.second.Items()) {
      EXPECT_EQ(command.find('"'), std::string::npos) << command;
      const std::string line = BindingLineFor(command);
      if (line.empty()) continue;
      for (const std::string& fault : rules.CheckLine(line)) {
        ADD_FAILURE() << "\"" << command << "\": " << fault;
      }
    }
  }
}

// ------------------------------------------------------------------- external resources

TEST(ShippedResources, PairTheSameCommandsInBothLanguagesAndTheConsoleRunsThem) {
  const Pairs french = LoadPairs("externs-fr.dat");
  const Pairs english = LoadPairs("externs-en.dat");
  EXPECT_EQ(french.second.Items(), english.second.Items());
  console::Rules rules;
  for (const auto& set : kLanguages) {
    SCOPED_TRACE(set.name);
    const Pairs resources = LoadPairs(ResourcesOf(set));
    ASSERT_EQ(resources.first.Count(), resources.second.Count());
    EXPECT_GE(resources.first.Count(), 8);
    std::set<std::string> descriptions;
    for (int i = 0; i < resources.first.Count(); ++i) {
      const std::string command(resources.second.At(i));
      EXPECT_FALSE(resources.first.At(i).empty()) << "description " << i;
      EXPECT_TRUE(descriptions.emplace(resources.first.At(i)).second) << resources.first.At(i);
      EXPECT_FALSE(command.empty()) << "command " << i;
      EXPECT_EQ(command.find('"'), std::string::npos) << command;
      for (const std::string& fault : rules.CheckLine("bind \"q\" \"" + command + "\"")) {
        ADD_FAILURE() << "\"" << command << "\": " << fault;
      }
    }
    for (std::string_view file : testing::kSupportFileNames) {
      const std::string exec = "exec " + std::string(file);
      const std::vector<std::string> commands = resources.second.Items();
      EXPECT_EQ(std::count(commands.begin(), commands.end(), exec), 1) << exec;
    }
  }
}

// ------------------------------------------------------------------- definable functions

TEST(ShippedDefinableFunctions, AreDistinctGameNamesThatTakeAnArgument) {
  const std::vector<std::string> functions = LoadLines("user.dat");
  EXPECT_GE(functions.size(), 20u);
  std::set<std::string> seen;
  for (const std::string& function : functions) {
    EXPECT_TRUE(seen.insert(function).second) << function << " is listed twice";
    const auto words = console::Tokenize(function).argv;
    ASSERT_EQ(words.size(), 1u) << "\"" << function << "\" is not one word";
    EXPECT_EQ(words[0], function) << "quotes or blanks around \"" << function << "\"";
    EXPECT_TRUE(console::IsCommand(function) || console::IsCvar(function))
        << "\"" << function << "\" is not a command or cvar of the game";
  }
}

// ------------------------------------------------------------------- captions

TEST(ShippedCaptions, HoldEveryKeyOnceInReadingOrderWithATextInBothLanguages) {
  const std::vector<std::string> keys = AllCaptionKeys();
  for (const auto& set : kLanguages) {
    SCOPED_TRACE(set.name);
    const std::string path = DataPath(CaptionsOf(set));
    const std::vector<std::string> lines = testing::ShippedLines(ReadFile(path));
    ASSERT_EQ(lines.size(), keys.size() + 1);
    EXPECT_EQ(lines[0], "[General]");
    const IniFile ini(path);
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const std::string value = ini.ReadString(datafiles::kGeneralSection, keys[i], "");
      EXPECT_FALSE(value.empty()) << keys[i];
      EXPECT_EQ(lines[i + 1], keys[i] + "=" + value)
          << "the file's line and what the program reads differ for " << keys[i];
    }
  }
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
