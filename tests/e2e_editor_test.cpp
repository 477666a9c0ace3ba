#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <set>

#include "editor/roster.h"
#include "editor_process.h"
#include "test_support.h"

namespace {

// The typical request, 12 2 7 500, then Back, Back and Exit, as the user sees
// it on a pipe: every byte, written out once.
const char kTypicalTranscript[] =
    "Config() executed normally...\n"
    "First run?: no\n"
    "The program has executed normally...\n"
    "Welcome to Tavrik's KDX CVAR Editor v1.0.1.0!\n"
    "Please select a character from below...\n"
    "\n"
    "Characters:\n"
    "1. Talvin (Buddy)\n"
    "2. Warden 4 (Buddy)\n"
    "3. Merok (Buddy)\n"
    "4. Vorne (Buddy)\n"
    "5. Dastrel (Buddy)\n"
    "6. Warden 5\n"
    "7. Husk\n"
    "8. Zog\n"
    "9. Kolvar\n"
    "10. Captain Orlek\n"
    "11. Tenro\n"
    "12. Raik\n"
    "13. Osmer\n"
    "14. Yarrel\n"
    "15. Drovan\n"
    "16. Nerith\n"
    "\n"
    "17. Exit\n"
    "\n"
    "Select: \n"
    "Forms:\n"
    "1. Normal\n"
    "2. HYP\n"
    "3. HYP2\n"
    "4. HYP3\n"
    "5. Back to last page...\n"
    "\n"
    "Select: \n"
    "CVARs:\n"
    "1. class_hypraik_dash_speed_end\n"
    "2. class_hypraik_dash_speed_start\n"
    "3. class_hypraik_ki_cost\n"
    "4. class_hypraik_ki_efficiency\n"
    "5. class_hypraik_pl_bonus\n"
    "6. class_hypraik_stamina_efficiency\n"
    "7. class_hypraik_start_hp\n"
    "8. class_hypraik_start_pl\n"
    "9. class_hypraik_start_speed\n"
    "10. class_hypraik_swoop_speed_end\n"
    "11. class_hypraik_swoop_speed_start\n"
    "12. class_hypraik_trans_pl\n"
    "13. Back to last page...\n"
    "\n"
    "Select: Input value for CVAR: \n"
    "CVARs:\n"
    "1. class_hypraik_dash_speed_end\n"
    "2. class_hypraik_dash_speed_start\n"
    "3. class_hypraik_ki_cost\n"
    "4. class_hypraik_ki_efficiency\n"
    "5. class_hypraik_pl_bonus\n"
    "6. class_hypraik_stamina_efficiency\n"
    "7. class_hypraik_start_hp\n"
    "8. class_hypraik_start_pl\n"
    "9. class_hypraik_start_speed\n"
    "10. class_hypraik_swoop_speed_end\n"
    "11. class_hypraik_swoop_speed_start\n"
    "12. class_hypraik_trans_pl\n"
    "13. Back to last page...\n"
    "\n"
    "Select: \n"
    "Forms:\n"
    "1. Normal\n"
    "2. HYP\n"
    "3. HYP2\n"
    "4. HYP3\n"
    "5. Back to last page...\n"
    "\n"
    "Select: "
    "Characters:\n"
    "1. Talvin (Buddy)\n"
    "2. Warden 4 (Buddy)\n"
    "3. Merok (Buddy)\n"
    "4. Vorne (Buddy)\n"
    "5. Dastrel (Buddy)\n"
    "6. Warden 5\n"
    "7. Husk\n"
    "8. Zog\n"
    "9. Kolvar\n"
    "10. Captain Orlek\n"
    "11. Tenro\n"
    "12. Raik\n"
    "13. Osmer\n"
    "14. Yarrel\n"
    "15. Drovan\n"
    "16. Nerith\n"
    "\n"
    "17. Exit\n"
    "\n"
    "Select: ";

// The same texts in pieces, for the cases that only move between menus.
const std::string kStartUp =
    "Config() executed normally...\nFirst run?: no\nThe program has executed normally...\n"
    "Welcome to Tavrik's KDX CVAR Editor v1.0.1.0!\nPlease select a character from below...\n\n";
const std::string kSelection =
    "Characters:\n1. Talvin (Buddy)\n2. Warden 4 (Buddy)\n3. Merok (Buddy)\n4. Vorne (Buddy)\n"
    "5. Dastrel (Buddy)\n6. Warden 5\n7. Husk\n8. Zog\n9. Kolvar\n10. Captain Orlek\n11. Tenro\n"
    "12. Raik\n13. Osmer\n14. Yarrel\n15. Drovan\n16. Nerith\n\n17. Exit\n\nSelect: ";
const std::string kRaikForms =
    "\nForms:\n1. Normal\n2. HYP\n3. HYP2\n4. HYP3\n5. Back to last page...\n\nSelect: ";
const std::string kOsmerForms =
    "\nForms:\n1. Form 1\n2. Form 2\n3. Back to last page...\n\nSelect: ";
const std::string kInvalid = "Invalid choice...\n";
const std::string kValuePrompt = "Input value for CVAR: ";
const std::string kRaikError = "\aError: unable to write to raik_cvars.cfg!\n";

std::string Page(const std::string& token) {
  static const char* const kSuffixes[] = {
      "dash_speed_end", "dash_speed_start",   "ki_cost",           "ki_efficiency",
      "pl_bonus",       "stamina_efficiency", "start_hp",          "start_pl",
      "start_speed",    "swoop_speed_end",    "swoop_speed_start", "trans_pl"};
  std::string page = "\nCVARs:\n";
  for (int n = 1; n <= 12; ++n) {
    page += std::to_string(n) + ". class_" + token + "_" + kSuffixes[n - 1] + "\n";
  }
  return page + "13. Back to last page...\n\nSelect: ";
}

// `text` followed by `times` more showings of it, each after "Invalid choice...".
std::string Refused(const std::string& text, int times) {
  std::string shown = text;
  for (int i = 0; i < times; ++i) {
    shown += kInvalid + text;
  }
  return shown;
}

std::string Repeated(const std::string& text, std::size_t times) {
  std::string all;
  all.reserve(text.size() * times);
  for (std::size_t i = 0; i < times; ++i) {
    all += text;
  }
  return all;
}

// One run's input and what it should leave: the standard output after the
// start-up lines and the one character script it touches (nullptr: none).
struct RunCase {
  const char* input;
  std::string console;
  const char* script;
  const char* scriptText;
};

class EndToEndEditor : public testing::Test {
 protected:
  void SetUp() override { WriteFile(dir.file("firstruncheck.voxa"), "no"); }

