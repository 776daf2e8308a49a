#include "ui/menu_texts.h"

#include "settings/ui_language.h"
#include "ui/config_dlg_res.h"
#include "ui/install_dlg_res.h"

namespace {

// An item named by its command id, or by its position when `id` is 0.
struct MenuText {
    UINT id;
    UINT position;
    const WCHAR* text;
};

const MenuText kConfigMenuJapanese[] = {
    {IDM_OPEN_SETTINGS, 0, L"設定ファイル(&S)"},
    {0, 1, L"言語(&L)"},
    {IDM_INSTALL_CODEC, 0, L"32bitコーデック登録(&I)"},
    {IDM_TEST_SLOTS, 0, L"スロットのテスト(&E)"},
    {IDM_HELP, 0, L"ヘルプ(&H)"},
    {IDM_ABOUT, 0, L"バージョン情報(&B)"},
};

const MenuText kInstallMenuJapanese[] = {
    {IDM_UNINSTALL_ALL, 0, L"全て登録削除(&A)"},
};

template <size_t Count>
void Retitle(HMENU menu, int language, const MenuText (&texts)[Count])
{
    if (menu == nullptr || language != UiLanguageJapanese)
        return;
    for (const MenuText& item : texts) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = const_cast<WCHAR*>(item.text);
        if (item.id != 0)
            SetMenuItemInfoW(menu, item.id, FALSE, &info);
        else
            SetMenuItemInfoW(menu, item.position, TRUE, &info);
    }
}

}

void RetitleConfigMenu(HMENU menu, int language)
{
    Retitle(menu, language, kConfigMenuJapanese);
}

void RetitleInstallMenu(HMENU menu, int language)
{
    Retitle(menu, language, kInstallMenuJapanese);
}
