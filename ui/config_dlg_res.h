#pragma once

// Controls and menu commands of the main configuration dialog.

#define IDC_OK 1072
#define IDC_CANCEL 1073
#define IDC_APPLY 1074
#define IDC_SLOT_LIST 1079
#define IDC_TIMEOUT 1084

#define IDM_ENGLISH 40024
#define IDM_JAPANESE 40025
#define IDM_ABOUT 40027
#define IDM_OPEN_SETTINGS 40028
#define IDM_HELP 40029
#define IDM_INSTALL_CODEC 40030
#define IDM_TEST_SLOTS 40032
