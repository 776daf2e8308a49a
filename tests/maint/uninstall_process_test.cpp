#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "message_box_probe.h"
#include "settings_files.h"
#include "test_process.h"
#include "tool_folder.h"

namespace {

using Lines = std::vector<std::string>;

class UninstallProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveRealSettings();
        for (const char* file : {"Tandrel64.exe", "fakes\\TandrelMng.exe", "fakes\\QelInstall32.exe"})
            ASSERT_TRUE(folder.Add(file));
    }
    void TearDown() override
    {
        DeleteFileA(otherFile.c_str());
        RemoveRealSettings();
    }

    // Writes the settings, starts uninstall mode and waits for its first
    // message box.
    MessageBoxSeen Start(const std::string& settings)
    {
        CreateRealSettingsDirectory();
        EXPECT_TRUE(WriteWholeFile(RealSettingsFile(), settings));
        MessageBoxSeen box;
        EXPECT_TRUE(process.Start(folder.PathOf("Tandrel64.exe"), "/uninstall"));
        EXPECT_TRUE(WaitForMessageBox(process.Id(), 20000, &box));
        return box;
    }

    void AnswerAndExpectTheEnd(const MessageBoxSeen& box, int button)
    {
        ASSERT_TRUE(AnswerMessageBox(box.window, button));
        DWORD exitCode = 1;
        ASSERT_TRUE(process.WaitForExit(20000, &exitCode));
        EXPECT_EQ(0u, exitCode);
    }

    std::string Settings() const
    {
        std::string contents;
        EXPECT_TRUE(ReadWholeFile(RealSettingsFile(), &contents));
        return contents;
    }

    std::string ManagerCall() const
    {
        return "\"" + folder.PathOf("TandrelMng.exe")
            + "\" /unreg:tdl0 /unreg:tdl1 /unreg:tdl2 /unreg:tdl3 /unreg:tdl4 /unreg:tdl5 /unreg:tdl6 "
              "/unreg:tdl7 /unreg:tdl8 /unreg:tdl9 ";
    }

    std::string InstallerCall(const std::string& fccText) const
    {
        return "\"" + folder.PathOf("QelInstall32.exe") + "\" \"/unreg:" + fccText + "\"";
    }

    // With `tool` ending with `exitCode`, or missing for -1, uninstall mode
    // shows `text` and ends; the settings file keeps the slots and, when
    // `codecStays`, the codec's section.
    void ExpectToldAndKept(const std::string& tool, int exitCode, const std::string& text, bool codecStays)
    {
        if (exitCode < 0)
            DeleteFileA(folder.PathOf(tool).c_str());
        else
            folder.SetExitCode(tool, exitCode);
        MessageBoxSeen box = Start("[MAIN]\r\nlanguage=1\r\n[tdl0]\r\niEnable=1\r\n[CODEC32.abcd]\r\npcFcc=abcd\r\n");
        EXPECT_EQ("Tandrel64|" + text, box.caption + "|" + box.text);
        EXPECT_EQ(nullptr, box.owner);
        AnswerAndExpectTheEnd(box, IDOK);
        EXPECT_NE(std::string::npos, Settings().find("[tdl0]\r\niEnable=1\r\n")) << text;
        EXPECT_EQ(codecStays, Settings().find("[CODEC32.abcd]\r\npcFcc=abcd\r\n") != std::string::npos) << text;
        ASSERT_TRUE(folder.Add("fakes\\" + tool));
        folder.SetExitCode(tool, 0);
    }

    const std::string kRegistryFailed
        = "The registry could not be changed: please try again with administrator rights.\n";
    const std::string kKept = "The settings file was kept. Please remove the cause and uninstall again.";

    ToolFolder folder {"uninstall"};
    TestProcess process;
    std::string otherFile = RealSettingsDirectory() + "\\notes.txt";
};

}

