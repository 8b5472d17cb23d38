// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Messages.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "TestSupport.h"

namespace tavrilo::cli {
namespace {

using datafiles::Language;
using testing::WriteFile;

// An environment of the variables given, every other one unset.
Environment Variables(std::map<std::string, std::string> values) {
  return [values = std::move(values)](const char* name) -> const char* {
    const auto found = values.find(name);
    return found == values.end() ? nullptr : found->second.c_str();
  };
}

TEST(Messages, TheLanguageComesFromTheOptionThenTheLocaleThenTheWindow) {
  testing::TempDir dir;
  testing::InstallShippedData(dir.Path());
  WriteFile(dir / "data/config.ini", "[General]\r\nfr=1\r\nen=0\r\n");  // the window: French
  const auto language = [&](std::optional<Language> chosen,
                            std::map<std::string, std::string> values) {
    return CommandLineLanguage(chosen, Variables(std::move(values)), dir.Path());
  };
  EXPECT_EQ(language(Language::kEnglish, {{"LC_ALL", "fr_FR.UTF-8"}}), Language::kEnglish);
  EXPECT_EQ(language(std::nullopt, {{"LC_ALL", "fr_FR.UTF-8"}, {"LANG", "C"}}), Language::kFrench);
  EXPECT_EQ(language(std::nullopt, {{"LC_ALL", "C"}, {"LC_MESSAGES", "fr_FR"}}),
            Language::kEnglish);
  // The first that is set and not empty decides.
  EXPECT_EQ(language(std::nullopt, {{"LC_ALL", ""}, {"LC_MESSAGES", "POSIX"}, {"LANG", "fr"}}),
            Language::kEnglish);
  EXPECT_EQ(language(std::nullopt, {{"LC_ALL", ""}, {"LANG", "fr_CA@euro"}}), Language::kFrench);
  EXPECT_EQ(language(std::nullopt, {{"LANG", "de_DE.UTF-8"}}), Language::kEnglish);
  // No locale: the window's choice, then English.
  EXPECT_EQ(language(std::nullopt, {{"LANG", ""}}), Language::kFrench);
  WriteFile(dir / "data/config.ini", "[General]\r\nfr=0\r\nen=0\r\n");
  EXPECT_EQ(language(std::nullopt, {}), Language::kEnglish);

  EXPECT_EQ(LanguageOfLocale("fr"), Language::kFrench);
  EXPECT_EQ(LanguageOfLocale("fr.UTF-8"), Language::kFrench);
  EXPECT_EQ(LanguageOfLocale("fresh"), Language::kEnglish);
  EXPECT_EQ(LanguageOfLocale(""), Language::kEnglish);
}

TEST(Messages, TextsOfTheChosenLanguageInUtf8OrTheKeyWithoutACaptionFile) {
  testing::TempDir dir;
  testing::InstallShippedData(dir.Path());
  const Messages english(dir.Path(), Language::kEnglish);
  const Messages french(dir.Path(), Language::kFrench);
  EXPECT_EQ(english.Shown("Cli.UnknownOption", {"--bogus"}), "unknown option '--bogus'");
  EXPECT_EQ(french.Shown("Cli.UnknownOption", {"--bogus"}),
            "option inconnue \xC2\xAB\xC2\xA0--bogus\xC2\xA0\xC2\xBB");
  EXPECT_EQ(french.Shown("Reason.NotFound"), "Aucun fichier ou dossier de ce nom");
  // No caption file: the key and its values.
  const Messages none(dir / "missing/", Language::kEnglish);
  EXPECT_EQ(none.Shown("Cli.UnknownOption", {"-x\x1b"}), "Cli.UnknownOption [-x\\x1b]");
}

}  // namespace
}  // namespace tavrilo::cli
