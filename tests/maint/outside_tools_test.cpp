#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maint/run_program.h"
#include "message_box_probe.h"
#include "tool_folder.h"

// Waiting for a run, its exit code, a missing tool, parameters reaching the
// tool as they are (the manager's list with its trailing blank, the
// installer's quoted word with blanks in the path), and the codec sections
// following what the installer did, are shown by the configuration tool's
// and the uninstall tests. A missing tool is reported without the shell's
// box; a start without wait leaves that box to the shell and returns before
// the tool ends.
TEST(RunProgramTest, MissingToolIsReportedAndNoWaitReturnsAtOnce)
{
    ToolFolder folder("nowait");
    ASSERT_TRUE(folder.Add("fakes\\QelInstall32.exe"));
    std::string missing = folder.PathOf("TandrelMng.exe");
    EXPECT_EQ(ToolRunKind::NotFound, RunAndWait(missing.c_str(), "/unreg:tdl0 ").kind);
    int result = 1;
    EXPECT_NE(nullptr, AnswerMessageBoxDuring([&] { result = RunNoWait(missing.c_str(), ""); }).window);
    EXPECT_EQ(0, result);

    std::string tool = folder.PathOf("QelInstall32.exe");
    folder.HoldTools();
    EXPECT_EQ(1, RunNoWait(tool.c_str(), "\"/unreg:abcd\""));
    std::vector<std::string> calls;
    EXPECT_TRUE(PollUntil(5000, [&] { return !(calls = folder.Calls()).empty(); }));
    EXPECT_EQ(std::vector<std::string> {"\"" + tool + "\" \"/unreg:abcd\""}, calls);
    folder.ReleaseTools();
    EXPECT_TRUE(PollUntil(5000, [&] { return folder.Calls().size() == 2; }));
}
