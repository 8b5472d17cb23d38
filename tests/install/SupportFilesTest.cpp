// SPDX-License-Identifier: GPL-3.0-or-later
#include "install/SupportFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "InstallTestSupport.h"
#include "TestSupport.h"
#include "core/Errors.h"
#include "core/Platform.h"
#include "core/Text.h"
#include "datafiles/IniFile.h"

namespace tavrilo::install {
namespace {

namespace fs = std::filesystem;
using testing::Exists;
using testing::FileErrorOf;
using testing::ListDirectory;
using testing::MessageOf;
using testing::ModificationTime;
using testing::ReadFile;
using testing::ScopedCurrentDirectory;
using testing::SetModificationTime;
using testing::TempDir;
using testing::WriteFile;

// The game-path dialog, answered in advance; it counts how often it was shown.
struct FakePrompt {
  std::optional<std::string> answer;
  int calls = 0;

  PathPrompt AsPrompt() {
    return [this] {
      ++calls;
      return answer;
    };
  }
};

const std::vector<std::string> kSourceNames = {"Alias.cfg", "GlVid.cfg", "ModBinding.cfg",
                                               "NormBinding.cfg", "NormVid.cfg"};

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(app_ / "data");
    for (const std::string& name : kSourceNames) {
      WriteFile(app_ / ("Q2Dats/" + name), SourceBytes(name));
    }
  }

  // Different bytes for every file, with the CR LF and a non-ASCII byte that must survive.
  static std::string SourceBytes(const std::string& name) {
    return "// " + name +
           "\r\nbind \"x\" \"echo cr\xE9"
           "e\"\r\n" +
           std::string(name.size(), '\x1A');
  }

  std::string SettingsPath() const { return app_ / "data/config.ini"; }

  void StoreGamePath(const std::string& gamePath) {
    WriteFile(SettingsPath(),
              "; settings\r\n[General]\r\nfr=1\r\nQ2Path=" + gamePath + "\r\nen=0\r\n");
  }

  std::string StoredGamePath() const {
    return datafiles::IniFile(SettingsPath()).ReadString("General", "Q2Path", "(absent)");
  }

  InstallResult Install(FakePrompt& prompt) {
    return InstallSupportFiles(app_.Path(), prompt.AsPrompt());
  }

  // Fills `directory` with files of the given names holding "old <name>".
  static void PutOldFiles(const std::string& directory, const std::vector<std::string>& names) {
    fs::create_directories(directory);
    for (const std::string& name : names)
      WriteFile(directory + name, "old " + name);
  }

  // `directory` holds the five support files under their names, each with its source's
  // bytes, and besides them only the files named in `others`.
  static void ExpectCopies(const std::string& directory, const std::vector<std::string>& names,
                           std::vector<std::string> others = {}) {
    others.insert(others.end(), names.begin(), names.end());
    std::sort(others.begin(), others.end());
    EXPECT_EQ(ListDirectory(directory), others);
    for (const std::string& name : names)
      EXPECT_EQ(ReadFile(directory + name), SourceBytes(name)) << name;
  }

  TempDir app_;
  TempDir game_;
};

// ---------------------------------------------------------------------------------------
// The installed check.

TEST_F(InstallTest, WithEveryFilePresentNothingHappens) {
  const std::string data = game_ / "baseq2/";
  PutOldFiles(data, kSourceNames);
  for (const std::string& name : ListDirectory(data))
    SetModificationTime(data + name, 1000000000);
  StoreGamePath(game_.Path());
  const std::string settings = ReadFile(SettingsPath());

  FakePrompt prompt{game_ / "elsewhere/quake2.exe"};
  const InstallResult result = Install(prompt);

  EXPECT_EQ(prompt.calls, 0);
  EXPECT_EQ(result.outcome, InstallResult::Outcome::kAlreadyInstalled);
  EXPECT_EQ(result.folder, data);
  EXPECT_TRUE(result.files.empty());
  for (const std::string& name : ListDirectory(data)) {
    EXPECT_EQ(ReadFile(data + name), "old " + name);
    EXPECT_EQ(ModificationTime(data + name).tv_sec, 1000000000) << name;
  }
  EXPECT_EQ(ListDirectory(data).size(), 5u);
  EXPECT_EQ(ReadFile(SettingsPath()), settings);
}

