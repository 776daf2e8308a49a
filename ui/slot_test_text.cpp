#include "ui/slot_test_text.h"

#include <windows.h>

#include <cwchar>

#include "settings/ui_language.h"
#include "ui/tool_failure_text.h"
#include "ui/ui_text.h"

namespace {

// Each text is a pair: Japanese, English.
using Texts = const WCHAR* const[2];

struct CauseText {
    SlotTestCause cause;
    Texts* result;
    Texts* remedy; // none for a slot that works
};

// "%ls" stands for the open time, then the frame time.
Texts kWorks = {L"動作します（開くまで %ls、1フレームの圧縮 %ls）。", L"Works: open %ls, one frame %ls."};
Texts kWorksDecompressOnly
    = {L"展開専用として動作します（開くまで %ls）。テストした入力形式はどれも圧縮できません。",
       L"Works for decompression only (open %ls): it compresses none of the test inputs."};
Texts kWorksCompressOnly
    = {L"圧縮専用として動作します（開くまで %ls、1フレームの圧縮 %ls）。圧縮した出力を24/32bit RGBにも、"
       L"コーデックが示す形式にも展開できません。",
       L"Works for compression only (open %ls, one frame %ls): it decompresses its output neither to "
       L"24- or 32-bit RGB nor to a format of its own choice."};
Texts kNotRegistered = {L"64bitプログラム向けに登録されていません。", L"Not registered for 64-bit programs."};
Texts kRegisterAgain = {L"チェックボックスをONにして「適用」を押し、登録し直して下さい。",
                        L"Tick its box and press Apply to register it again."};
Texts kDriverMissing = {L"登録されたドライバー TandrelDrv64.dll がありません。",
                        L"The registered driver TandrelDrv64.dll does not exist."};
Texts kReinstall = {L"Tandrel64 をインストールし直して下さい。", L"Please reinstall Tandrel64."};
Texts kUnticked
    = {L"設定ファイルでスロットがOFFになっています。", L"The slot is switched off in the settings file."};
Texts kNoCodec = {L"コーデックが選ばれていません。", L"No codec is chosen for the slot."};
Texts kChooseCodec = {L"コンボボックスからコーデックを選んで「適用」を押して下さい。",
                      L"Choose a codec from its combo box and press Apply."};
Texts kHostExeMissing = {L"ドライバーと同じフォルダーに Tandrel64.exe がありません。",
                         L"Tandrel64.exe is not beside the driver."};
Texts kCodecNotOpened
    = {L"32bitコーデックを開けません。dllが移動・削除されたか、コーデックが圧縮にも展開にも開くのを拒みました。",
       L"The 32-bit codec does not open: its DLL has moved or is gone, or it refuses to open for both "
       L"compression and decompression."};
Texts kInstallCodecAgain = {L"コーデックを登録し直すか、別のコーデックを選んで下さい。",
                            L"Install the codec again, or choose another codec."};
Texts kHostTimedOut = {L"32bitのホストが制限時間内に応答しませんでした。",
                       L"The 32-bit host did not answer within its time limit."};
Texts kRaiseTimeout
    = {L"タイムアウトを長くして、もう一度テストして下さい。", L"Raise the timeout and test again."};
Texts kHostEnded
    = {L"32bitのホストが終了しました。コーデックが開く時に異常終了したか、ホストが起動できませんでした。",
       L"The 32-bit host ended: the codec crashed while it opened, or the host did not start."};
Texts kNoInputTaken = {
    L"コーデックは開きますが、テストした入力形式（24/32bit RGB、YUY2、8bitグレー）をどれも圧縮できません。",
    L"The codec opens but compresses none of the test inputs (24- and 32-bit RGB, YUY2, "
    L"8-bit grey)."};
Texts kCheckInputs = {L"プログラムがこのコーデックに渡す入力形式を確かめて下さい。",
                      L"Check which input formats your program offers this codec."};
Texts kFrameFailed = {L"コーデックは入力形式を受け付けましたが、フレームの圧縮か展開に失敗しました。",
                      L"The codec took an input format but failed to compress or decompress the frame."};
Texts kCheckCodec = {L"コーデックの設定を確かめるか、別のコーデックを選んで下さい。",
                     L"Check the codec's settings, or choose another codec."};
Texts kNoReport
    = {L"テストが結果を残しませんでした（終了コード %u）。", L"The test left no result (exit code %u)."};
Texts kWhatToDo = {L"対処: ", L"What to do: "};

const CauseText kCauseTexts[] = {
    {SlotTestCause::Works, &kWorks, nullptr},
    {SlotTestCause::WorksDecompressOnly, &kWorksDecompressOnly, nullptr},
    {SlotTestCause::WorksCompressOnly, &kWorksCompressOnly, nullptr},
    {SlotTestCause::NotRegistered, &kNotRegistered, &kRegisterAgain},
    {SlotTestCause::DriverMissing, &kDriverMissing, &kReinstall},
    {SlotTestCause::Unticked, &kUnticked, &kRegisterAgain},
    {SlotTestCause::NoCodec, &kNoCodec, &kChooseCodec},
    {SlotTestCause::HostExeMissing, &kHostExeMissing, &kReinstall},
    {SlotTestCause::CodecNotOpened, &kCodecNotOpened, &kInstallCodecAgain},
    {SlotTestCause::HostTimedOut, &kHostTimedOut, &kRaiseTimeout},
    {SlotTestCause::HostEnded, &kHostEnded, &kInstallCodecAgain},
    {SlotTestCause::NoInputTaken, &kNoInputTaken, &kCheckInputs},
    {SlotTestCause::FrameFailed, &kFrameFailed, &kCheckCodec},
};

std::wstring Formatted(const WCHAR* format, const std::wstring& first, const std::wstring& second)
{
    WCHAR text[512];
    std::swprintf(text, 512, format, first.c_str(), second.c_str());
    return text;
}

// What the row says below its heading: the test's verdict, or why there is
// none.
std::wstring Verdict(const SlotTestRun& test, const char* toolPath, int language)
{
    int index = UiTextIndex(language);
    if (!IsToolTaskDone(ToolTask::TestSlot, test.run))
        return ToolFailureText(ToolTask::TestSlot, test.run, toolPath, language);
    if (!test.reported) {
        WCHAR text[128];
        std::swprintf(text, 128, kNoReport[index], static_cast<unsigned>(test.run.code));
        return text;
    }
    for (const CauseText& entry : kCauseTexts) {
        if (entry.cause != test.summary.cause)
            continue;
        std::wstring verdict = Formatted((*entry.result)[index], Widened(test.summary.openTime.c_str()),
                                         Widened(test.summary.frameTime.c_str()));
        if (entry.remedy != nullptr)
            verdict += std::wstring(L"\n") + kWhatToDo[index] + (*entry.remedy)[index];
        return verdict;
    }
    return std::wstring();
}

}

std::wstring FormatSlotTestRow(int slot, const SlotSettings& settings, const SlotTestRun& test,
                               const char* toolPath, int language)
{
    std::wstring row = L"tdl" + std::to_wstring(slot);
    if (settings.pcFcc[0] != '\0') {
        char codec[MAX_PATH];
        FormatCodecItem(settings.pcFcc, settings.pcName, codec);
        row += L"  " + Widened(codec);
    }
    row += L"\n" + Verdict(test, toolPath, language);
    // Every line of the verdict indented under the heading, as an edit
    // control breaks lines.
    std::wstring lines;
    for (WCHAR c : row) {
        if (c != L'\r')
            lines += c == L'\n' ? std::wstring(L"\r\n    ") : std::wstring(1, c);
    }
    return lines + L"\r\n\r\n";
}

std::wstring SlotTestProgressCaption(const std::wstring& caption, int slot, int language)
{
    std::wstring which = L"tdl" + std::to_wstring(slot);
    return caption + L" - "
        + (language == UiLanguageJapanese ? which + L" をテスト中…" : L"testing " + which + L"…");
}