  EditorRun Run(const std::string& input, const std::vector<std::string>& args = {}) {
    return RunEditorProcess(dir.path(), input, {}, args);
  }

  // The names in the folder, so that a case can tell nothing else was made.
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  void ExpectRun(const RunCase& c) {
    SCOPED_TRACE(testing::Message() << "input: \"" << c.input << "\"");
    const EditorRun run = Run(c.input);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.console, kStartUp + c.console);
    if (c.script == nullptr) {
      EXPECT_EQ(Files(), std::set<std::string>{"firstruncheck.voxa"});
    } else {
      EXPECT_EQ(ReadFile(dir.file(c.script)), FileText(c.scriptText));
      std::filesystem::remove(dir.file(c.script));
    }
  }

  ScratchDir dir;
};

// However the answers are typed, and whatever the command line holds, the
// user sees the same bytes and the script gains the same two lines.
TEST_F(EndToEndEditor, TypicalRequest) {
  const struct {
    const char* input;
    std::vector<std::string> args;
  } cases[] = {
      {"12\n2\n7\n500\n13\n5\n17\n", {}},
      {"12 2 7 500 13 5 17\n", {}},
      {"\n  012\n+2\n\n\t7\n0500  \n13\n5\n17\n", {}},
      {"12\n2\n7\n500\n13\n5\n17\n", {"17", "--help", "-x", "raik_cvars.cfg"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "input: \"" << c.input << "\", " << c.args.size() << " arguments");
    ScratchDir folder;
    WriteFile(folder.file("firstruncheck.voxa"), "no");
    const EditorRun run = RunEditorProcess(folder.path(), c.input, {}, c.args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.console, kTypicalTranscript);
    EXPECT_EQ(ReadFile(folder.file("raik_cvars.cfg")),
              FileText("// Raik CVARs...\nclass_hypraik_start_hp 500\n"));
    EXPECT_EQ(ReadFile(folder.file("firstruncheck.voxa")), "no");
  }
}

TEST_F(EndToEndEditor, BackLeadsOneLevelUp) {
  const RunCase cases[] = {
      // The page of a single-form entry is its top level.
      {"1\n13\n17\n", kSelection + Page("talvin") + kSelection, "talvin_cvars.cfg",
       "// Talvin CVARs...\n"},
      // The page of a multi-form entry goes back to its forms menu.
      {"12\n2\n13\n5\n17\n", kSelection + kRaikForms + Page("hypraik") + kRaikForms + kSelection,
       "raik_cvars.cfg", "// Raik CVARs...\n"},
      // Each new visit writes its own header.
      {"13\n3\n13\n1\n13\n3\n17\n",
       kSelection + kOsmerForms + kSelection + kOsmerForms + Page("osmer") + kOsmerForms +
           kSelection,
       "osmer_cvars.cfg", "// Osmer CVARs...\n// Osmer CVARs...\n"},
  };
  for (const RunCase& c : cases) {
    ExpectRun(c);
  }
}

TEST_F(EndToEndEditor, RefusedChoicesShowTheMenuAgain) {
  const RunCase cases[] = {
      {"0\n18\n-1\nx\n4294967296\n-2147483649\n+-1\n-\n17\n", Refused(kSelection, 8), nullptr,
       nullptr},
      {"13\n0\n4\nabc\n3\n17\n", kSelection + Refused(kOsmerForms, 3) + kSelection,
       "osmer_cvars.cfg", "// Osmer CVARs...\n"},
      {"1\n14\n-5\n99999999999999999999\n13\n17\n",
       kSelection + Refused(Page("talvin"), 3) + kSelection, "talvin_cvars.cfg",
       "// Talvin CVARs...\n"},
      // The digit chooses; the letter after it is the next, failed, answer.
      {"3x\n13\n17\n", kSelection + Refused(Page("merok"), 1) + kSelection, "merok_cvars.cfg",
       "// Merok CVARs...\n"},
      // A value that is no number is asked for again and never written.
      {"1\n7\nabc\n2147483648\n99999999999999999999\n-9223372036854775809\n-12\n13\n17\n",
       kSelection + Page("talvin") + Repeated(kValuePrompt, 5) + Page("talvin") + kSelection,
       "talvin_cvars.cfg", "// Talvin CVARs...\nclass_talvin_start_hp -12\n"},
  };
  for (const RunCase& c : cases) {
    ExpectRun(c);
  }
}

// The input may end at any prompt: the run stops there, in order, and writes
// nothing after that prompt.
TEST_F(EndToEndEditor, EndOfInputEndsTheRun) {
  const std::string raikPage = kSelection + kRaikForms + Page("hypraik");
  const RunCase cases[] = {
      {"", kSelection, nullptr, nullptr},
      {"0\n", Refused(kSelection, 1), nullptr, nullptr},
      {"12\n", kSelection + kRaikForms, "raik_cvars.cfg", "// Raik CVARs...\n"},
      {"12\n2\n", raikPage, "raik_cvars.cfg", "// Raik CVARs...\n"},
      {"12\n2\n7\n", raikPage + kValuePrompt, "raik_cvars.cfg", "// Raik CVARs...\n"},
      {"12\n2\n7\n  \n\n", raikPage + kValuePrompt, "raik_cvars.cfg", "// Raik CVARs...\n"},
      {"12\n2\n7\nabc\n", raikPage + kValuePrompt + kValuePrompt, "raik_cvars.cfg",
       "// Raik CVARs...\n"},
      {"12 2 7 -5", raikPage + kValuePrompt + Page("hypraik"), "raik_cvars.cfg",
       "// Raik CVARs...\nclass_hypraik_start_hp -5\n"},
  };
  for (const RunCase& c : cases) {
    ExpectRun(c);
  }
}

// One assignment per page item, chosen as the pages on standard output show it.
struct Assignment {
  std::size_t entry;  // index in the roster
  int item;
  int value;
};

std::vector<Assignment> EveryItem() {
  std::vector<Assignment> all;
  for (std::size_t e = 0; e < g_Roster.size(); ++e) {
    for (std::size_t k = 0; k < g_Roster[e].forms.size(); ++k) {
      for (int n = 1; n <= 12; ++n) {
        all.push_back({e, n, static_cast<int>(all.size()) * 37 - 7000});
      }
    }
  }
  return all;
}

std::string WalkInput(const std::vector<Assignment>& all) {
  std::string input;
  std::size_t next = 0;
  for (const RosterEntry& entry : g_Roster) {
    const std::size_t forms = entry.forms.size();
    input += std::to_string(entry.number) + "\n";
    for (std::size_t k = 1; k <= forms; ++k) {
      input += forms > 1 ? std::to_string(k) + "\n" : "";
      for (int n = 1; n <= 12; ++n, ++next) {
        input += std::to_string(all[next].item) + " " + std::to_string(all[next].value) + "\n";
      }
      input += "13\n";
    }
    input += forms > 1 ? std::to_string(forms + 1) + "\n" : "";
  }
  return input + "17\n";
}

// The text after "<item>. " on the page shown just before each value prompt.
std::vector<std::string> NamesShown(const std::string& console,
                                    const std::vector<Assignment>& all) {
  std::vector<std::string> names;
  std::size_t prompt = 0;
  for (const Assignment& a : all) {
    prompt = console.find("Select: " + kValuePrompt, prompt);
    if (prompt == std::string::npos) {
      break;
    }
    const std::size_t page = console.rfind("\nCVARs:\n", prompt);
    const std::string item = "\n" + std::to_string(a.item) + ". ";
    const std::size_t at = console.find(item, page + 1);
    if (page == std::string::npos || at == std::string::npos || at > prompt) {
      break;
    }
    const std::size_t begin = at + item.size();
    names.push_back(console.substr(begin, console.find('\n', begin) - begin));
    ++prompt;
  }
  return names;
}

TEST_F(EndToEndEditor, EveryVariableIsWrittenUnderTheNameItsItemShows) {
  const std::vector<Assignment> all = EveryItem();
  ASSERT_EQ(all.size(), 420u);
  const EditorRun run = Run(WalkInput(all));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.errors, "");
  const std::vector<std::string> names = NamesShown(run.console, all);
  ASSERT_EQ(names.size(), all.size());
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 420u);
  EXPECT_EQ(names.front(), "class_talvin_dash_speed_end");
  EXPECT_EQ(names.back(), "class_uhypnerith_trans_pl");

  std::vector<std::string> expected(g_Roster.size());
  for (std::size_t i = 0; i < all.size(); ++i) {
    expected[all[i].entry] += names[i] + " " + std::to_string(all[i].value) + "\n";
  }
  for (std::size_t e = 0; e < g_Roster.size(); ++e) {
    SCOPED_TRACE(scriptname(g_Roster[e]));
    EXPECT_EQ(ReadFile(dir.file(scriptname(g_Roster[e]))),
              FileText("// " + std::string(g_Roster[e].title) + " CVARs...\n" + expected[e]));
  }
}

