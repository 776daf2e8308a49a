#pragma once

// Resources shared by the whole program: the icon, the dialog templates and
// the menus. The controls of each dialog are in that dialog's own header.

#define IDI_TANDREL64 118

#define IDD_CONFIG_JA 101
#define IDD_CONFIG_EN 102
#define IDD_SLOT_ROW 116
#define IDD_ABOUT 117
#define IDD_INSTALL_EN 118
#define IDD_INSTALL_JA 119
#define IDD_SLOT_TEST_JA 120
#define IDD_SLOT_TEST_EN 121

#define IDR_CONFIG_MENU 104
#define IDR_INSTALL_MENU 119

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
