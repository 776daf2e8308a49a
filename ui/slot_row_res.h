#pragma once

// Controls of one slot row.

#define IDC_ENABLE 1004
#define IDC_CODEC 1080
#define IDC_DESCRIPTION 1081
#define IDC_DRIVER 1082
#define IDC_VERSION 1083