TEST_F(InstallTest, OneFileMissingAsksThenCopiesAllFiveAndASecondPressDoesNothing) {
  const std::string data = game_ / "baseq2/";
  PutOldFiles(data, {"Alias.cfg", "GlVid.cfg", "NormBinding.cfg", "NormVid.cfg"});

  FakePrompt prompt{game_ / "quake2.exe"};
  const InstallResult result = Install(prompt);

  EXPECT_EQ(prompt.calls, 1);
  EXPECT_EQ(StoredGamePath(), game_.Path());
  ExpectCopies(data, kSourceNames);
  EXPECT_EQ(result.outcome, InstallResult::Outcome::kInstalled);
  EXPECT_EQ(result.folder, data);
  EXPECT_EQ(result.files, kSourceNames);
  EXPECT_TRUE(result.otherCase.empty());

  const std::string settings = ReadFile(SettingsPath());
  for (const std::string& name : ListDirectory(data))
    SetModificationTime(data + name, 1000000000);
  Install(prompt);
  EXPECT_EQ(prompt.calls, 1);
  for (const std::string& name : ListDirectory(data)) {
    EXPECT_EQ(ModificationTime(data + name).tv_sec, 1000000000) << name;
  }
  EXPECT_EQ(ReadFile(SettingsPath()), settings);
}

TEST_F(InstallTest, TheDialogIsShownAlsoWithAStoredPath) {
  PutOldFiles(game_ / "baseq2/", {"Alias.cfg", "GlVid.cfg", "ModBinding.cfg", "NormBinding.cfg"});
  StoreGamePath(game_.Path());
  FakePrompt prompt{game_ / "quake2.exe"};
  Install(prompt);
  EXPECT_EQ(prompt.calls, 1);
  EXPECT_EQ(ReadFile(game_ / "baseq2/NormVid.cfg"), SourceBytes("NormVid.cfg"));
}

TEST_F(InstallTest, ADirectoryOfASupportFileNameDoesNotCount) {
  const std::string data = game_ / "baseq2/";
  PutOldFiles(data, {"GlVid.cfg", "ModBinding.cfg", "NormBinding.cfg", "NormVid.cfg"});
  fs::create_directory(data + "Alias.cfg");
  StoreGamePath(game_.Path());
  EXPECT_FALSE(SupportFilesInstalled(game_.Path()));

  FakePrompt prompt{game_ / "quake2.exe"};
  const InstallResult result = Install(prompt);
  EXPECT_EQ(result.outcome, InstallResult::Outcome::kStopped);
  EXPECT_EQ(FileErrorOf([&] { std::rethrow_exception(result.error); }),
            "FileError.IsDirectory " + data + "Alias.cfg");
  EXPECT_EQ(prompt.calls, 1);
}

// An install that stops names the folder, the files written and the files not written;
// the error names the file and the system's reason.
TEST_F(InstallTest, AStoppedInstallSaysWhichFilesWereWrittenAndWhichNot) {
  const std::string data = game_ / "baseq2/";
  fs::create_directories(data + "NormBinding.cfg");
  FakePrompt prompt{game_ / "quake2.exe"};
  const InstallResult result = Install(prompt);
  EXPECT_EQ(result.outcome, InstallResult::Outcome::kStopped);
  EXPECT_EQ(result.Status(),
            (Text{"Status.InstallStopped",
                  {"Alias.cfg, GlVid.cfg, ModBinding.cfg", "NormBinding.cfg, NormVid.cfg", data}}));
  EXPECT_EQ(FileErrorOf([&] { std::rethrow_exception(result.error); }),
            "FileError.IsDirectory " + data + "NormBinding.cfg");
  EXPECT_EQ(ReadFile(data + "ModBinding.cfg"), SourceBytes("ModBinding.cfg"));
  EXPECT_FALSE(Exists(data + "NormVid.cfg"));
}

// ---------------------------------------------------------------------------------------
// The game path.

// A cancel installs nothing and stores nothing, whether or not a path is stored and a
// data directory is there (also in the current directory).
TEST_F(InstallTest, CancelWritesAndStoresNothing) {
  TempDir work;
  fs::create_directory(work / "Baseq2");
  const ScopedCurrentDirectory inWork(work.Path());
  fs::create_directory(game_ / "baseq2");
  for (const bool stored : {false, true}) {
    if (stored) StoreGamePath(game_.Path());
    const std::string settings = stored ? ReadFile(SettingsPath()) : "";

    FakePrompt prompt;  // cancelled
    const InstallResult result = Install(prompt);

    EXPECT_EQ(prompt.calls, 1);
    EXPECT_EQ(result.outcome, InstallResult::Outcome::kCancelled);
    EXPECT_TRUE(result.files.empty());
    EXPECT_EQ(ListDirectory(game_ / "baseq2"), std::vector<std::string>{});
    EXPECT_EQ(ListDirectory(work / "Baseq2"), std::vector<std::string>{});
    if (stored) {
      EXPECT_EQ(ReadFile(SettingsPath()), settings);
    } else {
      EXPECT_FALSE(Exists(SettingsPath()));
    }
  }
  // No dialog at all is a cancel too.
  EXPECT_EQ(InstallSupportFiles(app_.Path(), nullptr).outcome, InstallResult::Outcome::kCancelled);
}

