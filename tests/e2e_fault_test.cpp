// The real editor under hostile conditions: standard output on a device that
// refuses every byte, a marker it may not rewrite, lock locations planted by
// somebody else, and a marker of many megabytes.

#include <gtest/gtest.h>

#include <malloc.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor_process.h"
#include "test_support.h"

namespace {

using Env = std::vector<std::string>;

const char kBanner[] = "Welcome to Tavrik's KDX CVAR Editor v1.0.1.0!\n";
const char kLaterRun[] =
    "Config() executed normally...\nFirst run?: no\nThe program has executed normally...\n";
const char kMarkerUnwritable[] = "\aError: unable to write to firstruncheck.voxa!\n";
constexpr long kMiB = 1024 * 1024;

std::string EditorPath() {
  const char* editor = std::getenv("KDX_EDITOR");
  return editor != nullptr && *editor != '\0' ? editor : KDX_EDITOR_PATH;
}

std::string LauncherWords() {
  const char* launcher = std::getenv("KDX_LAUNCHER");
  return launcher != nullptr ? launcher : "";
}

// Writes `count` copies of `c` in pieces, so that the test process itself,
// whose memory a forked child starts with, never holds the whole text.
void AppendRepeated(const std::string& path, char c, long count) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  const std::string piece(kMiB, c);
  for (; count >= kMiB; count -= kMiB) {
    out << piece;
  }
  out << piece.substr(0, static_cast<std::size_t>(count));
}

class EndToEndFault : public testing::Test {
 protected:
  EndToEndFault() { WriteFile(dir.file("firstruncheck.voxa"), "no"); }

  ScratchDir dir;
};

// Output lost on a full device does not stop the session: the values still
// reach the script and the program still ends as usual.
TEST_F(EndToEndFault, StandardOutputOnAFullDeviceLosesNoValue) {
  if (TargetIsWindows()) {
    GTEST_SKIP() << "/dev/full is a Linux device";
  }
  ScratchDir tools;
  const std::string redirect = tools.file("to-full");
  WriteFile(redirect, "#!/bin/sh\nexec \"$@\" >/dev/full\n");
  std::filesystem::permissions(redirect, std::filesystem::perms(0755));
  const Env env = {"KDX_LAUNCHER=" + redirect + " " + LauncherWords()};
  const EditorRun run = RunEditorProcess(dir.path(), "12 2 7 500\n3 -25\n13 5 17\n", env);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.console, "");
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(ReadFile(dir.file("raik_cvars.cfg")),
            "// Raik CVARs...\nclass_hypraik_start_hp 500\nclass_hypraik_ki_cost -25\n");
}

// Root writes through any file mode, so there the editor runs as the
// unprivileged user 65534, from a copy it can reach, in a folder open to it.
Env AsUnprivilegedUser(const ScratchDir& game, const ScratchDir& tools) {
  if (geteuid() != 0) {
    return {};
  }
  const std::string copy = tools.file("kdx-cvar-editor");
  std::filesystem::copy_file(EditorPath(), copy);
  std::filesystem::create_directory(tools.file("tmp"));
  std::filesystem::permissions(tools.file("tmp"), std::filesystem::perms(01777));
  std::filesystem::permissions(tools.path(), std::filesystem::perms(0755));
  std::filesystem::permissions(game.path(), std::filesystem::perms(0777));
  return {"KDX_EDITOR=" + copy, "TMPDIR=" + tools.file("tmp"), "XDG_RUNTIME_DIR",
          "KDX_LAUNCHER=setpriv --reuid=65534 --regid=65534 --clear-groups"};
}

// A marker that says "yes" and cannot be rewritten keeps the first run
// pending: every start appends another block and says why.
TEST_F(EndToEndFault, UnwritableMarkerOnAFirstRunAppendsABlockAtEveryStart) {
  if (TargetIsWindows()) {
    GTEST_SKIP() << "file modes and users are those of the host";
  }
  ScratchDir tools;
  const Env env = AsUnprivilegedUser(dir, tools);
  WriteFile(dir.file("firstruncheck.voxa"), "yes\n");
  std::filesystem::permissions(dir.file("firstruncheck.voxa"), std::filesystem::perms(0444));
  const std::string start =
      std::string("First run?: yes\nGenerating autoexec.cfg...\n") + kMarkerUnwritable + kBanner;
  std::string blocks;
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE(run);
    const EditorRun result = RunEditorProcess(dir.path(), "17\n", env);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.console.substr(0, start.size()), start);
    blocks += FileText(
        "\n// VOXA execution commands...\nexec talvin_cvars.cfg\nexec warden4_cvars.cfg\n"
        "exec merok_cvars.cfg\nexec vorne_cvars.cfg\nexec dastrel_cvars.cfg\n"
        "exec warden5_cvars.cfg\nexec husk_cvars.cfg\nexec zog_cvars.cfg\n"
        "exec kolvar_cvars.cfg\nexec orlek_cvars.cfg\nexec tenro_cvars.cfg\n"
        "exec raik_cvars.cfg\nexec osmer_cvars.cfg\nexec yarrel_cvars.cfg\n"
        "exec drovan_cvars.cfg\nexec nerith_cvars.cfg");
    EXPECT_EQ(ReadFile(dir.file("autoexec.cfg")), blocks);
    EXPECT_EQ(ReadFile(dir.file("firstruncheck.voxa")), "yes\n");
  }
}

