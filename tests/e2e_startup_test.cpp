#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "editor_process.h"
#include "test_support.h"

namespace {

// Written out in full here rather than taken from the writer, so that a fault
// in the writer cannot hide from these cases.
const char kBlock[] =
    "\n// VOXA execution commands...\n"
    "exec talvin_cvars.cfg\n"
    "exec warden4_cvars.cfg\n"
    "exec merok_cvars.cfg\n"
    "exec vorne_cvars.cfg\n"
    "exec dastrel_cvars.cfg\n"
    "exec warden5_cvars.cfg\n"
    "exec husk_cvars.cfg\n"
    "exec zog_cvars.cfg\n"
    "exec kolvar_cvars.cfg\n"
    "exec orlek_cvars.cfg\n"
    "exec tenro_cvars.cfg\n"
    "exec raik_cvars.cfg\n"
    "exec osmer_cvars.cfg\n"
    "exec yarrel_cvars.cfg\n"
    "exec drovan_cvars.cfg\n"
    "exec nerith_cvars.cfg";

const std::string kGenerating = "Generating autoexec.cfg...\n";
const std::string kFirstRun = "First run?: yes\n" + kGenerating;
const char kLaterRun[] =
    "Config() executed normally...\nFirst run?: no\nThe program has executed normally...\n";
const char kUnreadable[] = "\aError: unable to read value from firstruncheck.voxa!\n";
const char kBanner[] =
    "Welcome to Tavrik's KDX CVAR Editor v1.0.1.0!\n"
    "Please select a character from below...\n\n"
    "Characters:\n";

// Every entry of a folder with its bytes; a directory shows as "<dir>".
std::map<std::string, std::string> Snapshot(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    files[entry.path().filename().string()] =
        entry.is_directory() ? "<dir>" : ReadFile(entry.path().string());
  }
  return files;
}

class EndToEndStartUp : public testing::Test {
 protected:
  // Starts the editor in the game folder and leaves it with Exit at the first
  // menu; checks the status and that the console begins with `head` and the
  // banner.
  void StartAndExpect(const std::string& head) {
    const EditorRun run = RunEditorProcess(dir.path(), "17\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
    const std::string expected = head + kBanner;
    EXPECT_EQ(run.console.substr(0, expected.size()), expected);
  }
  void PutMarker(const std::string& text) { WriteFile(Path("firstruncheck.voxa"), text); }
  std::string Marker() const { return ReadFile(Path("firstruncheck.voxa")); }
  std::string Autoexec() const { return ReadFile(Path("autoexec.cfg")); }
  std::string Path(const std::string& name) const { return dir.file(name); }

  ScratchDir dir;
};

TEST_F(EndToEndStartUp, FirstStartOverTheFolderItFinds) {
  const struct {
    const char* what;
    const char* marker;    // nullptr: no marker
    const char* autoexec;  // nullptr: no autoexec.cfg; else its lines as "\n"
    std::string head;
    bool generates;
  } cases[] = {
      {"marker yes, no autoexec.cfg", "yes", nullptr, kFirstRun, true},
      {"marker yes, lines ending in a line end", "yes\n", "bind x jump\n", kFirstRun, true},
      {"marker yes, last line without line end", "yes", "bind x jump\nbind c duck", kFirstRun,
       true},
      {"no marker at all", nullptr, nullptr, kUnreadable + kGenerating, true},
      {"marker no", "no", "bind x jump\n", kLaterRun, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(Path("firstruncheck.voxa"));
    std::filesystem::remove(Path("autoexec.cfg"));
    if (c.marker != nullptr) {
      PutMarker(c.marker);
    }
    const std::string before = c.autoexec != nullptr ? FileText(c.autoexec) : "";
    if (c.autoexec != nullptr) {
      WriteFile(Path("autoexec.cfg"), before);
    }
    StartAndExpect(c.head);
    EXPECT_EQ(Marker(), c.generates ? "no" : c.marker);
    EXPECT_EQ(Autoexec(), c.generates ? before + FileText(kBlock) : before);
  }
}

TEST_F(EndToEndStartUp, SecondStartChangesNothing) {
  PutMarker("yes");
  StartAndExpect(kFirstRun);
  const auto afterFirst = Snapshot(dir.path());
  EXPECT_EQ(afterFirst.at("firstruncheck.voxa"), "no");
  EXPECT_EQ(afterFirst.at("autoexec.cfg"), FileText(kBlock));
  StartAndExpect(kLaterRun);
  EXPECT_EQ(Snapshot(dir.path()), afterFirst);
}

TEST_F(EndToEndStartUp, BlockThatCannotBeWrittenIsTriedAgainNextStart) {
  PutMarker("yes\n");
  std::filesystem::create_directory(Path("autoexec.cfg"));
  StartAndExpect(kFirstRun + "\aError: unable to write to autoexec.cfg!\n");
  EXPECT_EQ(Marker(), "yes\n");
  std::filesystem::remove(Path("autoexec.cfg"));
  StartAndExpect(kFirstRun);
  EXPECT_EQ(Marker(), "no");
  EXPECT_EQ(Autoexec(), FileText(kBlock));
}

}  // namespace