// A choice under which no game is found is refused in the player's language and not
// stored, so that the next dialog does not open there; nothing is written.
TEST_F(InstallTest, AChoiceWithoutTheGamesDataFolderIsRefusedAndNotStored) {
  StoreGamePath(game_ / "old/");
  const std::string settings = ReadFile(SettingsPath());
  fs::create_directories(game_ / "empty");
  fs::create_directories(game_ / "g/game/baseq2");
  const struct {
    std::string chosen;
    std::string folder;
  } cases[] = {
      {game_ / "empty/quake2.exe", game_ / "empty/"},
      {game_ / "empty/", game_ / "empty/"},
      {game_ / "nowhere/", game_ / "nowhere/"},
      // ".." after a missing folder: the system finds nothing there, so neither does the
      // check nor the copy, although "g/game/baseq2" is what the text would read as.
      {game_ / "g/missing/../game/", game_ / "g/missing/../game/"},
  };
  for (const auto& c : cases) {
    FakePrompt prompt{c.chosen};
    try {
      Install(prompt);
      ADD_FAILURE() << c.chosen;
    } catch (const TextError& error) {
      EXPECT_EQ(error.GetText(), (Text{"Install.NoGame", {c.folder}}));
    }
    EXPECT_EQ(ReadFile(SettingsPath()), settings) << c.chosen;
  }
  EXPECT_EQ(ListDirectory(game_ / "g/game/baseq2"), std::vector<std::string>{});
}

TEST_F(InstallTest, AnyChosenFileGivesItsDirectoryAsTheGamePath) {
  const std::string chosenDir = game_ / "some dir/";
  fs::create_directories(chosenDir + "baseq2");
  StoreGamePath(game_ / "old/");

  FakePrompt prompt{chosenDir + "readme.txt"};
  Install(prompt);

  EXPECT_EQ(StoredGamePath(), chosenDir);
  ExpectCopies(chosenDir + "baseq2/", kSourceNames);
  EXPECT_FALSE(Exists(game_ / "old"));
}

TEST_F(InstallTest, AStoredPathWithoutATrailingSeparatorIsAPlainPrefix) {
  // "<game>q2" finds its support files in "<game>q2baseq2/", not in "<game>q2/baseq2/".
  PutOldFiles(game_ / "q2baseq2/", kSourceNames);
  StoreGamePath(game_ / "q2");
  FakePrompt prompt;
  Install(prompt);
  EXPECT_EQ(prompt.calls, 0);

  fs::rename(game_ / "q2baseq2", game_ / "q2");
  fs::create_directory(game_ / "q2/baseq2");
  fs::rename(game_ / "q2/Alias.cfg", game_ / "q2/baseq2/Alias.cfg");  // only one moved in
  EXPECT_EQ(Install(prompt).outcome, InstallResult::Outcome::kCancelled);
  EXPECT_EQ(prompt.calls, 1);
  EXPECT_EQ(ReadFile(game_ / "q2/baseq2/Alias.cfg"), "old Alias.cfg");
}

// The game path after a link and "..": the check and the copies look in one folder, the
// one the system opens ("<link>/.." is the parent of the link's target).
TEST_F(InstallTest, AGamePathThroughALinkAndTwoPointsIsResolvedOneWayForCheckAndCopy) {
  fs::create_directories(game_ / "home/me");
  fs::create_directories(game_ / "disk/games/quake2");
  fs::create_directory_symlink(game_ / "disk/games/quake2", game_ / "home/me/link");
  fs::create_directory(game_ / "home/me/baseq2");  // where "home/me/link/../" reads as text
  PutOldFiles(game_ / "disk/games/baseq2/", {"Alias.cfg", "GlVid.cfg"});

  FakePrompt prompt{game_ / "home/me/link/../"};
  EXPECT_EQ(Install(prompt).folder, game_ / "disk/games/baseq2/");
  EXPECT_EQ(StoredGamePath(), game_ / "home/me/link/../");
  ExpectCopies(game_ / "disk/games/baseq2/", kSourceNames);
  EXPECT_EQ(ListDirectory(game_ / "home/me/baseq2"), std::vector<std::string>{});

  Install(prompt);
  EXPECT_EQ(prompt.calls, 1) << "the check found what the copy wrote";
}

