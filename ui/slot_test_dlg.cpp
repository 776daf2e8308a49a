#include "ui/slot_test_dlg.h"

#include "settings/ui_language.h"
#include "ui/dialog_helpers.h"
#include "ui/resource_ids.h"
#include "ui/slot_test_dlg_res.h"

bool CSlotTestDlg::DoModal(HINSTANCE instance, HWND parent, int language, const std::wstring& text)
{
    rows = text;
    RunModalDialog(instance, parent, language == UiLanguageJapanese ? IDD_SLOT_TEST_JA : IDD_SLOT_TEST_EN,
                   this);
    return true;
}

// The focus on OK: in the rows it would select them all.
void CSlotTestDlg::OnInitDialog(HWND window)
{
    SetDlgItemTextW(window, IDC_SLOT_TEST_RESULTS, rows.c_str());
    SetFocus(GetDlgItem(window, IDC_SLOT_TEST_OK));
}

void CSlotTestDlg::OnCommand(HWND window, WPARAM wParam)
{
    if (LOWORD(wParam) == IDC_SLOT_TEST_OK || LOWORD(wParam) == IDCANCEL)
        SendMessageW(window, WM_CLOSE, 0, 0);
}

void CSlotTestDlg::OnClose(HWND window)
{
    EndDialog(window, 0);
}
