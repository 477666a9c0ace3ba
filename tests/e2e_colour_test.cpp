#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

#include <cerrno>
#include <string>
#include <vector>

#include "editor_process.h"
#include "test_support.h"

namespace {

// The editor with a pseudo-terminal as its standard input, output and error.
// The terminal neither echoes the input nor turns "\n" into "\r\n", so that
// what is read back is exactly what the editor wrote.
class TerminalEditor {
 public:
  TerminalEditor(const std::string& dir, const std::vector<std::string>& env) {
    int terminal = -1;
    if (openpty(&master_, &terminal, nullptr, nullptr, nullptr) != 0) {
      return;
    }
    termios mode{};
    tcgetattr(terminal, &mode);
    mode.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    mode.c_oflag &= ~static_cast<tcflag_t>(ONLCR);
    tcsetattr(terminal, TCSANOW, &mode);
    pid_ = fork();
    if (pid_ == 0) {
      close(master_);
      login_tty(terminal);
      ExecEditor(dir, env);
    }
    close(terminal);
  }
  ~TerminalEditor() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) {
      close(master_);
    }
  }
  TerminalEditor(const TerminalEditor&) = delete;
  TerminalEditor& operator=(const TerminalEditor&) = delete;

  // Types `input` (short lines, well within the terminal's buffer), reads
  // until the editor has ended and returns its exit status, -1 if it did not
  // end normally within the time.
  int Run(const std::string& input) {
    if (pid_ <= 0 || write(master_, input.data(), input.size()) != ssize_t(input.size())) {
      return -1;
    }
    char buf[4096];
    for (;;) {
      pollfd fd{master_, POLLIN, 0};
      if (poll(&fd, 1, 60'000) <= 0) {
        return -1;
      }
      const ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) {
        break;  // EIO: the editor's side of the terminal is closed
      }
      output.append(buf, static_cast<std::size_t>(n));
    }
    int status = 0;
    const pid_t ended = waitpid(pid_, &status, 0);
    pid_ = -1;
    return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string output;

 private:
  int master_ = -1;
  pid_t pid_ = -1;
};

struct Item {
  std::string text;
  int colour;
  bool blankLineAfter;
};

// What the terminal gets to show `colour` on black; nothing without colour.
std::string Sgr(int colour, bool coloured) {
  static const char* const kForeground[] = {"",   "34", "32", "36", "31", "35", "33", "37",
                                            "90", "94", "92", "96", "91", "95", "93", "97"};
  return coloured ? std::string("\x1b[") + kForeground[colour] + ";40m" : "";
}

std::string Menu(const std::string& header, const std::vector<Item>& items, bool coloured) {
  std::string text = header + "\n";
  int number = 1;
  for (const Item& item : items) {
    text += Sgr(item.colour, coloured) + std::to_string(number++) + ". " + item.text;
    text += item.blankLineAfter ? "\n\n" : "\n";
  }
  return text + Sgr(7, coloured) + "Select: ";
}

std::string Selection(bool coloured) {
  const char* const labels[] = {
      "Talvin (Buddy)",  "Warden 4 (Buddy)", "Merok (Buddy)", "Vorne (Buddy)",
      "Dastrel (Buddy)", "Warden 5",         "Husk",          "Zog",
      "Kolvar",          "Captain Orlek",    "Tenro",         "Raik",
      "Osmer",           "Yarrel",           "Drovan"};
  std::vector<Item> items;
  for (int n = 1; n <= 15; ++n) {
    items.push_back({labels[n - 1], n, false});
  }
  items.push_back({"Nerith", 2, true});
  items.push_back({"Exit", 3, true});
  return Menu("Characters:", items, coloured);
}

std::string OsmerPage(bool coloured) {
  const char* const suffixes[] = {"dash_speed_end",  "dash_speed_start",  "ki_cost",
                                  "ki_efficiency",   "pl_bonus",          "stamina_efficiency",
                                  "start_hp",        "start_pl",          "start_speed",
                                  "swoop_speed_end", "swoop_speed_start", "trans_pl"};
  std::vector<Item> items;
  for (int n = 1; n <= 12; ++n) {
    items.push_back({std::string("class_osmer_") + suffixes[n - 1], n, false});
  }
  items.push_back({"Back to last page...", 13, true});
  return Menu("\nCVARs:", items, coloured);
}

// Osmer, Form 1, an invalid choice, item 7 = 5, Back, Back, Exit.
const char kInput[] = "13\n1\n0\n7\n5\n13\n3\n17\n";

std::string Expected(bool coloured) {
  const std::string forms = Menu(
      "\nForms:", {{"Form 1", 1, false}, {"Form 2", 2, false}, {"Back to last page...", 3, true}},
      coloured);
  const std::string page = OsmerPage(coloured);
  return "Config() executed normally...\nFirst run?: no\nThe program has executed normally...\n"
         "Welcome to Tavrik's KDX CVAR Editor v1.0.1.0!\nPlease select a character from "
         "below...\n\n" +
         Selection(coloured) + forms + page + "Invalid choice...\n" + page +
         "Input value for CVAR: " + page + forms + Selection(coloured);
}

class EndToEndColour : public testing::Test {
 protected:
  void SetUp() override { WriteFile(dir.file("firstruncheck.voxa"), "no"); }

  ScratchDir dir;
};

TEST_F(EndToEndColour, TerminalShowsItemColoursUnlessTurnedOff) {
  if (TargetIsWindows())
    GTEST_SKIP() << "a Windows build colours its console, not a terminal";
  const struct {
    std::vector<std::string> env;
    bool coloured;
  } cases[] = {
      {{"TERM=xterm", "NO_COLOR"}, true},  {{"TERM", "NO_COLOR"}, true},
      {{"TERM=xterm", "NO_COLOR="}, true}, {{"TERM=xterm", "NO_COLOR=1"}, false},
      {{"TERM=dumb", "NO_COLOR"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.env[0] << " " << c.env[1]);
    TerminalEditor editor(dir.path(), c.env);
    EXPECT_EQ(editor.Run(kInput), 0);
    EXPECT_EQ(editor.output, Expected(c.coloured));
    EXPECT_EQ(ReadFile(dir.file("osmer_cvars.cfg")), "// Osmer CVARs...\nclass_osmer_start_hp 5\n");
    std::filesystem::remove(dir.file("osmer_cvars.cfg"));
  }
}

TEST_F(EndToEndColour, PipeGetsPlainText) {
  const EditorRun run = RunEditorProcess(dir.path(), kInput, {"TERM=xterm", "NO_COLOR"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.console.find('\x1b'), std::string::npos);
  EXPECT_EQ(run.console, Expected(false));
}

}  // namespace
