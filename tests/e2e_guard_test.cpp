#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor_process.h"
#include "test_support.h"

namespace {

const char kRefusal[] = "\aError: multiple instances detected!\n";
const char kBanner[] = "Welcome to Tavrik's KDX CVAR Editor v1.0.1.0!\n";
const char kPrompt[] = "Select: ";

using Env = std::vector<std::string>;
using Editor = std::unique_ptr<EditorProcess>;

// Every entry of a folder with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    files[entry.path().filename().string()] = ReadFile(entry.path().string());
  }
  return files;
}

bool HasEnded(const EditorProcess& editor) {
  return waitpid(editor.pid(), nullptr, WNOHANG) != 0;
}

// A game folder whose marker says `marker`.
struct GameFolder {
  explicit GameFolder(const std::string& marker = "no") {
    WriteFile(dir.file("firstruncheck.voxa"), marker);
  }
  const std::string& path() const { return dir.path(); }
  ScratchDir dir;
};

// Sets a variable of the test's own environment for a scope; editors started
// meanwhile inherit it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      old_ = old;
    }
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Starts editors as the unprivileged user 65534, from a copy of the
// executable in a folder that user can reach.
class OtherUser {
 public:
  OtherUser() : exe_(bin_.file("kdx-cvar-editor")) {
    const char* editor = std::getenv("KDX_EDITOR");
    std::filesystem::copy_file(editor != nullptr && *editor != '\0' ? editor : KDX_EDITOR_PATH,
                               exe_);
    std::filesystem::permissions(bin_.path(), std::filesystem::perms(0755));
  }
  Editor Start(const std::string& dir, const Env& env) const {
    const ScopedEnv editor("KDX_EDITOR", exe_);
    const ScopedEnv launcher("KDX_LAUNCHER", "setpriv --reuid=65534 --regid=65534 --clear-groups");
    return std::make_unique<EditorProcess>(dir, env);
  }

 private:
  ScratchDir bin_;
  std::string exe_;
};

// A folder that every user may write into, as the system's temporary one.
void OpenToAll(const std::string& dir) {
  std::filesystem::permissions(dir, std::filesystem::perms(01777));
}

class EndToEndGuard : public testing::Test {
 protected:
  static Editor Start(const std::string& dir, const Env& env = {}) {
    return std::make_unique<EditorProcess>(dir, env);
  }
  // Waits until the editor has shown its selection menu.
  static Editor Running(Editor editor) {
    EXPECT_TRUE(editor->WaitForOutput(kPrompt)) << editor->Console();
    EXPECT_NE(editor->Console().find(kBanner), std::string::npos) << editor->Console();
    return editor;
  }
  // Waits until the editor has refused to run.
  static Editor Refused(Editor editor) {
    editor->WaitForOutput("\n");
    EXPECT_EQ(editor->Console(), kRefusal);
    return editor;
  }
  static Editor StartRunning(const std::string& dir, const Env& env = {}) {
    return Running(Start(dir, env));
  }
  static Editor StartRefused(const std::string& dir, const Env& env = {}) {
    return Refused(Start(dir, env));
  }
  // Ends a running editor with Exit.
  static void Exit(EditorProcess& editor) {
    editor.Send("17\n");
    EXPECT_EQ(editor.Finish(), 0);
  }
  // Lets a refused editor, still waiting, end; it must have said nothing more.
  static void Release(EditorProcess& editor) {
    EXPECT_FALSE(HasEnded(editor)) << "a refused start has to wait for a line";
    editor.Send("\n");
    EXPECT_EQ(editor.Finish(), 0);
    EXPECT_EQ(editor.Console(), kRefusal);
    EXPECT_EQ(editor.Errors(), "");
  }

  GameFolder first;
  GameFolder other;
};

TEST_F(EndToEndGuard, SecondStartIsRefusedAndWaitsForALine) {
  const Editor running = StartRunning(first.path());
  GameFolder untouched("yes");
  WriteFile(untouched.dir.file("autoexec.cfg"), "bind x jump");
  const auto before = Snapshot(untouched.path());
  const Editor refused = StartRefused(untouched.path());
  // Starts whose input is already there, or at its end: the wait takes one
  // line and no menu follows.
  const char* inputs[] = {"", "\n", "17\n", "1\n13\n17\n"};
  for (const char* input : inputs) {
    SCOPED_TRACE(testing::PrintToString(input));
    const EditorRun run = RunEditorProcess(untouched.path(), input);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.console, kRefusal);
    EXPECT_EQ(run.errors, "");
  }
  // The first instance goes on as if nothing had happened.
  running->Send("0\n");
  EXPECT_TRUE(running->WaitForOutput("Invalid choice...\nCharacters:\n"));
  Release(*refused);
  EXPECT_EQ(Snapshot(untouched.path()), before);
  Exit(*running);
}

