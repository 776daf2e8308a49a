#pragma once

// Controls and the menu command of the installation dialog.

#define IDC_CODEC_CONFIGURE 1029
#define IDC_CODEC_LIST 1079
#define IDC_CLOSE 1087
#define IDC_CODEC_ABOUT 1088
#define IDC_UNINSTALL 1090
#define IDC_FOURCC 1091
#define IDC_DLL_PATH 1092
#define IDC_INSTALL 1093

#define IDM_UNINSTALL_ALL 40031
