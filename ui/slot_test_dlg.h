#pragma once

#include <windows.h>

#include <string>

// The result of "Test slots": a row per tested slot, in the language of the
// template (120 Japanese, 121 English). One object per opening; OK, Esc
// and the close box end it.
class CSlotTestDlg {
public:
    bool DoModal(HINSTANCE instance, HWND parent, int language, const std::wstring& rows);

    void OnInitDialog(HWND window);
    void OnCommand(HWND window, WPARAM wParam);
    void OnClose(HWND window);
    INT_PTR OnMessage(UINT, WPARAM, LPARAM) { return FALSE; }

private:
    std::wstring rows;
};
