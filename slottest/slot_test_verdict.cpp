#include "slottest/slot_test_verdict.h"

#include "host/host_protocol.h"

SlotTestCause RefusedOpenCause(int enable, uint32_t codecFcc, bool hostExeBeside)
{
    if (enable == 0)
        return SlotTestCause::Unticked;
    if (codecFcc == 0)
        return SlotTestCause::NoCodec;
    return hostExeBeside ? SlotTestCause::CodecNotOpened : SlotTestCause::HostExeMissing;
}

bool AllUnserved(const std::vector<int32_t>& answers)
{
    for (int32_t answer : answers) {
        if (answer != kHostCannotServe)
            return false;
    }
    return !answers.empty();
}

SlotTestCause UnservedCause(bool hostShowsError, double waitedMs, unsigned long limitMs)
{
    if (hostShowsError)
        return SlotTestCause::CodecNotOpened;
    return waitedMs >= limitMs ? SlotTestCause::HostTimedOut : SlotTestCause::HostEnded;
}
