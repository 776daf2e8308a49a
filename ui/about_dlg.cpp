#include "ui/about_dlg.h"

#include <shellapi.h>

#include "build_date.h"

#include "ui/about_dlg_res.h"
#include "ui/dialog_helpers.h"
#include "ui/resource_ids.h"
#include "ui/ui_text.h"

bool CAboutDlg::DoModal(HINSTANCE instance, HWND parent, int newLanguage)
{
    hInstance = instance;
    language = newLanguage;
    RunModalDialog(instance, parent, IDD_ABOUT, this);
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
