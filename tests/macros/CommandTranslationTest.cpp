#include "macros/CommandTranslation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/StringList.h"
#include "macros/Composer.h"

namespace tavrilo::macros {
namespace {

struct CommandCase {
  std::string catalogueCommand;
  std::string token;
};

TEST(CommandTranslation, TranslatesEachRecognisedCommand) {
  const std::vector<CommandCase> rows = {
      {"Zoom", "zoom"},
      {"Free Look", "Free-Look"},
      {"Cycle-Hand", "Cycle-Hand"},
      {"Cycle-Wave", "Cycle-Wave"},
      {"Cycle-Crosshair", "Cycle-Crosshair"},
      {"CycleWeap", "CycleWeap"},
      {"NextPowerUp", "NextPowerUp"},
      {"UsePowerUp", "UsePowerUp"},
      {"QuickMapMode", "QuickMapMode"},
      {"QuickGrenades", "+QuickGrenades"},
      {"D\xE9"
       "fini par l'utilisateur",
       "User"},
      {"User defined", "User"},
  };
  for (const auto& [command, token] : rows) {
    EXPECT_EQ(TranslateCommand(command), token) << "command: " << command;
  }
}

TEST(CommandTranslation, AnyOtherTextIsItsOwnToken) {
  const std::vector<std::string> unchanged = {
      "say",
      "say_team",
      "zoom",           // already the token
      "+attack",        //
      "use Railgun",    //
      "free look",      // letter case counts
      "ZOOM",           //
      "quickgrenades",  //
      "user defined",   //
      "d\xE9"
      "fini par l'utilisateur",
      "Defini par l'utilisateur",  // the accent counts
      " Zoom",                     // no trimming
      "Zoom ",                     //
      "Free  Look",                //
      "echo \"quoted\"",           //
      "User",                      // the token itself passes unchanged
  };
  for (const std::string& command : unchanged) {
    EXPECT_EQ(TranslateCommand(command), command) << "command: [" << command << "]";
  }
}

TEST(CommandTranslation, EmptyCommandGivesTheDefaultCommand) {
  EXPECT_EQ(TranslateCommand(""), "echo Cette touche ne sert pas");
  EXPECT_EQ(kDefaultCommand, "echo Cette touche ne sert pas");
}

class ComposerTest : public ::testing::Test {
 protected:
  Composer composer;
};

TEST_F(ComposerTest, StartsWithUntranslatedKeyAndDefaultCommand) {
  EXPECT_EQ(composer.CurrentKey(), "a");  // not "q"
  EXPECT_EQ(composer.CurrentCommand(), "echo Cette touche ne sert pas");
}

TEST_F(ComposerTest, SelectKeyStoresTheTranslationOfTheWholeText) {
  composer.SelectKey("a");
  EXPECT_EQ(composer.CurrentKey(), "q");
  composer.SelectKey("ab");  // typing a second letter
  EXPECT_EQ(composer.CurrentKey(), "ab");
  composer.SelectKey("");  // the text erased
  EXPECT_EQ(composer.CurrentKey(), "");
  composer.SelectKey("\xB2");
  EXPECT_EQ(composer.CurrentKey(), "~");
}

TEST_F(ComposerTest, SelectFunctionTranslatesTheSelectedCatalogueCommand) {
  composer.SelectFunction("Zoom");
  EXPECT_EQ(composer.CurrentCommand(), "zoom");
  composer.SelectFunction("QuickGrenades");
  EXPECT_EQ(composer.CurrentCommand(), "+QuickGrenades");
  composer.SelectFunction("");  // no entry selected, or an empty command
  EXPECT_EQ(composer.CurrentCommand(), "echo Cette touche ne sert pas");
}

TEST_F(ComposerTest, KeyAndCommandAreIndependent) {
  composer.SelectKey("z");
  composer.SelectFunction("Zoom");
  composer.SelectFunction("");
  EXPECT_EQ(composer.CurrentKey(), "w");
  composer.SelectKey("q");
  EXPECT_EQ(composer.CurrentCommand(), "echo Cette touche ne sert pas");
}

TEST_F(ComposerTest, ResetRestoresTheInitialValues) {
  composer.SelectKey("F1");
  composer.SelectFunction("Zoom");
  composer.Reset();
  EXPECT_EQ(composer.CurrentKey(), "a");
  EXPECT_EQ(composer.CurrentCommand(), "echo Cette touche ne sert pas");
}

}  // namespace
}  // namespace tavrilo::macros
