// The fuzzer's seed corpus, replayed as whole sessions, and the checks the
// fuzzer relies on, shown to reject what they are there to catch.

#include <gtest/gtest.h>

#include <filesystem>

#include "session_check.h"
#include "test_support.h"

namespace {

const RosterEntry& raik = g_Roster[11];

TEST(SessionCorpus, EverySeedLeavesValidScriptsAndOutput) {
  int seeds = 0;
  for (const auto& file : std::filesystem::directory_iterator(KDX_FUZZ_CORPUS)) {
    ScratchDir dir;
    EXPECT_EQ(SessionFault(dir.path(), ReadFile(file.path().string())), "") << file.path();
    ++seeds;
  }
  EXPECT_GT(seeds, 0) << "no seeds in " << KDX_FUZZ_CORPUS;
}

TEST(SessionCheck, ScriptLinesOfTheCharacterPass) {
  const char* lines[] = {
      "// Raik CVARs...",
      "class_raik_dash_speed_end 0",
      "class_hypraik_start_hp 500",
      "class_hyp2raik_ki_cost -25",
      "class_hyp3raik_trans_pl 2147483647",
      "class_raik_swoop_speed_start -2147483648",
  };
  for (const char* line : lines) {
    EXPECT_EQ(ScriptLineFault(raik, line), "") << line;
  }
}

TEST(SessionCheck, ForeignOrMalformedScriptLinesFail) {
  const char* lines[] = {
      "",
      "// Talvin CVARs...",
      "//  Raik CVARs...",
      "class_talvin_start_hp 1",
      "class_hyp4raik_start_hp 1",
      "class_raik_start_hp",
      "class_raik_start_hp ",
      "class_raik_start_hp  1",
      "class_raik_start_hp 1 ",
      "class_raik_start_hp +1",
      "class_raik_start_hp 007",
      "class_raik_start_hp -0",
      "class_raik_start_hp -",
      "class_raik_start_hp 1x",
      "class_raik_start_hp 1\r",
      "class_raik_start_hp 2147483648",
      "class_raik_start_hp -2147483649",
      "class_raik_start_hp 99999999999",
  };
  for (const char* line : lines) {
    EXPECT_NE(ScriptLineFault(raik, line), "") << '"' << line << '"';
  }
}

TEST(SessionCheck, WholeScriptNeedsItsHeaderFirstAndEveryLineEnd) {
  const struct {
    const char* text;
    bool valid;
  } cases[] = {
      {"// Raik CVARs...\n", true},
      {"// Raik CVARs...\nclass_raik_ki_cost 1\n// Raik CVARs...\n", true},
      {"", false},
      {"class_raik_ki_cost 1\n// Raik CVARs...\n", false},
      {"// Raik CVARs...\nclass_raik_ki_cost 1", false},
      {"// Raik CVARs...\n\n", false},
      {"// Raik CVARs...\nclass_raik_ki_cost 01\n", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScriptFault(raik, c.text).empty(), c.valid) << '"' << c.text << '"';
  }
}

TEST(SessionCheck, OutputHoldsOnlyPrintableTextBellAndLineEnds) {
  EXPECT_EQ(OutputFault("Select: \aError: x!\n~ \n"), "");
  const std::string bad[] = {"\x1b[31;40m",          "\r\n", "\t",
                             std::string("a\0b", 3), "\x7f", "\xc3\xa9"};
  for (const std::string& text : bad) {
    EXPECT_NE(OutputFault(text), "") << text;
  }
}

}  // namespace
