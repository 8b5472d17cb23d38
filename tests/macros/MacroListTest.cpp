// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/MacroList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Errors.h"
#include "core/StringList.h"

namespace tavrilo::macros {
namespace {

std::vector<std::string> Entries(const StringList& list) {
  return list.Items();
}

// Expects `action` to throw ListIndexError with exactly `message`.
template <typename Action>
void ExpectListError(Action action, const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "no error, expected: " << message;
  } catch (const ListIndexError& error) {
    EXPECT_EQ(std::string(error.what()), message);
  }
}

TEST(StringList, KeepsEntriesInAppendOrderWithDuplicatesAndEmptyEntries) {
  StringList list;
  for (const char* text : {"b", "a", "", "b", "// comment"})
    list.Add(text);
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"b", "a", "", "b", "// comment"}));
  EXPECT_EQ(list.Count(), 5);
}

TEST(StringList, ReadingOutsideTheListFailsWithItsPosition) {
  StringList list;
  list.Add("one");
  list.Add("two");
  for (int index : {2, 5, -1, -7}) {
    ExpectListError([&] { (void)list.At(index); },
                    "List index out of bounds (" + std::to_string(index) + ")");
  }
  ExpectListError([&] { list.Delete(5); }, "List index out of bounds (5)");
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(list.At(1), "two");
}

TEST(StringList, FullListRefusesAnotherEntryAndKeepsItsEntries) {
  StringList list(2);
  list.Add("one");
  list.Add("two");
  ExpectListError([&] { list.Add("three"); }, "Unable to insert a line");
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"one", "two"}));
  list.Delete(0);
  list.Add("three");  // room again
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"two", "three"}));
}

// Insert, Replace and Move keep every other entry's bytes where they belong, whatever
// the lengths; outside the list or past its size they fail and change nothing.
TEST(StringList, InsertReplaceAndMoveKeepTheOtherEntries) {
  using Lines = std::vector<std::string>;
  StringList list(5);
  list.Add("aa");
  list.Add("");
  list.Insert(0, "first");
  list.Insert(3, "end");
  list.Insert(1, "b");
  EXPECT_EQ(Entries(list), (Lines{"first", "b", "aa", "", "end"}));
  ExpectListError([&] { list.Insert(0, "x"); }, "Unable to insert a line");  // full
  list.Delete(4);
  ExpectListError([&] { list.Insert(5, "x"); }, "List index out of bounds (5)");
  list.Replace(2, "longer text");
  list.Replace(0, "");
  EXPECT_EQ(Entries(list), (Lines{"", "b", "longer text", ""}));
  list.Move(0, 2);
  EXPECT_EQ(Entries(list), (Lines{"b", "longer text", "", ""}));
  list.Move(3, 0);
  list.Move(2, 1);
  list.Replace(3, "x");
  EXPECT_EQ(Entries(list), (Lines{"", "longer text", "b", "x"}));
  list.Move(2, 2);
  ExpectListError([&] { list.Move(1, 4); }, "List index out of bounds (4)");
  ExpectListError([&] { list.Replace(-1, "x"); }, "List index out of bounds (-1)");
  EXPECT_EQ(Entries(list), (Lines{"", "longer text", "b", "x"}));
  // A line appended keeps the selection; one inserted before it or moved does not.
  list.SetItemIndex(2);
  list.Delete(0);
  list.SetItemIndex(1);
  list.Add("y");
  EXPECT_EQ(list.ItemIndex(), 1);
  list.Insert(0, "z");
  EXPECT_EQ(list.ItemIndex(), -1);
}

TEST(StringList, SelectionIsOnePositionOrNone) {
  StringList list;
  list.Add("one");
  list.Add("two");
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_EQ(list.Text(), "");
  list.SetItemIndex(1);
  EXPECT_EQ(list.Text(), "two");
  for (int outside : {2, -1, -5}) {
    list.SetItemIndex(1);
    list.SetItemIndex(outside);
    EXPECT_EQ(list.ItemIndex(), -1) << outside;
    EXPECT_EQ(list.Text(), "") << outside;
  }
  list.SetItemIndex(0);
  list.Clear();
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_TRUE(list.Empty());
}

