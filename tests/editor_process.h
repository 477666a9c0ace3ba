#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

// The real editor executable, run as its own process in a folder of the
// test's. Which build it is comes from the environment, so that the same
// cases check every build:
//   KDX_EDITOR    the executable (default: the one built beside the tests)
//   KDX_LAUNCHER  words put in front of it, such as "wine" (default: none)
// A Windows build writes CR LF where the other writes LF; Console() and
// FileText() hide that difference from the cases.

// Whether the executable under test is a Windows build.
bool TargetIsWindows();

// `text` with every "\n" turned into the line end the target writes in files.
std::string FileText(const std::string& text);

// For a child process of the caller's own making (a pseudo-terminal, say):
// moves to `dir`, applies `env` as EditorProcess does and becomes the editor,
// given `args` on its command line. Never returns.
[[noreturn]] void ExecEditor(const std::string& dir, const std::vector<std::string>& env,
                             const std::vector<std::string>& args = {});

class EditorProcess {
 public:
  // Starts the editor in `dir`; `env` holds extra "NAME=value" settings, or
  // "NAME" alone to remove a variable; `args` go on its command line.
  explicit EditorProcess(const std::string& dir, const std::vector<std::string>& env = {},
                         const std::vector<std::string>& args = {});
  ~EditorProcess();
  EditorProcess(const EditorProcess&) = delete;
  EditorProcess& operator=(const EditorProcess&) = delete;

  void Send(const std::string& text);
  void CloseInput();

  // Reads standard output until it holds `text` or the time is up.
  bool WaitForOutput(const std::string& text,
                     std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Closes the input if still open, reads to the end and returns the exit
  // status (-1 if it did not end normally within the time).
  int Finish(std::chrono::milliseconds timeout = std::chrono::seconds(60));
  void Kill(int signal);

  pid_t pid() const { return pid_; }
  // The largest resident set of the child in KiB, once Finish has reaped it.
  // Linux counts the memory of the test process at the fork in it too, so
  // compare it with another run's rather than with a fixed figure.
  long PeakMemoryKiB() const { return peakKiB_; }
  // Standard output as read so far, line ends as on Linux.
  std::string Console() const;
  const std::string& Errors() const { return errors_; }

 private:
  bool ReadSome(std::chrono::milliseconds timeout);

  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::string output_;
  std::string errors_;
  long peakKiB_ = 0;
};

struct EditorRun {
  std::string console;  // standard output, line ends as on Linux
  std::string errors;   // standard error
  int status;
  long peakMemoryKiB = 0;  // see EditorProcess::PeakMemoryKiB
};

// Runs the editor in `dir` on `input` to its end.
EditorRun RunEditorProcess(const std::string& dir, const std::string& input,
                           const std::vector<std::string>& env = {},
                           const std::vector<std::string>& args = {});