// Every instance holds the claim until it ends, however it ends, and the
// claim goes with the last of them.
TEST_F(EndToEndGuard, ClaimLastsAsLongAsAnyHolder) {
  enum class End { kExit, kKill };
  const struct {
    End first;
    std::optional<End> refused;  // none: no refused instance waits
  } cases[] = {
      {End::kExit, std::nullopt}, {End::kKill, std::nullopt}, {End::kExit, End::kExit},
      {End::kKill, End::kExit},   {End::kExit, End::kKill},   {End::kKill, End::kKill},
  };
  const auto end = [](EditorProcess& editor, End how, bool refused) {
    if (how == End::kKill) {
      editor.Kill(SIGKILL);
      EXPECT_EQ(editor.Finish(), -1);
    } else if (refused) {
      Release(editor);
    } else {
      Exit(editor);
    }
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "first killed: " << (c.first == End::kKill) << ", refused one: "
                 << (!c.refused                 ? "none"
                     : *c.refused == End::kKill ? "killed"
                                                : "released"));
    const Editor running = StartRunning(first.path());
    const Editor refused = c.refused ? StartRefused(other.path()) : nullptr;
    end(*running, c.first, false);
    if (refused) {
      EXPECT_EQ(RunEditorProcess(other.path(), "").console, kRefusal);
      end(*refused, *c.refused, true);
    }
    Exit(*StartRunning(first.path()));
  }
}

TEST_F(EndToEndGuard, OfEightStartsAtOnceExactlyOneRuns) {
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    GameFolder shared("yes");
    std::vector<Editor> editors;
    for (int i = 0; i < 8; ++i) {
      editors.push_back(Start(shared.path()));
    }
    int running = 0;
    for (const Editor& editor : editors) {
      ASSERT_TRUE(editor->WaitForOutput("\n")) << editor->Console();
      if (editor->Console() != kRefusal) {
        ++running;
        EXPECT_TRUE(editor->WaitForOutput(kPrompt)) << editor->Console();
      }
    }
    EXPECT_EQ(running, 1);
    for (const Editor& editor : editors) {
      if (editor->Console() == kRefusal) {
        Release(*editor);
      } else {
        Exit(*editor);
      }
    }
    // Only the one that ran has generated: one block, and the marker done.
    const std::string autoexec = ReadFile(shared.dir.file("autoexec.cfg"));
    EXPECT_EQ(autoexec.find("// VOXA"), autoexec.rfind("// VOXA")) << autoexec;
    EXPECT_EQ(autoexec.rfind(FileText("\n// VOXA execution commands...\n"), 0), 0u) << autoexec;
    EXPECT_EQ(ReadFile(shared.dir.file("firstruncheck.voxa")), "no");
  }
}

TEST_F(EndToEndGuard, WithoutRuntimeDirOnlyTheSameUserIsRefused) {
  if (TargetIsWindows()) {
    GTEST_SKIP() << "users and lock files there are those of the host";
  }
  if (geteuid() != 0) {
    GTEST_SKIP() << "starting an editor as another user takes root";
  }
  ScratchDir tmp;
  OpenToAll(tmp.path());
  const Env env = {"XDG_RUNTIME_DIR", "TMPDIR=" + tmp.path()};
  GameFolder theirs;
  OpenToAll(theirs.path());
  const OtherUser user;

  const Editor mine = StartRunning(first.path(), env);
  const Editor theirsRunning = Running(user.Start(theirs.path(), env));
  const Editor theirsRefused = Refused(user.Start(theirs.path(), env));
  const Editor mineRefused = StartRefused(other.path(), env);
  Release(*mineRefused);
  Release(*theirsRefused);
  Exit(*theirsRunning);
  Exit(*mine);
}

TEST_F(EndToEndGuard, RuntimeDirServesOnlyWhenPrivate) {
  if (TargetIsWindows()) {
    GTEST_SKIP() << "the Windows build keeps no lock file";
  }
  enum class Kind { kDirectory, kFile, kRelative };
  const struct {
    const char* what;
    Kind kind;
    unsigned mode;
    bool used;
  } cases[] = {
      {"private directory", Kind::kDirectory, 0700, true},
      {"open to all", Kind::kDirectory, 0755, false},
      {"open to the group", Kind::kDirectory, 0770, false},
      {"others may pass", Kind::kDirectory, 0701, false},
      {"a file, not a directory", Kind::kFile, 0700, false},
      // "." would be the game folder, itself private to the user.
      {"a relative path", Kind::kRelative, 0700, false},
  };
  const std::map<std::string, std::string> markerOnly = {{"firstruncheck.voxa", "no"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir place;
    const std::string runtime = c.kind == Kind::kRelative ? "." : place.file("run");
    if (c.kind == Kind::kDirectory) {
      std::filesystem::create_directory(runtime);
    } else if (c.kind == Kind::kFile) {
      WriteFile(runtime, "");
    }
    std::filesystem::permissions(c.kind == Kind::kRelative ? first.path() : runtime,
                                 std::filesystem::perms(c.mode));
    std::filesystem::create_directory(place.file("tmp-a"));
    std::filesystem::create_directory(place.file("tmp-b"));
    const Env a = {"XDG_RUNTIME_DIR=" + runtime, "TMPDIR=" + place.file("tmp-a")};
    const Env b = {"XDG_RUNTIME_DIR=" + runtime, "TMPDIR=" + place.file("tmp-b")};

    const Editor running = StartRunning(first.path(), a);
    if (c.used) {
      Release(*StartRefused(other.path(), b));
    } else {
      Exit(*StartRunning(other.path(), b));
    }
    // Wherever the claim went, a start that looks in the same place is refused.
    Release(*StartRefused(other.path(), a));
    Exit(*running);
    EXPECT_TRUE(c.kind != Kind::kDirectory || c.used || std::filesystem::is_empty(runtime));
    EXPECT_EQ(Snapshot(first.path()), markerOnly);
    EXPECT_EQ(Snapshot(other.path()), markerOnly);
  }
}

}  // namespace
