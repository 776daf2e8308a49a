// "Test slots" driven from outside, as a user would: Tandrel64.exe runs
// from a folder of its own beside the manager-tool stand-in and a slot-test
// stand-in, which hands back the report this test writes for each slot.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "settings_files.h"
#include "test_process.h"
#include "tool_folder.h"
#include "ui/config_dlg_res.h"
#include "ui/slot_row_res.h"
#include "ui/slot_test_dlg_res.h"

namespace {

// Reports as the slot test writes them, written out here so that the
// tool's reading is checked against the text and not against its own
// writer: the slot's last line, with the exit code the program ends with.
struct Report {
    const char* text;
    int exitCode;
};
const Report kWorks = {"registration: ok\nopen time: 45.2 ms\nframe time: 0.9 ms\nresult: 0 works\n", 0};
const Report kCodecNotOpened = {"registration: ok\nresult: 7 codec-not-opened\n", 7};
const Report kNoCodec = {"registration: ok\nresult: 6 no-codec\n", 6};

// The tools' runs in order: "manager", or "test tdlN" for the slot test.
std::vector<std::string> Runs(const std::vector<std::string>& calls)
{
    std::vector<std::string> runs;
    for (const std::string& call : calls) {
        size_t slot = call.find("/test:");
        if (call != "ended")
            runs.push_back(slot == std::string::npos ? "manager" : "test " + call.substr(slot + 6, 4));
    }
    return runs;
}

class SlotTestCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveRealSettings();
        for (const char* file : {"Tandrel64.exe", "fakes\\TandrelMng.exe", "fakes\\TandrelSlotTest.exe"})
            ASSERT_TRUE(folder.Add(file));
    }
    void TearDown() override
    {
        process.Terminate();
        RemoveRealSettings();
    }

    // The tool on a settings file of `language` and these slot sections.
    HWND Start(int language, const std::string& slots)
    {
        CreateRealSettingsDirectory();
        EXPECT_TRUE(WriteWholeFile(RealSettingsFile(),
                                   "[MAIN]\r\nlanguage=" + std::to_string(language) + "\r\n" + slots));
        EXPECT_TRUE(process.Start(folder.PathOf("Tandrel64.exe"), ""));
        return WaitForDialog(process.Id(), {IDC_TIMEOUT});
    }

    void SetReport(int slot, const Report& report)
    {
        std::string stem = folder.PathOf("TandrelSlotTest-tdl" + std::to_string(slot));
        ASSERT_TRUE(WriteWholeFile(stem + ".report", report.text));
        ASSERT_TRUE(WriteWholeFile(stem + ".exit", std::to_string(report.exitCode)));
    }

    ToolFolder folder {"slot tests"};
    TestProcess process;
};

}

// Unsaved choices are applied first. Each ticked slot is then tested in
// turn, while the dialog answers but takes no input and names the slot under
// test in its caption; the rows come in the dialog's language, and a slot
// that fails stays as it was.
TEST_F(SlotTestCommandTest, TickedSlotsAreTestedAfterAnApplyAndShownARowEach)
{
    const struct {
        int language;
        bool unsaved; // slot 6 ticked in the dialog before the command
        const char* testing;
        const char* works;
        const char* whatToDo;
        std::vector<std::string> runs;
    } cases[] = {
        {0,
         false,
         "tdl1 をテスト中…",
         "動作します（開くまで 45.2 ms、1フレームの圧縮 0.9 ms）。",
         "対処: ",
         {"test tdl1", "test tdl4"}},
        {1,
         true,
         "",
         "Works: open 45.2 ms, one frame 0.9 ms.",
         "What to do: ",
         {"manager", "test tdl1", "test tdl4", "test tdl6"}},
    };
    SetReport(1, kWorks);
    SetReport(4, kCodecNotOpened);
    SetReport(6, kNoCodec);
    for (const auto& run : cases) {
        DeleteFileA(folder.PathOf("tool-calls.txt").c_str());
        HWND dialog = Start(run.language,
                            "[tdl1]\r\niEnable=1\r\npcFcc=mrle\r\npcName=Run-length\r\n"
                            "[tdl4]\r\niEnable=1\r\npcFcc=tcv9\r\n");
        ASSERT_NE(nullptr, dialog);
        if (run.unsaved)
            Click(SlotRow(dialog, 6), IDC_ENABLE);
        else
            folder.HoldTools();
        PostCommand(dialog, IDM_TEST_SLOTS);
        if (!run.unsaved) {
            ASSERT_TRUE(PollUntil(10000, [&] { return !folder.Calls().empty(); }));
            EXPECT_FALSE(IsWindowEnabled(dialog));
            EXPECT_NE(std::string::npos, TextOf(dialog).find(run.testing)) << TextOf(dialog);
            folder.ReleaseTools();
        }
        HWND results = WaitForDialog(process.Id(), {IDC_SLOT_TEST_RESULTS});
        ASSERT_NE(nullptr, results);
        std::string rows = ItemText(results, IDC_SLOT_TEST_RESULTS);
        EXPECT_EQ(run.runs, Runs(folder.Calls()));
        EXPECT_EQ(0u,
                  rows.find("tdl1  mrle - Run-length\r\n    " + std::string(run.works)
                            + "\r\n\r\ntdl4  tcv9 - \r\n"))
            << rows;
        EXPECT_NE(std::string::npos, rows.find(run.whatToDo)) << rows;
        EXPECT_EQ(run.unsaved, rows.find("tdl6") != std::string::npos) << rows;
        EXPECT_EQ(std::string("1|1|") + (run.unsaved ? "1" : "0"),
                  StoredValues(RealSettingsFile(), "tdl1", {"iEnable"}) + "|"
                      + StoredValues(RealSettingsFile(), "tdl4", {"iEnable"}) + "|"
                      + StoredValues(RealSettingsFile(), "tdl6", {"iEnable"}));
        PostCommand(results, IDC_SLOT_TEST_OK);
        ASSERT_TRUE(WaitUntilClosed(results, 5000));
        EXPECT_EQ("Tandrel64 Config Ve1.00", TextOf(dialog));
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        ASSERT_TRUE(process.WaitForExit(20000));
    }
}

// With no slot ticked there is nothing to test, and the user is told so.
TEST_F(SlotTestCommandTest, WithoutATickedSlotTheUserIsToldSo)
{
    HWND dialog = Start(1, "[tdl2]\r\niEnable=0\r\npcFcc=mrle\r\n");
    ASSERT_NE(nullptr, dialog);
    PostCommand(dialog, IDM_TEST_SLOTS);
    EXPECT_EQ("There is no slot to test: please tick a slot's box.", AnswerNextBox(process.Id(), IDOK).text);
    EXPECT_TRUE(folder.Calls().empty());
}
