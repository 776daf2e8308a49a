#pragma once

// Controls of the result dialog of "Test slots".

#define IDC_SLOT_TEST_RESULTS 1095
#define IDC_SLOT_TEST_OK 1096