// ---------------------------------------------------------------------------------------
// Letter case on a case-sensitive file system.

// The data directory is found in any letter case. A support file present under another
// letter case counts as installed (Yamagi Quake II opens the lower-case name too): it is
// left alone and reported, and nothing is written beside it.
class LetterCaseTest : public InstallTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LetterCaseTest, TheDataDirectoryInAnyCaseAndTheFilesInAnyCaseWithoutDuplicates) {
  const std::string directoryName = GetParam();
  const std::string data = game_ / (directoryName + "/");
  PutOldFiles(data, {"alias.cfg", "GLVID.CFG", "ModBinding.cfg"});
  StoreGamePath(game_.Path());
  EXPECT_FALSE(SupportFilesInstalled(game_.Path()));

  FakePrompt prompt{game_ / "quake2.exe"};
  const InstallResult result = Install(prompt);

  EXPECT_EQ(prompt.calls, 1);
  EXPECT_EQ(ListDirectory(game_.Path()), std::vector<std::string>{directoryName});
  ExpectCopies(data, {"ModBinding.cfg", "NormBinding.cfg", "NormVid.cfg"},
               {"GLVID.CFG", "alias.cfg"});
  EXPECT_EQ(ReadFile(data + "alias.cfg"), "old alias.cfg");
  EXPECT_EQ(ReadFile(data + "GLVID.CFG"), "old GLVID.CFG");
  EXPECT_EQ(result.files,
            (std::vector<std::string>{"ModBinding.cfg", "NormBinding.cfg", "NormVid.cfg"}));
  EXPECT_EQ(result.otherCase, (std::vector<std::string>{"alias.cfg", "GLVID.CFG"}));

  EXPECT_TRUE(SupportFilesInstalled(game_.Path()));
  const InstallResult again = Install(prompt);
  EXPECT_EQ(prompt.calls, 1);
  EXPECT_EQ(again.outcome, InstallResult::Outcome::kAlreadyInstalled);
  EXPECT_EQ(again.otherCase, result.otherCase);
}

INSTANTIATE_TEST_SUITE_P(DataDirectoryNames, LetterCaseTest,
                         ::testing::Values("baseq2", "Baseq2", "BASEQ2", "BaseQ2"));

TEST_F(InstallTest, AmongSeveralDataDirectoriesTheChoiceIsFixed) {
  // The exact name first, then the smallest name byte by byte; plain files never.
  fs::create_directory(game_ / "BASEQ2");
  fs::create_directory(game_ / "Baseq2");
  WriteFile(game_ / "bASEQ2", "a file, not a directory");
  EXPECT_EQ(FindGameDataDirectory(game_.Path()), game_ / "BASEQ2/");

  fs::create_directory(game_ / "baseq2");
  EXPECT_EQ(FindGameDataDirectory(game_.Path()), game_ / "baseq2/");

  FakePrompt prompt{game_ / "quake2.exe"};
  Install(prompt);
  ExpectCopies(game_ / "baseq2/", kSourceNames);
  EXPECT_EQ(ListDirectory(game_ / "BASEQ2"), std::vector<std::string>{});
  EXPECT_EQ(ListDirectory(game_ / "Baseq2"), std::vector<std::string>{});
}

TEST(FindDirectoryIgnoringCaseTest, LooksInTheCurrentDirectoryForAnEmptyDirectory) {
  TempDir work;
  fs::create_directory(work / "BaseQ2");
  WriteFile(work / "BASEQ", "a file");
  const ScopedCurrentDirectory inWork(work.Path());
  EXPECT_EQ(FindDirectoryIgnoringCase("", "baseq2"), "BaseQ2");
  EXPECT_EQ(FindGameDataDirectory(""), ScopedCurrentDirectory::Current() + "BaseQ2/");
  EXPECT_EQ(FindDirectoryIgnoringCase("", "baseq"), std::nullopt);
  EXPECT_EQ(FindDirectoryIgnoringCase(work / "missing/", "baseq2"), std::nullopt);
}

// ---------------------------------------------------------------------------------------
// Failures.

