// Drives the editor and the floor program through the same piped sessions,
// one after the other, and prints what each costs side by side: a value in a
// batch on one page, the start-up, and the peak resident memory.
//
//   kdx-bench [editor [floor]]   (default: the two of this build)

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kValues = 20000;
constexpr int kBatchRounds = 9;
constexpr int kStartRounds = 301;
constexpr const char* kScript = "talvin_cvars.cfg";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A scratch game folder with a runtime folder of its own for the lock.
class Folder {
 public:
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kdx-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::exit(1);
    }
    path_ = pattern;
    runtime_ = path_ + "/run";
    mkdir(runtime_.c_str(), 0700);
    game_ = path_ + "/game";
    mkdir(game_.c_str(), 0755);
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  // Every run starts from a marker that says "no" and no script.
  void Reset() const {
    std::filesystem::remove(game_ + "/" + kScript);
    std::ofstream(game_ + "/firstruncheck.voxa", std::ios::binary) << "no";
  }
  const std::string& game() const { return game_; }
  const std::string& runtime() const { return runtime_; }

 private:
  std::string path_, runtime_, game_;
};

std::vector<std::string> ChildEnvironment(const Folder& folder) {
  std::vector<std::string> env;
  for (char** var = environ; *var != nullptr; ++var) {
    if (std::strncmp(*var, "XDG_RUNTIME_DIR=", 16) != 0) {
      env.emplace_back(*var);
    }
  }
  env.push_back("XDG_RUNTIME_DIR=" + folder.runtime());
  return env;
}

// Starts `exe` in the folder's game folder with `in` and `out` as its
// standard input and output.
pid_t Spawn(const std::string& exe, const Folder& folder, int in, int out) {
  std::vector<std::string> env = ChildEnvironment(folder);
  std::vector<char*> envp;
  for (std::string& var : env) {
    envp.push_back(var.data());
  }
  envp.push_back(nullptr);
  std::string path = exe;
  char* argv[] = {path.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.game().c_str());
  posix_spawn_file_actions_adddup2(&actions, in, STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    std::fprintf(stderr, "cannot start %s: %s\n", exe.c_str(), std::strerror(error));
    std::exit(1);
  }
  return pid;
}

// One run of a program in the folder, its standard streams on pipes; its
// time runs from just before the start.
class Session {
 public:
  Session(const std::string& exe, const Folder& folder, bool keep) : keep_(keep) {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
      std::perror("pipe2");
      std::exit(1);
    }
    start_ = Clock::now();
    pid_ = Spawn(exe, folder, in[0], out[1]);
    close(in[0]);
    close(out[1]);
    in_ = in[1];
    out_ = out[0];
    fcntl(in_, F_SETFL, O_NONBLOCK);
  }
  ~Session() {
    if (in_ >= 0) {
      close(in_);
    }
    if (out_ >= 0) {
      close(out_);
    }
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Writes all of `input`, reading the output meanwhile.
  void Feed(std::string_view input) {
    while (!input.empty() && in_ >= 0) {
      Pump(&input);
    }
  }

  // Reads until the output holds `text` `times` times over.
  void WaitFor(std::string_view text, int times) {
    while (Count(text) < times && out_ >= 0) {
      Pump(nullptr);
    }
  }

  // Closes the input, reads to the end and reaps; the seconds since start.
  double Finish() {
    close(in_);
    in_ = -1;
    while (out_ >= 0) {
      Pump(nullptr);
    }
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return Elapsed();
  }

  double Elapsed() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

  // The high-water mark of the live process's resident memory.
  long PeakKiB() const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmHWM:", 0) == 0) {
        return std::atol(line.c_str() + 6);
      }
    }
    return -1;
  }

  const std::string& Output() const { return output_; }

 private:
  void Pump(std::string_view* input) {
    pollfd fds[2] = {{out_, POLLIN, 0}, {input != nullptr ? in_ : -1, POLLOUT, 0}};
    if (poll(fds, 2, -1) < 0) {
      return;
    }
    if (fds[0].revents != 0) {
      Read();
    }
    if (input != nullptr && fds[1].revents != 0) {
      const ssize_t n = write(in_, input->data(), std::min<std::size_t>(input->size(), 65536));
      if (n > 0) {
        input->remove_prefix(static_cast<std::size_t>(n));
      } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
        close(in_);
        in_ = -1;
      }
    }
  }

  void Read() {
    char buf[65536];
    const ssize_t n = read(out_, buf, sizeof buf);
    if (n <= 0) {
      close(out_);
      out_ = -1;
    } else if (keep_) {
      output_.append(buf, static_cast<std::size_t>(n));
    }
  }

  int Count(std::string_view text) {
    for (std::size_t at; (at = output_.find(text, scanned_)) != std::string::npos;) {
      scanned_ = at + text.size();
      ++found_;
    }
    return found_;
  }

  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  Clock::time_point start_;
  bool keep_;
  std::string output_;
  std::size_t scanned_ = 0;
  int found_ = 0;
};

