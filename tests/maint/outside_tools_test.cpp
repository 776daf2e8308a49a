#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maint/run_program.h"
#include "message_box_probe.h"
#include "tool_folder.h"

namespace {

std::vector<std::string> WaitForCalls(const ToolFolder& folder, size_t lines)
{
    std::vector<std::string> calls;
    PollUntil(5000, [&] { return (calls = folder.Calls()).size() >= lines; });
    return calls;
}

}

// Waiting for a run, and parameters reaching the tool as they are (the
// manager's list with its trailing blank, the installer's quoted word with
// blanks in the path), are shown by the configuration tool's tests.

TEST(RunProgramTest, MissingProgramFailsAfterTheShellsErrorAndNoWaitReturnsAtOnce)
{
    ToolFolder folder("nowait");
    ASSERT_TRUE(folder.Add("fakes\\QelInstall32.exe"));
    std::string missing = folder.PathOf("TandrelMng.exe");
    int result = 1;
    MessageBoxSeen box
        = AnswerMessageBoxDuring([&] { result = RunAndWait(missing.c_str(), "/unreg:tdl0 "); });
    EXPECT_NE(nullptr, box.window);
    EXPECT_EQ(0, result);
    box = AnswerMessageBoxDuring([&] { result = RunNoWait(missing.c_str(), ""); });
    EXPECT_NE(nullptr, box.window);
    EXPECT_EQ(0, result);

    std::string tool = folder.PathOf("QelInstall32.exe");
    EXPECT_EQ(1, RunNoWait(tool.c_str(), "\"/unreg:abcd\""));
    EXPECT_GT(2u, folder.Calls().size());
    EXPECT_EQ((std::vector<std::string> {"\"" + tool + "\" \"/unreg:abcd\"", "ended"}),
              WaitForCalls(folder, 2));
}