TEST_F(InstallTest, AMissingSourceStopsAtItsRow) {
  fs::remove(app_ / "Q2Dats/GlVid.cfg");
  const std::string data = game_ / "baseq2/";
  PutOldFiles(data, {"ModBinding.cfg", "NormBinding.cfg", "NormVid.cfg"});
  FakePrompt prompt{game_ / "quake2.exe"};

  const InstallResult result = Install(prompt);
  EXPECT_EQ(result.outcome, InstallResult::Outcome::kStopped);
  EXPECT_EQ(FileErrorOf([&] { std::rethrow_exception(result.error); }),
            "FileError.NotFound " + app_.Path() + "Q2Dats/GlVid.cfg");
  EXPECT_EQ(result.files, std::vector<std::string>{"Alias.cfg"});
  EXPECT_EQ(result.notWritten, (std::vector<std::string>{"GlVid.cfg", "ModBinding.cfg",
                                                         "NormBinding.cfg", "NormVid.cfg"}));

  EXPECT_EQ(ReadFile(data + "Alias.cfg"), SourceBytes("Alias.cfg"));
  EXPECT_FALSE(Exists(data + "GlVid.cfg"));
  for (const char* name : {"ModBinding.cfg", "NormBinding.cfg", "NormVid.cfg"}) {
    EXPECT_EQ(ReadFile(data + name), std::string("old ") + name);
  }
  EXPECT_EQ(ListDirectory(data).size(), 4u);
  EXPECT_EQ(StoredGamePath(), game_.Path());  // written before the copies, and it stays
}

// Only the five files by their own names are written: a support file that is a link (to
// a file of the game too, dangling or a loop) or that has another hard link stops the
// install at it, naming it, and the file it leads to stays untouched.
TEST_F(InstallTest, ASupportFileThatIsALinkIsNeverWrittenThrough) {
  const std::string data = game_ / "baseq2/";
  WriteFile(data + "pak0.pak", "the game's data");
  FakePrompt prompt{game_ / "quake2.exe"};
  auto refusal = [&] {
    const InstallResult result = Install(prompt);
    EXPECT_EQ(result.outcome, InstallResult::Outcome::kStopped);
    return MessageOf<TextError>([&] { std::rethrow_exception(result.error); });
  };
  fs::create_symlink("pak0.pak", data + "Alias.cfg");
  EXPECT_EQ(refusal(), FallbackText(Text{"Install.LinkRefused", {data + "Alias.cfg"}}));
  fs::remove(data + "Alias.cfg");
  fs::create_symlink("missing.pak", data + "Alias.cfg");
  EXPECT_EQ(refusal(), FallbackText(Text{"Install.LinkRefused", {data + "Alias.cfg"}}));
  EXPECT_FALSE(Exists(data + "missing.pak"));
  fs::remove(data + "Alias.cfg");
  fs::create_hard_link(data + "pak0.pak", data + "GlVid.cfg");
  EXPECT_EQ(refusal(), FallbackText(Text{"Install.HardLinkRefused", {data + "GlVid.cfg"}}));
  EXPECT_EQ(ReadFile(data + "pak0.pak"), "the game's data");
  EXPECT_EQ(ReadFile(data + "Alias.cfg"), SourceBytes("Alias.cfg"));  // written before it
}

// A baseq2 that leads outside the game's folder gets nothing; one that leads to a folder
// inside it is written, and the status names the folder written to.
TEST_F(InstallTest, ADataFolderOutsideTheGamesFolderIsRefused) {
  TempDir elsewhere;
  fs::create_symlink(elsewhere.Path(), game_ / "baseq2");
  FakePrompt prompt{game_ / "quake2.exe"};
  EXPECT_EQ(MessageOf<TextError>([&] { Install(prompt); }),
            FallbackText(Text{"Install.DataOutside",
                              {game_ / "baseq2/", *platform::ResolvedPath(elsewhere.Path())}}));
  EXPECT_TRUE(ListDirectory(elsewhere.Path()).empty());

  fs::remove(game_ / "baseq2");
  fs::create_directories(game_ / "data/own");
  fs::create_symlink("data/own", game_ / "baseq2");
  const InstallResult result = Install(prompt);
  EXPECT_EQ(result.outcome, InstallResult::Outcome::kInstalled);
  EXPECT_EQ(result.folder, *platform::ResolvedPath(game_ / "data/own/"));
  EXPECT_EQ(result.Status().args.back(), result.folder);
  EXPECT_EQ(ListDirectory(game_ / "data/own").size(), 5u);
}

TEST_F(InstallTest, AGamePathThatCannotBeStoredStopsBeforeAnyCopy) {
  fs::remove_all(app_ / "data");
  fs::create_directory(game_ / "baseq2");
  FakePrompt prompt{game_ / "quake2.exe"};

  EXPECT_EQ(FileErrorOf([&] { Install(prompt); }),
            "FileError.FolderNotFound " + app_.Path() + "data/config.ini");
  EXPECT_EQ(ListDirectory(game_ / "baseq2"), std::vector<std::string>{});
}

}  // namespace
}  // namespace tavrilo::install
