#include "ui/config_dlg.h"

CConfigDlg g_configDlg;

// The main dialog is not built yet: configuration mode ends at once.
INT_PTR CConfigDlg::DoModal(HINSTANCE, HWND, int, int)
{
    return 0;
}
