#include "ui/ui_messages.h"

#include "settings/ui_language.h"

namespace {

const WCHAR* const kTexts[][2] = {
    {L"アプリケーションを再スタートして下さい。", L"Please restart Application."},
    {L"すでに登録されています。", L"Already installed."},
    {L"登録できません。", L"Install failed."},
    {L"コーデックの登録を全て削除しますか？", L"Do you uninstall all codec ?"},
    {L"FourCCを半角英数字・記号の1～4文字で入力して下さい。\n"
     L"（ : \" \\ と全角文字・タブなどの制御文字は使えません）",
     L"Please enter a FourCC of 1 to 4 ASCII letters, digits, blanks or signs\n"
     L"(without : \" or \\, accented letters, tabs or other control characters)."},
    {L"dllファイルが見つかりません。", L"The DLL file was not found."},
    {L"登録しました。\nこのコーデックは展開専用のため、圧縮には使えません（圧縮用の一覧には出ません）。",
     L"Installed.\nThis codec can only decompress, so it is not offered for compression."},
    {L"登録できません。\ndllは登録されましたが、ビデオコーデックとして開けません。"
     L"リストから登録を削除して下さい。",
     L"Install failed.\nThe DLL was registered but does not open as a video codec: "
     L"please uninstall it from the list."},
    {L"テストするスロットがありません。チェックボックスをONにして下さい。",
     L"There is no slot to test: please tick a slot's box."},
};

const WCHAR* const kUninstallQuestion[] = {
    L"コーデックの登録を削除しますか？\nFourCC: ",
    L"Do you uninstall codec ?\nFourCC: ",
};

}

const WCHAR* UiMessageText(UiMessage message, int language)
{
    return kTexts[static_cast<int>(message)][UiTextIndex(language)];
}

void FormatUninstallQuestion(int language, const char* fccText, WCHAR* text)
{
    FormatQuestion(kUninstallQuestion[UiTextIndex(language)], fccText, text);
}

int ShowUiMessage(HWND owner, const WCHAR* text, UINT style)
{
    return MessageBoxW(owner, text, L"Tandrel64", style);
}
