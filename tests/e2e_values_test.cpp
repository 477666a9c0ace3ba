#include <gtest/gtest.h>

#include <string>

#include "editor_process.h"
#include "test_support.h"

namespace {

class EndToEndValues : public testing::Test {
 protected:
  void SetUp() override { WriteFile(dir.file("firstruncheck.voxa"), "no"); }

  ScratchDir dir;
};

// A value goes from the prompt to the script through the build's own integer
// types, which are narrower on some platforms than on others: the extremes of
// the 32-bit range must come out whole in every build.
TEST_F(EndToEndValues, ReachTheScriptInPlainDecimal) {
  const struct {
    const char* typed;
    const char* written;
  } cases[] = {
      {"2147483647", "2147483647"},
      {"-2147483648", "-2147483648"},
      {"0002147483647", "2147483647"},
      {"-0002147483648", "-2147483648"},
      {"+007", "7"},
      {"-0", "0"},
      {"0", "0"},
      {"-1", "-1"},
  };
  std::string input = "1\n";
  std::string script = "// Talvin CVARs...\n";
  for (const auto& c : cases) {
    input += std::string("3\n") + c.typed + "\n";
    script += std::string("class_talvin_ki_cost ") + c.written + "\n";
  }
  const EditorRun run = RunEditorProcess(dir.path(), input + "13\n17\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(ReadFile(dir.file("talvin_cvars.cfg")), FileText(script));
}

}  // namespace
