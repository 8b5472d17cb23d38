// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/LineComposition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Text.h"

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

// The key of the refusal that `compose` throws, or "" when it composes its line.
std::string RefusalOf(const std::function<void()>& compose) {
  try {
    compose();
  } catch (const TextError& error) {
    return error.GetText().key;
  }
  return "";
}

struct RefusalCase {
  const char* name;
  std::function<void(const std::string&)> compose;
  std::string field;  // the end of the refusal's key
};

// Each text that a line puts between double quotes (or uses as a function name),
// tried with a double quote, a CR and a LF in its middle.
TEST(LineComposition, RefusesTextsThatWouldBreakTheLine) {
  const std::vector<RefusalCase> cases = {
      {"key", [](const std::string& s) { ComposeBinding(kChosen, s, "zoom", ""); }, "Key"},
      {"key of the general line",
       [](const std::string& s) { ComposeBinding(kChosen, s, "+attack", ""); }, "Key"},
      {"say text", [](const std::string& s) { ComposeBinding(kChosen, "q", "say", s); },
       "ChatText"},
      {"say_team text", [](const std::string& s) { ComposeBinding(kChosen, "q", "say_team", s); },
       "ChatText"},
      {"User text", [](const std::string& s) { ComposeBinding(kChosen, "q", "User", s); },
       "UserCommand"},
      {"general command", [](const std::string& s) { ComposeBinding(kChosen, "q", s, "x"); },
       "Command"},
      {"external binding key",
       [](const std::string& s) { ComposeExternalBinding(0, s, "exec a.cfg"); }, "Key"},
      {"external command", [](const std::string& s) { ComposeExternalBinding(0, "q", s); },
       "ExternalCommand"},
      {"picked function", [](const std::string& s) { ComposeDefinableCall(s, "x"); },
       "FunctionName"},
      {"arguments of the call", [](const std::string& s) { ComposeDefinableCall("f", s); },
       "Arguments"},
      {"typed function", [](const std::string& s) { ComposeDefinableWithExternal(0, s, "x", "y"); },
       "FunctionName"},
      {"arguments with external",
       [](const std::string& s) { ComposeDefinableWithExternal(0, "f", s, "y"); }, "Arguments"},
      {"external command with function",
       [](const std::string& s) { ComposeDefinableWithExternal(0, "f", "x", s); },
       "ExternalCommand"},
  };
  const std::vector<std::pair<std::string, std::string>> faults = {
      {"\"", "Refusal.QuoteIn"},
      {"\r", "Refusal.LineBreakIn"},
      {"\n", "Refusal.LineBreakIn"},
  };
  for (const auto& [name, compose, field] : cases) {
    for (const auto& [bad, refusal] : faults) {
      const std::string text = "ab" + bad + "cd";
      EXPECT_EQ(RefusalOf([&] { compose(text); }), refusal + field)
          << name << ", byte " << int(bad[0]);
    }
  }
}

TEST(LineComposition, FirstOffendingTextIsNamed) {
  EXPECT_EQ(RefusalOf([] { ComposeBinding(kChosen, "\"", "say", "\""); }), "Refusal.QuoteInKey");
}

TEST(ComposeFreeLine, RefusesLineBreaksButNotQuotes) {
  for (const std::string text : {"echo a\r", "\necho a", "echo a\r\nquit"}) {
    EXPECT_EQ(RefusalOf([&] { ComposeFreeLine(text); }), "Refusal.LineBreakInFreeLine");
  }
  EXPECT_EQ(ComposeFreeLine("\"\"\""), "\"\"\"");
}

TEST(LineComposition, RefusesASemicolonInAChatMessageOnly) {
  // bind "q" "say gg; quit" says gg, then quits the game.
  EXPECT_EQ(RefusalOf([] { ComposeBinding(kChosen, "q", "say", "gg; quit"); }),
            "Refusal.SemicolonInChatText");
  EXPECT_EQ(RefusalOf([] { ComposeBinding(kChosen, "q", "say_team", "rush; unbindall"); }),
            "Refusal.SemicolonInChatText");
  EXPECT_EQ(ComposeBinding(kChosen, "q", "User", "+attack; wait; -attack"),
            R"(bind "q" "+attack; wait; -attack")");
}

TEST(LineComposition, RefusesAKeyWithAByteAbove127) {
  // The game would read the byte as a negative key number.
  EXPECT_EQ(RefusalOf([] { ComposeBinding(kChosen, "\xE9", "zoom", ""); }),
            "Refusal.HighByteInKey");
  EXPECT_EQ(RefusalOf([] { ComposeExternalBinding(0, "\xB2", "exec Alias.cfg"); }),
            "Refusal.HighByteInKey");
  EXPECT_EQ(ComposeBinding(kChosen, "q", "say",
                           "cr\xE9"
                           "e"),
            "bind \"q\" \"say cr\xE9"
            "e\"");
}

TEST(LineComposition, RefusesAWordTheGameWouldCut) {
  const std::string chat127(127, 'w');
  const std::string chat128(128, 'w');
  EXPECT_EQ(RefusalOf([&] { ComposeBinding(kChosen, "q", "User", chat127); }), "");
  EXPECT_EQ(RefusalOf([&] { ComposeBinding(kChosen, "q", "User", chat128); }), "Refusal.LongWord");
  // "say " and the text make one quoted word of the bind line.
  EXPECT_EQ(RefusalOf([&] { ComposeBinding(kChosen, "q", "say", std::string(123, 'w')); }), "");
  EXPECT_EQ(RefusalOf([&] { ComposeBinding(kChosen, "q", "say", std::string(124, 'w')); }),
            "Refusal.LongWord");
  EXPECT_EQ(RefusalOf([&] { ComposeFreeLine("echo " + chat128); }), "Refusal.LongWord");
  EXPECT_EQ(RefusalOf([&] { ComposeDefinableCall("name", chat128, game::Game::kYamagi); }), "");
}

TEST(LineComposition, RefusesALineTheGameWouldDiscard) {
  // Short words up to `length` characters.
  auto line = [](std::size_t length) {
    std::string text = "echo";
    while (text.size() < length)
      text += text.size() % 10 == 4 ? ' ' : 'x';
    return text;
  };
  // With the CR that the saved file puts after it, 1,023 characters make 1,024.
  EXPECT_EQ(RefusalOf([&] { ComposeFreeLine(line(1022)); }), "");
  EXPECT_EQ(RefusalOf([&] { ComposeFreeLine(line(1023)); }), "Refusal.LongLine");
  EXPECT_EQ(RefusalOf([&] { ComposeFreeLine(line(1023), game::Game::kYamagi); }), "");
  EXPECT_EQ(RefusalOf([&] { ComposeFreeLine(line(1024), game::Game::kYamagi); }),
            "Refusal.LongLine");
  EXPECT_EQ(RefusalOf([&] { ComposeDefinableCall("echo", line(1100)); }), "Refusal.LongLine");
}

}  // namespace
}  // namespace tavrilo::macros
