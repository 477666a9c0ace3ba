#include <gtest/gtest.h>

#include "editor_process.h"
#include "test_support.h"

namespace {

class EndToEnd : public testing::Test {
 protected:
  ScratchDir dir;
};

TEST_F(EndToEnd, TypicalRequestAppendsOneAssignment) {
  WriteFile(dir.file("firstruncheck.voxa"), "no");
  const EditorRun run = RunEditorProcess(dir.path(), "12\n2\n7\n500\n13\n5\n17\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(ReadFile(dir.file("raik_cvars.cfg")),
            FileText("// Raik CVARs...\nclass_hypraik_start_hp 500\n"));
  EXPECT_NE(run.console.find("Select: Input value for CVAR: \nCVARs:\n"), std::string::npos);
}

}  // namespace