// Item and value of the i-th entry: every item of the page, and values that
// reach both ends of the range.
std::string BatchLines(int values) {
  std::string lines;
  for (int i = 0; i < values; ++i) {
    const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(i) * 2654435761u);
    lines += std::to_string(i % 12 + 1) + " " + std::to_string(value) + "\n";
  }
  return lines;
}

// Picks the first character, enters the values on its page, goes Back and
// exits.
std::string Batch(int values) {
  return "1\n" + BatchLines(values) + "13\n17\n";
}

struct Program {
  const char* name;
  std::string path;
  Folder folder;
};

double RunBatch(Program& program, const std::string& input, std::string* output = nullptr) {
  program.folder.Reset();
  Session session(program.path, program.folder, output != nullptr);
  session.Feed(input);
  const double seconds = session.Finish();
  if (output != nullptr) {
    *output =
        session.Output() + "\n--- script ---\n" + ReadFile(program.folder.game() + "/" + kScript);
  }
  return seconds;
}

// Both programs must show and write the same bytes, or the floor proves nothing.
void CheckSameBehaviour(Program& editor, Program& floor) {
  const std::string input = Batch(kValues);
  std::string mine, least;
  RunBatch(editor, input, &mine);
  RunBatch(floor, input, &least);
  if (mine != least) {
    const auto where = std::mismatch(mine.begin(), mine.end(), least.begin(), least.end());
    std::fprintf(stderr, "the floor differs from the editor at byte %zu\n",
                 static_cast<std::size_t>(where.first - mine.begin()));
    std::exit(1);
  }
}

// The best of the rounds: other work on the machine only ever adds time.
double Best(const std::vector<double>& samples) {
  return *std::min_element(samples.begin(), samples.end());
}

struct Costs {
  double value = 0, earlier = 0, later = 0;  // seconds per value
  double prompt = 0, exit = 0;               // seconds
  long rssPrompt = 0, rssHalf = 0, rssFull = 0;
};

void MeasureBatch(Program& editor, Program& floor, Costs& e, Costs& f) {
  const std::string none = Batch(0), half = Batch(kValues / 2), full = Batch(kValues);
  std::vector<double> t[2][3];
  for (int round = 0; round < kBatchRounds; ++round) {
    Program* programs[] = {&editor, &floor};
    for (int p = 0; p < 2; ++p) {
      t[p][0].push_back(RunBatch(*programs[p], none));
      t[p][1].push_back(RunBatch(*programs[p], half));
      t[p][2].push_back(RunBatch(*programs[p], full));
    }
  }
  Costs* costs[] = {&e, &f};
  for (int p = 0; p < 2; ++p) {
    const double t0 = Best(t[p][0]), t1 = Best(t[p][1]), t2 = Best(t[p][2]);
    costs[p]->value = (t2 - t0) / kValues;
    costs[p]->earlier = (t1 - t0) / (kValues / 2);
    costs[p]->later = (t2 - t1) / (kValues / 2);
  }
}

