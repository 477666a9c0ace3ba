#include "console/menu.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

const std::vector<MenuItem> kTwoForms = {
    {"Form 1", 1, false},
    {"Form 2", 2, false},
    {"Back to last page...", 3, true},
};

const std::string kTwoFormsText =
    "\nForms:\n<1>1. Form 1\n<2>2. Form 2\n<3>3. Back to last page...\n\n<7>Select: ";

struct MenuCase {
  const char* input;
  int choice;
  int showings;  // how often the whole menu is written
};

TEST(RunMenu, WritesTheMenuAndReturnsAValidChoice) {
  const MenuCase cases[] = {
      {"2\n", 2, 1},
      {"+3\n", 3, 1},
      {"003\n", 3, 1},
      {"\n  \n1\n", 1, 1},
      {"0\n3\n", 3, 2},
      {"-1\n3\n", 3, 2},
      {"4\n1\n", 1, 2},
      {"x\n2\n", 2, 2},
      {"2147483647\n1\n", 1, 2},
      {"2147483648\n1\n", 1, 2},
      {"0 0 0 2\n", 2, 4},
      {"", kInputEnded, 1},
      {"0\n", kInputEnded, 2},
      {"abc", kInputEnded, 2},
  };
  for (const MenuCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "input: \"" << c.input << "\"");
    ScriptedConsole console(c.input);
    EXPECT_EQ(runmenu(console.con, "\nForms:", kTwoForms), c.choice);
    std::string expected = kTwoFormsText;
    for (int i = 1; i < c.showings; ++i) {
      expected += "Invalid choice...\n" + kTwoFormsText;
    }
    EXPECT_EQ(console.out.str(), expected);
  }
}

TEST(RunMenu, ClosesEveryGroupWithABlankLine) {
  const std::vector<MenuItem> items = {{"a", 1, false}, {"b", 2, true}, {"Exit", 3, true}};
  ScriptedConsole console("1\n");
  runmenu(console.con, "Header:", items);
  EXPECT_EQ(console.out.str(), "Header:\n<1>1. a\n<2>2. b\n\n<3>3. Exit\n\n<7>Select: ");
}

TEST(RunMenu, NumbersPastNineKeepTheirDigits) {
  std::vector<MenuItem> items;
  for (int i = 1; i <= 11; ++i) {
    items.push_back({"v", static_cast<ConsoleColour>(i), i == 11});
  }
  ScriptedConsole console("11\n");
  EXPECT_EQ(runmenu(console.con, "H", items), 11);
  EXPECT_NE(console.out.str().find("<9>9. v\n<10>10. v\n<11>11. v\n\n"), std::string::npos);
}

}  // namespace
