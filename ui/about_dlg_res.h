#pragma once

// Controls of the About dialog. It has no OK button: its close box ends it.

#define IDC_ABOUT_OK 1072
#define IDC_ABOUT_TEXT 1082
#define IDC_HOME_PAGE 1083
