#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/dialog_commands.h"
#include "ui/ui_messages.h"

// The installation dialog: installs a 32-bit codec under a FourCC and a DLL
// path through the installer tool, lists the codecs installed that way (the
// "CODEC32." sections of the settings file), and uninstalls them one by one
// or all at once. One object per opening.
class CInstallDlg {
public:
    // Runs template 119 (Japanese) or 118 (English) modally.
    bool DoModal(HINSTANCE instance, HWND parent, int language);

    void OnInitDialog(HWND window);
    void OnCommand(HWND window, WPARAM wParam);
    void OnClose(HWND window);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void DoCommand(HWND window, WPARAM wParam);
    void OnDropFiles(HDROP drop);
    void OnInstall();
    void OnUninstall();
    void OnUninstallAll();
    // ConfigureCodec or AboutCodec on the selected codec.
    void OnCodecDialog(bool (*show)(HWND, const char*));
    void AddCodecItem(const char* fccText);
    bool SelectedCodec(int* item, std::string* fccText) const;
    void Tell(UiMessage message) const;

    HWND hWnd = nullptr;
    HINSTANCE hInstance = nullptr;
    char pcIniPath[MAX_PATH] = "";
    RECT rcWnd = {};
    int language = 0;
    HWND hListBox = nullptr;
    int bRestart = 0;
    // The FourCC text of each list item, found by the item's data: the item
    // text alone cannot tell a short FourCC from the separator behind it.
    std::vector<std::string> fccTexts;
    CDialogCommands commands;
};
