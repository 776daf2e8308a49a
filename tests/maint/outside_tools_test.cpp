#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/codec_info.h"
#include "catalogue/fourcc.h"
#include "maint/outside_tools.h"
#include "maint/run_program.h"
#include "message_box_probe.h"
#include "settings_files.h"
#include "tool_folder.h"

// Waiting for a run, and parameters reaching the tool as they are (the
// manager's list with its trailing blank, the installer's quoted word with
// blanks in the path), are shown by the configuration tool's tests.
TEST(RunProgramTest, MissingProgramFailsAfterTheShellsErrorAndNoWaitReturnsAtOnce)
{
    ToolFolder folder("nowait");
    ASSERT_TRUE(folder.Add("fakes\\QelInstall32.exe"));
    std::string missing = folder.PathOf("TandrelMng.exe");
    for (bool wait : {true, false}) {
        int result = 1;
        MessageBoxSeen box = AnswerMessageBoxDuring([&] {
            result = wait ? RunAndWait(missing.c_str(), "/unreg:tdl0 ") : RunNoWait(missing.c_str(), "");
        });
        EXPECT_NE(nullptr, box.window) << wait;
        EXPECT_EQ(0, result) << wait;
    }

    std::string tool = folder.PathOf("QelInstall32.exe");
    EXPECT_EQ(1, RunNoWait(tool.c_str(), "\"/unreg:abcd\""));
    EXPECT_GT(2u, folder.Calls().size());
    std::vector<std::string> calls;
    PollUntil(5000, [&] { return (calls = folder.Calls()).size() >= 2; });
    EXPECT_EQ((std::vector<std::string> {"\"" + tool + "\" \"/unreg:abcd\"", "ended"}), calls);
}

// Through the real installer tool beside the test program, as the
// installation dialog runs it (whose test installs and uninstalls a codec
// through it): the section follows every run, even a failed one, but not a
// request refused before the run.
TEST(CodecRegistrationTest, SectionFollowsEveryRunButNotARefusedRequest)
{
    std::string settings = FreshTempPath("registration.ini");
    EXPECT_EQ(1, RegisterCodec(settings.c_str(), "tqs1", "C:\\tandrel-missing\\codec.dll"));
    EXPECT_FALSE(IsCodecInstalled(FourCCFromText("tqs1")));
    EXPECT_EQ("tqs1|C:\\tandrel-missing\\codec.dll",
              StoredValues(settings, "CODEC32.tqs1", {"pcFcc", "pcDllPath"}));

    EXPECT_EQ(0, RegisterCodec(settings.c_str(), "tq:2", "C:\\x.dll"));
    EXPECT_EQ(0, RegisterCodec(settings.c_str(), "tqs3", ("C:\\" + std::string(250, 'p') + ".dll").c_str()));
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(settings, &contents));
    EXPECT_EQ(std::string::npos, contents.find("tq:2"));
    EXPECT_EQ(std::string::npos, contents.find("tqs3"));

    ASSERT_TRUE(WriteWholeFile(settings, contents + "[CODEC32.tq:5]\r\npcFcc=tq:5\r\n"));
    EXPECT_EQ(1, UnregisterCodec(settings.c_str(), "tqs1"));
    EXPECT_EQ(0, UnregisterCodec(settings.c_str(), "tq:5"));
    ASSERT_TRUE(ReadWholeFile(settings, &contents));
    EXPECT_EQ(std::string::npos, contents.find("CODEC32"));
    DeleteFileA(settings.c_str());
}
