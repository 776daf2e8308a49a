#pragma once

#include <windows.h>

// The main configuration dialog; one process-wide instance.
class CConfigDlg {
public:
    INT_PTR DoModal(HINSTANCE instance, HWND owner, int language, int install);
};

extern CConfigDlg g_configDlg;
