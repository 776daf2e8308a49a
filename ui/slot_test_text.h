#pragma once

#include <string>

#include "maint/slot_test_run.h"
#include "settings/config_settings.h"

// The texts of "Test slots", in `language` (0 Japanese, anything else
// English), formatted without touching a window.

// One row of the result dialog: "tdlN  <codec>", then either that the slot
// works, with the open and frame times, or the cause and what to do; lines
// ended by "\r\n", and an empty line after the row. `toolPath` is the slot
// test's path, named when it could not run.
std::wstring FormatSlotTestRow(int slot, const SlotSettings& settings, const SlotTestRun& test,
                               const char* toolPath, int language);

// The main dialog's caption while slot N is tested: `caption`, then which
// slot.
std::wstring SlotTestProgressCaption(const std::wstring& caption, int slot, int language);