// A script that cannot take a line: the error comes where the write happened,
// the next menu follows, and once the obstacle is gone the next line is
// written whole at the start of a fresh file.
TEST_F(EndToEndEditor, FailedWritesAreReportedAndTheRunGoesOn) {
  const std::string script = dir.file("raik_cvars.cfg");
  const struct {
    const char* name;
    std::function<void()> block;
  } cases[] = {
      {"a directory", [&] { std::filesystem::create_directory(script); }},
      {"a link to a full device", [&] { std::filesystem::create_symlink("/dev/full", script); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.block();
    EditorProcess editor(dir.path());
    std::string expected = kStartUp + kSelection + kRaikError + kRaikForms;
    editor.Send("12\n");
    ASSERT_TRUE(editor.WaitForOutput(expected));
    expected += Page("hypraik") + kValuePrompt + kRaikError + Page("hypraik");
    editor.Send("2\n7\n500\n");
    ASSERT_TRUE(editor.WaitForOutput(expected));
    EXPECT_EQ(editor.Console(), expected);

    std::filesystem::remove(script);
    editor.Send("3\n-25\n13\n5\n17\n");
    EXPECT_EQ(editor.Finish(), 0);
    EXPECT_EQ(editor.Console(),
              expected + kValuePrompt + Page("hypraik") + kRaikForms + kSelection);
    EXPECT_EQ(editor.Errors(), "");
    EXPECT_EQ(ReadFile(script), FileText("class_hypraik_ki_cost -25\n"));
    std::filesystem::remove(script);
  }
}

std::string Garbage(std::size_t size) {
  std::mt19937 random(20240611);
  std::string bytes(size, '\0');
  std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(random() & 0xff); });
  return bytes;
}

