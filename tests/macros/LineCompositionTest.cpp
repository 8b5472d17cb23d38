#include "macros/LineComposition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Errors.h"

namespace tavrilo::macros {
namespace {

// The key and function fields after the user chose something, in a language whose
// caption file gave them the prompts "Keys" and "Functions".
constexpr ShownFields kChosen{"a", "Zoom", "Keys", "Functions"};

struct ShapeCase {
  std::string key;
  std::string command;
  std::string text;
  std::string line;
};

TEST(ComposeBinding, WritesTheLineOfEachCommand) {
  const std::vector<ShapeCase> cases = {
      {"q", "say", "Salut", R"(bind "q" "say Salut")"},
      {"q", "say", "", R"(bind "q" "say ")"},
      {"q", "say", "Tapez ici les dialogues macros",
       R"(bind "q" "say Tapez ici les dialogues macros")"},
      {"q", "say_team", "On y va", R"(bind "q" "say_team On y va")"},
      {"q", "say_team", "", R"(bind "q" "say_team ")"},
      {"q", "say_team", "Type your chat text here",
       R"(bind "q" "say_team Type your chat text here")"},
      {"q", "say",
       "cr\xE9"
       "e  ",
       "bind \"q\" \"say cr\xE9"
       "e  \""},
      {"q", "zoom", "ignored", R"(bind "q" "zoom")"},
      {"q", "Free-Look", "", R"(bind "q" "Free-Look")"},
      {"q", "Cycle-Hand", "", R"(bind "q" "Cycle-Hand")"},
      {"q", "Cycle-Wave", "", R"(bind "q" "Cycle-Wave")"},
      {"q", "Cycle-Crosshair", "", R"(bind "q" "Cycle-Crosshair")"},
      {"q", "CycleWeap", "", R"(bind "q" "CycleWeap")"},
      {"q", "NextPowerUp", "", R"(bind "q" "NextPowerUp")"},
      {"q", "UsePowerUp", "", R"(bind "q" "UsePowerUp")"},
      {"q", "QuickMapMode", "", R"(bind "q" "QuickMapMode")"},
      {"q", "User", "+attack; wait; -attack", R"(bind "q" "+attack; wait; -attack")"},
      {"q", "User", "", R"(bind "q" "")"},
      {"q", "echo Cette touche ne sert pas", "Salut",
       R"(bind "q" "echo Cette touche ne sert pas")"},
      {"q", "+QuickGrenades", "", R"(bind "q" "+QuickGrenades")"},
      {"MOUSE1", "+attack", "", R"(bind "MOUSE1" "+attack")"},
      // Only the exact tokens have lines of their own.
      {"q", "Say", "Salut", R"(bind "q" "Say")"},
      {"q", "say ", "Salut", R"(bind "q" "say ")"},
      {"q", "user", "Salut", R"(bind "q" "user")"},
      {"q", "Zoom", "", R"(bind "q" "Zoom")"},
      {"q", "free-look", "", R"(bind "q" "free-look")"},
      {"q", "", "", R"(bind "q" "")"},
      // KEY is inserted as it is.
      {"", "zoom", "", R"(bind "" "zoom")"},
      {"\\", "zoom", "", R"(bind "\" "zoom")"},
      {" a b ", "zoom", "", R"(bind " a b " "zoom")"},
  };
  for (const auto& [key, command, text, line] : cases) {
    EXPECT_EQ(ComposeBinding(kChosen, key, command, text), line)
        << "command [" << command << "], text [" << text << "]";
  }
}

TEST(ComposeBinding, EveryBindLineHasPairedQuotes) {
  // The game discards a line whose double quotes do not pair up.
  const std::vector<std::string> commands = {
      "say",
      "say_team",
      "zoom",
      "Free-Look",
      "Cycle-Hand",
      "Cycle-Wave",
      "Cycle-Crosshair",
      "CycleWeap",
      "NextPowerUp",
      "UsePowerUp",
      "QuickMapMode",
      "User",
      "+QuickGrenades",
      "echo Cette touche ne sert pas",
      "",
  };
  for (const std::string& command : commands) {
    std::optional<std::string> line = ComposeBinding(kChosen, "q", command, "hello");
    ASSERT_TRUE(line.has_value()) << command;
    EXPECT_EQ(std::count(line->begin(), line->end(), '"'), 4) << *line;
    EXPECT_EQ(line->back(), '"') << *line;
  }
}

struct GuardCase {
  const char* name;
  ShownFields shown;
  bool binds;
};

TEST(ComposeBinding, StopsWhileAFieldShowsNothingChosen) {
  const std::vector<GuardCase> cases = {
      {"fixed key text", {"Choisissez une touche", "Zoom", "Keys", "Functions"}, false},
      {"fixed function text", {"a", "Choisissez une fonction", "Keys", "Functions"}, false},
      {"both fixed texts",
       {"Choisissez une touche", "Choisissez une fonction", "Keys", "Functions"},
       false},
      {"key prompt of the caption file", {"Keys", "Zoom", "Keys", "Functions"}, false},
      {"function prompt of the caption file", {"a", "Functions", "Keys", "Functions"}, false},
      {"fixed texts also without prompts", {"Choisissez une touche", "Zoom", "", ""}, false},
      {"chosen key and function", {"a", "Zoom", "Keys", "Functions"}, true},
      {"the other language's prompt", {"Touches", "Fonctions", "Keys", "Functions"}, true},
      {"letter case counts", {"choisissez une touche", "Zoom", "", ""}, true},
      {"no trimming", {"Choisissez une touche ", " Choisissez une fonction", "", ""}, true},
      {"each guard text only in its own field",
       {"Choisissez une fonction", "Choisissez une touche", "", ""},
       true},
      {"prompt with other letter case", {"keys", "functions", "Keys", "Functions"}, true},
      // An empty prompt guards nothing: an emptied field binds like any other text.
      {"emptied fields, empty prompts", {"", "", "", ""}, true},
      {"emptied key field", {"", "Zoom", "Keys", "Functions"}, true},
  };
  for (const auto& [name, shown, binds] : cases) {
    std::optional<std::string> line = ComposeBinding(shown, "q", "zoom", "");
    EXPECT_EQ(line.has_value(), binds) << name;
    if (binds) {
      EXPECT_EQ(line, R"(bind "q" "zoom")") << name;
    }
  }
}

TEST(ComposeBinding, GuardLooksAtTheFieldsNotAtKeyAndCommand) {
  // The key field shows the guard text while the last chosen key is still "q".
  EXPECT_EQ(ComposeBinding({"Choisissez une touche", "Zoom", "", ""}, "q", "zoom", ""),
            std::nullopt);
  // No key or function chosen yet, the fields show some other text: the initial key and
  // the default command are bound.
  EXPECT_EQ(
      ComposeBinding({"Touches", "Fonctions", "", ""}, "a", "echo Cette touche ne sert pas", ""),
      R"(bind "a" "echo Cette touche ne sert pas")");
  // A key token equal to the guard text is bound: only the field counts.
  EXPECT_EQ(ComposeBinding(kChosen, "Choisissez une touche", "zoom", ""),
            R"(bind "Choisissez une touche" "zoom")");
}

TEST(ComposeBinding, GuardIsCheckedBeforeTheTexts) {
  EXPECT_EQ(ComposeBinding({"Choisissez une touche", "Zoom", "", ""}, "\"", "say", "\""),
            std::nullopt);
  EXPECT_EQ(ComposeBinding({"a", "Functions", "", "Functions"}, "q", "a\"b", ""), std::nullopt);
  EXPECT_EQ(ComposeExternalBinding(-1, "\"", "\r\n"), std::nullopt);
  EXPECT_EQ(ComposeDefinableWithExternal(-1, "\"", "\"", "\n"), std::nullopt);
}

TEST(ComposeBinding, TextsTheLineDoesNotUseAreNotChecked) {
  EXPECT_EQ(ComposeBinding(kChosen, "q", "zoom", "say \"hi\""), R"(bind "q" "zoom")");
  EXPECT_EQ(ComposeBinding(kChosen, "q", "+attack", "\r\n"), R"(bind "q" "+attack")");
  EXPECT_EQ(ComposeBinding(kChosen, "q", "Free-Look", "\""), R"(bind "q" "Free-Look")");
}

TEST(ComposeExternalBinding, BindsTheKeyToTheSelectedResource) {
  EXPECT_EQ(ComposeExternalBinding(0, "q", "exec Alias.cfg"), R"(bind "q" "exec Alias.cfg")");
  EXPECT_EQ(ComposeExternalBinding(7, "F1", "+QuickGrenades"), R"(bind "F1" "+QuickGrenades")");
  EXPECT_EQ(ComposeExternalBinding(2, "", ""), R"(bind "" "")");
  EXPECT_EQ(ComposeExternalBinding(-1, "q", "exec Alias.cfg"), std::nullopt);
  EXPECT_EQ(ComposeExternalBinding(-2, "q", "exec Alias.cfg"), std::nullopt);
}

TEST(ComposeDefinableCall, WritesTheFunctionAndItsQuotedArguments) {
  EXPECT_EQ(ComposeDefinableCall("alias", "fire +attack"), R"(alias "fire +attack")");
  EXPECT_EQ(ComposeDefinableCall("echo", ""), R"(echo "")");
  // Nothing picked (a typed name): the line begins with the blank.
  EXPECT_EQ(ComposeDefinableCall("", "fire"), R"( "fire")");
  EXPECT_EQ(ComposeDefinableCall("", ""), R"( "")");
  EXPECT_EQ(ComposeDefinableCall("f", "  a  "), R"(f "  a  ")");
}

TEST(ComposeDefinableWithExternal, WorksFromTheFirstResourceOn) {
  EXPECT_EQ(ComposeDefinableWithExternal(0, "alias", "rail", "use Railgun"),
            R"(alias "rail" "use Railgun")");
  EXPECT_EQ(ComposeDefinableWithExternal(1, "alias", "rail", "use Railgun"),
            R"(alias "rail" "use Railgun")");
  EXPECT_EQ(ComposeDefinableWithExternal(0, "", "", ""), R"( "" "")");
  EXPECT_EQ(ComposeDefinableWithExternal(-1, "alias", "rail", "use Railgun"), std::nullopt);
}

TEST(ComposeFreeLine, KeepsTheTextAsTyped) {
  for (const std::string text : {"", "echo \"hello\"", R"(bind "q" "+attack)", "  blanks  ",
                                 "cr\xE9"
                                 "e",
                                 "; ;"}) {
    EXPECT_EQ(ComposeFreeLine(text), text);
  }
}

struct RefusalCase {
  const char* name;
  std::function<void(const std::string&)> compose;
  std::string what;  // the start of the message
};

// Each text that a line puts between double quotes (or uses as a function name),
// tried with a double quote, a CR and a LF in its middle.
TEST(LineComposition, RefusesTextsThatWouldBreakTheLine) {
  const std::vector<RefusalCase> cases = {
      {"key", [](const std::string& s) { ComposeBinding(kChosen, s, "zoom", ""); }, "The key"},
      {"key of the general line",
       [](const std::string& s) { ComposeBinding(kChosen, s, "+attack", ""); }, "The key"},
      {"say text", [](const std::string& s) { ComposeBinding(kChosen, "q", "say", s); },
       "The chat text"},
      {"say_team text", [](const std::string& s) { ComposeBinding(kChosen, "q", "say_team", s); },
       "The chat text"},
      {"User text", [](const std::string& s) { ComposeBinding(kChosen, "q", "User", s); },
       "The user-defined command"},
      {"general command", [](const std::string& s) { ComposeBinding(kChosen, "q", s, "x"); },
       "The command"},
      {"external binding key",
       [](const std::string& s) { ComposeExternalBinding(0, s, "exec a.cfg"); }, "The key"},
      {"external command", [](const std::string& s) { ComposeExternalBinding(0, "q", s); },
       "The external command"},
      {"picked function", [](const std::string& s) { ComposeDefinableCall(s, "x"); },
       "The function name"},
      {"arguments of the call", [](const std::string& s) { ComposeDefinableCall("f", s); },
       "The arguments"},
      {"typed function", [](const std::string& s) { ComposeDefinableWithExternal(0, s, "x", "y"); },
       "The function name"},
      {"arguments with external",
       [](const std::string& s) { ComposeDefinableWithExternal(0, "f", s, "y"); }, "The arguments"},
      {"external command with function",
       [](const std::string& s) { ComposeDefinableWithExternal(0, "f", "x", s); },
       "The external command"},
  };
  const std::vector<std::pair<std::string, std::string>> faults = {
      {"\"", " must not contain a double quote"},
      {"\r", " must not contain a line break"},
      {"\n", " must not contain a line break"},
  };
  for (const auto& [name, compose, what] : cases) {
    for (const auto& [bad, problem] : faults) {
      const std::string text = "ab" + bad + "cd";
      try {
        compose(text);
        ADD_FAILURE() << name << ": nothing refused for byte " << int(bad[0]);
      } catch (const EInvalidLine& error) {
        EXPECT_EQ(std::string(error.what()), what + problem) << name;
      }
    }
  }
}

TEST(LineComposition, FirstOffendingTextIsNamed) {
  try {
    ComposeBinding(kChosen, "\"", "say", "\"");
    FAIL() << "nothing refused";
  } catch (const EInvalidLine& error) {
    EXPECT_STREQ(error.what(), "The key must not contain a double quote");
  }
}

TEST(ComposeFreeLine, RefusesLineBreaksButNotQuotes) {
  for (const std::string text : {"echo a\r", "\necho a", "echo a\r\nquit"}) {
    try {
      ComposeFreeLine(text);
      ADD_FAILURE() << "nothing refused";
    } catch (const EInvalidLine& error) {
      EXPECT_STREQ(error.what(), "The personal command must not contain a line break");
    }
  }
  EXPECT_EQ(ComposeFreeLine("\"\"\""), "\"\"\"");
}

}  // namespace
}  // namespace tavrilo::macros