enum class Plant { kLinkToMissing, kLinkToFile, kOthersFile };

// Puts somebody else's thing at `lock`; returns the file that is not the
// editor's to touch: the link's target, or the other user's file.
std::string PlantAt(Plant plant, const std::string& lock, const std::string& target) {
  if (plant == Plant::kOthersFile) {
    WriteFile(lock, "theirs");
    EXPECT_EQ(chown(lock.c_str(), 65534, 65534), 0);
    return lock;
  }
  if (plant == Plant::kLinkToFile) {
    WriteFile(target, "theirs");
  }
  std::filesystem::create_symlink(target, lock);
  return target;
}

// Whether any process holds a record lock on the file.
bool IsLocked(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  const bool locked = fd >= 0 && fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  close(fd);
  return locked;
}

// Whatever somebody has put where the lock file goes, the editor runs, and
// it neither follows a link there nor locks or changes a file not its own.
TEST_F(EndToEndFault, PlantedLockIsNeitherFollowedNorTouched) {
  if (TargetIsWindows()) {
    GTEST_SKIP() << "the Windows build keeps no lock file";
  }
  const struct {
    const char* what;
    Plant plant;
    bool inRuntimeDir;  // else in TMPDIR, for a user without a runtime folder
  } cases[] = {
      {"runtime folder, link to nothing", Plant::kLinkToMissing, true},
      {"runtime folder, link to a file", Plant::kLinkToFile, true},
      {"runtime folder, another user's file", Plant::kOthersFile, true},
      {"temporary folder, link to nothing", Plant::kLinkToMissing, false},
      {"temporary folder, link to a file", Plant::kLinkToFile, false},
      {"temporary folder, another user's file", Plant::kOthersFile, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.plant == Plant::kOthersFile && geteuid() != 0) {
      continue;  // only root can give a file away
    }
    ScratchDir place;  // private to this user, as a runtime folder must be
    const std::string lock =
        place.file(c.inRuntimeDir ? "VOXAMutex" : "VOXAMutex-" + std::to_string(geteuid()));
    const std::string theirs = PlantAt(c.plant, lock, place.file("victim"));
    EditorProcess editor(dir.path(), c.inRuntimeDir
                                         ? Env{"XDG_RUNTIME_DIR=" + place.path()}
                                         : Env{"XDG_RUNTIME_DIR", "TMPDIR=" + place.path()});
    ASSERT_TRUE(editor.WaitForOutput("Select: ")) << editor.Console();
    EXPECT_EQ(editor.Console().rfind(std::string(kLaterRun) + kBanner, 0), 0u);
    EXPECT_FALSE(IsLocked(theirs));
    editor.Send("17\n");
    EXPECT_EQ(editor.Finish(), 0);
    EXPECT_EQ(std::filesystem::exists(theirs), c.plant != Plant::kLinkToMissing);
    if (c.plant != Plant::kLinkToMissing) {
      struct stat st {};
      ASSERT_EQ(stat(theirs.c_str(), &st), 0);
      EXPECT_EQ(ReadFile(theirs), "theirs");
      EXPECT_EQ(st.st_uid, c.plant == Plant::kOthersFile ? 65534u : geteuid());
    }
  }
}

// Starts the editor and chooses Exit. The memory earlier cases freed goes
// back first: the child's peak counts the test process's own at the fork.
EditorRun StartAndExit(const std::string& game) {
  malloc_trim(0);
  return RunEditorProcess(game, "17\n");
}

// A marker of many megabytes is read up to its first word's end and no
// further, and never held in memory: the run ends as usual.
TEST_F(EndToEndFault, MarkerOfManyMegabytesIsReadInBoundedMemory) {
  // Under Wine, which reads it slowly and whose memory is not measured, a
  // smaller one does.
  const long kSize = (TargetIsWindows() ? 4 : 32) * kMiB;
  const struct {
    const char* what;
    const char* before;
    char filler;
    const char* after;
    std::string said;
  } cases[] = {
      {"one long word", "yes", 's', "", "\aError: unable to read value from firstruncheck.voxa!\n"},
      {"white space, then the word", "", '\n', " yes", "First run?: yes\n"},
      {"the word, then much more", "no ", 'x', "", kLaterRun},
  };
  const long baseline = StartAndExit(dir.path()).peakMemoryKiB;
  ASSERT_GT(baseline, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir game;
    const std::string marker = game.file("firstruncheck.voxa");
    WriteFile(marker, c.before);
    AppendRepeated(marker, c.filler, kSize);
    std::ofstream(marker, std::ios::binary | std::ios::app) << c.after;
    const EditorRun run = StartAndExit(game.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.console.rfind(c.said, 0), 0u) << run.console.substr(0, 200);
    EXPECT_NE(run.console.find(kBanner), std::string::npos);
    if (!TargetIsWindows()) {
      EXPECT_LT(run.peakMemoryKiB - baseline, 1024)
          << "peak " << run.peakMemoryKiB << " KiB, baseline " << baseline << " KiB";
    }
  }
}

}  // namespace
