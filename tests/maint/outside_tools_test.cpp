#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maint/outside_tools.h"
#include "maint/run_program.h"
#include "message_box_probe.h"
#include "settings_files.h"
#include "tool_folder.h"

// Waiting for a run, and parameters reaching the tool as they are (the
// manager's list with its trailing blank, the installer's quoted word with
// blanks in the path), are shown by the configuration tool's tests. A tool
// that is missing is reported so, without the shell's box; a start without
// wait leaves failures to the shell's box and returns before the tool ends.
TEST(RunProgramTest, RunsReportHowTheToolEndedAndNoWaitReturnsAtOnce)
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

    folder.SetExitCode("QelInstall32.exe", 3);
    ToolRun run = RunAndWait(tool.c_str(), "x");
    EXPECT_EQ(ToolRunKind::Ended, run.kind);
    EXPECT_EQ(3u, run.code);
}

// Through the real installer tool beside the test program: a section is
// written only when the tool registered the codec, and deleted when it
// removed the codec or found none; a request the tool's one quoted word
// cannot carry runs nothing. Failed unregistrations keep their sections (the
// configuration tool's test).
TEST(CodecRegistrationTest, SectionsFollowWhatTheInstallerDid)
{
    std::string settings = FreshTempPath("registration.ini");
    ToolRun run = RegisterCodec(settings.c_str(), "tqs1", "C:\\tandrel-missing\\codec.dll");
    EXPECT_EQ(ToolRunKind::Ended, run.kind);
    EXPECT_EQ(2u, run.code);
    EXPECT_EQ(ToolRunKind::Refused, RegisterCodec(settings.c_str(), "tq:2", "C:\\x.dll").kind);
    EXPECT_EQ(ToolRunKind::Refused,
              RegisterCodec(settings.c_str(), "tqs3", ("C:\\" + std::string(250, 'p') + ".dll").c_str()).kind);
    EXPECT_FALSE(PathExists(settings));

    ASSERT_TRUE(WriteWholeFile(settings, "[CODEC32.tqs1]\r\npcFcc=tqs1\r\n[CODEC32.tq:5]\r\npcFcc=tq:5\r\n"));
    EXPECT_EQ(4u, UnregisterCodec(settings.c_str(), "tqs1").code);
    EXPECT_EQ(ToolRunKind::Refused, UnregisterCodec(settings.c_str(), "tq:5").kind);
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(settings, &contents));
    EXPECT_EQ(std::string::npos, contents.find("CODEC32"));
    DeleteFileA(settings.c_str());
}
