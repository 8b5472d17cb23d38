// SPDX-License-Identifier: GPL-3.0-or-later
// The language file sets, the reload, the refresh, the start-up choice, the definable
// functions and the language flags, each with what a failure leaves behind.
#include "datafiles/Language.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/Errors.h"
#include "core/FileError.h"
#include "core/Platform.h"
#include "core/Text.h"
#include "core/WholeFile.h"

namespace tavrilo::datafiles {
namespace {

using testing::Exists;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
using Lines = std::vector<std::string>;

// A caption file that gives every key of the set the text "<prefix> <key>".
std::string CaptionFile(const std::string& prefix, const std::string& aboutCaption) {
  std::string text = "[General]\r\n";
  for (std::string_view key : kCaptionKeys) {
    text += std::string(key) + "=" + prefix + " " + std::string(key) + "\r\n";
  }
  return text + "AboutBox.Caption=" + aboutCaption + "\r\n";
}

std::string PairFile(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

// The two sets differ in their number of entries, so that a list that keeps or
// doubles entries shows.
const Lines kFrenchNames = {"Avancer", "Zoom", "Arme suivante"};
const Lines kFrenchCommands = {"+forward", "Zoom", "weapnext"};
const Lines kFrenchDescriptions = {"Alias", "Vid\xE9o GL"};
const Lines kFrenchResources = {"exec Alias.cfg", "exec GlVid.cfg"};
const Lines kEnglishNames = {"Forward", "Zoom"};
const Lines kEnglishCommands = {"+forward", "Zoom"};
const Lines kEnglishDescriptions = {"Alias", "GL video", "Normal video"};
const Lines kEnglishResources = {"exec Alias.cfg", "exec GlVid.cfg", "exec NormVid.cfg"};

Lines Interleave(const Lines& first, const Lines& second) {
  Lines lines;
  for (std::size_t i = 0; i < first.size(); ++i) {
    lines.push_back(first[i]);
    lines.push_back(second[i]);
  }
  return lines;
}

class LanguageTest : public ::testing::Test {
 protected:
  std::string Data(const std::string& name) const { return dir / ("data/" + name); }

  void WriteFrench() {
    WriteFile(Data("dics-fr.ini"), CaptionFile("fr", "A propos"));
    WriteFile(Data("fcts-fr.dat"), PairFile(Interleave(kFrenchNames, kFrenchCommands)));
    WriteFile(Data("externs-fr.dat"), PairFile(Interleave(kFrenchDescriptions, kFrenchResources)));
  }
  void WriteEnglish() {
    WriteFile(Data("dics-en.ini"), CaptionFile("en", "About"));
    WriteFile(Data("fcts-en.dat"), PairFile(Interleave(kEnglishNames, kEnglishCommands)));
    WriteFile(Data("externs-en.dat"),
              PairFile(Interleave(kEnglishDescriptions, kEnglishResources)));
  }
  void Remove(const std::string& name) { std::filesystem::remove_all(Data(name)); }

  void ExpectCaptions(const LanguageState& state, const std::string& prefix) const {
    for (std::string_view key : kCaptionKeys) {
      EXPECT_EQ(state.captions.Get(key), prefix.empty() ? "" : prefix + " " + std::string(key))
          << key;
    }
  }
  static void ExpectFrenchLists(const LanguageState& state) {
    EXPECT_EQ(state.functionNames.Items(), kFrenchNames);
    EXPECT_EQ(state.functionCommands.Items(), kFrenchCommands);
    EXPECT_EQ(state.resourceDescriptions.Items(), kFrenchDescriptions);
    EXPECT_EQ(state.resourceCommands.Items(), kFrenchResources);
  }
  static void ExpectEnglishLists(const LanguageState& state) {
    EXPECT_EQ(state.functionNames.Items(), kEnglishNames);
    EXPECT_EQ(state.functionCommands.Items(), kEnglishCommands);
    EXPECT_EQ(state.resourceDescriptions.Items(), kEnglishDescriptions);
    EXPECT_EQ(state.resourceCommands.Items(), kEnglishResources);
  }
  static void ExpectPairListsEmpty(const LanguageState& state) {
    EXPECT_TRUE(state.functionNames.Empty());
    EXPECT_TRUE(state.functionCommands.Empty());
    EXPECT_TRUE(state.resourceDescriptions.Empty());
    EXPECT_TRUE(state.resourceCommands.Empty());
  }

  TempDir dir;
};

// The code of the input/output error `action` throws; 0 when it throws nothing.
template <typename Action>
int IoCodeOf(Action action) {
  try {
    action();
  } catch (const FileError& error) {
    return platform::TableCodeFor(error.SystemError(), error.Path());
  }
  return 0;
}

// ---- The sets and the caption keys --------------------------------------------------

TEST(LanguageFiles, EachLanguageHasItsRow) {
  const LanguageFiles french = FilesOf(Language::kFrench);
  EXPECT_EQ(french.externsPath, "data/externs-fr.dat");
  EXPECT_EQ(french.functionsPath, "data/fcts-fr.dat");
  EXPECT_EQ(french.captionsPath, "data/dics-fr.ini");
  const LanguageFiles english = FilesOf(Language::kEnglish);
  EXPECT_EQ(english.externsPath, "data/externs-en.dat");
  EXPECT_EQ(english.functionsPath, "data/fcts-en.dat");
  EXPECT_EQ(english.captionsPath, "data/dics-en.ini");
  const LanguageFiles none = FilesOf(Language::kNone);
  EXPECT_EQ(none.externsPath, "");
  EXPECT_EQ(none.functionsPath, "");
  EXPECT_EQ(none.captionsPath, "");
}

TEST(CaptionKeys, SplitIntoControlAndProperty) {
  const struct {
    std::string_view key, control, property;
  } cases[] = {
      {"MainGroup.Caption", "MainGroup", "Caption"},
      {"SayEdit.Text", "SayEdit", "Text"},
      {"RessourcesExternesBtn.Caption", "RessourcesExternesBtn", "Caption"},
      {"AboutBox.Caption", "AboutBox", "Caption"},
      {"NoPoint", "NoPoint", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ControlOf(c.key), c.control);
    EXPECT_EQ(PropertyOf(c.key), c.property);
  }
  for (std::string_view key : kCaptionKeys) {
    EXPECT_TRUE(PropertyOf(key) == "Caption" || PropertyOf(key) == "Text") << key;
    EXPECT_EQ(std::string(ControlOf(key)) + "." + std::string(PropertyOf(key)), key);
  }
}

TEST(Captions, AnswerAnyKeyOfTheFileAndTheEmptyTextForAnAbsentOne) {
  Captions captions;
  captions.Assign(ParseIniSection(
      "[General]\r\nMainGroup.Caption=Menu\r\nFile.LineTooLong = 'Line %2 of %1' \r\n", "General"));
  EXPECT_EQ(captions.Get("MainGroup.Caption"), "Menu");
  EXPECT_EQ(captions.Get("file.linetoolong"), "Line %2 of %1");
  EXPECT_EQ(captions.Get("SayEdit.Text"), "");
  EXPECT_EQ(captions.Find("SayEdit.Text"), nullptr);
  captions.Clear();
  EXPECT_EQ(captions.Get("MainGroup.Caption"), "");
}

// ---- Choosing a language ------------------------------------------------------------

TEST_F(LanguageTest, NothingIsChosenAtFirst) {
  const LanguageState state(dir.Path());
  EXPECT_EQ(state.Selected(), Language::kNone);
  EXPECT_EQ(state.Files().captionsPath, "");
  EXPECT_EQ(state.ApplicationDirectory(), dir.Path());
  EXPECT_EQ(state.SettingsPath(), dir / "data/config.ini");
}

TEST_F(LanguageTest, SelectingALanguageLoadsItsSet) {
  WriteFrench();
  LanguageState state(dir.Path());
  EXPECT_TRUE(state.Select(Language::kFrench));
  EXPECT_EQ(state.Selected(), Language::kFrench);
  EXPECT_EQ(state.Files().functionsPath, "data/fcts-fr.dat");
  ExpectCaptions(state, "fr");
  ExpectFrenchLists(state);
  EXPECT_EQ(state.functionNames.ItemIndex(), -1);
  EXPECT_EQ(state.resourceDescriptions.ItemIndex(), -1);
  EXPECT_EQ(state.SelectedResource(), -1);
  EXPECT_EQ(state.ReadAboutCaption(), "A propos");
}

TEST_F(LanguageTest, SelectingTheSelectedLanguageReloadsNothing) {
  WriteFrench();
  WriteEnglish();
  LanguageState state(dir.Path());
  ASSERT_TRUE(state.Select(Language::kEnglish));
  WriteFile(Data("dics-en.ini"), CaptionFile("changed", "changed"));
  Remove("fcts-en.dat");
  EXPECT_FALSE(state.Select(Language::kEnglish));
  EXPECT_FALSE(state.Select(Language::kNone));
  EXPECT_EQ(state.Selected(), Language::kEnglish);
  ExpectCaptions(state, "en");
  ExpectEnglishLists(state);
}

TEST_F(LanguageTest, SwitchingBackAndForthNeverAccumulates) {
  WriteFrench();
  WriteEnglish();
  LanguageState state(dir.Path());
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(state.Select(Language::kFrench));
    ExpectFrenchLists(state);
    ExpectCaptions(state, "fr");
    ASSERT_TRUE(state.Select(Language::kEnglish));
    ExpectEnglishLists(state);
    ExpectCaptions(state, "en");
  }
}

TEST_F(LanguageTest, ACaptionFileEditedDuringTheRunShowsAtTheNextReload) {
  WriteFrench();
  WriteEnglish();
  LanguageState state(dir.Path());
  state.Select(Language::kEnglish);
  WriteFile(Data("dics-en.ini"), CaptionFile("edited", "Edited about"));
  ExpectCaptions(state, "en");
  EXPECT_EQ(state.ReadAboutCaption(), "Edited about");  // read at every opening
  state.Select(Language::kFrench);
  state.Select(Language::kEnglish);
  ExpectCaptions(state, "edited");
}

// ---- The reload and what its failures leave ------------------------------------------

TEST_F(LanguageTest, AbsentCaptionFileEmptiesTheCaptionsAndTheReloadGoesOn) {
  WriteFrench();
  WriteEnglish();
  Remove("dics-en.ini");
  LanguageState state(dir.Path());
  state.Select(Language::kFrench);
  EXPECT_TRUE(state.Select(Language::kEnglish));
  ExpectCaptions(state, "");
  ExpectEnglishLists(state);
  EXPECT_EQ(state.ReadAboutCaption(), "");
}

TEST_F(LanguageTest, AbsentCaptionKeyEmptiesOnlyItsText) {
  WriteFrench();
  WriteEnglish();
  std::string captions = CaptionFile("en", "About");
  const std::string sayLine = "SayEdit.Text=en SayEdit.Text\r\n";
  captions.erase(captions.find(sayLine), sayLine.size());
  WriteFile(Data("dics-en.ini"), captions);
  LanguageState state(dir.Path());
  state.Select(Language::kFrench);
  state.Select(Language::kEnglish);
  for (std::string_view key : kCaptionKeys) {
    EXPECT_EQ(state.captions.Get(key), key == "SayEdit.Text" ? "" : "en " + std::string(key));
  }
}

TEST_F(LanguageTest, CaptionLongerThan1023CharactersIsCut) {
  WriteFrench();
  const std::string longText(1500, 'c');
  WriteFile(Data("dics-fr.ini"), "[General]\r\nMainGroup.Caption=" + longText + "\r\n");
  LanguageState state(dir.Path());
  state.Select(Language::kFrench);
  EXPECT_EQ(state.captions.Get("MainGroup.Caption"), longText.substr(0, 1023));
}

// Each way the new catalogue can be missing: captions of the new set applied, the shown
// lists empty, the old commands still in the hidden column, the paths on the new set.
TEST_F(LanguageTest, CatalogueThatCannotBeOpenedKeepsTheOldCommands) {
  const struct {
    const char* how;
    int code;
  } cases[] = {{"absent", 2}, {"directory", 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    WriteFrench();
    WriteEnglish();
    Remove("fcts-en.dat");
    if (std::string(c.how) == "directory") std::filesystem::create_directory(Data("fcts-en.dat"));
    LanguageState state(dir.Path());
    state.Select(Language::kFrench);
    EXPECT_EQ(IoCodeOf([&] { state.Select(Language::kEnglish); }), c.code);
    EXPECT_EQ(state.Selected(), Language::kEnglish);
    EXPECT_EQ(state.Files().functionsPath, "data/fcts-en.dat");
    ExpectCaptions(state, "en");
    EXPECT_TRUE(state.functionNames.Empty());
    EXPECT_EQ(state.functionCommands.Items(), kFrenchCommands);
    EXPECT_TRUE(state.resourceDescriptions.Empty());
    EXPECT_TRUE(state.resourceCommands.Empty());

    // Once the file is back, a reload gives the English set whole.
    Remove("fcts-en.dat");
    WriteEnglish();
    state.ReloadLanguage();
    ExpectEnglishLists(state);
  }
}

TEST_F(LanguageTest, ResourceFileThatCannotBeOpenedEmptiesBothResourceLists) {
  WriteFrench();
  WriteEnglish();
  Remove("externs-en.dat");
  LanguageState state(dir.Path());
  state.Select(Language::kFrench);
  state.SelectResource(1);
  EXPECT_EQ(testing::FileErrorOf([&] { state.Select(Language::kEnglish); }),
            "FileError.NotFound " + Data("externs-en.dat"));
  ExpectCaptions(state, "en");
  EXPECT_EQ(state.functionNames.Items(), kEnglishNames);
  EXPECT_EQ(state.functionCommands.Items(), kEnglishCommands);
  EXPECT_TRUE(state.resourceDescriptions.Empty());
  EXPECT_TRUE(state.resourceCommands.Empty());
  EXPECT_EQ(state.SelectedResource(), -1);
  EXPECT_EQ(state.SelectedExternal(), "");
}

TEST_F(LanguageTest, MissingDataDirectoryIsAnInvalidFilename) {
  LanguageState state(dir.Path());
  EXPECT_EQ(IoCodeOf([&] { state.Select(Language::kFrench); }), 3);
  ExpectCaptions(state, "");
  ExpectPairListsEmpty(state);
}

TEST_F(LanguageTest, ReloadChangesNoOtherList) {
  WriteFrench();
  WriteEnglish();
  WriteFile(Data("user.dat"), "echo\r\nfov\r\n");
  LanguageState state(dir.Path());
  state.LoadDefinableFunctions();
  state.Select(Language::kFrench);
  state.definableFunctions.SetItemIndex(1);  // the user picked "fov"
  WriteFile(Data("user.dat"), "changed\r\n");
  state.Select(Language::kEnglish);
  state.ReloadLanguage();
  state.RefreshResources();
  EXPECT_EQ(state.definableFunctions.Items(), (Lines{"echo", "fov"}));
  // The field shows the caption file's text now, not the pick.
  EXPECT_EQ(state.definableFunctions.ItemIndex(), -1);
}

TEST_F(LanguageTest, OddAndEmptyCatalogues) {
  const struct {
    const char* name;
    std::string bytes;
    Lines names, commands;
  } cases[] = {
      {"odd", "A\r\na\r\nB\r\n", {"A", "B"}, {"a", ""}},
      {"empty", "", {}, {}},
      {"only 1A", "\x1A", {}, {}},
      {"after 1A",
       "A\r\na\r\n\x1A"
       "B\r\nb\r\n",
       {"A"},
       {"a"}},
      {"lone LF", "A\na\nB\nb\n", {"A", "B"}, {"a", "b"}},
      {"empty last line", "A\r\na\r\n\r\n", {"A", ""}, {"a", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFrench();
    WriteFile(Data("fcts-fr.dat"), c.bytes);
    WriteFile(Data("externs-fr.dat"), c.bytes);
    LanguageState state(dir.Path());
    state.Select(Language::kFrench);
    EXPECT_EQ(state.functionNames.Items(), c.names);
    EXPECT_EQ(state.functionCommands.Items(), c.commands);
    EXPECT_EQ(state.resourceDescriptions.Items(), c.names);
    EXPECT_EQ(state.resourceCommands.Items(), c.commands);
  }
}

// ---- The refresh --------------------------------------------------------------------

TEST_F(LanguageTest, RefreshReadsTheResourceFileAgainAndNothingElse) {
  WriteFrench();
  LanguageState state(dir.Path());
  state.Select(Language::kFrench);
  state.SelectResource(0);
  WriteFile(Data("externs-fr.dat"), "Nouveau\r\nexec ModBinding.cfg\r\n");
  WriteFile(Data("dics-fr.ini"), CaptionFile("changed", "changed"));
  WriteFile(Data("fcts-fr.dat"), "X\r\nx\r\n");
  state.RefreshResources();
  EXPECT_EQ(state.resourceDescriptions.Items(), (Lines{"Nouveau"}));
  EXPECT_EQ(state.resourceCommands.Items(), (Lines{"exec ModBinding.cfg"}));
  EXPECT_EQ(state.SelectedResource(), -1);
  EXPECT_EQ(state.resourceDescriptions.ItemIndex(), -1);
  ExpectCaptions(state, "fr");
  EXPECT_EQ(state.functionNames.Items(), kFrenchNames);
  EXPECT_EQ(state.functionCommands.Items(), kFrenchCommands);
}

TEST_F(LanguageTest, RefreshWithTheFileMissingKeepsBothLists) {
  WriteFrench();
  LanguageState state(dir.Path());
  state.Select(Language::kFrench);
  state.SelectResource(1);
  Remove("externs-fr.dat");
  EXPECT_EQ(testing::FileErrorOf([&] { state.RefreshResources(); }),
            "FileError.NotFound " + Data("externs-fr.dat"));
  ExpectFrenchLists(state);
  EXPECT_EQ(state.SelectedResource(), 1);
  EXPECT_EQ(state.SelectedExternal(), kFrenchResources[1]);
}

TEST_F(LanguageTest, RefreshRepeatedNeverAccumulates) {
  WriteFrench();
  LanguageState state(dir.Path());
  state.Select(Language::kFrench);
  for (int i = 0; i < 3; ++i)
    state.RefreshResources();
  ExpectFrenchLists(state);
}

TEST_F(LanguageTest, RefreshWithNoLanguageNamesTheApplicationDirectory) {
  LanguageState state(dir.Path());
  state.resourceDescriptions.Add("kept");
  state.resourceCommands.Add("kept");
  EXPECT_EQ(IoCodeOf([&] { state.RefreshResources(); }), 5);
  EXPECT_EQ(state.resourceDescriptions.Items(), (Lines{"kept"}));
  EXPECT_EQ(state.resourceCommands.Items(), (Lines{"kept"}));
}

// ---- The resource selection ----------------------------------------------------------

TEST_F(LanguageTest, SelectFunctionMirrorsThePositionInTheCommandColumn) {
  WriteEnglish();
  LanguageState state(dir.Path());
  state.Select(Language::kEnglish);
  state.SelectFunction(0);  // the first position is a position like any other
  EXPECT_EQ(state.functionNames.ItemIndex(), 0);
  EXPECT_EQ(state.SelectedCommand(), state.functionCommands.At(0));
  state.SelectFunction(-1);  // typed text
  EXPECT_EQ(state.functionCommands.ItemIndex(), -1);
  EXPECT_EQ(state.SelectedCommand(), "");
}

TEST_F(LanguageTest, SelectResourceMirrorsThePosition) {
  WriteEnglish();
  LanguageState state(dir.Path());
  state.Select(Language::kEnglish);
  const struct {
    int position;
    int selected;
  } cases[] = {{2, 2}, {0, 0}, {-1, -1}, {1, 1}, {3, -1}, {99, -1}, {-5, -1}};
  for (const auto& c : cases) {
    state.SelectResource(c.position);
    EXPECT_EQ(state.resourceDescriptions.ItemIndex(), c.selected) << c.position;
    EXPECT_EQ(state.SelectedResource(), c.selected) << c.position;
    EXPECT_EQ(state.SelectedExternal(),
              c.selected < 0 ? "" : kEnglishResources[static_cast<std::size_t>(c.selected)]);
  }
  state.SelectResource(2);
  state.ReloadLanguage();
  EXPECT_EQ(state.SelectedResource(), -1);
  EXPECT_EQ(state.resourceDescriptions.ItemIndex(), -1);
}

// ---- The start-up choice -------------------------------------------------------------

struct StartupCase {
  const char* name;
  std::optional<std::string> settings;  // std::nullopt: no settings file
  bool frenchPresent;
  bool englishPresent;
  Language chosen;
};

class StartupChoice : public LanguageTest, public ::testing::WithParamInterface<StartupCase> {};

TEST_P(StartupChoice, ChoosesByTheFlags) {
  const StartupCase& c = GetParam();
  if (c.frenchPresent) WriteFrench();
  if (c.englishPresent) WriteEnglish();
  std::filesystem::create_directories(dir / "data");
  if (c.settings) WriteFile(Data("config.ini"), *c.settings);
  LanguageState state(dir.Path());
  EXPECT_NO_THROW(state.ChooseAtStartup());
  EXPECT_EQ(state.Selected(), c.chosen);
  EXPECT_EQ(LanguageAtStartup(IniFile(state.SettingsPath())), c.chosen);  // the rule, told ahead
  EXPECT_EQ(state.Files().captionsPath, FilesOf(c.chosen).captionsPath);
  switch (c.chosen) {
    case Language::kFrench:
      ExpectFrenchLists(state);
      ExpectCaptions(state, "fr");
      break;
    case Language::kEnglish:
      ExpectEnglishLists(state);
      ExpectCaptions(state, "en");
      break;
    case Language::kNone:
      ExpectPairListsEmpty(state);
      ExpectCaptions(state, "");
      break;
  }
}

// A set that is absent shows that it is never loaded: loading it would fail.
INSTANTIATE_TEST_SUITE_P(
    LanguageState, StartupChoice,
    ::testing::Values(
        StartupCase{"NoSettingsFile", std::nullopt, true, true, Language::kEnglish},
        StartupCase{"BothTrue", "[General]\r\nfr=1\r\nen=1\r\n", true, true, Language::kEnglish},
        StartupCase{"BothKeysAbsent", "[Other]\r\nfr=0\r\nen=0\r\n", true, true,
                    Language::kEnglish},
        StartupCase{"FrenchOnly", "[General]\r\nfr=1\r\nen=0\r\n", true, false, Language::kFrench},
        StartupCase{"EnglishOnly", "[General]\r\nfr=0\r\nen=1\r\n", false, true,
                    Language::kEnglish},
        StartupCase{"HexadecimalZeroIsFalse", "[General]\r\nen=1\r\nfr=0x0\r\n", false, true,
                    Language::kEnglish},
        StartupCase{"UnreadableFlagIsTrue", "[general]\r\nFR=yes\r\nEN=0\r\n", true, false,
                    Language::kFrench},
        // No language set (a write killed between the two flags could leave this):
        // the default language.
        StartupCase{"NeitherFlag", "[General]\r\nfr=0\r\nen=0\r\n", false, true,
                    Language::kEnglish}),
    [](const ::testing::TestParamInfo<StartupCase>& test) { return std::string(test.param.name); });

TEST_F(LanguageTest, BothFlagsTrueLoadFrenchBeforeEnglish) {
  // The French catalogue is absent: the choice stops at the French load, with the
  // French captions applied and English never loaded.
  WriteFrench();
  WriteEnglish();
  Remove("fcts-fr.dat");
  LanguageState state(dir.Path());
  EXPECT_EQ(IoCodeOf([&] { state.ChooseAtStartup(); }), 2);
  EXPECT_EQ(state.Selected(), Language::kFrench);
  ExpectCaptions(state, "fr");
  ExpectPairListsEmpty(state);
}

TEST_F(LanguageTest, NoLanguageChosenMakesTheReloadFail) {
  WriteFrench();
  LanguageState state(dir.Path());
  state.captions.Assign(ParseIniSection(CaptionFile("from the window", ""), "General"));
  // The reload that ends the window's creation: the paths are empty, so the caption file
  // and the catalogue are the application directory itself.
  EXPECT_EQ(IoCodeOf([&] { state.ReloadLanguage(); }), 5);
  ExpectCaptions(state, "");
  ExpectPairListsEmpty(state);
  EXPECT_EQ(state.ReadAboutCaption(), "");
  // Choosing a language afterwards loads normally.
  EXPECT_TRUE(state.Select(Language::kFrench));
  ExpectFrenchLists(state);
  ExpectCaptions(state, "fr");
}

TEST_F(LanguageTest, MessagesAreFormattedWithTheCaptionFileOfTheLanguage) {
  WriteFrench();
  WriteEnglish();
  WriteFile(Data("dics-en.ini"), CaptionFile("en", "About") +
                                     "File.LineTooLong=Line %2 of %1 is too long\r\n"
                                     "Empty.Text=\r\n");
  LanguageState state(dir.Path());
  ASSERT_TRUE(state.Select(Language::kEnglish));
  EXPECT_EQ(state.Format(Text{"File.LineTooLong", {"/a.cfg", "7"}}),
            "Line 7 of /a.cfg is too long");
  EXPECT_EQ(state.Format(Text{"Absent.Text", {"x"}}), "Absent.Text [x]");
  EXPECT_EQ(state.Format(Text{"Empty.Text", {}}), "Empty.Text");

  ASSERT_TRUE(state.Select(Language::kFrench));  // a caption file without the message
  EXPECT_EQ(state.Format(Text{"File.LineTooLong", {"/a.cfg", "7"}}),
            "File.LineTooLong [/a.cfg] [7]");
}

TEST_F(LanguageTest, DataFilesThatAreFifosAreRefusedWithoutWaiting) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs: POSIX only (a Windows device is refused like any file that is not "
                  "regular: windows_tests)";
#else
  WriteFrench();
  for (const char* name : {"dics-fr.ini", "fcts-fr.dat"}) {
    Remove(name);
    ASSERT_EQ(::mkfifo(Data(name).c_str(), 0644), 0);
  }
  LanguageState state(dir.Path());
  ::alarm(10);  // a blocking open ends the test program
  EXPECT_EQ(IoCodeOf([&] { state.Select(Language::kFrench); }), 5);
  ::alarm(0);
  ExpectCaptions(state, "");
  ExpectPairListsEmpty(state);
#endif
}

// ---- The definable functions -------------------------------------------------------

TEST_F(LanguageTest, DefinableFunctionsOnePerLine) {
  const struct {
    const char* name;
    std::string bytes;
    Lines entries;
  } cases[] = {
      {"plain", "echo\r\nfov\r\nsensitivity\r\n", {"echo", "fov", "sensitivity"}},
      {"empty last line", "echo\r\nfov\r\n\r\n", {"echo", "fov", ""}},
      {"empty", "", {}},
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "echo\r\n",
       {"\xEF\xBB\xBF"
        "echo"}},
  };
  for (const auto& c : cases) {
    WriteFile(Data("user.dat"), c.bytes);
    LanguageState state(dir.Path());
    state.definableFunctions.Add("from before");
    state.definableFunctions.SetItemIndex(0);
    state.LoadDefinableFunctions();
    EXPECT_EQ(state.definableFunctions.Items(), c.entries) << c.name;
    EXPECT_EQ(state.definableFunctions.ItemIndex(), -1) << c.name;
    state.LoadDefinableFunctions();
    EXPECT_EQ(state.definableFunctions.Items(), c.entries) << c.name << ", loaded twice";
  }
}

TEST_F(LanguageTest, DefinableFunctionsUnchangedWhenTheFileCannotBeOpened) {
  const struct {
    const char* how;
    int code;
  } cases[] = {{"absent file", 2}, {"absent data directory", 3}, {"directory", 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    Remove("");
    if (std::string(c.how) == "absent file") std::filesystem::create_directories(dir / "data");
    if (std::string(c.how) == "directory") std::filesystem::create_directories(Data("user.dat"));
    LanguageState state(dir.Path());
    state.definableFunctions.Add("echo");
    state.definableFunctions.SetItemIndex(0);
    EXPECT_EQ(IoCodeOf([&] { state.LoadDefinableFunctions(); }), c.code);
    EXPECT_EQ(state.definableFunctions.Items(), (Lines{"echo"}));
    EXPECT_EQ(state.definableFunctions.ItemIndex(), 0);
  }
}

// ---- The language flags --------------------------------------------------------------

TEST_F(LanguageTest, StoreFlagsWritesTheSelectedButton) {
  WriteFrench();
  WriteEnglish();
  LanguageState state(dir.Path());
  state.StoreFlags();
  EXPECT_EQ(ReadFile(Data("config.ini")), "[General]\r\nfr=0\r\nen=0\r\n");
  state.Select(Language::kFrench);
  state.StoreFlags();
  EXPECT_EQ(ReadFile(Data("config.ini")), "[General]\r\nfr=1\r\nen=0\r\n");
  state.Select(Language::kEnglish);
  state.StoreFlags();
  EXPECT_EQ(ReadFile(Data("config.ini")), "[General]\r\nfr=0\r\nen=1\r\n");
}

TEST_F(LanguageTest, NoSettingsFileStartsInEnglishAndStoresFrZeroEnOne) {
  WriteFrench();
  WriteEnglish();
  {
    LanguageState state(dir.Path());
    state.ChooseAtStartup();
    state.StoreFlags();
  }
  EXPECT_EQ(ReadFile(Data("config.ini")), "[General]\r\nfr=0\r\nen=1\r\n");
  // The next run starts in English without loading French.
  Remove("fcts-fr.dat");
  LanguageState next(dir.Path());
  EXPECT_NO_THROW(next.ChooseAtStartup());
  EXPECT_EQ(next.Selected(), Language::kEnglish);
}

TEST_F(LanguageTest, StoreFlagsKeepsTheRestOfTheSettingsFile) {
  WriteFrench();
  WriteFile(
      Data("config.ini"),
      "; my settings\r\n[General]\r\nQ2Path=/jeux/quake2/\r\nEN = 1\r\n\r\n[Mine]\r\nx=1\r\n");
  LanguageState state(dir.Path());
  state.Select(Language::kFrench);
  state.StoreFlags();
  EXPECT_EQ(ReadFile(Data("config.ini")),
            "; my settings\r\n[General]\r\nQ2Path=/jeux/quake2/\r\nEN=0\r\nfr=1\r\n\r\n[Mine]\r\n"
            "x=1\r\n");
}

TEST_F(LanguageTest, StoreFlagsWithoutDataDirectoryNamesTheFileAndTheReason) {
  LanguageState state(dir.Path());
  EXPECT_EQ(testing::FileErrorOf([&] { state.StoreFlags(); }),
            "FileError.FolderNotFound " + dir.Path() + "data/config.ini");
  EXPECT_FALSE(Exists(dir / "data"));
  // The flags wait for the next write, at the latest the one at close.
  std::filesystem::create_directories(dir / "data");
  state.StoreWaitingSettings();
  EXPECT_EQ(ReadFile(Data("config.ini")), "[General]\r\nfr=0\r\nen=0\r\n");
}

// Two windows open at once: each writes its own changes, at once and over the file as it is
// then, and at close writes nothing more, so neither undoes the other's choice.
TEST_F(LanguageTest, TwoWindowsKeepEachOthersChoices) {
  WriteFrench();
  WriteEnglish();
  WriteFile(Data("config.ini"), "[General]\r\nfr=0\r\nen=1\r\nQ2Path=/q2/\r\n");
  LanguageState first(dir.Path());
  LanguageState second(dir.Path());
  first.ChooseAtStartup();
  second.ChooseAtStartup();
  first.Select(Language::kFrench);
  first.StoreFlags();
  second.StoreSetting("Game", "yamagi");
  first.StoreWaitingSettings();  // the first window closes
  second.StoreWaitingSettings();
  EXPECT_EQ(ReadFile(Data("config.ini")),
            "[General]\r\nfr=1\r\nen=0\r\nQ2Path=/q2/\r\nGame=yamagi\r\n");
}

// Settings over 64 MiB: the error names the file in the default language, whose captions
// are loaded, never as a bare key.
TEST_F(LanguageTest, SettingsTooBigToReadShowTheirErrorInTheDefaultLanguage) {
  WriteFrench();
  WriteEnglish();
  {
    std::ofstream big(Data("config.ini"), std::ios::binary);
    big.seekp(static_cast<std::streamoff>(kMaxWholeFileSize));
    big.put('\n');
  }
  LanguageState state(dir.Path());
  EXPECT_EQ(testing::FileErrorOf([&] { state.ChooseAtStartup(); }),
            "FileError.TooBig " + Data("config.ini"));
  EXPECT_EQ(state.Selected(), kDefaultLanguage);
  ExpectCaptions(state, "en");
  EXPECT_EQ(LanguageAtStartup(IniFile(state.SettingsPath())), kDefaultLanguage);
}

}  // namespace
}  // namespace tavrilo::datafiles