class MacroListTest : public ::testing::Test {
 protected:
  MacroListTest() {
    for (const char* text : {R"(bind "q" "zoom")", R"(bind "w" "+attack")", "", "echo end"}) {
      list.Add(text);
    }
  }
  MacroList list;
};

TEST_F(MacroListTest, ToolTipIsEmptyUntilTheUserSelects) {
  EXPECT_EQ(list.Hint(), "");
}

TEST_F(MacroListTest, ToolTipShowsTheEntryTheUserSelected) {
  list.UserSelect(1);
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(list.Hint(), R"(bind "w" "+attack")");
  list.UserSelect(3);
  EXPECT_EQ(list.Hint(), "echo end");
  list.UserSelect(2);  // an empty entry gives the empty tool-tip
  EXPECT_EQ(list.Hint(), "");
}

TEST_F(MacroListTest, ToolTipOutlivesItsEntry) {
  list.UserSelect(0);
  list.DeleteSelected();
  EXPECT_EQ(list.Hint(), R"(bind "q" "zoom")");
  list.Clear();
  EXPECT_EQ(list.Hint(), R"(bind "q" "zoom")");
}

TEST_F(MacroListTest, SelectingNothingKeepsTheToolTip) {
  list.UserSelect(1);
  list.UserSelect(-1);
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_EQ(list.Hint(), R"(bind "w" "+attack")");
}

TEST_F(MacroListTest, SelectingOutsideTheListFailsAndChangesNothing) {
  list.UserSelect(1);
  ExpectListError([&] { list.UserSelect(4); }, "List index out of bounds (4)");
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(list.Hint(), R"(bind "w" "+attack")");
}

TEST_F(MacroListTest, ProgramSelectionDoesNotTouchTheToolTip) {
  list.UserSelect(0);
  list.SetItemIndex(3);
  EXPECT_EQ(list.Hint(), R"(bind "q" "zoom")");
}

TEST_F(MacroListTest, DeleteRemovesTheSelectedEntryAndSelectsNothing) {
  list.UserSelect(1);
  list.DeleteSelected();
  EXPECT_EQ(Entries(list), (std::vector<std::string>{R"(bind "q" "zoom")", "", "echo end"}));
  EXPECT_EQ(list.ItemIndex(), -1);
}

TEST_F(MacroListTest, DeleteWithoutSelectionDoesNothing) {
  const std::vector<std::string> before = Entries(list);
  list.DeleteSelected();
  EXPECT_EQ(Entries(list), before);
}

TEST_F(MacroListTest, DeleteTwiceAfterOneSelectionDeletesOneEntry) {
  list.UserSelect(0);
  list.DeleteSelected();
  list.DeleteSelected();
  EXPECT_EQ(Entries(list), (std::vector<std::string>{R"(bind "w" "+attack")", "", "echo end"}));
}

TEST_F(MacroListTest, DeleteTheLastEntry) {
  list.UserSelect(3);
  list.DeleteSelected();
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.At(2), "");
}

TEST(MacroList, AppendingEqualLinesTwiceKeepsBoth) {
  MacroList list;
  list.Add(R"(bind "q" "zoom")");
  list.Add(R"(bind "q" "zoom")");
  EXPECT_EQ(Entries(list), (std::vector<std::string>{R"(bind "q" "zoom")", R"(bind "q" "zoom")"}));
}

TEST(MacroList, FullListRefusesAnotherLine) {
  MacroList list(1);
  list.Add("first");
  ExpectListError([&] { list.Add("second"); }, "Unable to insert a line");
  EXPECT_EQ(Entries(list), std::vector<std::string>{"first"});
}

}  // namespace
}  // namespace tavrilo::macros
