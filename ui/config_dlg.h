#pragma once

#include <windows.h>

#include "settings/config_settings.h"
#include "ui/dialog_commands.h"
#include "ui/slot_list.h"

// The main configuration dialog: ten slot rows, the timeout, OK, Cancel and
// Apply, and the menu. One process-wide instance, zero until DoModal; the
// slot rows report their changes through a function it hands them.
// `settings` is what the settings file holds for the dialog, loaded at
// opening and saved on Apply and at every close.
class CConfigDlg {
public:
    // Runs the dialog of `language` (template 101 Japanese, 102 English)
    // modally. With `install` non-zero the preferred codecs are assigned and
    // applied before it shows; with `silent` non-zero too, it then closes
    // without ever showing. True when it has ended.
    bool DoModal(HINSTANCE instance, HWND parent, int language, int install, int silent = 0);

    // Enables Apply for exactly 1, disables it for anything else.
    void EnableApply(int enable);
    // Check mark on "English" for language 1, on "Japanese" for 0.
    void UpdateLanguageMenu();
    void ExchangeControls(int direction);

    void OnInitDialog(HWND window);
    void OnCommand(HWND window, WPARAM wParam);
    void OnClose(HWND window);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnDrawItem(const DRAWITEMSTRUCT* item);
    void AssignPreferredCodecs();
    void DoCommand(HWND window, WPARAM wParam);
    bool Apply();
    void SaveSettings();

    HWND hWnd = nullptr;
    HINSTANCE hInstance = nullptr;
    int language = 0;
    int bInstall = 0;
    int bSilent = 0;
    HWND hListBox = nullptr;
    CSlotList slotList;
    ConfigSettings settings = {};
    CDialogCommands commands;
};

extern CConfigDlg g_configDlg;
