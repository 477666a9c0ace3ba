// Thousands of values piped into the real editor, which is killed outright at
// a random moment, round after round in the same folder: whatever reached
// the script must be whole, valid lines in the order they were entered.

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <thread>

#include "editor/roster.h"
#include "editor_process.h"
#include "session_check.h"
#include "test_support.h"

namespace {

constexpr int kValues = 20000;
constexpr int kRounds = 6;
const RosterEntry& raik = g_Roster[11];

struct Batch {
  std::string input;  // picks Raik's form HYP and enters every value
  std::string lines;  // what the script gains when every value gets there
};

Batch MakeBatch(std::uint32_t round) {
  Batch batch{"12\n2\n", "// Raik CVARs...\n"};
  for (std::uint32_t i = 0; i < kValues; ++i) {
    const int item = static_cast<int>(i % 12) + 1;
    const auto value = static_cast<std::int32_t>((round * kValues + i) * 2654435761u);
    batch.input += std::to_string(item) + " " + std::to_string(value) + "\n";
    batch.lines += cvarname(raik.forms[1], item) + " " + std::to_string(value) + "\n";
  }
  return batch;
}

// Every complete line valid, and only the last one, if any, without its end.
std::string LinesFault(const std::string& script) {
  std::size_t start = 0;
  for (std::size_t end; (end = script.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string fault = ScriptLineFault(raik, script.substr(start, end - start));
    if (!fault.empty()) {
      return "line at byte " + std::to_string(start) + ": " + fault;
    }
  }
  return "";
}

class EndToEndKill : public testing::Test {
 protected:
  EndToEndKill() { WriteFile(dir.file("firstruncheck.voxa"), "no"); }

  // Feeds the batch while another thread kills the editor after `delay`.
  void RunAndKill(const Batch& batch, std::chrono::microseconds delay) {
    EditorProcess editor(dir.path());
    std::thread killer([&editor, delay] {
      std::this_thread::sleep_for(delay);
      editor.Kill(SIGKILL);
    });
    editor.Send(batch.input);
    killer.join();
    EXPECT_EQ(editor.Finish(), -1) << "the editor ended before it was killed";
  }

  ScratchDir dir;
};

TEST_F(EndToEndKill, KilledAtRandomLeavesWholeLinesInTheOrderEntered) {
  if (TargetIsWindows()) {
    GTEST_SKIP() << "SIGKILL reaches the launcher, not the Windows process";
  }
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay(0, 300'000);
  std::string before;
  std::size_t valuesWritten = 0;
  for (std::uint32_t round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const Batch batch = MakeBatch(round);
    RunAndKill(batch, std::chrono::microseconds(delay(random)));
    const std::string script = ReadFile(dir.file("raik_cvars.cfg"));
    ASSERT_EQ(script.compare(0, before.size(), before), 0) << "an earlier line has changed";
    const std::string added = script.substr(before.size());
    ASSERT_EQ(batch.lines.compare(0, added.size(), added), 0)
        << "the round added lines other than those entered, in that order";
    const std::size_t lines =
        static_cast<std::size_t>(std::count(added.begin(), added.end(), '\n'));
    valuesWritten += lines > 0 ? lines - 1 : 0;
    before = script;
  }
  EXPECT_EQ(LinesFault(before), "");
  EXPECT_GT(valuesWritten, 0u) << "no kill came late enough to find a value written";
}

}  // namespace
