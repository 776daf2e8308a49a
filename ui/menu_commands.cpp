#include "ui/menu_commands.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "maint/run_program.h"
#include "maint/settings_directory.h"
#include "settings/path_text.h"
#include "settings/settings_paths.h"
#include "settings/ui_language.h"
#include "ui/config_dlg_res.h"
#include "ui/ui_messages.h"
#include "ui/ui_text.h"

void CheckLanguageMenu(HMENU menu, int language)
{
    CheckMenuItem(menu, IDM_ENGLISH, MF_BYCOMMAND | (language == UiLanguageEnglish ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, IDM_JAPANESE,
                  MF_BYCOMMAND | (language == UiLanguageJapanese ? MF_CHECKED : MF_UNCHECKED));
}

void SwitchLanguage(HWND dialog, int language)
{
    CreateSettingsDirectory();
    SaveUiLanguage(language);
    CheckLanguageMenu(GetMenu(dialog), language);
    ShowUiMessage(dialog, UiMessageText(UiMessage::RestartNotice, language), MB_OK);
}

void OpenHelpPage(int language)
{
    char directory[MAX_PATH];
    char page[MAX_PATH];
    if (!GetModuleDirectory(directory) || !JoinPath(directory, HelpPageName(language), page))
        return;
    ShellExecuteA(nullptr, "open", page, nullptr, nullptr, SW_SHOWNORMAL);
}

void OpenSettingsInEditor()
{
    char directory[MAX_PATH];
    char parameters[MAX_PATH];
    if (!GetSettingsDirectory(directory))
        return;
    int length = std::snprintf(parameters, sizeof parameters, "\"%s\\%s\"", directory, "Tandrel64.ini");
    if (length < 0 || length >= MAX_PATH)
        return;
    RunNoWait("notepad.exe", parameters);
}
