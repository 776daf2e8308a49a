#include "driver/driver_instance.h"

#include "driver/idle_hosts.h"
#include "driver/wait_limits.h"

DriverInstance::DriverInstance(int slot, uint32_t codec, uint32_t openMode, int timeoutSeconds,
                               const char* logPath)
    : slot_(slot)
    , codec_(codec)
    , timeoutSeconds_(timeoutSeconds)
{
    lstrcpynA(logPath_, logPath, sizeof logPath_);
    channel_.StateMode(StateOpenMode(openMode));
    InitializeCriticalSection(&lock_);
}

DriverInstance::~DriverInstance()
{
    // A host kept waiting is no longer the channel's to end.
    if (HostReusable() && channel_.LetWait(RequestWaitMs(kRequestIdle, 0, timeoutSeconds_)))
        KeepIdleHost(channel_);
    channel_.EndHost(RequestWaitMs(kRequestDrvClose, 0, timeoutSeconds_));
    if (hostProcess_ != nullptr)
        CloseHandle(hostProcess_);
    DeleteCriticalSection(&lock_);
}
