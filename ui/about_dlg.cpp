#include "ui/about_dlg.h"

#include <shellapi.h>

#include "build_date.h"

#include "ui/about_dlg_res.h"
#include "ui/dialog_helpers.h"
#include "ui/resource_ids.h"
#include "ui/ui_text.h"

namespace {

INT_PTR CALLBACK AboutDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CAboutDlg* dialog = DialogObject<CAboutDlg>(window, message, lParam);
    if (dialog == nullptr)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        dialog->OnInitDialog(window);
        return FALSE;
    case WM_COMMAND:
        dialog->OnCommand(window, wParam);
        return FALSE;
    case WM_CLOSE:
        dialog->OnClose(window);
        return TRUE;
    }
    return FALSE;
}

}

bool CAboutDlg::DoModal(HINSTANCE instance, HWND parent, int newLanguage)
{
    hInstance = instance;
    language = newLanguage;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), parent, AboutDlgProc, reinterpret_cast<LPARAM>(this));
    return true;
}

void CAboutDlg::OnInitDialog(HWND window)
{
    hWnd = window;
    char text[kAboutTextCapacity];
    FormatAboutText(TANDREL_BUILD_DATE, language, text);
    SetDlgItemTextA(hWnd, IDC_ABOUT_TEXT, text);
}

void CAboutDlg::OnCommand(HWND window, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_HOME_PAGE:
        ShellExecuteA(nullptr, "open", HomePage(language), nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case IDC_ABOUT_OK:
        SendMessageW(window, WM_CLOSE, 0, 0);
        break;
    }
}

void CAboutDlg::OnClose(HWND window)
{
    EndDialog(window, 0);
    hWnd = nullptr;
}
