#include "first_run.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "files/writers.h"
#include "test_support.h"

namespace {

const char kYes[] = "First run?: yes\n";
const char kNo[] = "Config() executed normally...\nFirst run?: no\n";
const char kUnreadable[] = "\aError: unable to read value from firstruncheck.voxa!\n";

class FirstRunTest : public testing::Test {
 protected:
  // Config and the first-run step as start-up runs them; returns the output.
  std::string StartUp() {
    ScriptedConsole console("");
    int firstRun = 1;
    Config(console.con, dir.path(), &firstRun);
    FirstRunStep(console.con, dir.path(), firstRun);
    return console.out.str();
  }
  std::string Marker() const { return ReadFile(dir.file("firstruncheck.voxa")); }
  bool MarkerExists() const { return std::filesystem::exists(dir.file("firstruncheck.voxa")); }
  std::string Autoexec() const { return ReadFile(dir.file("autoexec.cfg")); }

  ScratchDir dir;
};

TEST_F(FirstRunTest, MarkerIsReadAsOneWord) {
  const struct {
    const char* marker;  // nullptr: no marker at all
    const char* said;
  } cases[] = {
      {"yes", kYes},
      {"yes\n", kYes},
      {" \t\nyes  \n", kYes},
      {"yes no", kYes},
      {"no", kNo},
      {"no\n", kNo},
      {"\r\nno\r\n", kNo},
      {nullptr, kUnreadable},
      {"", kUnreadable},
      {"\n\n\n", kUnreadable},
      {"YES", kUnreadable},
      {"Yes", kUnreadable},
      {"yes.", kUnreadable},
      {"yesno", kUnreadable},
      {"noyes", kUnreadable},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.marker == nullptr ? "(none)" : c.marker);
    std::filesystem::remove(dir.file("firstruncheck.voxa"));
    if (c.marker != nullptr) {
      WriteFile(dir.file("firstruncheck.voxa"), c.marker);
    }
    ScriptedConsole console("");
    int flag = 42;
    const int returned = Config(console.con, dir.path(), &flag);
    EXPECT_EQ(console.out.str(), c.said);
    const int expected = c.said == kYes ? 1 : c.said == kNo ? 0 : 42;
    EXPECT_EQ(flag, expected);
    EXPECT_EQ(returned, expected);
    EXPECT_EQ(MarkerExists(), c.marker != nullptr);
  }
}

TEST_F(FirstRunTest, FirstRunAppendsTheBlockThenMarksItDone) {
  WriteFile(dir.file("firstruncheck.voxa"), "yes\n");
  EXPECT_EQ(StartUp(), std::string(kYes) + "Generating autoexec.cfg...\n");
  EXPECT_EQ(Marker(), "no");
  EXPECT_EQ(Autoexec(), execblock());
  EXPECT_EQ(StartUp(), std::string(kNo) + "The program has executed normally...\n");
  EXPECT_EQ(Autoexec(), execblock());
}

TEST_F(FirstRunTest, UnreadableMarkerCountsAsAFirstRun) {
  const char* markers[] = {nullptr, "", "maybe"};
  for (const char* marker : markers) {
    std::filesystem::remove(dir.file("autoexec.cfg"));
    std::filesystem::remove(dir.file("firstruncheck.voxa"));
    if (marker != nullptr) {
      WriteFile(dir.file("firstruncheck.voxa"), marker);
    }
    EXPECT_EQ(StartUp(), std::string(kUnreadable) + "Generating autoexec.cfg...\n");
    EXPECT_EQ(Marker(), "no");
    EXPECT_EQ(Autoexec(), execblock());
  }
}

TEST_F(FirstRunTest, EarlierContentStaysInFrontOfTheBlock) {
  WriteFile(dir.file("autoexec.cfg"), "bind x jump");
  WriteFile(dir.file("firstruncheck.voxa"), "yes");
  StartUp();
  WriteFile(dir.file("firstruncheck.voxa"), "yes");
  StartUp();
  EXPECT_EQ(Autoexec(), "bind x jump" + execblock() + execblock());
}

TEST_F(FirstRunTest, BlockThatCannotBeWrittenLeavesTheMarker) {
  WriteFile(dir.file("firstruncheck.voxa"), "yes\n");
  std::filesystem::create_directory(dir.file("autoexec.cfg"));
  EXPECT_EQ(StartUp(), std::string(kYes) + "Generating autoexec.cfg...\n" +
                           "\aError: unable to write to autoexec.cfg!\n");
  EXPECT_EQ(Marker(), "yes\n");
  std::filesystem::remove(dir.file("autoexec.cfg"));
  std::filesystem::create_symlink("/dev/full", dir.file("autoexec.cfg"));
  StartUp();
  EXPECT_EQ(Marker(), "yes\n");
}

TEST_F(FirstRunTest, MarkerThatCannotBeWrittenIsReported) {
  std::filesystem::create_directory(dir.file("firstruncheck.voxa"));
  EXPECT_EQ(StartUp(), std::string(kUnreadable) + "Generating autoexec.cfg...\n" +
                           "\aError: unable to write to firstruncheck.voxa!\n");
  EXPECT_EQ(Autoexec(), execblock());
}

TEST_F(FirstRunTest, HugeMarkerIsJustAnotherWord) {
  WriteFile(dir.file("firstruncheck.voxa"), "yes" + std::string(20'000'000, 's'));
  EXPECT_EQ(StartUp(), std::string(kUnreadable) + "Generating autoexec.cfg...\n");
}

// A word that never ends must not hold up the start.
TEST_F(FirstRunTest, EndlessMarkerIsJustAnotherWord) {
  std::filesystem::create_symlink("/dev/zero", dir.file("firstruncheck.voxa"));
  ScriptedConsole console("");
  int firstRun = 1;
  EXPECT_EQ(Config(console.con, dir.path(), &firstRun), 1);
  EXPECT_EQ(console.out.str(), kUnreadable);
}

}  // namespace
