#include "driver/driver_instance.h"

#include "driver/wait_limits.h"

DriverInstance::DriverInstance(int slot, int timeoutSeconds)
    : slot_(slot)
    , timeoutSeconds_(timeoutSeconds)
{
    InitializeCriticalSection(&lock_);
}

DriverInstance::~DriverInstance()
{
    channel_.EndHost(RequestWaitMs(kRequestDrvClose, 0, timeoutSeconds_));
    if (hostProcess_ != nullptr)
        CloseHandle(hostProcess_);
    DeleteCriticalSection(&lock_);
}