// Input that no user means: whatever it holds, the run ends with status 0
// and says nothing on standard error.
TEST_F(EndToEndEditor, HostileInputEndsTheRunInOrder) {
  const std::size_t kMillions = 8'000'000;
  const struct {
    const char* name;
    std::string input;
  } cases[] = {
      {"random bytes", Garbage(1 << 20)},
      {"millions of digits at a menu", Repeated("9", kMillions) + "\n17\n"},
      {"millions of digits as a value", "1 7 " + Repeated("8", kMillions) + "\n"},
      {"millions of bytes on a line without end", Repeated("x", kMillions)},
      {"millions of nul bytes", std::string(kMillions, '\0')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const EditorRun run = Run(c.input);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.console.compare(0, kStartUp.size() + kSelection.size(), kStartUp + kSelection),
              0);
  }
}

// Leading zeros are allowed in any number: millions of them still make one
// choice, here Exit.
TEST_F(EndToEndEditor, MillionsOfLeadingZerosAreStillOneChoice) {
  const EditorRun run = Run(Repeated("0", 8'000'000) + "17\n12\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.console, kStartUp + kSelection);
  EXPECT_EQ(Files(), std::set<std::string>{"firstruncheck.voxa"});
}

// Feeds `count` copies of `chunk` a piece at a time, so that the test itself
// holds no big input when the editor is forked, and hands back the memory
// that earlier cases freed: a child that grew could hide below a parent that
// was bigger still.
long PeakOf(const std::string& dir, const std::string& head, const std::string& chunk,
            std::size_t count, const std::string& tail) {
  malloc_trim(0);
  EditorProcess editor(dir);
  editor.Send(head);
  for (std::size_t i = 0; i < count; ++i) {
    editor.Send(chunk);
  }
  editor.Send(tail);
  EXPECT_EQ(editor.Finish(), 0);
  return editor.PeakMemoryKiB();
}

// The child's peak counts the test process's own memory at the fork, so every
// hostile run is measured against a run that only chooses Exit.
TEST_F(EndToEndEditor, LongInputLinesDoNotGrowMemory) {
  if (TargetIsWindows())
    GTEST_SKIP() << "the peak of a launched Windows build is the launcher's";
  const std::string chunk(64 * 1024, '9');
  const std::size_t chunks = 512;  // 32 MiB on one line
  const long baseline = PeakOf(dir.path(), "17\n", "", 0, "");
  const struct {
    const char* name;
    std::string head;
    std::string chunk;
    std::string tail;
  } cases[] = {
      {"digits at a menu", "", chunk, "\n17\n"},
      {"digits as a value", "1 7 ", chunk, "\n5 13 17\n"},
      {"letters without a line end", "", std::string(64 * 1024, 'x'), ""},
  };
  ASSERT_GT(baseline, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const long peak = PeakOf(dir.path(), c.head, c.chunk, chunks, c.tail);
    RecordProperty(c.name, std::to_string(peak) + " KiB against " + std::to_string(baseline));
    EXPECT_LT(peak - baseline, 1024) << "peak " << peak << " KiB, baseline " << baseline << " KiB";
  }
}

}  // namespace
