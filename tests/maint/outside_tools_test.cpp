#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maint/outside_tools.h"
#include "maint/run_program.h"
#include "maint/tool_parameters.h"
#include "message_box_probe.h"
#include "settings_files.h"
#include "test_process.h"
#include "tool_folder.h"

namespace {

std::vector<std::string> WaitForCalls(const ToolFolder& folder, size_t lines)
{
    std::vector<std::string> calls;
    for (int i = 0; i < 500 && (calls = folder.Calls()).size() < lines; ++i)
        Sleep(10);
    return calls;
}

}

TEST(RunProgramTest, WaitsForTheProgramAndPassesTheParametersAsTheyAre)
{
    ToolFolder folder("run");
    ASSERT_TRUE(folder.Add("fakes\\TandrelMng.exe"));
    std::string tool = folder.PathOf("TandrelMng.exe");
    char parameters[kManagerParametersCapacity];
    FormatUnregisterAllSlotsParameters(parameters);

    EXPECT_EQ(1, RunAndWait(tool.c_str(), parameters));
    char word[kInstallerParametersCapacity];
    ASSERT_TRUE(FormatRegisterCodecParameters("ab 1", "C:\\Program Files\\x y.dll", word));
    EXPECT_EQ(1, RunAndWait(tool.c_str(), word));

    // Each run has ended before the call returns.
    EXPECT_EQ(
        (std::vector<std::string> {"\"" + tool + "\" " + parameters, "ended",
                                   "\"" + tool + "\" \"/regf:ab 1:C:\\Program Files\\x y.dll\"", "ended"}),
        folder.Calls());
}

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
