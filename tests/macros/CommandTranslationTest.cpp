// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/CommandTranslation.h"

#include <gtest/gtest.h>

#include <functional>

#include <string>
#include <vector>

#include "core/StringList.h"
#include "core/Text.h"
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
  composer.SelectKey("\xB2");  // the console key: kept as typed, refused when added
  EXPECT_EQ(composer.CurrentKey(), "\xB2");
  EXPECT_FALSE(composer.KeyIsBindable());
}

TEST_F(ComposerTest, TheConsoleKeyPickedFromTheListIsRefusedForWhatItIs) {
  // Written as it is, the key would also be a byte above 127: the key's own reason comes
  // first, for a line of the function list and for an external command alike.
  for (game::Game game : {game::Game::kQuake2, game::Game::kYamagi}) {
    composer.SetGame(game);
    composer.SelectKey("\xB2");
    const ShownFields chosen{"\xB2", "Zoom", "", ""};
    for (const auto& add : std::vector<std::function<void()>>{
             [&] { (void)composer.ComposeBinding(chosen, ""); },
             [&] { (void)composer.ComposeExternalBinding(0, "screenshot"); }}) {
      try {
        add();
        ADD_FAILURE() << "nothing thrown";
      } catch (const TextError& error) {
        EXPECT_EQ(error.GetText().key, "Key.ConsoleKey");
      }
    }
  }
}

TEST_F(ComposerTest, AKeyTheGameCannotBindIsKeptAsTypedAndRefusedWhenAdded) {
  composer.SelectKey("<");
  EXPECT_EQ(composer.CurrentKey(), "<");
  EXPECT_FALSE(composer.KeyIsBindable());
  try {
    composer.BindableKey();
    ADD_FAILURE() << "nothing thrown";
  } catch (const TextError& error) {
    EXPECT_EQ(error.GetText(), (Text{"Key.Unbindable", {}}));
  }
  composer.SelectKey("<a");  // typing on: any other text is bound again
  EXPECT_EQ(composer.BindableKey(), "<a");
}

TEST_F(ComposerTest, TheAddActionsRefuseAnUnbindableKeyOnlyOnceAGuardLetsALineThrough) {
  composer.SelectKey("<");
  const ShownFields nothingChosen{kKeyGuardText, "Zoom", "", ""};
  EXPECT_EQ(composer.ComposeBinding(nothingChosen, ""), std::nullopt);
  EXPECT_EQ(composer.ComposeExternalBinding(-1, "screenshot"), std::nullopt);
  const ShownFields chosen{"<", "Zoom", "", ""};
  EXPECT_THROW(composer.ComposeBinding(chosen, ""), TextError);
  EXPECT_THROW(composer.ComposeExternalBinding(0, "screenshot"), TextError);
  composer.SelectKey("F1");
  EXPECT_EQ(composer.ComposeExternalBinding(0, "screenshot"), "bind \"F1\" \"screenshot\"");
}

TEST_F(ComposerTest, TheGameChoiceTranslatesOnlyTheNextKey) {
  composer.SelectKey("a");
  composer.SetGame(game::Game::kYamagi);
  EXPECT_EQ(composer.CurrentKey(), "q");  // already chosen: unchanged
  composer.SelectKey("a");
  EXPECT_EQ(composer.CurrentKey(), "a");
  composer.SelectKey("\xB2");  // the console key
  EXPECT_FALSE(composer.KeyIsBindable());
  composer.Reset();  // keeps the game
  EXPECT_EQ(composer.GetGame(), game::Game::kYamagi);
  EXPECT_TRUE(composer.KeyIsBindable());
  EXPECT_EQ(composer.CurrentKey(), "a");
}

TEST_F(ComposerTest, ACapturedKeyIsAlreadyTheGamesName) {
  composer.SelectKey("<");
  composer.SelectCapturedKey("q");  // the AZERTY a key, for Quake 2
  EXPECT_EQ(composer.BindableKey(), "q");
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
