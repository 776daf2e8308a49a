#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "message_box_probe.h"
#include "ui/tool_failure_text.h"

// Which message for which outcome of a tool, as the tools' exit codes mean
// it; runs that did the task say nothing. A declined elevation is told
// apart from other failed starts (Wine never asks for one). The dialogs show
// these texts in the configuration tool's test.
TEST(ToolFailureTextTest, EachOutcomeIsToldWithItsCauseAndRemedy)
{
    const char* tool = "C:\\T\\QelInstall32.exe";
    const struct {
        ToolTask task; ToolRun run; int language; const char* text;
    } cases[] = {
        {ToolTask::UnregisterCodec, {ToolRunKind::Ended, 4}, 0, ""},
        {ToolTask::ApplySlots, {ToolRunKind::Ended, 4}, 1,
         "The slots could not be registered.\nThe path of TandrelDrv64.dll holds a blank even in its short "
         "form. Please install Tandrel64 into a folder without blanks.\nPress Apply to try again."},
        {ToolTask::ApplySlots, ShellStartFailure(SE_ERR_ACCESSDENIED, ERROR_CANCELLED), 0,
         "スロットを登録できませんでした。\n管理者の権限が得られませんでした。確認画面で変更を許可して下さい。\n"
         "「適用」を押すと、もう一度試せます。"},
        {ToolTask::RegisterCodec, {ToolRunKind::Ended, 5}, 0,
         "登録できません。\ndllのパスに、短い形式でも空白があります。"},
        {ToolTask::RegisterCodec, {ToolRunKind::Ended, 4}, 1,
         "Install failed.\nC:\\T\\QelInstall32.exe ended with exit code 4."},
        {ToolTask::RegisterCodec, {ToolRunKind::Refused, 0}, 1,
         "Install failed.\nThe DLL path is too long or holds a double quote."},
        {ToolTask::UnregisterCodec, ShellStartFailure(SE_ERR_ACCESSDENIED, ERROR_ACCESS_DENIED), 1,
         "Uninstall failed: the codecs left in the list stay registered.\nC:\\T\\QelInstall32.exe could not "
         "be started (error 5)."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, Utf8(ToolFailureText(c.task, c.run, tool, c.language).c_str())) << c.text;
}
