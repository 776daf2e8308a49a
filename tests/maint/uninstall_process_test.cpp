#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "message_box_probe.h"
#include "settings_files.h"
#include "test_process.h"
#include "tool_folder.h"

namespace {

class UninstallProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveRealSettings();
        ASSERT_TRUE(folder.Add("Tandrel64.exe"));
        ASSERT_TRUE(folder.Add("fakes\\TandrelMng.exe"));
        ASSERT_TRUE(folder.Add("fakes\\QelInstall32.exe"));
    }
    void TearDown() override
    {
        DeleteFileA(otherFile.c_str());
        RemoveRealSettings();
    }

    void WriteSettings(const std::string& contents)
    {
        CreateRealSettingsDirectory();
        ASSERT_TRUE(WriteWholeFile(RealSettingsFile(), contents));
    }

    // Starts uninstall mode and waits for its first message box.
    MessageBoxSeen StartAndWaitForBox()
    {
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

    ToolFolder folder {"uninstall"};
    TestProcess process;
    std::string otherFile = RealSettingsDirectory() + "\\notes.txt";
};

}

TEST_F(UninstallProcessTest, WithoutCodecSectionsOnlyTheManagerRunsAndNoKeepsTheFile)
{
    const std::string settings
        = "[MAIN]\r\nlanguage=1\r\n[tdl0]\r\niEnable=       1\r\n[codec32.low1]\r\npcFcc=low1\r\n";
    WriteSettings(settings);

    MessageBoxSeen box = StartAndWaitForBox();
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ((std::vector<std::string> {ManagerCall(), "ended"}), folder.Calls());
    EXPECT_EQ("Tandrel64", box.caption);
    EXPECT_EQ("Do you delete an ini file?\r\n\r\n" + RealSettingsFile(), box.text);
    EXPECT_EQ((std::vector<int> {IDYES, IDNO}), box.buttons);
    EXPECT_EQ(IDYES, box.defaultButton);
    EXPECT_EQ(nullptr, box.owner);

    AnswerAndExpectTheEnd(box, IDNO);
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(RealSettingsFile(), &contents));
    EXPECT_EQ(settings, contents);
    EXPECT_EQ(2u, folder.Calls().size());
}

TEST_F(UninstallProcessTest, EveryCodecIsUnregisteredBeforeTheJapaneseQuestionAndYesDeletesAll)
{
    WriteSettings("[MAIN]\r\nlanguage=0\r\n"
                  "[CODEC32.abcd]\r\npcFcc=abcd\r\npcDllPath=C:\\a.dll\r\n"
                  "[tdl0]\r\niEnable=0\r\n"
                  "[CODEC32.y v2]\r\npcFcc=y v2\r\n"
                  "[codec32.low1]\r\npcFcc=low1\r\n"
                  "[CODEC32.ab:c]\r\npcFcc=ab:c\r\n"
                  "[CODEC32.XVID]\r\npcFcc=XVID\r\n");

    MessageBoxSeen box = StartAndWaitForBox();
    ASSERT_NE(nullptr, box.window);
    // A FourCC text that would break the installer's word is not passed on.
    EXPECT_EQ((std::vector<std::string> {ManagerCall(), "ended", InstallerCall("abcd"), "ended",
                                         InstallerCall("y v2"), "ended", InstallerCall("XVID"), "ended"}),
              folder.Calls());
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(RealSettingsFile(), &contents));
    EXPECT_EQ(std::string::npos, contents.find("CODEC32"));
    EXPECT_NE(std::string::npos, contents.find("[codec32.low1]"));
    EXPECT_EQ("Tandrel64", box.caption);
    EXPECT_EQ("設定ファイルを削除しますか？\r\n\r\n" + RealSettingsFile(), box.text);
    EXPECT_EQ((std::vector<int> {IDYES, IDNO}), box.buttons);

    AnswerAndExpectTheEnd(box, IDYES);
    EXPECT_FALSE(PathExists(RealSettingsFile()));
    EXPECT_FALSE(PathExists(RealSettingsDirectory()));
}

TEST_F(UninstallProcessTest, YesLeavesTheDirectoryWhenAnotherFileLiesInIt)
{
    WriteSettings("[MAIN]\r\nlanguage=1\r\n");
    ASSERT_TRUE(WriteWholeFile(otherFile, "mine"));

    MessageBoxSeen box = StartAndWaitForBox();
    ASSERT_NE(nullptr, box.window);
    AnswerAndExpectTheEnd(box, IDYES);
    EXPECT_FALSE(PathExists(RealSettingsFile()));
    EXPECT_TRUE(PathExists(otherFile));
}

TEST_F(UninstallProcessTest, TooManySectionNamesSkipsTheCodecsButStillAsks)
{
    std::string settings = "[MAIN]\r\nlanguage=1\r\n";
    for (int i = 0; i < 700; ++i)
        settings += "[CODEC32.c" + std::to_string(i) + "]\r\npcFcc=x\r\n";
    WriteSettings(settings);

    MessageBoxSeen error = StartAndWaitForBox();
    ASSERT_NE(nullptr, error.window);
    EXPECT_EQ("Error", error.caption);
    EXPECT_EQ("There is too much names.", error.text);
    EXPECT_EQ(std::vector<int> {IDOK}, error.buttons);
    EXPECT_EQ(nullptr, error.owner);
    EXPECT_EQ((std::vector<std::string> {ManagerCall(), "ended"}), folder.Calls());
    ASSERT_TRUE(AnswerMessageBox(error.window, IDOK));
    ASSERT_TRUE(WaitUntilClosed(error.window, 10000));

    MessageBoxSeen question;
    ASSERT_TRUE(WaitForMessageBox(process.Id(), 10000, &question));
    EXPECT_EQ("Do you delete an ini file?\r\n\r\n" + RealSettingsFile(), question.text);
    AnswerAndExpectTheEnd(question, IDNO);
    EXPECT_EQ(2u, folder.Calls().size());
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(RealSettingsFile(), &contents));
    EXPECT_EQ(settings, contents);
}
