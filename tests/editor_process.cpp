#include "editor_process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace {

std::string EditorPath() {
  const char* path = std::getenv("KDX_EDITOR");
  return path != nullptr && *path != '\0' ? path : KDX_EDITOR_PATH;
}

std::vector<std::string> CommandLine() {
  std::vector<std::string> words;
  if (const char* launcher = std::getenv("KDX_LAUNCHER")) {
    std::istringstream split(launcher);
    for (std::string word; split >> word;) {
      words.push_back(word);
    }
  }
  words.push_back(EditorPath());
  return words;
}

void ApplyEnvironment(const std::vector<std::string>& env) {
  for (const std::string& setting : env) {
    const std::size_t eq = setting.find('=');
    if (eq == std::string::npos) {
      unsetenv(setting.c_str());
    } else {
      setenv(setting.substr(0, eq).c_str(), setting.c_str() + eq + 1, 1);
    }
  }
}

[[noreturn]] void RunChild(const std::string& dir, const std::vector<std::string>& env,
                           const std::vector<std::string>& args, int in, int out, int err) {
  dup2(in, STDIN_FILENO);
  dup2(out, STDOUT_FILENO);
  dup2(err, STDERR_FILENO);
  ExecEditor(dir, env, args);
}

std::string WithoutCarriageReturns(const std::string& text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      plain += text[i];
    }
  }
  return plain;
}

}  // namespace

void ExecEditor(const std::string& dir, const std::vector<std::string>& env,
                const std::vector<std::string>& args) {
  if (chdir(dir.c_str()) != 0) {
    _exit(126);
  }
  ApplyEnvironment(env);
  std::vector<std::string> words = CommandLine();
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

bool TargetIsWindows() {
  const std::string path = EditorPath();
  return path.size() > 4 && path.compare(path.size() - 4, 4, ".exe") == 0;
}

std::string FileText(const std::string& text) {
  if (!TargetIsWindows()) {
    return text;
  }
  std::string crlf;
  for (char c : text) {
    if (c == '\n') {
      crlf += '\r';
    }
    crlf += c;
  }
  return crlf;
}

EditorProcess::EditorProcess(const std::string& dir, const std::vector<std::string>& env,
                             const std::vector<std::string>& args) {
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) {
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    close(in[1]);
    close(out[0]);
    close(err[0]);
    RunChild(dir, env, args, in[0], out[1], err[1]);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  in_ = in[1];
  out_ = out[0];
  err_ = err[0];
  signal(SIGPIPE, SIG_IGN);  // a child that has ended must not end the test
}

EditorProcess::~EditorProcess() {
  if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  for (int fd : {in_, out_, err_}) {
    if (fd >= 0) {
      close(fd);
    }
  }
}

// Writes the input while reading the output, so that a child blocked on a
// full output pipe cannot leave both sides waiting for each other.
void EditorProcess::Send(const std::string& text) {
  std::size_t done = 0;
  while (in_ >= 0 && done < text.size()) {
    pollfd fds[3] = {{in_, POLLOUT, 0}, {out_, POLLIN, 0}, {err_, POLLIN, 0}};
    if (poll(fds, 3, 60'000) <= 0) {
      return;
    }
    if (fds[1].revents != 0 || fds[2].revents != 0) {
      ReadSome(std::chrono::milliseconds(0));
    }
    if (fds[0].revents & (POLLERR | POLLHUP)) {
      return;
    }
    if (fds[0].revents & POLLOUT) {
      const std::size_t chunk = std::min<std::size_t>(text.size() - done, 4096);
      const ssize_t n = write(in_, text.data() + done, chunk);
      if (n < 0 && errno != EINTR && errno != EAGAIN) {
        return;
      }
      done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
  }
}

void EditorProcess::CloseInput() {
  if (in_ >= 0) {
    close(in_);
    in_ = -1;
  }
}

// Reads what either output stream has within the time; false at the end of
// both or when nothing came.
bool EditorProcess::ReadSome(std::chrono::milliseconds timeout) {
  pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
  if (out_ < 0 && err_ < 0) {
    return false;
  }
  if (poll(fds, 2, static_cast<int>(timeout.count())) <= 0) {
    return false;
  }
  char buf[65536];
  int* fd[2] = {&out_, &err_};
  std::string* sink[2] = {&output_, &errors_};
  for (int i = 0; i < 2; ++i) {
    if (*fd[i] >= 0 && fds[i].revents != 0) {
      const ssize_t n = read(*fd[i], buf, sizeof buf);
      if (n > 0) {
        sink[i]->append(buf, static_cast<std::size_t>(n));
      } else {
        close(*fd[i]);
        *fd[i] = -1;
      }
    }
  }
  return true;
}

bool EditorProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (Console().find(text) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !ReadSome(left)) {
      return Console().find(text) != std::string::npos;
    }
  }
  return true;
}

int EditorProcess::Finish(std::chrono::milliseconds timeout) {
  CloseInput();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (out_ >= 0 || err_ >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      return -1;
    }
    ReadSome(left);
  }
  int status = 0;
  rusage usage{};
  if (pid_ <= 0 || wait4(pid_, &status, 0, &usage) != pid_) {
    return -1;
  }
  pid_ = -1;
  peakKiB_ = usage.ru_maxrss;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void EditorProcess::Kill(int signal) {
  if (pid_ > 0) {
    kill(pid_, signal);
  }
}

std::string EditorProcess::Console() const {
  return TargetIsWindows() ? WithoutCarriageReturns(output_) : output_;
}

EditorRun RunEditorProcess(const std::string& dir, const std::string& input,
                           const std::vector<std::string>& env,
                           const std::vector<std::string>& args) {
  EditorProcess editor(dir, env, args);
  editor.Send(input);
  const int status = editor.Finish();
  return {editor.Console(), editor.Errors(), status, editor.PeakMemoryKiB()};
}

namespace {

// Every test process gets a runtime folder of its own, so that the editors it
// starts claim their single-instance lock apart from those of tests running
// beside it.
class PrivateRuntimeDir : public testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "kdx-run-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
      dir_ = pattern;
      setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    }
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

 private:
  std::string dir_;
};

testing::Environment* const kRuntimeDir = testing::AddGlobalTestEnvironment(new PrivateRuntimeDir);

}  // namespace
