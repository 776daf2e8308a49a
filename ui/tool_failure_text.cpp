#include "ui/tool_failure_text.h"

#include <windows.h>

#include "mng/slot_driver_registration.h"
#include "qelinstall/drivers32_registration.h"
#include "settings/ui_language.h"
#include "ui/ui_text.h"

namespace {

// Each text is a pair: Japanese, English. In reasons "%s" stands for the
// tool's path and "%u" for the exit code or the system's error number.
using Texts = const WCHAR* const[2];

Texts kHeadings[] = {
    {L"スロットを登録できませんでした。", L"The slots could not be registered."},
    {L"登録できません。", L"Install failed."},
    {L"登録を削除できません。リストに残ったコーデックは登録されたままです。",
     L"Uninstall failed: the codecs left in the list stay registered."},
    {L"スロットをテストできませんでした。", L"The slot could not be tested."},
};

Texts kSlotsStay = {L"スロットの登録を削除できませんでした。", L"The slots could not be unregistered."};
Texts kCodecsStay = {L"登録を削除できないコーデックがあります: ", L"These codecs stay registered: "};
Texts kSettingsKept = {L"設定ファイルは残しました。原因を取り除いてから、もう一度アンインストールして下さい。",
                       L"The settings file was kept. Please remove the cause and uninstall again."};

Texts kApplyAgain = {L"「適用」を押すと、もう一度試せます。", L"Press Apply to try again."};
Texts kNotFound = {L"%s が見つかりません。Tandrel64 をインストールし直して下さい。",
                   L"%s was not found. Please reinstall Tandrel64."};
Texts kDeclined = {L"管理者の権限が得られませんでした。確認画面で変更を許可して下さい。",
                   L"Administrator rights were not granted: please allow the change when Windows asks."};
Texts kNotStarted = {L"%s を起動できません（エラー %u）。", L"%s could not be started (error %u)."};
Texts kRefused = {L"dllのパスが長すぎるか、\" を含んでいます。", L"The DLL path is too long or holds a double quote."};
Texts kOtherExitCode = {L"%s が終了コード %u で終了しました。", L"%s ended with exit code %u."};
Texts kBadArguments = {L"%s が引数を受け付けませんでした。Tandrel64 をインストールし直して下さい。",
                       L"%s refused its arguments. Please reinstall Tandrel64."};
Texts kRegistryFailed = {L"レジストリを変更できませんでした。管理者の権限で、もう一度試して下さい。",
                         L"The registry could not be changed: please try again with administrator rights."};

struct ExitCodeText {
    unsigned long code;
    Texts* texts;
};

Texts kNoDriver = {L"TandrelDrv64.dll が TandrelMng.exe と同じフォルダーにありません。"
                   L"Tandrel64 をインストールし直して下さい。",
                   L"TandrelDrv64.dll is missing beside TandrelMng.exe. Please reinstall Tandrel64."};
Texts kBlankInDriverPath = {L"TandrelDrv64.dll のパスに、短い形式でも空白があります。"
                            L"空白のないフォルダーにインストールし直して下さい。",
                            L"The path of TandrelDrv64.dll holds a blank even in its short form. "
                            L"Please install Tandrel64 into a folder without blanks."};
Texts kNoDll = {L"dllファイルが見つかりません。", L"The DLL file was not found."};
Texts kBlankInDllPath = {L"dllのパスに、短い形式でも空白があります。",
                         L"The DLL's path holds a blank even in its short form."};

const ExitCodeText kManagerExitCodes[] = {
    {kManagerBadArguments, &kBadArguments},
    {kManagerNoDriver, &kNoDriver},
    {kManagerRegistryFailed, &kRegistryFailed},
    {kManagerBlankInDriverPath, &kBlankInDriverPath},
};

const ExitCodeText kSlotTestExitCodes[] = {
    {1, &kBadArguments},
};

const ExitCodeText kInstallerExitCodes[] = {
    {kInstallerBadArguments, &kBadArguments},
    {kInstallerNoSuchFile, &kNoDll},
    {kInstallerRegistryFailed, &kRegistryFailed},
    {kInstallerBlankInPath, &kBlankInDllPath},
};

template <size_t Count>
Texts& ExitCodeReason(const ExitCodeText (&table)[Count], unsigned long code)
{
    for (const ExitCodeText& entry : table) {
        if (entry.code == code)
            return *entry.texts;
    }
    return kOtherExitCode;
}

Texts& Reason(ToolTask task, const ToolRun& run)
{
    switch (run.kind) {
    case ToolRunKind::NotFound:
        return kNotFound;
    case ToolRunKind::Declined:
        return kDeclined;
    case ToolRunKind::Refused:
        return kRefused;
    case ToolRunKind::NotStarted:
        return kNotStarted;
    case ToolRunKind::Ended:
        break;
    }
    if (task == ToolTask::ApplySlots)
        return ExitCodeReason(kManagerExitCodes, run.code);
    if (task == ToolTask::TestSlot)
        return ExitCodeReason(kSlotTestExitCodes, run.code);
    return ExitCodeReason(kInstallerExitCodes, run.code);
}

std::wstring Filled(const WCHAR* text, const std::wstring& path, unsigned long number)
{
    std::wstring filled;
    for (const WCHAR* c = text; *c != L'\0'; ++c) {
        if (c[0] == L'%' && c[1] == L's') {
            filled += path;
            ++c;
        } else if (c[0] == L'%' && c[1] == L'u') {
            filled += std::to_wstring(number);
            ++c;
        } else {
            filled += *c;
        }
    }
    return filled;
}

}

std::wstring ToolFailureText(ToolTask task, const ToolRun& run, const char* toolPath, int language)
{
    if (IsToolTaskDone(task, run))
        return std::wstring();
    int index = UiTextIndex(language);
    std::wstring text = kHeadings[static_cast<int>(task)][index];
    text += L"\n";
    text += Filled(Reason(task, run)[index], Widened(toolPath), run.code);
    if (task == ToolTask::ApplySlots) {
        text += L"\n";
        text += kApplyAgain[index];
    }
    return text;
}

std::wstring UninstallFailureText(const UninstallLeft& left, const char* managerPath, const char* installerPath,
                                  int language)
{
    int index = UiTextIndex(language);
    std::wstring text;
    if (!IsToolTaskDone(ToolTask::ApplySlots, left.slots)) {
        text += kSlotsStay[index];
        text += L"\n" + Filled(Reason(ToolTask::ApplySlots, left.slots)[index], Widened(managerPath), left.slots.code)
            + L"\n";
    }
    if (!left.codecs.fccTexts.empty()) {
        text += kCodecsStay[index];
        for (size_t i = 0; i < left.codecs.fccTexts.size(); ++i)
            text += (i == 0 ? L"" : L", ") + Widened(left.codecs.fccTexts[i].c_str());
        const ToolRun& run = left.codecs.firstFailure;
        text += L"\n" + Filled(Reason(ToolTask::UnregisterCodec, run)[index], Widened(installerPath), run.code)
            + L"\n";
    }
    if (!text.empty())
        text += kSettingsKept[index];
    return text;
}
