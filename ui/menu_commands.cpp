#include "ui/menu_commands.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "maint/run_program.h"
#include "settings/path_text.h"
#include "settings/settings_paths.h"
#include "settings/ui_language.h"
#include "ui/config_dlg.h"
#include "ui/ui_messages.h"
#include "ui/ui_text.h"

void SwitchLanguage(CConfigDlg* dialog, int language)
{
    dialog->SetLanguage(language);
    SaveUiLanguage(language);
    dialog->UpdateLanguageMenu();
    ShowUiMessage(dialog->Window(), UiMessageText(UiMessage::RestartNotice, language), MB_OK);
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
