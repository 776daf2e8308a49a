#include "host/liveness_deadline.h"

#include <cstdint>

bool DeadlinePassed(DWORD now, DWORD deadline)
{
    return static_cast<int32_t>(now - deadline) > 0;
}

DWORD TimeToDeadline(DWORD now, DWORD deadline)
{
    return DeadlinePassed(now, deadline) ? 0 : deadline - now + 1;
}