void MeasureStart(Program& editor, Program& floor, Costs& e, Costs& f) {
  std::vector<double> prompt[2], exit[2];
  Program* programs[] = {&editor, &floor};
  for (int round = 0; round < kStartRounds; ++round) {
    for (int p = 0; p < 2; ++p) {
      programs[p]->folder.Reset();
      {
        Session session(programs[p]->path, programs[p]->folder, true);
        session.WaitFor("Select: ", 1);
        prompt[p].push_back(session.Elapsed());
        session.Finish();
      }
      Session session(programs[p]->path, programs[p]->folder, false);
      session.Feed("17\n");
      exit[p].push_back(session.Finish());
    }
  }
  e.prompt = Best(prompt[0]);
  f.prompt = Best(prompt[1]);
  e.exit = Best(exit[0]);
  f.exit = Best(exit[1]);
}

// The peak after `values` values, read while the program waits at the
// selection menu it has come back to.
long PeakAfter(Program& program, int values) {
  program.folder.Reset();
  Session session(program.path, program.folder, true);
  session.Feed("1\n" + BatchLines(values) + "13\n");
  session.WaitFor("17. Exit\n\nSelect: ", 2);
  const long peak = session.PeakKiB();
  session.Finish();
  return peak;
}

void MeasureMemory(Program& program, Costs& costs) {
  program.folder.Reset();
  {
    Session session(program.path, program.folder, true);
    session.WaitFor("Select: ", 1);
    costs.rssPrompt = session.PeakKiB();
    session.Finish();
  }
  costs.rssHalf = PeakAfter(program, kValues / 2);
  costs.rssFull = PeakAfter(program, kValues);
}

std::string Machine() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string model = "unknown processor";
  for (std::string line; std::getline(cpuinfo, line);) {
    if (line.rfind("model name", 0) == 0) {
      model = line.substr(line.find(':') + 2);
      break;
    }
  }
  utsname name{};
  uname(&name);
  return model + ", " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " cores, " + name.sysname +
         " " + name.release;
}

void Row(const char* what, double mine, double least, const char* unit, double scale,
         const char* target) {
  const int decimals = scale == 1 ? 0 : 2;  // memory in whole KiB
  std::printf("%-34s %10.*f %-3s %10.*f %-3s %6.2f  %s\n", what, decimals, mine * scale, unit,
              decimals, least * scale, unit, mine / least, target);
}

void Report(const Costs& e, const Costs& f) {
  std::printf("%-34s %14s %14s %6s  %s\n", "", "editor", "floor", "ratio", "target");
  Row("one value, 20000 on one page", e.value, f.value, "us", 1e6, "ratio <= 1.5");
  Row("  values 1-10000", e.earlier, f.earlier, "us", 1e6, "");
  Row("  values 10001-20000", e.later, f.later, "us", 1e6, "");
  Row("start to first prompt", e.prompt, f.prompt, "ms", 1e3, "ratio <= 1.5");
  Row("start to end of immediate Exit", e.exit, f.exit, "ms", 1e3, "ratio <= 1.5");
  Row("peak RSS at first prompt", e.rssPrompt, f.rssPrompt, "KiB", 1, "editor < 4096 KiB");
  Row("peak RSS after 10000 values", e.rssHalf, f.rssHalf, "KiB", 1, "");
  Row("peak RSS after 20000 values", e.rssFull, f.rssFull, "KiB", 1, "editor < 4096 KiB");
  std::printf("later values over earlier ones: editor %.2f, floor %.2f (1.00: no growth)\n",
              e.later / e.earlier, f.later / f.earlier);
}

}  // namespace

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  Program editor{"editor", argc > 1 ? argv[1] : KDX_EDITOR_PATH, {}};
  Program floor{"floor", argc > 2 ? argv[2] : KDX_FLOOR_PATH, {}};
  std::printf("machine: %s\n", Machine().c_str());
  std::printf("editor: %s\nfloor:  %s\n\n", editor.path.c_str(), floor.path.c_str());
  CheckSameBehaviour(editor, floor);
  Costs e, f;
  MeasureBatch(editor, floor, e, f);
  MeasureStart(editor, floor, e, f);
  MeasureMemory(editor, e);
  MeasureMemory(floor, f);
  Report(e, f);
  return 0;
}
