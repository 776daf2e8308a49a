#pragma once

#include "maint/slot_test_report.h"
#include "maint/tool_run.h"

// One run of the slot test for the configuration tool: how the program's
// run went and what its report says.
struct SlotTestRun {
    ToolRun run;
    bool reported = false; // the run gave a verdict and its report was read
    SlotTestSummary summary;
};

// Runs TandrelSlotTest.exe for slot N and waits for it, handling the
// thread's messages meanwhile (RunAndWait); its report goes through a file
// of the temporary folder, deleted again.
SlotTestRun TestSlot(int slot);
