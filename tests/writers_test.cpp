#include "files/writers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <signal.h>
#include <sys/resource.h>

#include "test_support.h"

namespace {

class WritersTest : public testing::Test {
 protected:
  const RosterEntry& raik = g_Roster[11];
  ScratchDir dir;
  std::ostringstream console;
};

const char kFullBlock[] =
    "\n// VOXA execution commands...\n"
    "exec talvin_cvars.cfg\nexec warden4_cvars.cfg\nexec merok_cvars.cfg\n"
    "exec vorne_cvars.cfg\nexec dastrel_cvars.cfg\nexec warden5_cvars.cfg\n"
    "exec husk_cvars.cfg\nexec zog_cvars.cfg\nexec kolvar_cvars.cfg\n"
    "exec orlek_cvars.cfg\nexec tenro_cvars.cfg\nexec raik_cvars.cfg\n"
    "exec osmer_cvars.cfg\nexec yarrel_cvars.cfg\nexec drovan_cvars.cfg\n"
    "exec nerith_cvars.cfg";

TEST_F(WritersTest, AppendsHeaderAndAssignmentLines) {
  EXPECT_TRUE(appendheader(console, dir.path(), raik));
  EXPECT_TRUE(appendcvar(console, dir.path(), raik, "class_hypraik_start_hp", 500));
  EXPECT_TRUE(appendcvar(console, dir.path(), raik, "class_hypraik_ki_cost", -25));
  EXPECT_TRUE(appendheader(console, dir.path(), raik));
  EXPECT_EQ(ReadFile(dir.file("raik_cvars.cfg")),
            "// Raik CVARs...\nclass_hypraik_start_hp 500\nclass_hypraik_ki_cost -25\n"
            "// Raik CVARs...\n");
  EXPECT_EQ(console.str(), "");
}

TEST_F(WritersTest, WritesValuesInPlainDecimal) {
  const std::int32_t values[] = {0, -1, 7, 2147483647, -2147483647 - 1};
  for (std::int32_t value : values) {
    appendcvar(console, dir.path(), g_Roster[9], "class_orlek_ki_cost", value);
  }
  EXPECT_EQ(ReadFile(dir.file("orlek_cvars.cfg")),
            "class_orlek_ki_cost 0\nclass_orlek_ki_cost -1\nclass_orlek_ki_cost 7\n"
            "class_orlek_ki_cost 2147483647\nclass_orlek_ki_cost -2147483648\n");
}

TEST_F(WritersTest, HeaderNamesTheTitle) {
  appendheader(console, dir.path(), g_Roster[9]);
  appendheader(console, dir.path(), g_Roster[0]);
  EXPECT_EQ(ReadFile(dir.file("orlek_cvars.cfg")), "// Orlek CVARs...\n");
  EXPECT_EQ(ReadFile(dir.file("talvin_cvars.cfg")), "// Talvin CVARs...\n");
}

TEST_F(WritersTest, ExecBlockFollowsWhateverTheFileHeld) {
  const char* before[] = {"", "bind x jump\n", "bind x jump"};
  for (const char* text : before) {
    SCOPED_TRACE(text);
    if (*text != '\0') {
      WriteFile(dir.file("autoexec.cfg"), text);
    }
    EXPECT_TRUE(appendexecblock(console, dir.path()));
    EXPECT_TRUE(appendexecblock(console, dir.path()));
    EXPECT_EQ(ReadFile(dir.file("autoexec.cfg")), text + std::string(kFullBlock) + kFullBlock);
    std::filesystem::remove(dir.file("autoexec.cfg"));
  }
}

TEST_F(WritersTest, MarkerIsReplacedByTwoBytes) {
  WriteFile(dir.file("firstruncheck.voxa"), "yes\nand a great deal more\n");
  EXPECT_TRUE(writemarker(console, dir.path()));
  EXPECT_EQ(ReadFile(dir.file("firstruncheck.voxa")), "no");
}

// Tests run as root, where a read-only file is still written: the failures
// that do show are a directory in the file's place and a full device.
TEST_F(WritersTest, DirectoryInPlaceOfTheFileIsReported) {
  std::filesystem::create_directory(dir.file("raik_cvars.cfg"));
  std::filesystem::create_directory(dir.file("autoexec.cfg"));
  std::filesystem::create_directory(dir.file("firstruncheck.voxa"));
  EXPECT_FALSE(appendheader(console, dir.path(), raik));
  EXPECT_FALSE(appendcvar(console, dir.path(), raik, "class_raik_ki_cost", 1));
  EXPECT_FALSE(appendexecblock(console, dir.path()));
  EXPECT_FALSE(writemarker(console, dir.path()));
  EXPECT_EQ(console.str(),
            "\aError: unable to write to raik_cvars.cfg!\n"
            "\aError: unable to write to raik_cvars.cfg!\n"
            "\aError: unable to write to autoexec.cfg!\n"
            "\aError: unable to write to firstruncheck.voxa!\n");
}

TEST_F(WritersTest, FullDeviceIsReported) {
  std::filesystem::create_symlink("/dev/full", dir.file("raik_cvars.cfg"));
  EXPECT_FALSE(appendcvar(console, dir.path(), raik, "class_raik_ki_cost", 1));
  EXPECT_EQ(console.str(), "\aError: unable to write to raik_cvars.cfg!\n");
}

// A file size limit lets only part of the line reach the file, as a disk
// that fills up part-way would.
TEST_F(WritersTest, LineCutShortLeavesTheFileAsItWas) {
  WriteFile(dir.file("raik_cvars.cfg"), "// Raik CVARs...\n");
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto oldhandler = signal(SIGXFSZ, SIG_IGN);
  rlimit tight = saved;
  tight.rlim_cur = 24;
  setrlimit(RLIMIT_FSIZE, &tight);
  const bool written = appendcvar(console, dir.path(), raik, "class_hypraik_start_hp", 500);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldhandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFile(dir.file("raik_cvars.cfg")), "// Raik CVARs...\n");
  EXPECT_EQ(console.str(), "\aError: unable to write to raik_cvars.cfg!\n");
}

TEST_F(WritersTest, NextCallWritesOnceTheObstacleIsGone) {
  std::filesystem::create_directory(dir.file("raik_cvars.cfg"));
  EXPECT_FALSE(appendcvar(console, dir.path(), raik, "class_raik_ki_cost", 1));
  std::filesystem::remove(dir.file("raik_cvars.cfg"));
  EXPECT_TRUE(appendcvar(console, dir.path(), raik, "class_raik_ki_cost", 2));
  EXPECT_EQ(ReadFile(dir.file("raik_cvars.cfg")), "class_raik_ki_cost 2\n");
}

TEST(PathIn, EmptyDirectoryMeansTheBareName) {
  EXPECT_EQ(pathin("", "autoexec.cfg"), "autoexec.cfg");
  EXPECT_EQ(pathin("/games/kdx", "autoexec.cfg"), "/games/kdx/autoexec.cfg");
}

}  // namespace
