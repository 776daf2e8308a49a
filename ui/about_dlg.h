#pragma once

#include <windows.h>

// The About box: product, version, build date, rights, contact and the home
// page of the language, with a button that opens that page. One object per
// opening; its close box ends it.
class CAboutDlg {
public:
    bool DoModal(HINSTANCE instance, HWND parent, int language);

    void OnInitDialog(HWND window);
    void OnCommand(HWND window, WPARAM wParam);
    void OnClose(HWND window);
    INT_PTR OnMessage(UINT, WPARAM, LPARAM) { return FALSE; }

private:
    HINSTANCE hInstance = nullptr;
    HWND hWnd = nullptr;
    int language = 0;
};
