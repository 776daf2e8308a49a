#pragma once

#include <cstdint>
#include <vector>

#include "maint/slot_test_report.h"

// The decisions of a slot test, from what its steps saw.

// Why the driver refused to open a slot, by the conditions it opens under,
// in its own order: switched on, a codec chosen, the host program beside
// the driver; when all hold, the codec refused to open in both modes.
SlotTestCause RefusedOpenCause(int enable, uint32_t codecFcc, bool hostExeBeside);

// True when every answer is the one the driver gives when its host cannot
// serve (-100): the host, not the codec, then answered them all.
bool AllUnserved(const std::vector<int32_t>& answers);

// Why a host did not serve: it still runs and shows an error (the codec did
// not open), the wait took the driver's whole limit, or it ended (or never
// started) before that.
SlotTestCause UnservedCause(bool hostShowsError, double waitedMs, unsigned long limitMs);