// Too many section names to read: the codecs are skipped after the error,
// the slots and the question still come, and No keeps the file as it was.
// Yes then deletes the file but leaves the folder that holds another file.
TEST_F(UninstallProcessTest, TooManySectionNamesSkipsTheCodecsButStillAsksAndOnlyYesDeletesTheFile)
{
    std::string settings = "[MAIN]\r\nlanguage=1\r\n[tdl0]\r\niEnable=       1\r\n";
    for (int i = 0; i < 700; ++i)
        settings += "[CODEC32.c" + std::to_string(i) + "]\r\npcFcc=x\r\n";
    MessageBoxSeen error = Start(settings);
    ASSERT_NE(nullptr, error.window);
    EXPECT_EQ("Tandrel64|The settings file holds too many sections: the list of installed codecs cannot be "
              "read.\nDelete the sections you no longer need from the settings file.",
              error.caption + "|" + error.text);
    EXPECT_EQ(std::vector<int> {IDOK}, error.buttons);
    EXPECT_EQ(nullptr, error.owner);
    EXPECT_EQ((Lines {ManagerCall(), "ended"}), folder.Calls());
    ASSERT_TRUE(AnswerMessageBox(error.window, IDOK));
    ASSERT_TRUE(WaitUntilClosed(error.window, 10000));

    MessageBoxSeen question;
    ASSERT_TRUE(WaitForMessageBox(process.Id(), 10000, &question));
    EXPECT_EQ("Do you delete an ini file?\r\n\r\n" + RealSettingsFile(), question.text);
    EXPECT_EQ((std::vector<int> {IDYES, IDNO}), question.buttons);
    EXPECT_EQ(IDYES, question.defaultButton);
    EXPECT_EQ(nullptr, question.owner);
    AnswerAndExpectTheEnd(question, IDNO);
    EXPECT_EQ(2u, folder.Calls().size());
    EXPECT_EQ(settings, Settings());

    ASSERT_TRUE(WriteWholeFile(otherFile, "mine"));
    AnswerAndExpectTheEnd(Start("[MAIN]\r\nlanguage=1\r\n"), IDYES);
    EXPECT_FALSE(PathExists(RealSettingsFile()));
    EXPECT_TRUE(PathExists(otherFile));
}

TEST_F(UninstallProcessTest, EveryCodecIsUnregisteredBeforeTheJapaneseQuestionAndYesDeletesAll)
{
    MessageBoxSeen box = Start("[MAIN]\r\nlanguage=0\r\n"
                               "[CODEC32.abcd]\r\npcFcc=abcd\r\npcDllPath=C:\\a.dll\r\n"
                               "[tdl0]\r\niEnable=0\r\n"
                               "[CODEC32.y v2]\r\npcFcc=y v2\r\n"
                               "[codec32.low1]\r\npcFcc=low1\r\n"
                               "[CODEC32.ab:c]\r\npcFcc=ab:c\r\n"
                               "[CODEC32.XVID]\r\npcFcc=XVID\r\n");
    ASSERT_NE(nullptr, box.window);
    // A FourCC text that would break the installer's word is not passed on.
    EXPECT_EQ((Lines {ManagerCall(), "ended", InstallerCall("abcd"), "ended", InstallerCall("y v2"), "ended",
                      InstallerCall("XVID"), "ended"}),
              folder.Calls());
    EXPECT_EQ(std::string::npos, Settings().find("CODEC32"));
    EXPECT_NE(std::string::npos, Settings().find("[codec32.low1]"));
    EXPECT_EQ("Tandrel64", box.caption);
    EXPECT_EQ("設定ファイルを削除しますか？\r\n\r\n" + RealSettingsFile(), box.text);

    AnswerAndExpectTheEnd(box, IDYES);
    EXPECT_FALSE(PathExists(RealSettingsFile()));
    EXPECT_FALSE(PathExists(RealSettingsDirectory()));
}

// A tool that fails or is missing is told instead of the question, and the
// settings file stays: it records the slots and the codecs that stay
// registered, so that the uninstall can run again.
TEST_F(UninstallProcessTest, AFailingOrMissingToolIsToldAndWhatStaysRegisteredStaysInTheSettingsFile)
{
    const struct {
        const char* tool;
        std::string what;
        bool codecStays;
    } tools[] = {{"QelInstall32.exe", "These codecs stay registered: abcd\n", true},
                 {"TandrelMng.exe", "The slots could not be unregistered.\n", false}};
    for (const auto& tool : tools) {
        ExpectToldAndKept(tool.tool, 3, tool.what + kRegistryFailed + kKept, tool.codecStays);
        ExpectToldAndKept(tool.tool, -1,
                          tool.what + folder.PathOf(tool.tool) + " was not found. Please reinstall Tandrel64.\n"
                              + kKept,
                          tool.codecStays);
    }
}
