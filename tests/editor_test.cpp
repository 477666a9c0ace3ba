#include "editor/editor.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

const std::string kRaikForms =
    "\nForms:\n<1>1. Normal\n<2>2. HYP\n<3>3. HYP2\n<4>4. HYP3\n<5>5. Back to last page...\n\n"
    "<7>Select: ";

std::string Page(const std::string& token) {
  const char* suffixes[] = {"dash_speed_end",  "dash_speed_start",  "ki_cost",
                            "ki_efficiency",   "pl_bonus",          "stamina_efficiency",
                            "start_hp",        "start_pl",          "start_speed",
                            "swoop_speed_end", "swoop_speed_start", "trans_pl"};
  std::string page = "\nCVARs:\n";
  for (int n = 1; n <= 12; ++n) {
    const std::string number = std::to_string(n);
    page += "<" + number + ">" + number + ". class_" + token + "_" + suffixes[n - 1] + "\n";
  }
  return page + "<13>13. Back to last page...\n\n<7>Select: ";
}

const char kPrompt[] = "Input value for CVAR: ";

class EditorTest : public testing::Test {
 protected:
  // Runs one visit on `input`; returns what EditCharacter returned.
  bool Visit(int number, const std::string& input) {
    console = std::make_unique<ScriptedConsole>(input);
    return EditCharacter(console->con, dir.path(), g_Roster[static_cast<std::size_t>(number - 1)]);
  }
  std::string Output() const { return console->out.str(); }
  std::string Script(const std::string& name) const { return ReadFile(dir.file(name)); }

  ScratchDir dir;
  std::unique_ptr<ScriptedConsole> console;
};

TEST_F(EditorTest, TypicalRequestAppendsHeaderAndValue) {
  EXPECT_TRUE(Visit(12, "2\n7\n500\n13\n5\n"));
  EXPECT_EQ(Output(), kRaikForms + Page("hypraik") + kPrompt + Page("hypraik") + kRaikForms);
  EXPECT_EQ(Script("raik_cvars.cfg"), "// Raik CVARs...\nclass_hypraik_start_hp 500\n");
}

TEST_F(EditorTest, SingleFormEntryOpensOnItsPage) {
  EXPECT_TRUE(Visit(1, "13\n"));
  EXPECT_EQ(Output(), Page("talvin"));
  EXPECT_EQ(Script("talvin_cvars.cfg"), "// Talvin CVARs...\n");
}

TEST_F(EditorTest, EveryVisitAppendsOneHeader) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Visit(10, "13\n"));
  }
  EXPECT_TRUE(Visit(12, "1\n13\n2\n13\n5\n"));
  EXPECT_EQ(Script("orlek_cvars.cfg"), "// Orlek CVARs...\n// Orlek CVARs...\n// Orlek CVARs...\n");
  EXPECT_EQ(Script("raik_cvars.cfg"), "// Raik CVARs...\n");
}

TEST_F(EditorTest, InvalidChoicesWriteNothing) {
  EXPECT_TRUE(Visit(13, "0\n-1\n4\n1\n14\n0\n13\n3\n"));
  const std::string forms =
      "\nForms:\n<1>1. Form 1\n<2>2. Form 2\n<3>3. Back to last page...\n\n<7>Select: ";
  const std::string invalid = "Invalid choice...\n";
  EXPECT_EQ(Output(), forms + invalid + forms + invalid + forms + invalid + forms + Page("osmer") +
                          invalid + Page("osmer") + invalid + Page("osmer") + forms);
  EXPECT_EQ(Script("osmer_cvars.cfg"), "// Osmer CVARs...\n");
}

TEST_F(EditorTest, ValuesAreWrittenAsRead) {
  EXPECT_TRUE(Visit(5, "1 +007 2 -0 3 -2147483648 4 2147483647 1 -25 1 0003\n13\n"));
  EXPECT_EQ(Script("dastrel_cvars.cfg"),
            "// Dastrel CVARs...\n"
            "class_dastral_dash_speed_end 7\nclass_dastral_dash_speed_start 0\n"
            "class_dastral_ki_cost -2147483648\nclass_dastral_ki_efficiency 2147483647\n"
            "class_dastral_dash_speed_end -25\nclass_dastral_dash_speed_end 3\n");
}

TEST_F(EditorTest, FailedValueIsAskedForAgain) {
  EXPECT_TRUE(Visit(1, "7\nabc\n\n2147483648 9\n-12\n13\n"));
  EXPECT_EQ(Output(), Page("talvin") + kPrompt + kPrompt + kPrompt + Page("talvin"));
  EXPECT_EQ(Script("talvin_cvars.cfg"), "// Talvin CVARs...\nclass_talvin_start_hp -12\n");
}

TEST_F(EditorTest, EndOfInputStopsTheVisit) {
  const struct {
    const char* input;
    const char* script;
  } cases[] = {
      {"", "// Raik CVARs...\n"},
      {"2\n", "// Raik CVARs...\n"},
      {"2\n7\n", "// Raik CVARs...\n"},
      {"2\n7\n  \n", "// Raik CVARs...\n"},
      {"2\n7\n5", "// Raik CVARs...\nclass_hypraik_start_hp 5\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    std::filesystem::remove(dir.file("raik_cvars.cfg"));
    EXPECT_FALSE(Visit(12, c.input));
    EXPECT_EQ(Script("raik_cvars.cfg"), c.script);
  }
}

// For every item of every page, the name written is the one the page shows
// after the item's number.
TEST_F(EditorTest, EveryItemWritesTheNameItShows) {
  for (const RosterEntry& entry : g_Roster) {
    const bool multi = entry.forms.size() > 1;
    for (std::size_t k = 1; k <= entry.forms.size(); ++k) {
      for (int n = 1; n <= 12; ++n) {
        std::filesystem::remove(dir.file(scriptname(entry)));
        const std::string form = multi ? std::to_string(k) + "\n" : "";
        const std::string back = multi ? "13\n" + std::to_string(entry.forms.size() + 1) : "13";
        ASSERT_TRUE(Visit(entry.number, form + std::to_string(n) + "\n" + std::to_string(n * 11) +
                                            "\n" + back + "\n"));
        const std::string item = "<" + std::to_string(n) + ">" + std::to_string(n) + ". ";
        const std::size_t at = Output().find(item, Output().find("CVARs:")) + item.size();
        const std::string shown = Output().substr(at, Output().find('\n', at) - at);
        EXPECT_EQ(Script(scriptname(entry)), "// " + std::string(entry.title) + " CVARs...\n" +
                                                 shown + " " + std::to_string(n * 11) + "\n");
      }
    }
  }
}

}  // namespace
