#include "editor/roster.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(Roster, NumbersRunFromOneToSixteenAndColoursFollowThem) {
  for (std::size_t i = 0; i < g_Roster.size(); ++i) {
    const RosterEntry& entry = g_Roster[i];
    EXPECT_EQ(entry.number, static_cast<int>(i + 1));
    EXPECT_EQ(entry.colour, entry.number == 16 ? 2 : entry.number) << entry.label;
  }
}

TEST(Roster, HoldsThirtyFiveFormsAndFourHundredTwentyDistinctNames) {
  std::set<std::string> names;
  std::set<std::string_view> files;
  std::size_t forms = 0;
  for (const RosterEntry& entry : g_Roster) {
    files.insert(entry.fileToken);
    forms += entry.forms.size();
    for (const FormEntry& form : entry.forms) {
      for (int n = 1; n <= 12; ++n) {
        names.insert(cvarname(form, n));
      }
    }
  }
  EXPECT_EQ(forms, 35u);
  EXPECT_EQ(names.size(), 420u);
  EXPECT_EQ(files.size(), 16u);
  EXPECT_EQ(*names.begin(), "class_darkzog_dash_speed_end");
  EXPECT_TRUE(names.count("class_talvin_dash_speed_end"));
  EXPECT_TRUE(names.count("class_uhypnerith_trans_pl"));
}

TEST(Roster, SingleFormEntriesAreOneToSixAndTen) {
  for (const RosterEntry& entry : g_Roster) {
    const bool single = entry.number <= 6 || entry.number == 10;
    EXPECT_EQ(entry.forms.size() == 1, single) << entry.label;
    EXPECT_LE(entry.forms.size(), 4u);
  }
}

TEST(Roster, TitleIsTheLabelWithoutTheBuddyMark) {
  for (const RosterEntry& entry : g_Roster) {
    std::string label(entry.label);
    const std::string mark = " (Buddy)";
    const bool buddy = label.size() > mark.size() &&
                       label.compare(label.size() - mark.size(), mark.size(), mark) == 0;
    EXPECT_EQ(buddy, entry.number <= 5) << label;
    if (buddy) {
      label.resize(label.size() - mark.size());
    }
    EXPECT_EQ(entry.title, entry.number == 10 ? "Orlek" : label);
  }
}

// Where the names part from the file token: the script and the variables of
// these entries must not be confused.
TEST(Roster, TokensDifferWhereTheCatalogueSaysSo) {
  struct Case {
    int number;
    const char* script;
    const char* firstName;
  };
  const Case cases[] = {
      {1, "talvin_cvars.cfg", "class_talvin_dash_speed_end"},
      {2, "warden4_cvars.cfg", "class_wd4_dash_speed_end"},
      {5, "dastrel_cvars.cfg", "class_dastral_dash_speed_end"},
      {6, "warden5_cvars.cfg", "class_wd5_dash_speed_end"},
      {8, "zog_cvars.cfg", "class_palezog_dash_speed_end"},
      {10, "orlek_cvars.cfg", "class_orlek_dash_speed_end"},
      {16, "nerith_cvars.cfg", "class_nerith_dash_speed_end"},
  };
  for (const Case& c : cases) {
    const RosterEntry& entry = g_Roster[static_cast<std::size_t>(c.number - 1)];
    EXPECT_EQ(scriptname(entry), c.script);
    EXPECT_EQ(cvarname(entry.forms.front(), 1), c.firstName);
  }
  for (const RosterEntry& entry : g_Roster) {
    const bool differs = entry.forms.front().cvarToken != entry.fileToken;
    const int n = entry.number;
    EXPECT_EQ(differs, n == 2 || n == 5 || n == 6 || n == 8) << entry.label;
  }
}

TEST(Roster, NamesJoinTokenAndSuffix) {
  const FormEntry& hyp = g_Roster[11].forms[1];
  EXPECT_EQ(hyp.label, "HYP");
  EXPECT_EQ(cvarname(hyp, 7), "class_hypraik_start_hp");
  EXPECT_EQ(cvarname(g_Roster[5].forms[0], 12), "class_wd5_trans_pl");
  EXPECT_EQ(cvarname(g_Roster[15].forms[2], 12), "class_uhypnerith_trans_pl");
}

}  // namespace
